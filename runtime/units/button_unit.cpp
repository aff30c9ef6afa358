// The button kind: a system push button under the unit procedure; its click is event 0.
#include <string>

#include "runtime/frame/win_handles.h"
#include "runtime/templates/property_blocks.h"
#include "runtime/units/pictures.h"
#include "runtime/units/unit_fonts.h"
#include "runtime/units/unit_types.h"
#include "runtime/units/unit_window.h"
#include "runtime/wide_text.h"

namespace {

// By the block's alignment numbers; a number outside a table reads as centred.
constexpr DWORD kHorizontalAlignment[] = {BS_LEFT, BS_CENTER, BS_RIGHT};
constexpr DWORD kVerticalAlignment[] = {BS_TOP, BS_VCENTER, BS_BOTTOM};

DWORD Alignment(const DWORD (&table)[3], int32_t number) { return table[number >= 0 && number < 3 ? number : 1]; }

class ButtonUnit : public UnitObject {
 public:
  ButtonUnit(uint32_t windowId, uint32_t unitId, OwnedFont font, OwnedBitmap picture)
      : UnitObject(windowId, unitId), font_(std::move(font)), picture_(std::move(picture)) {}

  void OnCommand(WORD notification) override {
    if (notification == BN_CLICKED) Raise(EVENT_BUTTON_CLICK);
  }

 private:
  OwnedFont font_;
  OwnedBitmap picture_;
};

}  // namespace

HWND CreateButtonUnit(const UnitCreation& c) {
  const std::optional<ButtonProperties> p = ReadButtonProperties(c.properties);
  if (!p) return nullptr;
  OwnedBitmap picture = p->picture.empty() ? OwnedBitmap() : PictureBitmap(p->picture);
  const DWORD style = WS_CHILD | c.styleBits | (p->type == 1 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) |
                      Alignment(kHorizontalAlignment, p->horizontalAlignment) |
                      Alignment(kVerticalAlignment, p->verticalAlignment) | (picture ? BS_BITMAP : 0);
  // The wide form makes a Unicode button: the system's button class has both kinds.
  HWND button = CreateWindowExW(0, L"BUTTON", WideFromGbk(p->caption).c_str(), style, c.left, c.top, c.width,
                                c.height, c.parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.controlId)),
                                GetModuleHandleW(nullptr), nullptr);
  if (!button) return nullptr;
  OwnedFont font = FontOfField(p->font);
  if (font) SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  if (picture) SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.get()));
  return AttachUnitObject(button, std::make_unique<ButtonUnit>(c.windowId, c.unitId, std::move(font), std::move(picture)));
}
