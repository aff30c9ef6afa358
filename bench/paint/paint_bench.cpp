// A full render of the skinned frame against one tick of the caption-button animation, measured
// side by side in one run: rounds alternate between the two, and the medians' ratio is printed.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "resources/embedded_pictures.h"
#include "skin/skin_engine.h"

namespace {

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

template <class Work>
double Time(Work work) {
  const double start = Seconds();
  work();
  return Seconds() - start;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 41;
  SkinEngine engine;
  engine.settings().gdiplusToken = StartGdiPlus();
  engine.SetSkinImage("", SkinBackgroundJpeg, {}, {}, OptionalArg<int32_t>(kImageStretched));
  HWND window = CreateWindowExW(0, L"STATIC", L"Quorv Varnel1018 支持互转", WS_POPUP | WS_MINIMIZEBOX, 100, 100, 361, 318,
                                nullptr, nullptr, nullptr, nullptr);
  SkinWindowOptions options;
  options.sizable = false;
  engine.SkinWindow(window, options);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  UpdateWindow(window);
  const int32_t index = engine.IndexOf(window);
  HDC dc = GetDC(window);

  std::vector<double> frames, ticks;
  for (int round = 0; round < rounds; ++round) {
    frames.push_back(Time([&] { engine.PaintFrame(index, dc, 1); }));
    // A tick of the fade: one button coming in and one going out.
    ticks.push_back(Time([&] {
                      engine.DrawTitleButton(index, 1, false, 30 * (round % 8 + 1));
                      engine.DrawTitleButton(index, 2, false, 240 - 30 * (round % 8 + 1));
                    }));
  }
  ReleaseDC(window, dc);
  DestroyWindow(window);
  const double frame = Median(frames), tick = Median(ticks);
  std::printf("paint: %d rounds, median full frame %.3f ms, median animation tick %.3f ms, ratio %.1f (goal 20 or more)\n",
              rounds, frame * 1e3, tick * 1e3, frame / tick);
  return 0;
}
