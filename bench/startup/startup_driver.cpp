// startup_driver: the time from launching a program to its first painted top-level window
// (visible, and its centre pixel on the screen no longer the empty screen's).
//   startup_driver compare MIN_ROUNDS MAX_ROUNDS BARE TOOL
//     starts BARE and TOOL alternately, the order swapped every round, until the 95% confidence
//     interval of the median of the rounds' ratios TOOL / BARE is 0.07 wide or less (at least
//     MIN_ROUNDS, at most MAX_ROUNDS rounds); prints both medians, the median ratio with that
//     interval and the quartiles of the ratios.
//   startup_driver trace ROUNDS TRACED TRACE_FILE
//     starts TRACED (a tool that writes its start-up marks to STARTUP_TRACE_FILE) ROUNDS times and
//     prints for each mark the median time since launch and the median time since the mark before.
// Each started program is closed and waited for, and the next one starts on an empty screen.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// Two runs whose 95% intervals are this wide give medians less than 0.05 apart nineteen times in
// twenty: the difference of two such estimates spreads sqrt(2) times as far as one does.
constexpr double kWantedIntervalWidth = 0.07;

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

// Xvfb's empty screen is black; the programs' windows are centred.
COLORREF ScreenCentre() {
  HDC screen = GetDC(nullptr);
  const COLORREF centre = GetPixel(screen, GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
  ReleaseDC(nullptr, screen);
  return centre;
}

bool Painted(HWND window, COLORREF emptyScreen) {
  RECT r;
  if (!GetWindowRect(window, &r)) return false;
  HDC screen = GetDC(nullptr);
  const COLORREF centre = GetPixel(screen, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ReleaseDC(nullptr, screen);
  return centre != CLR_INVALID && centre != emptyScreen;
}

double Seconds(LONGLONG counts) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counts) / static_cast<double>(frequency.QuadPart);
}

struct Launch {
  double seconds = -1;   // launch to the first painted window; negative on failure
  LONGLONG start = 0;    // the performance counter at launch
  LONGLONG painted = 0;  // and when the window was seen painted
};

Launch TimeToFirstPaint(const std::string& program, COLORREF emptyScreen) {
  Launch launch;
  std::string line = "\"" + program + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  LARGE_INTEGER start, now;
  QueryPerformanceCounter(&start);
  launch.start = start.QuadPart;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return launch;
  CloseHandle(process.hThread);
  Search search{process.dwProcessId, nullptr};
  for (int i = 0; i < 20000; ++i) {
    search.window = nullptr;
    EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
    if (search.window && Painted(search.window, emptyScreen)) {
      QueryPerformanceCounter(&now);
      launch.painted = now.QuadPart;
      launch.seconds = Seconds(now.QuadPart - start.QuadPart);
      break;
    }
    Sleep(1);
  }
  if (search.window) PostMessageA(search.window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hProcess);
  // The next start begins on an empty screen: Wine takes the X window down a little after the
  // process has gone.
  for (int i = 0; i < 200 && ScreenCentre() != emptyScreen; ++i) Sleep(10);
  Sleep(50);
  return launch;
}

std::vector<double> Sorted(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values;
}

double Median(const std::vector<double>& values) {
  const std::vector<double> s = Sorted(values);
  const size_t n = s.size();
  return n % 2 ? s[n / 2] : (s[n / 2 - 1] + s[n / 2]) / 2;
}

double Quantile(const std::vector<double>& values, double q) {
  const std::vector<double> s = Sorted(values);
  const double at = q * static_cast<double>(s.size() - 1);
  const size_t below = static_cast<size_t>(at);
  const size_t above = std::min(below + 1, s.size() - 1);
  return s[below] + (s[above] - s[below]) * (at - static_cast<double>(below));
}

// The distribution-free 95% confidence interval of the median: the order statistics that the
// binomial distribution of "samples below the median" puts 1.96 standard deviations out.
struct Interval {
  double low, high;
};
Interval MedianInterval(const std::vector<double>& values) {
  const std::vector<double> s = Sorted(values);
  const double n = static_cast<double>(s.size());
  const double reach = 1.96 * std::sqrt(n) / 2;
  const long low = std::max(0L, std::lround(std::floor(n / 2 - reach)));
  const long high = std::min(static_cast<long>(s.size()) - 1, std::lround(std::ceil(n / 2 + reach)) - 1);
  return {s[static_cast<size_t>(low)], s[static_cast<size_t>(high)]};
}

