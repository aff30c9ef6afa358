// A stand-in for empty.exe in the trimming tests. Appends its command line to
// "<its own path>.started", sleeps TRIM_STANDIN_SLEEP_MS milliseconds (none when unset), then
// appends one line to "<its own path>.log": its command line, and whether it was given a console
// ("|console=1") or not ("|console=0").
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool Append(const std::string& path, const std::string& line) {
  FILE* file = std::fopen(path.c_str(), "ab");
  if (!file) return false;
  std::fputs(line.c_str(), file);
  return std::fclose(file) == 0;
}

}  // namespace

int main() {
  char path[MAX_PATH];
  const std::string self(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  Append(self + ".started", std::string(GetCommandLineA()) + "\n");
  if (const char* sleep = std::getenv("TRIM_STANDIN_SLEEP_MS")) Sleep(static_cast<DWORD>(std::atoi(sleep)));
  const std::string console = GetConsoleWindow() ? "|console=1\n" : "|console=0\n";
  return Append(self + ".log", GetCommandLineA() + console) ? 0 : 1;
}
