// The window kind: a top-level window made from the window property block (frame and caption,
// boxes, start position, taskbar owner, topmost placement, icon, sound, background colour).
#include <windows.h>
#include <mmsystem.h>

#include <string>
#include <utility>

#include "runtime/display_scale.h"
#include "runtime/win_handles.h"
#include "runtime/lazy_procedure.h"
#include "runtime/templates/property_blocks.h"
#include "runtime/units/background_brush.h"
#include "runtime/units/icon_file.h"
#include "runtime/units/tab_stops.h"
#include "runtime/units/unit_types.h"
#include "runtime/units/unit_window.h"
#include "runtime/units/window_unit.h"
#include "runtime/wide_text.h"

namespace {

constexpr char kDefaultClass[] = "WTWindow";

struct BorderStyle {
  DWORD style;
  DWORD exStyle;
  bool sizable;
};

// By the block's border-style number; a number outside the table reads as the default, 2.
constexpr BorderStyle kBorderStyles[] = {
    {0, 0, false},                                // 0 no frame, no caption
    {WS_THICKFRAME, 0, true},                     // 1 sizable
    {WS_BORDER, 0, false},                        // 2 fixed
    {WS_THICKFRAME, WS_EX_TOOLWINDOW, true},      // 3 sizable tool window
    {WS_BORDER, WS_EX_TOOLWINDOW, false},         // 4 fixed tool window
    {WS_THICKFRAME, WS_EX_CLIENTEDGE, true},      // 5 sizable, sunken client edge
    {WS_BORDER, WS_EX_CLIENTEDGE, false},         // 6 fixed, sunken client edge
};

const BorderStyle& BorderStyleOf(int32_t number) {
  return kBorderStyles[number >= 0 && number < 7 ? number : 2];
}

enum StartPosition : int32_t { START_CENTRED = 1, START_MINIMISED = 2, START_MAXIMISED = 3 };

class WindowUnit : public UnitObject {
 public:
  WindowUnit(const UnitCreation& c, const WindowProperties& properties, UINT dpi)
      : UnitObject(c), background_(properties.backColour), dpi_(dpi) {}

  void SetIcons(OwnedIcon large, OwnedIcon small) {
    largeIcon_ = std::move(large);
    smallIcon_ = std::move(small);
  }

  bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    switch (message) {
      case WM_ERASEBKGND:
        result = EraseBackground(window, reinterpret_cast<HDC>(wParam));
        return true;
      case WM_CTLCOLORBTN:
        result = reinterpret_cast<LRESULT>(background_.get());
        return true;
      case WM_COMMAND:
        if (lParam) SendMessageA(reinterpret_cast<HWND>(lParam), kReflectedCommand, wParam, lParam);
        return false;
      case WM_DESTROY:
        host().WindowUnitClosing(windowId());
        return false;
      case WM_DPICHANGED:
        MoveToDpi(window, LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        result = 0;
        return true;
      case WM_ACTIVATE:
        result = 0;
        return KeepUnitFocus(window, wParam);
    }
    return false;
  }

 private:
  LRESULT EraseBackground(HWND window, HDC dc) const {
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, background_.get());
    return 1;
  }

  // As in a dialog box: the unit that had the focus gets it back when the window is active
  // again, and the first tab stop gets it when none had it yet. The default handling gives the
  // focus to the window itself, where no key reaches a unit until the user clicks one. True when
  // the focus was placed.
  bool KeepUnitFocus(HWND window, WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
      // Sent while the focus is still where the user left it.
      const HWND focus = GetFocus();
      if (focus && IsChild(window, focus)) lastFocus_ = focus;
      return false;
    }
    if (HIWORD(wParam)) return false;  // minimised: nothing has the focus
    HWND target = lastFocus_;
    const bool usable = target && IsChild(window, target) &&
                        (GetWindowLongPtrW(target, GWL_STYLE) & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE;
    if (!usable) target = FirstTabStop(window);
    if (!target) return false;
    SetFocus(target);
    return true;
  }

  // The window now shows at `dpi` (moved to another monitor, or the scale changed): it takes the
  // rectangle the system suggests, every unit in it keeps its place and size in proportion, and
  // each is told so that it makes its fonts again.
  void MoveToDpi(HWND window, UINT dpi, const RECT* suggested) {
    if (dpi == 0) return;
    const UINT from = std::exchange(dpi_, dpi);
    if (suggested)
      SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (from == dpi) return;
    const std::pair<UINT, UINT> change{from, dpi};
    EnumChildWindows(window, &RescaleUnit, reinterpret_cast<LPARAM>(&change));
  }

