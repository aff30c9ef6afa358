// transparent_blt_child.exe SCENARIO LOG: installs the GdiTransparentBlt filter as the program's
// start-up does, makes transparent copies through gdi32 and msimg32 and writes one line per copy
// to LOG: its result and whether the destination's pixels changed.
//   installed   the hook object lives until the process ends; copies while it is installed, and
//               again from an atexit handler that runs before the hook object is destroyed.
//   destroyed   the hook object goes before the copies; the filter, entered directly, still
//               reaches the function through its trampoline; and copies from an atexit handler.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/transparent_blt_filter.h"
#include "hook/api_hook.h"

namespace {

using TransparentBltFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);

FILE* logFile = nullptr;
TransparentBltFunction gdiTransparentBlt = nullptr;
TransparentBltFunction msimgTransparentBlt = nullptr;

constexpr int kSide = 40;
constexpr COLORREF kBackground = RGB(10, 20, 30);
constexpr COLORREF kPicture = RGB(200, 100, 50);
constexpr COLORREF kTransparent = RGB(255, 0, 255);

// A 32-bit top-down DIB section in a memory DC, filled with one colour; its pixels readable.
struct Surface {
  explicit Surface(COLORREF colour) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kSide;
    info.bmiHeader.biHeight = -kSide;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels), nullptr, 0);
    previous = SelectObject(dc, bitmap);
    const RECT all{0, 0, kSide, kSide};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    GdiFlush();
  }
  ~Surface() {
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  std::vector<uint32_t> Pixels() const {
    GdiFlush();
    return std::vector<uint32_t>(pixels, pixels + kSide * kSide);
  }

  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;
  uint32_t* pixels = nullptr;
};

// One transparent copy of width x height onto a fresh destination, logged as
// "<label> <width>x<height> result=<r> changed=<0|1>".
void CopyAndLog(const char* label, TransparentBltFunction copy, int width, int height) {
  Surface destination(kBackground);
  Surface source(kPicture);
  const std::vector<uint32_t> before = destination.Pixels();
  const BOOL result = copy(destination.dc, 3, 4, width, height, source.dc, 0, 0, width, height, kTransparent);
  const bool changed = destination.Pixels() != before;
  std::fprintf(logFile, "%s %dx%d result=%d changed=%d\n", label, width, height, result, changed ? 1 : 0);
  std::fflush(logFile);
}

void CopyAllSizes(const char* gdiLabel, const char* msimgLabel) {
  for (const auto& [width, height] : {std::pair{16, 16}, std::pair{16, 17}, std::pair{17, 16}}) {
    CopyAndLog(gdiLabel, gdiTransparentBlt, width, height);
    CopyAndLog(msimgLabel, msimgTransparentBlt, width, height);
  }
}

void CopyAtExit() {
  CopyAndLog("atexit-gdi", gdiTransparentBlt, 16, 16);
  CopyAndLog("atexit-gdi", gdiTransparentBlt, 16, 17);
  std::fclose(logFile);
}

// The program-wide hook object of the installed scenario, destroyed after main returns.
ApiHook programHook;

const char* StatusLine(const ApiHook& hook) {
  return hook.status() == HookStatus::kInstalled ? "installed" : "not installed";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string scenario = argv[1];
  logFile = std::fopen(argv[2], "wb");
  if (!logFile) return 3;
  gdiTransparentBlt = reinterpret_cast<TransparentBltFunction>(
      reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("gdi32"), "GdiTransparentBlt")));
  msimgTransparentBlt = reinterpret_cast<TransparentBltFunction>(
      reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("msimg32"), "TransparentBlt")));
  if (!gdiTransparentBlt || !msimgTransparentBlt) return 4;

  if (scenario == "installed") {
    InstallTransparentBltFilter(programHook);
    std::fprintf(logFile, "%s\n", StatusLine(programHook));
    CopyAllSizes("gdi", "msimg");
    std::atexit(CopyAtExit);
    return 0;
  }
  if (scenario == "destroyed") {
    {
      ApiHook hook;
      InstallTransparentBltFilter(hook);
      std::fprintf(logFile, "%s\n", StatusLine(hook));
    }
    CopyAndLog("gdi", gdiTransparentBlt, 16, 16);
    CopyAndLog("filter", &TransparentBltFilter, 16, 17);
    std::atexit(CopyAtExit);
    return 0;
  }
  return 5;
}
