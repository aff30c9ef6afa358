// A stand-in for empty.exe in the trimming tests. Sleeps TRIM_STANDIN_SLEEP_MS milliseconds (none
// when unset), then appends one line to "<its own path>.log": its command line, and whether it
// was given a console ("|console=1") or not ("|console=0").
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main() {
  if (const char* sleep = std::getenv("TRIM_STANDIN_SLEEP_MS")) Sleep(static_cast<DWORD>(std::atoi(sleep)));
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  FILE* log = std::fopen((std::string(path, n) + ".log").c_str(), "ab");
  if (!log) return 1;
  std::fprintf(log, "%s|console=%d\n", GetCommandLineA(), GetConsoleWindow() != nullptr);
  return std::fclose(log) == 0 ? 0 : 1;
}