  // Units at every depth, each within its own container; the windows a system control keeps
  // inside it (a combo box's edit field) are the control's to place.
  static BOOL CALLBACK RescaleUnit(HWND unit, LPARAM context) {
    if (!UnitObjectOf(unit)) return TRUE;
    const auto [from, to] = *reinterpret_cast<const std::pair<UINT, UINT>*>(context);
    RECT r;
    GetWindowRect(unit, &r);
    MapWindowPoints(nullptr, GetParent(unit), reinterpret_cast<POINT*>(&r), 2);
    const int32_t left = RescaledDpi(r.left, from, to), top = RescaledDpi(r.top, from, to);
    SetWindowPos(unit, nullptr, left, top, RescaledDpi(r.right, from, to) - left,
                 RescaledDpi(r.bottom, from, to) - top, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(unit, kDpiChangedAfterParent, to, 0);
    return TRUE;
  }

  BackgroundBrush background_;
  UINT dpi_;
  OwnedIcon largeIcon_;
  OwnedIcon smallIcon_;
  HWND lastFocus_ = nullptr;
};

DWORD WindowStyle(const WindowProperties& p, DWORD styleBits) {
  const BorderStyle& border = BorderStyleOf(p.borderStyle);
  DWORD style = WS_POPUP | WS_CLIPSIBLINGS | border.style | styleBits;
  const bool caption = p.borderStyle != 0 && (!p.title.empty() || p.controlBox == 1);
  if (caption) style |= WS_CAPTION;
  if (caption && p.controlBox == 1) style |= WS_SYSMENU;
  if (p.maximiseBox == 1) style |= WS_MAXIMIZEBOX;
  if (p.minimiseBox == 1) style |= WS_MINIMIZEBOX;
  return style;
}

DWORD WindowExStyle(const WindowProperties& p) {
  const BorderStyle& border = BorderStyleOf(p.borderStyle);
  return border.exStyle | (p.borderStyle != 0 ? WS_EX_DLGMODALFRAME : 0);
}

// The window's rectangle on the screen at `dpi`: the template's size scaled, centred or at the
// template's place (scaled too, as the system would place a window of a program unaware of DPI).
RECT WindowRectangle(const WindowProperties& p, const UnitCreation& c, UINT dpi) {
  const int32_t width = ScaledToDpi(c.width, dpi), height = ScaledToDpi(c.height, dpi);
  if (p.startPosition != START_CENTRED) {
    const int32_t left = ScaledToDpi(c.left, dpi), top = ScaledToDpi(c.top, dpi);
    return {left, top, left + width, top + height};
  }
  const int32_t left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2, top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  return {left, top, left + width, top + height};
}

void SetIcons(HWND window, WindowUnit& unit, const WindowProperties& p, UINT dpi) {
  if (p.icon.empty()) {
    for (const WPARAM size : {ICON_BIG, ICON_SMALL})
      if (const HICON icon = unit.host().DefaultIcon(size)) SendMessageA(window, WM_SETICON, size, reinterpret_cast<LPARAM>(icon));
    return;
  }
  OwnedIcon large = IconFromFile(p.icon, SystemMetricAtDpi(SM_CXICON, dpi));
  OwnedIcon small = IconFromFile(p.icon, SystemMetricAtDpi(SM_CXSMICON, dpi));
  SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large.get()));
  SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
  unit.SetIcons(std::move(large), std::move(small));
}

}  // namespace

HWND CreateWindowUnit(const UnitCreation& c) {
  const std::optional<WindowProperties> p = ReadWindowProperties(c.properties);
  if (!p) return nullptr;
  const std::string className = p->className.empty() ? std::string(kDefaultClass) : std::string(p->className);
  if (!UseRuntimeClass(className.c_str(), 1)) return nullptr;
  const std::wstring wideClassName = WideFromGbk(className);
  // Without a taskbar button the window is owned by the runtime's hidden window.
  HWND owner = c.parent ? c.parent : (p->shownInTaskbar == 0 ? c.host->TaskbarlessOwner() : nullptr);
  const RECT at = WindowRectangle(*p, c, kDesignDpi);
  HWND window = CreateWindowExW(WindowExStyle(*p), wideClassName.c_str(), WideFromGbk(p->title).c_str(),
                                WindowStyle(*p, c.styleBits), at.left, at.top, c.width, c.height, owner, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  if (!window) return nullptr;
  // Which monitor, and so which DPI, the window shows at is known once it exists; it is still
  // hidden, so it takes its size for that DPI before anyone sees it.
  const UINT dpi = DpiOfWindow(window);
  if (dpi != kDesignDpi) {
    const RECT scaled = WindowRectangle(*p, c, dpi);
    SetWindowPos(window, nullptr, scaled.left, scaled.top, scaled.right - scaled.left, scaled.bottom - scaled.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  auto object = std::make_unique<WindowUnit>(c, *p, dpi);
  WindowUnit& unit = *object;
  if (!AttachUnitObject(window, std::move(object))) return nullptr;
  if (p->movable == 0) DeleteMenu(GetSystemMenu(window, FALSE), SC_MOVE, MF_BYCOMMAND);
  SetIcons(window, unit, *p, dpi);
  if (p->alwaysOnTop == 1) SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // The sound lies in the constant table, which outlives the asynchronous playing.
  if (!p->sound.empty() && (p->soundPlayMode == 0 || p->soundPlayMode == 1)) {
    static const auto playSound = LazyProcedure<decltype(&PlaySoundA)>("winmm.dll", "PlaySoundA");
    if (playSound)
      playSound(reinterpret_cast<const char*>(p->sound.data()), nullptr, SND_MEMORY | SND_ASYNC | SND_NODEFAULT);
  }
  return window;
}

int FirstShowCommand(std::span<const unsigned char> properties, bool modal) {
  const std::optional<WindowProperties> p = ReadWindowProperties(properties);
  if (modal || !p) return SW_SHOW;
  if (p->startPosition == START_MAXIMISED && BorderStyleOf(p->borderStyle).sizable) return SW_SHOWMAXIMIZED;
  if (p->startPosition == START_MINIMISED) return SW_SHOWMINIMIZED;
  return SW_SHOW;
}

void UnregisterCoreUnitClasses() { UnregisterRuntimeClasses(1); }