int Compare(int minRounds, int maxRounds, const std::string& bare, const std::string& tool) {
  const COLORREF emptyScreen = ScreenCentre();
  std::vector<double> a, b, ratios;
  Interval interval{0, 1e9};
  int round = 0;
  while (round < maxRounds && (round < minRounds || interval.high - interval.low > kWantedIntervalWidth)) {
    ++round;
    // Swapping the order cancels whatever the first or the second start of a round pays more.
    double ta, tb;
    if (round % 2) {
      ta = TimeToFirstPaint(bare, emptyScreen).seconds;
      tb = TimeToFirstPaint(tool, emptyScreen).seconds;
    } else {
      tb = TimeToFirstPaint(tool, emptyScreen).seconds;
      ta = TimeToFirstPaint(bare, emptyScreen).seconds;
    }
    if (ta <= 0 || tb <= 0) {
      std::fprintf(stderr, "startup_driver: round %d failed (%.3f, %.3f)\n", round, ta, tb);
      return 1;
    }
    a.push_back(ta);
    b.push_back(tb);
    ratios.push_back(tb / ta);
    if (round >= 3) interval = MedianInterval(ratios);
    std::printf("round %3d: bare %.3f s  tool %.3f s  ratio %.2f\n", round, ta, tb, tb / ta);
    std::fflush(stdout);
  }
  std::printf("bare: median %.3f s (quartiles %.3f .. %.3f) %s\n", Median(a), Quantile(a, 0.25), Quantile(a, 0.75),
              bare.c_str());
  std::printf("tool: median %.3f s (quartiles %.3f .. %.3f) %s\n", Median(b), Quantile(b, 0.25), Quantile(b, 0.75),
              tool.c_str());
  std::printf("ratio tool/bare: median %.3f, 95%% interval %.3f .. %.3f, quartiles %.3f .. %.3f, %d rounds%s\n",
              Median(ratios), interval.low, interval.high, Quantile(ratios, 0.25), Quantile(ratios, 0.75), round,
              interval.high - interval.low > kWantedIntervalWidth ? " (interval still wider than 0.07)" : "");
  return 0;
}

// The traced program's marks: "counter step" lines, each step's name made unique by its count.
std::vector<std::pair<std::string, LONGLONG>> ReadMarks(const std::string& path) {
  std::vector<std::pair<std::string, LONGLONG>> marks;
  FILE* file = std::fopen(path.c_str(), "r");
  if (!file) return marks;
  std::map<std::string, int> seen;
  char line[256];
  while (std::fgets(line, sizeof line, file)) {
    line[std::strcspn(line, "\r\n")] = '\0';
    char* space = std::strchr(line, ' ');
    if (!space || std::strncmp(line, "frequency", 9) == 0) continue;
    std::string step = space + 1;
    const int count = ++seen[step];
    if (count > 1) step += " #" + std::to_string(count);
    marks.emplace_back(step, std::atoll(line));
  }
  std::fclose(file);
  return marks;
}

int Trace(int rounds, const std::string& traced, const std::string& traceFile) {
  const COLORREF emptyScreen = ScreenCentre();
  SetEnvironmentVariableA("STARTUP_TRACE_FILE", traceFile.c_str());
  std::vector<std::string> order;
  std::map<std::string, std::vector<double>> since, step;
  for (int round = 1; round <= rounds; ++round) {
    DeleteFileA(traceFile.c_str());
    const Launch launch = TimeToFirstPaint(traced, emptyScreen);
    auto marks = ReadMarks(traceFile);
    if (launch.seconds <= 0 || marks.empty()) {
      std::fprintf(stderr, "startup_driver: traced round %d failed\n", round);
      return 1;
    }
    marks.emplace_back("seen painted by the driver", launch.painted);
    LONGLONG previous = launch.start;
    for (const auto& [name, counter] : marks) {
      if (!since.count(name)) order.push_back(name);
      since[name].push_back(Seconds(counter - launch.start) * 1000);
      step[name].push_back(Seconds(counter - previous) * 1000);
      previous = counter;
    }
  }
  std::printf("%-32s %12s %12s   (medians of %d runs, ms)\n", "mark", "since launch", "step", rounds);
  for (const std::string& name : order)
    std::printf("%-32s %12.1f %12.1f%s\n", name.c_str(), Median(since[name]), Median(step[name]),
                since[name].size() < static_cast<size_t>(rounds) ? "  (not in every run)" : "");
  return 0;
}

// The tool empties its working set through empty.exe in the system's Windows folder whenever it
// is deactivated, as it is when the next program's window comes up; that run would run into the
// next start. A folder of that name stands in the way for as long as the driver runs, so the tool
// starts none (the tests do the same). Gone again when the driver ends.
class TrimmingBlocked {
 public:
  TrimmingBlocked() {
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemWindowsDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    path_ = std::string(folder, length) + "\\empty.exe";
    DeleteFileA(path_.c_str());
    made_ = CreateDirectoryA(path_.c_str(), nullptr) != 0;
  }
  ~TrimmingBlocked() {
    if (made_) RemoveDirectoryA(path_.c_str());
  }
  TrimmingBlocked(const TrimmingBlocked&) = delete;
  TrimmingBlocked& operator=(const TrimmingBlocked&) = delete;

 private:
  std::string path_;
  bool made_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  const TrimmingBlocked trimmingBlocked;
  if (argc == 6 && std::strcmp(argv[1], "compare") == 0) {
    const int minRounds = std::max(3, std::atoi(argv[2]));
    const int maxRounds = std::max(minRounds, std::atoi(argv[3]));
    return Compare(minRounds, maxRounds, argv[4], argv[5]);
  }
  if (argc == 5 && std::strcmp(argv[1], "trace") == 0) return Trace(std::max(1, std::atoi(argv[2])), argv[3], argv[4]);
  std::fprintf(stderr,
               "usage: startup_driver compare MIN_ROUNDS MAX_ROUNDS BARE TOOL\n"
               "       startup_driver trace ROUNDS TRACED TRACE_FILE\n");
  return 2;
}
