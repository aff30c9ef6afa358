// Display scaling through the user32 functions of newer systems, found by name so that the
// program still starts where they are missing.
#include "runtime/display_scale.h"

namespace {

template <class Function>
Function User32Function(const char* name) {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

UINT ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  if (!screen) return kDesignDpi;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

}  // namespace

UINT DpiOfWindow(HWND window) {
  static const auto dpiForWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  if (dpiForWindow && window) {
    const UINT dpi = dpiForWindow(window);
    if (dpi != 0) return dpi;
  }
  return ScreenDpi();
}

int SystemMetricAtDpi(int index, UINT dpi) {
  static const auto metricForDpi = User32Function<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
  if (metricForDpi) return metricForDpi(index, dpi);
  return GetSystemMetrics(index);
}
