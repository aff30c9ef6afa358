// startup_driver ROUNDS PROGRAM_A PROGRAM_B: starts the two programs alternately, ROUNDS times
// each, and measures for each start the time from CreateProcess to its first painted top-level
// window (visible, and its centre pixel on the screen no longer the empty screen's). Each
// program is then closed and waited for. Prints the medians and their ratio B / A.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Search {
  DWORD process;
  HWND window;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->process || !IsWindowVisible(window) || GetWindow(window, GW_OWNER)) return TRUE;
  search->window = window;
  return FALSE;
}

// The screen under the window's centre: Xvfb's empty screen is black.
bool Painted(HWND window, COLORREF emptyScreen) {
  RECT r;
  if (!GetWindowRect(window, &r)) return false;
  HDC screen = GetDC(nullptr);
  const COLORREF centre = GetPixel(screen, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ReleaseDC(nullptr, screen);
  return centre != CLR_INVALID && centre != emptyScreen;
}

// Seconds from start to the first painted window; negative on failure.
double TimeToFirstPaint(const std::string& program, COLORREF emptyScreen) {
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  std::string line = "\"" + program + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  QueryPerformanceCounter(&start);
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return -1;
  CloseHandle(process.hThread);
  double seconds = -1;
  Search search{process.dwProcessId, nullptr};
  for (int i = 0; i < 20000; ++i) {
    search.window = nullptr;
    EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
    if (search.window && Painted(search.window, emptyScreen)) {
      QueryPerformanceCounter(&now);
      seconds = static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
      break;
    }
    Sleep(1);
  }
  if (search.window) PostMessageA(search.window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hProcess);
  // Wait until the window is gone from the screen, so that the next start begins on an empty one.
  Sleep(300);
  return seconds;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: startup_driver ROUNDS PROGRAM_A PROGRAM_B\n");
    return 2;
  }
  const int rounds = std::max(1, std::atoi(argv[1]));
  HDC screen = GetDC(nullptr);
  const COLORREF emptyScreen = GetPixel(screen, 0, 0);
  ReleaseDC(nullptr, screen);
  std::vector<double> a, b;
  for (int i = 0; i < rounds; ++i) {
    const double ta = TimeToFirstPaint(argv[2], emptyScreen);
    const double tb = TimeToFirstPaint(argv[3], emptyScreen);
    if (ta < 0 || tb < 0) {
      std::fprintf(stderr, "startup_driver: round %d failed (%.3f, %.3f)\n", i + 1, ta, tb);
      return 1;
    }
    a.push_back(ta);
    b.push_back(tb);
    std::printf("round %2d: A %.3f s  B %.3f s\n", i + 1, ta, tb);
  }
  const double ma = Median(a), mb = Median(b);
  std::printf("median A %.3f s (%s)\nmedian B %.3f s (%s)\nratio B/A %.2f\n", ma, argv[2], mb, argv[3], mb / ma);
  return 0;
}
