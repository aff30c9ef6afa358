// Numbered events: the record a unit builds when it raises one, the lookup of the handler the
// template binds to it, and the call.
#pragma once

#include <cstdint>

#include "runtime/templates/template_program.h"

constexpr int32_t kMaxEventArguments = 4;

struct EventRecord {
  uint32_t windowId = 0;
  uint32_t unitId = 0;  // 0: the window itself
  int32_t event = 0;
  int32_t count = 0;
  int32_t arguments[kMaxEventArguments] = {};
  bool given = false;  // the handler gave a value
  int32_t value = 0;
};

// The common events every unit raises from its messages.
enum CommonEvent : int32_t {
  EVENT_LEFT_DOWN = -1,
  EVENT_LEFT_UP = -2,
  EVENT_LEFT_DOUBLE_CLICK = -3,
  EVENT_RIGHT_DOWN = -4,
  EVENT_RIGHT_UP = -5,
  EVENT_MOUSE_MOVE = -6,
  EVENT_FOCUS = -7,
  EVENT_KEY_DOWN = -9,
  EVENT_KEY_UP = -10,
  EVENT_CHARACTER = -11,
  EVENT_WHEEL = -12,
};

// The own events of the kinds this runtime creates.
enum UnitOwnEvent : int32_t {
  EVENT_WINDOW_CREATED = 0,
  EVENT_WINDOW_CREATED_THIRD = 3,
  EVENT_WINDOW_CREATED_FOURTH = 4,
  EVENT_BUTTON_CLICK = 0,
};

// The handler bound to the event; null when there is none, and always null once a runtime
// error was reported or the exit has begun. A window that is not loaded, a unit it does not
// have, and a unit whose type has no events are runtime errors. Follows the units' links.
EventHandler FindEventHandler(uint32_t windowId, uint32_t unitId, int32_t event);

// Calls the handler with the record's arguments and stores its answer in the record; false
// (and the record untouched) when there is no handler.
bool FireEvent(EventRecord& record);

// The unit whose handler is running; both 0 when none is.
struct EventSource {
  uint32_t windowId = 0;
  uint32_t unitId = 0;
};
EventSource CurrentEventSource();
