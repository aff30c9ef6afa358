// LoadWindow, step by step: the live copy of the records, the units made last to first,
// containers, stacking order, set-up messages, visibility, the creation events while the
// window is still hidden, the first showing, and the modal case.
#include "runtime/frame/window_loader.h"

#include <algorithm>
#include <span>

#include "runtime/display_scale.h"
#include "runtime/frame/events.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/frame/window_registry.h"
#include "runtime/runtime_error.h"
#include "runtime/units/unit_host.h"
#include "runtime/units/unit_types.h"
#include "runtime/units/unit_window.h"
#include "runtime/units/window_unit.h"

namespace {

constexpr int32_t kFirstControlId = 100;
constexpr int32_t kControlIdStep = 10;

DWORD StyleBits(int32_t flags) {
  return ((flags & UNIT_DISABLED) ? WS_DISABLED : 0) | ((flags & UNIT_TABSTOP) ? WS_TABSTOP : 0);
}

// What the units of the loaded windows are handed: the loaded windows' records answer them.
class LoadedWindowsHost final : public UnitHost {
 public:
  bool WindowTakesEvents(uint32_t windowId) const override {
    const LoadedWindow* window = FindLoadedWindow(windowId);
    return window && window->loaded && !window->closing;
  }

  bool FireEvent(EventRecord& record) const override { return ::FireEvent(record); }

  std::span<const unsigned char> UnitCursor(uint32_t windowId, uint32_t unitId) const override {
    LoadedWindow* window = FindLoadedWindow(windowId);
    const LiveUnit* unit = window ? FindLiveUnit(*window, unitId) : nullptr;
    if (!unit) return {};
    return unit->cursor;
  }

  HICON DefaultIcon(WPARAM size) const override { return Runtime().defaultIcons[size == ICON_BIG ? 0 : 1]; }

  HWND TaskbarlessOwner() const override { return Runtime().hiddenWindow; }

  void WindowUnitClosing(uint32_t windowId) const override {
    LoadedWindow* window = FindLoadedWindow(windowId);
    if (!window) return;
    window->closing = true;
    // The windows a modal load disabled come back before this one goes, so that one of them
    // can take the activation.
    for (HWND disabled : window->disabledByModal)
      if (IsWindow(disabled)) EnableWindow(disabled, TRUE);
    window->disabledByModal.clear();
  }

