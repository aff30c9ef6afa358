// Numbered events: the lookup of the handler the template binds to an event a unit raises, and
// the call.
#pragma once

#include <cstdint>

#include "runtime/templates/template_program.h"
#include "runtime/units/unit_events.h"

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
