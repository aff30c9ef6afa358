// Headers over the skin (on their own or at the top of a list view): each item a small rounded
// button in the push buttons' layers with its text in the "Kj_Ztys" colour, aligned as the item
// asks. Dragging an item's edge and clicking it stay the header's own.
#include <vector>

#include "graphics/paths_pens_brushes.h"
#include "runtime/imports/declared_functions.h"
#include "skin/controls/painted_controls.h"
#include "skin/shapes.h"
#include "skin/skin_engine.h"

namespace {

constexpr int kTextMargin = 6;

struct HeaderItem {
  RECT rect{};
  std::wstring text;
  int format = HDF_LEFT;
};

std::vector<HeaderItem> ItemsOf(HWND header) {
  std::vector<HeaderItem> items;
  const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    HeaderItem& item = items.emplace_back();
    SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item.rect));
    wchar_t text[260] = {};
    HDITEMW query{};
    query.mask = HDI_TEXT | HDI_FORMAT;
    query.pszText = text;
    query.cchTextMax = static_cast<int>(std::size(text));
    if (SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&query))) {
      item.text = text;
      item.format = query.fmt;
    }
  }
  return items;
}

UINT TextFormat(int format) {
  const UINT base = DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
  switch (format & HDF_JUSTIFYMASK) {
    case HDF_CENTER:
      return base | DT_CENTER;
    case HDF_RIGHT:
      return base | DT_RIGHT;
  }
  return base | DT_LEFT;
}

}  // namespace

void PaintHeader(PaintTarget& target) {
  const std::vector<HeaderItem> items = ItemsOf(target.control);
  {
    Graphics graphics;
    if (!graphics.CreateFromHdc(target.dc)) return;
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    for (const HeaderItem& item : items) {
      Gdiplus::RectF face = RectFOf(item.rect);
      face.Width -= 1;
      face.Height -= 1;
      DrawSoftButton(graphics, face, target.theme, false, false);
    }
  }
  for (const HeaderItem& item : items) {
    RECT text = item.rect;
    InflateRect(&text, -kTextMargin, 0);
    DrawControlText(target.dc, target.control, item.text.c_str(), text, TextFormat(item.format));
  }
}
