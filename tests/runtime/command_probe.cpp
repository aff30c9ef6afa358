// command_probe OUT_FILE SLEEP_MS: the program that RunCommandLine starts in the tests. Sleeps,
// then writes how it was asked to show its window ("flags=F show=S"). The record appears whole,
// by a rename, so that a reader never sees half of it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  Sleep(static_cast<DWORD>(std::atoi(argv[2])));
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  const std::string temporary = std::string(argv[1]) + ".tmp";
  FILE* out = std::fopen(temporary.c_str(), "wb");
  if (!out) return 1;
  std::fprintf(out, "flags=%lu show=%u", startup.dwFlags & STARTF_USESHOWWINDOW, startup.wShowWindow);
  std::fclose(out);
  return MoveFileExA(temporary.c_str(), argv[1], MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