  void UnitWindowDestroyed(uint32_t windowId, uint32_t unitId, HWND hwnd) const override {
    LoadedWindow* window = FindLoadedWindow(windowId);
    if (!window) return;
    if (unitId != 0) {
      LiveUnit* unit = FindLiveUnit(*window, unitId);
      if (unit && unit->window == hwnd) unit->window = nullptr;
      return;
    }
    if (window->hwnd() != hwnd) return;
    RemoveLoadedWindow(windowId);
    if (Runtime().inLoop && !Runtime().exiting && !AnyLoadedWindow()) PostQuitMessage(0);
  }
};

const LoadedWindowsHost kLoadedWindowsHost;

// The unit's creation at `dpi`: the template's rectangle, given for 96 DPI, scaled to it. The
// window unit is made at 96 and finds its own DPI.
UnitCreation CreationOf(const LoadedWindow& window, const LiveUnit& unit, HWND parent, int32_t controlId,
                        UINT dpi = kDesignDpi) {
  const int32_t left = ScaledToDpi(unit.left, dpi), top = ScaledToDpi(unit.top, dpi);
  // Right and bottom edges scaled as the left and top are, so that units that touch at 96 DPI
  // still touch.
  const int32_t width = ScaledToDpi(unit.left + unit.width, dpi) - left;
  const int32_t height = ScaledToDpi(unit.top + unit.height, dpi) - top;
  return {parent, unit.properties, StyleBits(unit.flags), controlId, left, top, width, height,
          window.id, &unit == &window.units.front() ? 0u : unit.id, &kLoadedWindowsHost, dpi};
}

// Whether the window made by this load is still there, and still the loaded one.
bool StillThere(uint32_t windowId, HWND hwnd) {
  const LoadedWindow* window = FindLoadedWindow(windowId);
  return window && window->hwnd() == hwnd && !window->closing && IsWindow(hwnd);
}

void BringForward(HWND hwnd) {
  if (IsIconic(hwnd)) {
    ShowWindow(hwnd, SW_RESTORE);
    return;
  }
  SetForegroundWindow(hwnd);
  SetActiveWindow(hwnd);
}

// Step 4: the window unit, then the units from the last record back to the second. Units of a
// type this runtime does not make stay without a window. Null when the window unit fails.
HWND CreateUnits(LoadedWindow& window, HWND owner) {
  LiveUnit& main = window.units.front();
  const UnitType* windowType = FindUnitType(main.type);
  if (!windowType || !windowType->create) return nullptr;
  main.window = windowType->create(CreationOf(window, main, owner, 0));
  if (!main.window) return nullptr;
  const UINT dpi = DpiOfWindow(main.window);
  int32_t controlId = kFirstControlId;
  for (size_t i = window.units.size() - 1; i >= 1; --i) {
    LiveUnit& unit = window.units[i];
    const UnitType* type = FindUnitType(unit.type);
    if (!type || !type->create) continue;
    unit.window = type->create(CreationOf(window, unit, main.window, controlId, dpi));
    if (unit.window) controlId += kControlIdStep;
  }
  return main.window;
}

// A window the show command activates is shown without activation and painted first, then
// activated as that command would have activated it: it ends as the one call would leave it, and
// its first frame does not wait for the activation (measured under Wine: 12 ms, the focus given
// to the first tab stop among it). Other commands are used as they are.
void ShowForTheFirstTime(HWND hwnd, int command) {
  if (command != SW_SHOWNORMAL && command != SW_SHOW) {
    ShowWindow(hwnd, command);
    return;
  }
  ShowWindow(hwnd, SW_SHOWNA);
  UpdateWindow(hwnd);
  SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

// Step 5: every unit into its container.
void Reparent(LoadedWindow& window) {
  for (LiveUnit& unit : window.units) {
    if (&unit == &window.units.front() || !unit.window || unit.parentId == 0) continue;
    const LiveUnit* container = FindLiveUnit(window, unit.parentId);
    if (container && container->window && container != &unit) SetParent(unit.window, container->window);
  }
}

// Step 6: each unit directly below the nearest earlier unit of the same parent, or on top.
void ArrangeStackingOrder(LoadedWindow& window) {
  for (size_t i = 1; i < window.units.size(); ++i) {
    const HWND unit = window.units[i].window;
    if (!unit) continue;
    HWND above = HWND_TOP;
    for (size_t j = i - 1; j >= 1; --j) {
      const HWND earlier = window.units[j].window;
      if (earlier && GetParent(earlier) == GetParent(unit)) {
        above = earlier;
        break;
      }
    }
    SetWindowPos(unit, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

// Sends a message to every unit, last to first; the window unit too when asked.
void SendToUnits(const LoadedWindow& window, UINT message, bool windowToo) {
  const size_t last = windowToo ? 0 : 1;
  for (size_t i = window.units.size(); i-- > last;)
    if (window.units[i].window) SendMessageA(window.units[i].window, message, 0, 0);
}

// Step 8.
void ShowUnits(const LoadedWindow& window) {
  for (size_t i = 1; i < window.units.size(); ++i) {
    const LiveUnit& unit = window.units[i];
    if (unit.window) ShowWindow(unit.window, (unit.flags & UNIT_VISIBLE) ? SW_SHOWNA : SW_HIDE);
  }
}

bool RaiseWindowEvent(uint32_t windowId, int32_t event) {
  EventRecord record;
  record.windowId = windowId;
  record.event = event;
  return FireEvent(record);
}

// Step 11, after the window has been shown: the focus event of the unit that holds the focus.
void RaiseFocusEvent(HWND hwnd) {
  const HWND focus = GetFocus();
  if (!focus || (focus != hwnd && !IsChild(hwnd, focus))) return;
  if (const UnitObject* unit = EnclosingUnit(focus)) unit->Raise(EVENT_FOCUS);
}

bool OwnedBy(HWND window, HWND owner) {
  for (HWND up = GetWindow(window, GW_OWNER); up; up = GetWindow(up, GW_OWNER))
    if (up == owner) return true;
  return false;
}

BOOL CALLBACK DisableIfOther(HWND other, LPARAM context) {
  auto& window = *reinterpret_cast<LoadedWindow*>(context);
  const HWND modal = window.hwnd();
  if (other == modal || OwnedBy(other, modal) || !IsWindowVisible(other) || !IsWindowEnabled(other)) return TRUE;
  EnableWindow(other, FALSE);
  window.disabledByModal.push_back(other);
  return TRUE;
}

// Step 12 for a modal load: every other top-level window of the program's thread that the user
// could reach, whoever made it, is disabled until this one closes; the windows it owns stay
// usable with it.
void DisableOtherWindows(LoadedWindow& window) {
  EnumThreadWindows(GetCurrentThreadId(), &DisableIfOther, reinterpret_cast<LPARAM>(&window));
}

// A modal load waits here until its window is gone; a WM_QUIT on the way is passed on. Wide
// forms, as in RunMessageLoop.
void RunModalLoop(uint32_t windowId, HWND hwnd) {
  MSG message;
  while (StillThere(windowId, hwnd)) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) return;
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace

bool LoadWindow(uint32_t windowId, bool modal, HWND owner) {
  const TemplateWindow* source = FindTemplate(windowId);
  if (!source || Runtime().exiting) return false;
  if (LoadedWindow* existing = FindLoadedWindow(windowId)) {
    const HWND hwnd = existing->hwnd();
    if (hwnd && IsWindow(hwnd)) {
      BringForward(hwnd);
      // Loaded modally now: shown, the others disabled, and the load returns when it is gone.
      if (modal) {
        existing->modal = true;
        if (!IsWindowVisible(hwnd)) ShowWindow(hwnd, SW_SHOW);
        DisableOtherWindows(*existing);
        RunModalLoop(windowId, hwnd);
      }
      return true;
    }
    RemoveLoadedWindow(windowId);
  }

  NotifyRuntimeLibraries(LibraryNotice::LoadingBegins);
  LoadedWindow& window = AddLoadedWindow(*source);
  window.modal = modal;
  // No unit type of this runtime is a menu, so no window gets a menu or accelerators here.
  const HWND hwnd = CreateUnits(window, owner);
  if (!hwnd) {
    RemoveLoadedWindow(windowId);
    NotifyRuntimeLibraries(LibraryNotice::LoadingEnded);
    return false;
  }
  Reparent(window);
  ArrangeStackingOrder(window);
  SendToUnits(window, kUnitSetUpMessage, false);
  SendMessageA(hwnd, kWindowSetUpMessage, 0, 0);
  ShowUnits(window);
  NotifyRuntimeLibraries(LibraryNotice::LoadingEnded);

  // From here on handlers run and may destroy the window (and `window` with it).
  constexpr int32_t kCreationEvents[] = {EVENT_WINDOW_CREATED, EVENT_WINDOW_CREATED_THIRD,
                                         EVENT_WINDOW_CREATED_FOURTH};
  for (int32_t event : kCreationEvents) {
    if (!StillThere(windowId, hwnd)) return true;
    RaiseWindowEvent(windowId, event);
  }
  if (!StillThere(windowId, hwnd)) return true;
  const LiveUnit& main = FindLoadedWindow(windowId)->units.front();
  if (main.flags & UNIT_VISIBLE) {
    ShowForTheFirstTime(hwnd, FirstShowCommand(main.properties, modal));
    RaiseFocusEvent(hwnd);
  }
  if (!StillThere(windowId, hwnd)) return true;

  LoadedWindow& shown = *FindLoadedWindow(windowId);
  const HWND focus = GetFocus();
  if (modal) DisableOtherWindows(shown);
  SendToUnits(shown, kUnitLoadedMessage, true);
  if (focus && GetFocus() != focus && IsWindow(focus)) SetFocus(focus);
  shown.loaded = true;
  if (modal) RunModalLoop(windowId, hwnd);
  return true;
}

void LoadStartWindow(uint32_t windowId) {
  if (!LoadWindow(windowId, false, nullptr)) ReportRuntimeError("载入启动窗口失败", 0);
}
