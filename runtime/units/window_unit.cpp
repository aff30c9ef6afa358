// The window kind: a top-level window made from the window property block (frame and caption,
// boxes, start position, taskbar owner, topmost placement, icon, sound, background colour).
#include <windows.h>
#include <mmsystem.h>

#include <string>

#include "runtime/win_handles.h"
#include "runtime/lazy_procedure.h"
#include "runtime/templates/property_blocks.h"
#include "runtime/units/background_brush.h"
#include "runtime/units/icon_file.h"
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
  WindowUnit(const UnitCreation& c, const WindowProperties& properties)
      : UnitObject(c), background_(properties.backColour) {}

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

  BackgroundBrush background_;
  OwnedIcon largeIcon_;
  OwnedIcon smallIcon_;
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

POINT WindowPosition(const WindowProperties& p, const UnitCreation& c) {
  if (p.startPosition != START_CENTRED) return {c.left, c.top};
  return {(GetSystemMetrics(SM_CXSCREEN) - c.width) / 2, (GetSystemMetrics(SM_CYSCREEN) - c.height) / 2};
}

void SetIcons(HWND window, WindowUnit& unit, const WindowProperties& p) {
  if (p.icon.empty()) {
    for (const WPARAM size : {ICON_BIG, ICON_SMALL})
      if (const HICON icon = unit.host().DefaultIcon(size)) SendMessageA(window, WM_SETICON, size, reinterpret_cast<LPARAM>(icon));
    return;
  }
  OwnedIcon large = IconFromFile(p.icon, GetSystemMetrics(SM_CXICON));
  OwnedIcon small = IconFromFile(p.icon, GetSystemMetrics(SM_CXSMICON));
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
  const POINT at = WindowPosition(*p, c);
  HWND window = CreateWindowExW(WindowExStyle(*p), wideClassName.c_str(), WideFromGbk(p->title).c_str(),
                                WindowStyle(*p, c.styleBits), at.x, at.y, c.width, c.height, owner, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  if (!window) return nullptr;
  auto object = std::make_unique<WindowUnit>(c, *p);
  WindowUnit& unit = *object;
  if (!AttachUnitObject(window, std::move(object))) return nullptr;
  if (p->movable == 0) DeleteMenu(GetSystemMenu(window, FALSE), SC_MOVE, MF_BYCOMMAND);
  SetIcons(window, unit, *p);
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
