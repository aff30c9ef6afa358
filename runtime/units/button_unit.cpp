// The button kind: a system push button under the unit procedure; its click is event 0, and Enter
// presses it while it has the focus.
#include <string>

#include "runtime/win_handles.h"
#include "runtime/templates/property_blocks.h"
#include "runtime/units/pictures.h"
#include "runtime/units/unit_fonts.h"
#include "runtime/units/unit_types.h"
#include "runtime/units/unit_window.h"
#include "runtime/system_text.h"
#include "runtime/wide_text.h"

namespace {

// By the block's alignment numbers; a number outside a table reads as centred.
constexpr DWORD kHorizontalAlignment[] = {BS_LEFT, BS_CENTER, BS_RIGHT};
constexpr DWORD kVerticalAlignment[] = {BS_TOP, BS_VCENTER, BS_BOTTOM};

DWORD Alignment(const DWORD (&table)[3], int32_t number) { return table[number >= 0 && number < 3 ? number : 1]; }

constexpr LPARAM kKeyWasDown = 1 << 30;  // a key message's previous key state: a repeat

// Buttons that are pressed rather than checked; an owner-drawn one (as a skin makes them) too.
bool IsPushButton(HWND button) {
  const LONG_PTR kind = GetWindowLongPtrA(button, GWL_STYLE) & BS_TYPEMASK;
  return kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON || kind == BS_OWNERDRAW;
}

class ButtonUnit : public UnitObject {
 public:
  ButtonUnit(const UnitCreation& c, const ButtonProperties& p, OwnedFont font, OwnedBitmap picture)
      : UnitObject(c), fontField_(p.font), font_(std::move(font)), picture_(std::move(picture)) {}

  void OnCommand(WORD notification) override {
    if (notification == BN_CLICKED) Raise(EVENT_BUTTON_CLICK);
  }

  // Enter presses a focused push button once, as in a dialog box: the parent hears of it as of
  // a click. A held key's repeats press nothing. Space is the button class's own.
  bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (message == kDpiChangedAfterParent) {
      RemakeFont(window, wParam ? static_cast<UINT>(wParam) : DpiOfWindow(window));
      return false;
    }
    if (message != WM_KEYDOWN || wParam != VK_RETURN || !IsPushButton(window)) return false;
    if (!(lParam & kKeyWasDown))
      SendMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), BN_CLICKED),
                   reinterpret_cast<LPARAM>(window));
    result = 0;
    return true;
  }

 private:
  // The window now shows at another DPI: the same font made for it.
  void RemakeFont(HWND window, UINT dpi) {
    if (!font_) return;
    OwnedFont font = FontOfField(fontField_, StoredWindowText(window), dpi);
    if (!font) return;
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    font_ = std::move(font);
  }

  FontField fontField_;  // a view into the template's constant table, which outlives the unit
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
  OwnedFont font = FontOfField(p->font, WideFromGbk(p->caption), c.dpi);
  if (font) SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  if (picture) SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.get()));
  return AttachUnitObject(button, std::make_unique<ButtonUnit>(c, *p, std::move(font), std::move(picture)));
}
