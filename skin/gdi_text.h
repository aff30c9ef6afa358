// One line of text drawn with GDI into a surface: the caption's title over a translucent halo, and
// the buttons' captions. Under Wine GDI+ makes its first font only after enumerating every
// installed font (GdipCreateFontFamilyFromName builds the installed collection): 15-20 ms of the
// first frame measured here, where GDI's mapper takes well under one.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

// A logical font like `font` (bold, italic, underline and strike-out from GDI+'s style bits)
// for a face name (GBK) and an em height in pixels.
LOGFONTW LogicalFont(const char* face, float emPixels, int32_t style);

// Draws `text` into `area` of the surface selected into `dc` in `colour`, on one line, placed by
// `format` (DT_ flags), with grey-scale anti-aliasing. The font's face is only asked for: one
// that shows every character is found. Left-aligned text is set in by a sixth of the em, where
// GDI+'s default format puts it.
void DrawGdiText(HDC dc, const RECT& area, std::wstring_view text, const LOGFONTW& font, COLORREF colour, UINT format);

struct HaloText {
  std::wstring_view text;
  // As for DrawGdiText.
  LOGFONTW font{};
  COLORREF ink = 0;
  COLORREF halo = 0;
  uint8_t haloAlpha = 0;
  // How far the halo's four copies lie left, right, above and below the text, in pixels.
  int haloOffset = 1;
};

// Draws `line` into `area` of the surface selected into `dc`, left and top aligned on one line
// (set in as DrawGdiText sets it), cut with an ellipsis where it is too wide. GDI draws no
// translucent text: its grey-scale anti-aliased glyphs are drawn white on black and used as
// coverage, and the halo's copies and then the ink are blended by that coverage onto the
// surface's pixels, in that order. False when nothing could be drawn.
bool DrawHaloText(HDC dc, const RECT& area, const HaloText& line);
