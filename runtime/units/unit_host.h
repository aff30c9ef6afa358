// What a unit asks of whoever made it. The maker hands this to every unit at creation, so that
// the units never call back into the code that loads them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "runtime/units/unit_events.h"

class UnitHost {
 public:
  // Whether the units of the window raise events from their messages.
  virtual bool WindowTakesEvents(uint32_t windowId) const = 0;
  // Calls the handler bound to the record's event and stores its answer in the record; false
  // (and the record untouched) when there is none.
  virtual bool FireEvent(EventRecord& record) const = 0;
  // The cursor bytes the unit shows over its client area; empty when it names none.
  virtual std::span<const unsigned char> UnitCursor(uint32_t windowId, uint32_t unitId) const = 0;
  // The icons a window without one of its own shows: ICON_BIG or ICON_SMALL; null when none.
  virtual HICON DefaultIcon(WPARAM size) const = 0;
  // The owner of a top-level window that shows no taskbar button.
  virtual HWND TaskbarlessOwner() const = 0;
  // The window unit starts being destroyed; a unit's window is gone.
  virtual void WindowUnitClosing(uint32_t windowId) const = 0;
  virtual void UnitWindowDestroyed(uint32_t windowId, uint32_t unitId, HWND window) const = 0;

 protected:
  ~UnitHost() = default;
};
