// Display scaling: the dots per inch a window is shown at, and measures given for 96 DPI (the
// templates', the skin's) brought to it. At 96 DPI every measure stays what it was.
#pragma once

#include <windows.h>

#include <cstdint>

inline constexpr UINT kDesignDpi = 96;

// A measure at `from` DPI brought to `to` DPI, as a window moved between monitors needs: rounded
// to the nearest pixel, halves away from zero.
constexpr int32_t RescaledDpi(int32_t value, UINT from, UINT to) {
  if (from == to || from == 0 || to == 0) return value;
  const int64_t product = static_cast<int64_t>(value) * static_cast<int64_t>(to);
  const int64_t half = from / 2;
  return static_cast<int32_t>(product >= 0 ? (product + half) / from : -((-product + half) / from));
}
// A measure given at 96 DPI, at `dpi`.
constexpr int32_t ScaledToDpi(int32_t value, UINT dpi) { return RescaledDpi(value, kDesignDpi, dpi); }
constexpr float ScaledToDpi(float value, UINT dpi) {
  return dpi == kDesignDpi || dpi == 0 ? value : value * static_cast<float>(dpi) / static_cast<float>(kDesignDpi);
}

#ifdef _WIN32
// Sent by the system to child windows after their top-level window's DPI changed (Windows 10
// 1703 on, per-monitor v2), with no parameters; the runtime sends it itself after it has moved
// the units, on every system, with the new DPI as wParam. Named here: the headers name it only
// for newer targets than ours.
inline constexpr UINT kDpiChangedAfterParent = 0x02E3;

// The DPI the window is shown at: its monitor's for a per-monitor aware program, else the
// system's. 96 where the system knows no other.
UINT DpiOfWindow(HWND window);
// A system metric at `dpi` (icon sizes, scroll bars); the system's own value where the system
// cannot give it for another DPI.
int SystemMetricAtDpi(int index, UINT dpi);
#endif
