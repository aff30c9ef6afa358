// The recorder of the traced tool: the performance counter at each start-up mark, written to the
// file named by STARTUP_TRACE_FILE ("counter step" per line, then "frequency N") once the end of
// the skinned window's first WM_PAINT is marked. The counter is the system's, so the driver can
// set the marks against the moment it launched the program. Linked into the traced tool, it
// installs itself while the program's static data is set up, before WinMain, and marks "entry".
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "runtime/startup_trace.h"

namespace {

struct Mark {
  const char* step;
  LARGE_INTEGER counter;
};

Mark marks[64];
int markCount = 0;
bool written = false;

void WriteMarks() {
  char path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("STARTUP_TRACE_FILE", path, sizeof path);
  if (length == 0 || length >= sizeof path) return;
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  char line[160];
  for (int i = 0; i < markCount; ++i) {
    const int n = std::snprintf(line, sizeof line, "%lld %s\n", static_cast<long long>(marks[i].counter.QuadPart),
                                marks[i].step);
    DWORD done = 0;
    if (n > 0) WriteFile(file, line, static_cast<DWORD>(n), &done, nullptr);
  }
  const int n = std::snprintf(line, sizeof line, "frequency %lld\n", static_cast<long long>(frequency.QuadPart));
  DWORD done = 0;
  if (n > 0) WriteFile(file, line, static_cast<DWORD>(n), &done, nullptr);
  CloseHandle(file);
}

void Record(const char* step) {
  if (written) return;
  if (markCount < static_cast<int>(sizeof marks / sizeof marks[0])) {
    marks[markCount].step = step;
    QueryPerformanceCounter(&marks[markCount].counter);
    ++markCount;
  }
  if (std::strcmp(step, "painted") == 0) {
    written = true;
    WriteMarks();
  }
}

const bool installed = [] {
  startupRecorder = &Record;
  Record("entry");
  return true;
}();

}  // namespace
