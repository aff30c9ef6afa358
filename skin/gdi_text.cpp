// Text through GDI: fonts found by GDI's mapper, the halo's coverage from grey-scale glyphs,
// blended by hand.
#include "skin/gdi_text.h"

#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

#include "runtime/font_faces.h"
#include "runtime/units/pictures.h"
#include "runtime/wide_text.h"
#include "runtime/win_handles.h"

namespace {

// A 32-bit top-down DIB section selected into a memory DC of its own.
struct PixelSurface {
  // The DC goes before the bitmap selected into it.
  OwnedBitmap bitmap;
  OwnedMemoryDc dc;
  uint32_t* pixels = nullptr;
  int width = 0, height = 0;

  bool Make(int w, int h) {
    const BITMAPINFO info = TopDownDibInfo(w, h);
    void* bits = nullptr;
    dc.reset(CreateCompatibleDC(nullptr));
    bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc || !bitmap || !bits) return false;
    SelectObject(dc.get(), bitmap.get());
    pixels = static_cast<uint32_t*>(bits);
    width = w;
    height = h;
    return true;
  }
};

// `to` blended over `pixel` by `alpha` (0..255), each channel rounded to the nearest.
uint32_t Blend(uint32_t pixel, COLORREF to, uint32_t alpha) {
  if (alpha == 0) return pixel;
  const uint32_t target[3] = {GetBValue(to), GetGValue(to), GetRValue(to)};  // DIB order: B, G, R
  uint32_t out = 0;
  for (int channel = 0; channel < 3; ++channel) {
    const uint32_t from = (pixel >> (8 * channel)) & 0xFF;
    const uint32_t mixed = (from * (255 - alpha) + target[channel] * alpha + 127) / 255;
    out |= mixed << (8 * channel);
  }
  return out;
}

// The logical font of `wanted` whose face shows `text`, made with grey-scale anti-aliasing.
OwnedFont FontShowingText(const LOGFONTW& wanted, std::wstring_view text) {
  LOGFONTW font = wanted;
  font.lfQuality = ANTIALIASED_QUALITY;
  if (const std::optional<LOGFONTW> chosen = FontShowing(font, text)) font = *chosen;
  return OwnedFont(CreateFontIndirectW(&font));
}

// GDI+'s default format sets text in from its layout's edges by a sixth of the em.
LONG GdiPlusInset(const LOGFONTW& font) { return static_cast<LONG>(std::abs(font.lfHeight) / 6.0f + 0.5f); }

}  // namespace

LOGFONTW LogicalFont(const char* face, float emPixels, int32_t style) {
  LOGFONTW font{};
  font.lfHeight = -static_cast<LONG>(emPixels + 0.5f);
  font.lfWeight = (style & Gdiplus::FontStyleBold) ? FW_BOLD : FW_NORMAL;
  font.lfItalic = (style & Gdiplus::FontStyleItalic) ? TRUE : FALSE;
  font.lfUnderline = (style & Gdiplus::FontStyleUnderline) ? TRUE : FALSE;
  font.lfStrikeOut = (style & Gdiplus::FontStyleStrikeout) ? TRUE : FALSE;
  font.lfCharSet = DEFAULT_CHARSET;
  const std::wstring wide = WideFromText(face);
  wide.copy(font.lfFaceName, LF_FACESIZE - 1);
  return font;
}

void DrawGdiText(HDC dc, const RECT& area, std::wstring_view text, const LOGFONTW& font, COLORREF colour, UINT format) {
  if (!dc || text.empty()) return;
  const OwnedFont made = FontShowingText(font, text);
  if (!made) return;
  RECT box = area;
  if ((format & (DT_CENTER | DT_RIGHT)) == 0) box.left += GdiPlusInset(font);
  const Selection selected(dc, made.get());
  const std::wstring line(text);
  SIZE extent{};
  if ((format & DT_CENTER) && GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &extent) &&
      extent.cx <= box.right - box.left) {
    // Centred as GDI+ centres, a half pixel rounded up; DT_CENTER rounds it down.
    box.left += (box.right - box.left - extent.cx + 1) / 2;
    format &= ~static_cast<UINT>(DT_CENTER);
  }
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColour = SetTextColor(dc, colour);
  DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &box, format | DT_SINGLELINE | DT_NOPREFIX);
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
}

bool DrawHaloText(HDC dc, const RECT& layout, const HaloText& line) {
  RECT area = layout;
  area.left += GdiPlusInset(line.font);
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (!dc || line.text.empty() || width <= 0 || height <= 0) return false;
  const OwnedFont font = FontShowingText(line.font, line.text);
  if (!font) return false;

  // The coverage is drawn with a margin as wide as the halo's offset, so the halo's copies of
  // glyphs at the area's edge are whole.
  const int margin = std::max(0, line.haloOffset);
  const int w = width + 2 * margin, h = height + 2 * margin;
  PixelSurface coverage, target;
  if (!coverage.Make(w, h) || !target.Make(w, h)) return false;
  {
    const Selection selected(coverage.dc.get(), font.get());
    SetBkMode(coverage.dc.get(), TRANSPARENT);
    SetTextColor(coverage.dc.get(), RGB(255, 255, 255));
    RECT box{margin, margin, margin + width, margin + height};
    const std::wstring text(line.text);
    DrawTextW(coverage.dc.get(), text.c_str(), static_cast<int>(text.size()), &box,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  GdiFlush();
  BitBlt(target.dc.get(), 0, 0, w, h, dc, area.left - margin, area.top - margin, SRCCOPY);
  GdiFlush();

  const int offsets[4][2] = {{-margin, 0}, {margin, 0}, {0, -margin}, {0, margin}};
  const auto coverageAt = [&](int x, int y) -> uint32_t {
    if (x < 0 || y < 0 || x >= w || y >= h) return 0;
    return (coverage.pixels[static_cast<size_t>(y) * w + x] >> 8) & 0xFF;  // green: grey-scale glyphs
  };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint32_t& pixel = target.pixels[static_cast<size_t>(y) * w + x];
      for (const auto& offset : offsets)
        pixel = Blend(pixel, line.halo, (coverageAt(x - offset[0], y - offset[1]) * line.haloAlpha + 127) / 255);
      pixel = Blend(pixel, line.ink, coverageAt(x, y));
    }
  return BitBlt(dc, area.left - margin, area.top - margin, w, h, target.dc.get(), 0, 0, SRCCOPY) != FALSE;
}
