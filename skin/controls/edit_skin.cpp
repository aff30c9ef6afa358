// Edit fields and combo boxes over the skin: a washed rounded body (a field inside a combo box or
// IP address is washed flat, its owner draws the shape), the text in the "Kj_Ztys" colour, and
// the combo box's drop-down button with the down arrow.
#include <string>

#include "graphics/paths_pens_brushes.h"
#include "resources/embedded_pictures.h"
#include "runtime/imports/declared_functions.h"
#include "skin/controls/painted_controls.h"
#include "skin/shapes.h"
#include "skin/skin_engine.h"

namespace {

// The combo box's face text: the chosen item of a drop-down list.
std::wstring ChosenText(HWND combo) {
  const LRESULT chosen = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (chosen == CB_ERR) return {};
  const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(chosen), 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT copied = SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(chosen), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

}  // namespace

void PaintEdit(PaintTarget& target) {
  {
    Graphics graphics;
    if (!graphics.CreateFromHdc(target.dc)) return;
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    if (target.record.inner) {
      // The owner's body lies under the field: the same wash, without a second outline.
      SolidBrush wash;
      if (wash.Create(ArgbFromColorRef(skin_colours::kWhite, kBodyAlpha)))
        graphics.FillRectangle(wash, 0, 0, static_cast<float>(target.width), static_cast<float>(target.height));
    } else {
      DrawBody(graphics, target.body, target.theme, target.focused, target.disabled);
    }
  }
  PrintKeyed(target);
}

void PaintComboBox(PaintTarget& target) {
  COMBOBOXINFO info{sizeof info};
  const bool hasInfo = GetComboBoxInfo(target.control, &info) != FALSE;
  const LONG type = Declared::GetWindowLongA(target.control, GWL_STYLE) & 3;
  {
    Graphics graphics;
    if (!graphics.CreateFromHdc(target.dc)) return;
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    if (type == CBS_SIMPLE && hasInfo && info.hwndList) {
      // The field's body only: the list below it has its own.
      RECT list{};
      Declared::GetWindowRect(info.hwndList, &list);
      POINT top{0, list.top};
      ScreenToClient(target.control, &top);
      Gdiplus::RectF field = target.body;
      field.Height = static_cast<float>(top.y - 1) - field.Y;
      DrawBody(graphics, field, target.theme, target.focused, target.disabled);
    } else {
      DrawBody(graphics, target.body, target.theme, target.focused, target.disabled);
    }
    if (type != CBS_SIMPLE && hasInfo && info.rcButton.right > info.rcButton.left) {
      const bool open = SendMessageW(target.control, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
      Gdiplus::RectF button = RectFOf(info.rcButton);
      button.Inflate(-1, -1);
      DrawSoftButton(graphics, button, target.theme, open, false);
      DrawCentred(graphics, target.engine, ArrowDownPng, button);
    }
  }
  if (type == CBS_DROPDOWNLIST && hasInfo) {
    RECT item = info.rcItem;
    item.left += 2;
    DrawControlText(target.dc, target.control, ChosenText(target.control).c_str(), item,
                    DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
  }
}
