// One line of text drawn with GDI into a surface, over a translucent halo: the caption's title.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

struct HaloText {
  std::wstring_view text;
  // A logical font; the face is only asked for: one that shows every character is found.
  LOGFONTW font{};
  COLORREF ink = 0;
  COLORREF halo = 0;
  uint8_t haloAlpha = 0;
  // How far the halo's four copies lie left, right, above and below the text, in pixels.
  int haloOffset = 1;
};

// Draws `line` into `area` of the surface selected into `dc`, left and top aligned on one line,
// cut with an ellipsis where it is too wide. GDI draws no translucent text: its grey-scale
// anti-aliased glyphs are drawn white on black and used as coverage, and the halo's copies and
// then the ink are blended by that coverage onto the surface's pixels, in that order. False
// when nothing could be drawn.
bool DrawHaloText(HDC dc, const RECT& area, const HaloText& line);
