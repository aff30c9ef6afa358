// What a unit raises: the record of one event with its arguments and the handler's answer, and
// the event numbers the units of this runtime raise.
#pragma once

#include <cstdint>

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
