// List-like controls over the skin (list boxes, list and tree views, date-time pickers, IP
// addresses): a washed rounded body, and the control's own items, selection and fields printed
// over it with their ground keyed out. List and tree views take their ground and text colours
// by message; the date-time picker's drop-down button is the engine's, with the down arrow.
#include "graphics/paths_pens_brushes.h"
#include "resources/embedded_pictures.h"
#include "runtime/imports/declared_functions.h"
#include "skin/controls/painted_controls.h"
#include "skin/skin_engine.h"
#include "skin/skin_properties.h"

namespace {

// The colour messages of a view class.
struct ViewColours {
  UINT getBack, setBack, getText, setText, setTextBack;  // setTextBack 0: none
};
constexpr ViewColours kListViewColours{LVM_GETBKCOLOR, LVM_SETBKCOLOR, LVM_GETTEXTCOLOR, LVM_SETTEXTCOLOR,
                                       LVM_SETTEXTBKCOLOR};
constexpr ViewColours kTreeViewColours{TVM_GETBKCOLOR, TVM_SETBKCOLOR, TVM_GETTEXTCOLOR, TVM_SETTEXTCOLOR, 0};

// The view's ground becomes the key colour and its text the "Kj_Ztys" colour. A view redraws
// when its colours change, so they are sent only when they differ from what it has.
void ApplyColours(PaintedRecord& record, const ViewColours& messages, COLORREF key) {
  HWND view = record.hwnd;
  const auto back = static_cast<COLORREF>(SendMessageW(view, messages.getBack, 0, 0));
  if (back != key) {
    if (record.savedBack == CLR_INVALID) {
      record.savedBack = back;
      record.savedText = static_cast<COLORREF>(SendMessageW(view, messages.getText, 0, 0));
    }
    SendMessageW(view, messages.setBack, 0, static_cast<LPARAM>(key));
    if (messages.setTextBack) SendMessageW(view, messages.setTextBack, 0, static_cast<LPARAM>(key));
  }
  const COLORREF text = TextColourOf(view);
  if (record.appliedText != text) {
    SendMessageW(view, messages.setText, 0, static_cast<LPARAM>(text));
    record.appliedText = text;
  }
}

// The body, then the control's own paint of `printed` over it; a view gets its colours first.
void PaintBodyAndPrint(PaintTarget& target, const RECT& printed, const ViewColours* view = nullptr) {
  {
    Graphics graphics;
    if (!graphics.CreateFromHdc(target.dc)) return;
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    DrawBody(graphics, target.body, target.theme, target.focused, target.disabled);
  }
  const COLORREF key = GroundKey(target, printed);
  if (view) ApplyColours(target.record, *view, key);
  PrintKeyed(target, printed, key);
}

RECT Whole(const PaintTarget& target) { return RECT{0, 0, target.width, target.height}; }

}  // namespace

void PaintList(PaintTarget& target) { PaintBodyAndPrint(target, Whole(target)); }

void PaintListView(PaintTarget& target) { PaintBodyAndPrint(target, Whole(target), &kListViewColours); }

void PaintTreeView(PaintTarget& target) { PaintBodyAndPrint(target, Whole(target), &kTreeViewColours); }

void RestoreViewColours(PaintedRecord& record) {
  if (!record.hwnd || record.savedBack == CLR_INVALID) return;
  const ViewColours& messages = ClassIs(record.hwnd, "SysTreeView32") ? kTreeViewColours : kListViewColours;
  SendMessageW(record.hwnd, messages.setBack, 0, static_cast<LPARAM>(record.savedBack));
  if (messages.setTextBack) SendMessageW(record.hwnd, messages.setTextBack, 0, static_cast<LPARAM>(record.savedBack));
  SendMessageW(record.hwnd, messages.setText, 0, static_cast<LPARAM>(record.savedText));
  record.savedBack = record.savedText = record.appliedText = CLR_INVALID;
}

void PaintDateTime(PaintTarget& target) {
  const LONG style = Declared::GetWindowLongA(target.control, GWL_STYLE);
  // With DTS_UPDOWN an up-down control of its own takes the place of the drop-down button.
  const int button = (style & DTS_UPDOWN) ? 0 : GetSystemMetrics(SM_CXVSCROLL);
  PaintBodyAndPrint(target, RECT{0, 0, target.width - button, target.height});
  if (!button) return;
  Graphics graphics;
  if (!graphics.CreateFromHdc(target.dc)) return;
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  // The calendar exists, hidden, while the picker is closed.
  const auto calendar = reinterpret_cast<HWND>(SendMessageW(target.control, DTM_GETMONTHCAL, 0, 0));
  const bool open = calendar && Declared::IsWindowVisible(calendar);
  const Gdiplus::RectF area(static_cast<float>(target.width - button + 1), 1, static_cast<float>(button - 3),
                            static_cast<float>(target.height - 3));
  DrawSoftButton(graphics, area, target.theme, open, false);
  DrawCentred(graphics, target.engine, ArrowDownPng, area);
}
