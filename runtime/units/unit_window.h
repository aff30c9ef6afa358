// What every unit shares: the object behind the unit's window, the window procedure that turns
// the common messages into events, and how a window of any class is put under that procedure.
// Unit windows are Unicode windows, so that their texts show right whatever the system's ANSI
// code page is (runtime/system_text.h says what an ANSI window does to them).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>

#include "runtime/units/unit_cursor.h"
#include "runtime/units/unit_events.h"
#include "runtime/units/unit_host.h"
#include "runtime/units/unit_types.h"
#include "runtime/win_handles.h"

// Messages the loader sends while it builds a window.
constexpr UINT kUnitSetUpMessage = 0x806F;    // to every unit: finish your own set-up
constexpr UINT kWindowSetUpMessage = 0x8004;  // to the window unit, after its units
constexpr UINT kUnitLoadedMessage = 0x8076;   // to every unit at the end of the load
// A control's notification, sent back by its parent to the control's own unit.
constexpr UINT kReflectedCommand = WM_USER + 0x1C00 + WM_COMMAND;  // OCM_COMMAND

class UnitObject {
 public:
  explicit UnitObject(const UnitCreation& creation)
      : host_(*creation.host), windowId_(creation.windowId), unitId_(creation.unitId) {}
  virtual ~UnitObject() = default;
  UnitObject(const UnitObject&) = delete;
  UnitObject& operator=(const UnitObject&) = delete;

  // The kind's own handling of a message; true when it answered it (with `result`).
  virtual bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // A notification code the unit's control sent its parent (WM_COMMAND).
  virtual void OnCommand(WORD notification);

  // Whoever made the unit: it binds the unit's events and is told when the unit goes.
  const UnitHost& host() const { return host_; }
  uint32_t windowId() const { return windowId_; }
  uint32_t unitId() const { return unitId_; }
  HWND window() const { return window_; }
  // The procedure below the unit's: the class's own for a foreign class, else DefWindowProcW.
  // Called with CallWindowProcW, which converts for a class procedure of the ANSI kind.
  WNDPROC defaultProcedure() const { return defaultProcedure_; }

  // Raises one of the unit's events; the record comes back with the handler's answer.
  EventRecord Raise(int32_t event, std::span<const int32_t> arguments = {}) const;

  // The cursor the unit shows over its client area.
  UnitCursor& cursor() { return cursor_; }

 private:
  friend HWND AttachUnitObject(HWND window, std::unique_ptr<UnitObject> object);
  friend class DispatchDepth;
  friend LRESULT DetachUnitObject(UnitObject& unit, HWND window, WPARAM wParam, LPARAM lParam);
  const UnitHost& host_;
  uint32_t windowId_;
  uint32_t unitId_;
  HWND window_ = nullptr;
  WNDPROC defaultProcedure_ = DefWindowProcW;
  UnitCursor cursor_;
  int depth_ = 0;          // calls of the unit's procedure in progress
  bool detached_ = false;  // the window is gone; the object goes when the last call returns
};

// The procedure every unit window runs under.
LRESULT CALLBACK UnitWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Puts a newly made unit window under UnitWindowProc with its object; the window owns the object
// from here on and deletes it when it is destroyed. A window of a class whose procedure is
// another one is subclassed (as a Unicode window, whatever kind it was), that procedure becoming
// the unit's default procedure. Gives back the window; on failure destroys it, deletes the
// object and gives back null.
HWND AttachUnitObject(HWND window, std::unique_ptr<UnitObject> object);

// The object of a unit window; null for any other window.
UnitObject* UnitObjectOf(HWND window);
// The unit that holds `window`: the window itself or its nearest ancestor that is a unit.
UnitObject* EnclosingUnit(HWND window);

// Makes sure a window class of this (GBK) name exists: registers it the first time under
// UnitWindowProc as a Unicode class (redraw on resize, double clicks, arrow cursor, no
// background brush) unless the system or the program already has one of that name. `library`
// remembers who registered it, so that the library's exit takes it away again.
bool UseRuntimeClass(const char* name, uint32_t library);
void UnregisterRuntimeClasses(uint32_t library);

// The key-state word of the events: 1 Ctrl, 2 Shift, 4 Alt.
int32_t CurrentKeyState();

// Answers the painting messages of a kind that paints itself: WM_PAINT (into the given DC, or
// between BeginPaint and EndPaint) and WM_PRINTCLIENT, each by paint(window, dc). False for any
// other message.
template <class Paint>
bool AnswerPaintMessage(HWND window, UINT message, WPARAM wParam, Paint paint) {
  switch (message) {
    case WM_PAINT:
      if (wParam) {
        paint(window, reinterpret_cast<HDC>(wParam));
      } else {
        PaintDc dc(window);
        paint(window, dc.get());
      }
      return true;
    case WM_PRINTCLIENT:
      paint(window, reinterpret_cast<HDC>(wParam));
      return true;
  }
  return false;
}
