// The bottom bar: a band along the bottom of the client area holding text items side by side.
#include "graphics/drawing_surface.h"
#include "graphics/fonts.h"
#include "graphics/paths_pens_brushes.h"
#include "runtime/imports/declared_functions.h"
#include "skin/shapes.h"
#include "skin/skin_engine.h"
#include "skin/skin_properties.h"

namespace {

constexpr Gdiplus::ARGB kBandColour = 0x3C000000;  // black at alpha 60
constexpr Gdiplus::ARGB kRuleColour = 0x50FFFFFF;  // white at alpha 80

}  // namespace

void SkinEngine::SetBottomBar(int32_t index, int32_t height, const std::vector<std::string>& items, bool replaceItems) {
  WindowRecord& record = RecordAt(index);
  record.bottomBarHeight = height > 0 ? height : 0;
  if (replaceItems) record.bottomBar.items.clear();
  for (const std::string& text : items) record.bottomBar.items.push_back(BottomBarItem{text, RECT{}});
  LayoutBottomBar(index);
  record.needsRepaint = true;
}

void SkinEngine::LayoutBottomBar(int32_t index) {
  WindowRecord& record = RecordAt(index);
  BottomBar& bar = record.bottomBar;
  if (record.bottomBarHeight <= 0) {
    bar.rect = RECT{};
    return;
  }
  RECT client{};
  Declared::GetClientRect(record.hwnd, &client);
  const LONG border = record.Px(kBorderWidth), height = record.Px(record.bottomBarHeight);
  const LONG top = client.bottom - border - height - record.Px(1);
  bar.rect = RECT{border, top, client.right - border, top + height};
  // Items share the bar's width equally, left to right.
  const LONG count = static_cast<LONG>(bar.items.size());
  const LONG width = bar.rect.right - bar.rect.left;
  for (LONG i = 0; i < count; ++i)
    bar.items[static_cast<size_t>(i)].rect =
        RECT{bar.rect.left + width * i / count, bar.rect.top, bar.rect.left + width * (i + 1) / count, bar.rect.bottom};
}

void SkinEngine::DrawBottomBar(int32_t index) {
  WindowRecord& record = RecordAt(index);
  const BottomBar& bar = record.bottomBar;
  if (record.bottomBarHeight <= 0 || !record.frame.dc() || !record.background.dc()) return;
  const RECT& r = bar.rect;
  Declared::BitBlt(record.frame.dc(), r.left, r.top, r.right - r.left, r.bottom - r.top, record.background.dc(), r.left,
                   r.top, SRCCOPY);
  Graphics graphics;
  SolidBrush band, ink;
  Font font;
  StringFormat format;
  std::string texts;  // one font shows every item
  for (const BottomBarItem& item : bar.items) texts += item.text;
  if (!graphics.CreateFromHdc(record.frame.dc()) || !band.Create(kBandColour) ||
      !ink.Create(ArgbFromColorRef(bar.colour)) ||
      !font.CreateShowing(bar.fontName.c_str(), record.PointsToPixels(static_cast<float>(bar.fontSize)), bar.fontStyle,
                          Gdiplus::UnitPixel, texts.c_str()) ||
      !format.Create(OptionalArg<int32_t>(Gdiplus::StringFormatFlagsNoWrap)))
    return;
  graphics.FillRectangle(band, static_cast<float>(r.left), static_cast<float>(r.top), static_cast<float>(r.right - r.left),
                         static_cast<float>(r.bottom - r.top));
  format.SetAlignment(static_cast<Gdiplus::StringAlignment>(bar.alignment >= 0 && bar.alignment <= 2 ? bar.alignment : 0));
  format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
  format.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
  Pen rule;
  const bool rules = bar.separators != 0 && rule.Create(kRuleColour, 1);
  for (size_t i = 0; i < bar.items.size(); ++i) {
    const BottomBarItem& item = bar.items[i];
    graphics.DrawString(item.text.c_str(), font, ink, RectFOf(item.rect), format);
    if (rules && i > 0)
      graphics.DrawLine(rule, static_cast<float>(item.rect.left), static_cast<float>(item.rect.top + record.Px(2)),
                        static_cast<float>(item.rect.left), static_cast<float>(item.rect.bottom - record.Px(2)));
  }
}

void SkinEngine::SetBottomBarItemText(HWND hwnd, int32_t item, TextValue text) {
  const int32_t index = IndexOf(hwnd);
  if (!index) return;
  WindowRecord& record = RecordAt(index);
  if (item < 1 || item > static_cast<int32_t>(record.bottomBar.items.size())) return;
  record.bottomBar.items[static_cast<size_t>(item - 1)].text = text ? text : "";
  DrawBottomBar(index);
  const RECT& r = record.bottomBar.rect;
  Declared::InvalidateRect(hwnd, &r, FALSE);
}

void SkinEngine::SetBottomBarStyle(HWND hwnd, OptionalArg<int32_t> fontStyle, OptionalArg<int32_t> alignment,
                                   OptionalArg<int32_t> separators, OptionalArg<COLORREF> colour,
                                   OptionalArg<TextValue> fontName, OptionalArg<int32_t> size) {
  const int32_t index = IndexOf(hwnd);
  if (!index) return;
  BottomBar& bar = RecordAt(index).bottomBar;
  bar.fontStyle = fontStyle.Or(1);
  bar.alignment = alignment.Or(0);
  bar.separators = separators.Or(0);
  bar.colour = colour.Or(0xFFFFFF);
  if (fontName.given && fontName.value && *fontName.value) bar.fontName = fontName.value;
  if (size.given && size.value > 0) bar.fontSize = size.value;
  DrawBottomBar(index);
  Declared::InvalidateRect(hwnd, &bar.rect, FALSE);
}
