// The transparent label kind: a child window with the transparent extended style that paints
// only its caption, over whatever its parent painted beneath it.
#include <string>

#include "runtime/win_handles.h"
#include "runtime/templates/property_blocks.h"
#include "runtime/units/unit_fonts.h"
#include "runtime/units/unit_types.h"
#include "runtime/units/unit_window.h"
#include "runtime/system_text.h"
#include "runtime/wide_text.h"

namespace {

constexpr char kTransLabelClass[] = "TransLabel";

// By the block's horizontal alignment; a number outside the table reads as left.
constexpr UINT kHorizontalFlags[] = {DT_LEFT, DT_CENTER, DT_RIGHT};

enum Effect : int32_t { EFFECT_NONE = 0, EFFECT_WHITE_SHADOW = 1, EFFECT_WHITE_UNDER = 2, EFFECT_BLACK_SHADOW = 3 };

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;

// The DC's colours, background mode and font as they were, given back at the end.
class SavedDc {
 public:
  explicit SavedDc(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ~SavedDc() { RestoreDC(dc_, saved_); }
  SavedDc(const SavedDc&) = delete;
  SavedDc& operator=(const SavedDc&) = delete;

 private:
  HDC dc_;
  int saved_;
};

class TransLabelUnit : public UnitObject {
 public:
  TransLabelUnit(const UnitCreation& c, const TransLabelProperties& p)
      : UnitObject(c), properties_(p), dpi_(c.dpi) {}

  bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    switch (message) {
      case WM_ERASEBKGND:
        result = 1;  // the parent shows through
        return true;
      case WM_PAINT:
      case WM_PRINTCLIENT:
        return AnswerPaintMessage(window, message, wParam, [this](HWND w, HDC dc) { Paint(w, dc); });
      case WM_SETTEXT:
        result = CallWindowProcW(defaultProcedure(), window, message, wParam, lParam);
        RepaintBeneath(window);
        return true;
      case kDpiChangedAfterParent:
        dpi_ = wParam ? static_cast<UINT>(wParam) : DpiOfWindow(window);
        return false;
    }
    return false;
  }

 private:
  UINT FormatFlags() const {
    const TransLabelProperties& p = properties_;
    UINT flags = DT_NOPREFIX;
    flags |= kHorizontalFlags[p.horizontalAlignment >= 0 && p.horizontalAlignment < 3 ? p.horizontalAlignment : 0];
    if (p.wordWrap == 1) return flags | DT_WORDBREAK | DT_VCENTER;
    flags |= DT_SINGLELINE;
    if (p.verticalAlignment == 1) flags |= DT_VCENTER;
    if (p.verticalAlignment == 2) flags |= DT_BOTTOM;
    return flags;
  }

  void Paint(HWND window, HDC dc) const {
    RECT rect;
    GetClientRect(window, &rect);
    const std::wstring caption = StoredWindowText(window);
    if (caption.empty()) return;
    const OwnedFont created = FontOfField(properties_.font, caption, dpi_);
    const SavedDc saved(dc);
    ClipSiblingsAbove(window, dc);
    SelectObject(dc, created ? static_cast<HGDIOBJ>(created.get()) : GetStockObject(DEFAULT_GUI_FONT));
    const UINT flags = FormatFlags();
    const int length = static_cast<int>(caption.size());
    SetBkMode(dc, TRANSPARENT);
    RECT copy = rect;
    switch (properties_.effect) {
      case EFFECT_WHITE_UNDER:
        DrawIn(dc, caption, length, rect, flags, kWhite);
        OffsetRect(&rect, 1, 1);
        break;
      case EFFECT_WHITE_SHADOW:
        OffsetRect(&copy, 1, 1);
        DrawIn(dc, caption, length, copy, flags, kWhite);
        break;
      case EFFECT_BLACK_SHADOW:
        OffsetRect(&copy, 2, 2);
        DrawIn(dc, caption, length, copy, flags, kBlack);
        break;
    }
    DrawIn(dc, caption, length, rect, flags, properties_.textColour);
  }

  static void DrawIn(HDC dc, const std::wstring& text, int length, RECT rect, UINT flags, COLORREF colour) {
    SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), length, &rect, flags);
  }

  // The siblings above the label in the stacking order cover it: their areas are taken out of
  // the DC, so that the label never draws over them, whichever of them paints last (a button
  // redrawn on hover or press, the label on its own repaint or after a new caption). A
  // see-through sibling hides nothing and stays in.
  static void ClipSiblingsAbove(HWND window, HDC dc) {
    for (HWND above = GetWindow(window, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
      if (!IsWindowVisible(above) || (GetWindowLongPtrW(above, GWL_EXSTYLE) & WS_EX_TRANSPARENT)) continue;
      RECT area;
      GetWindowRect(above, &area);
      MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&area), 2);
      ExcludeClipRect(dc, area.left, area.top, area.right, area.bottom);
    }
  }

  // A new caption: what lies beneath is painted again, and the label over it.
  static void RepaintBeneath(HWND window) {
    HWND parent = GetParent(window);
    if (!parent) return;
    RECT area;
    GetWindowRect(window, &area);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
    RedrawWindow(parent, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }

  TransLabelProperties properties_;
  UINT dpi_;  // the DPI its font is made for
};

}  // namespace

HWND CreateTransLabelUnit(const UnitCreation& c) {
  const std::optional<TransLabelProperties> p = ReadTransLabelProperties(c.properties);
  if (!p || !UseRuntimeClass(kTransLabelClass, 2)) return nullptr;
  HWND label = CreateWindowExW(WS_EX_TRANSPARENT, WideFromGbk(kTransLabelClass).c_str(),
                               WideFromGbk(p->caption).c_str(), WS_CHILD | c.styleBits, c.left, c.top, c.width,
                               c.height, c.parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.controlId)),
                               GetModuleHandleW(nullptr), nullptr);
  if (!label) return nullptr;
  return AttachUnitObject(label, std::make_unique<TransLabelUnit>(c, *p));
}

void UnregisterExtendedUnitClasses() { UnregisterRuntimeClasses(2); }
