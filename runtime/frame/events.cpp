// The handler lookup through the loaded windows' own unit records, and the call.
#include "runtime/frame/events.h"

#include <algorithm>
#include <span>
#include <vector>

#include "runtime/frame/runtime_state.h"
#include "runtime/frame/window_registry.h"
#include "runtime/runtime_error.h"
#include "runtime/units/unit_types.h"

namespace {

// Follows the links to the unit whose event table is used. A link to a unit of another type,
// to a unit the window does not have, or back to a unit already passed ends the walk.
const LiveUnit& EventTableOwner(LoadedWindow& window, LiveUnit& start) {
  std::vector<const LiveUnit*> passed{&start};
  const LiveUnit* unit = &start;
  while (unit->link != 0) {
    const LiveUnit* next = FindLiveUnit(window, unit->link);
    if (!next || next->type != unit->type || std::find(passed.begin(), passed.end(), next) != passed.end()) break;
    passed.push_back(next);
    unit = next;
  }
  return *unit;
}

}  // namespace

EventHandler FindEventHandler(uint32_t windowId, uint32_t unitId, int32_t event) {
  if (RuntimeErrorCount() >= 1 || Runtime().exiting) return nullptr;
  LoadedWindow* window = FindLoadedWindow(windowId);
  if (!window) ReportRuntimeError("未找到引发事件的窗口", 0);
  LiveUnit* unit = FindLiveUnit(*window, unitId);
  if (!unit) ReportRuntimeError("未找到引发事件的窗口组件", 0);
  const LiveUnit& owner = EventTableOwner(*window, *unit);
  const UnitType* type = FindUnitType(owner.type);
  if (!type || !TypeHasEvents(*type)) ReportRuntimeError("引发事件的窗口组件无效", 0);
  for (const BoundEvent& binding : owner.events) {
    if (binding.event != event) continue;
    if (binding.handler) Runtime().eventSource = {windowId, unitId};
    return binding.handler;
  }
  return nullptr;
}

bool FireEvent(EventRecord& record) {
  // A handler may raise further events; each call gives the source back as it found it.
  const EventSource outer = Runtime().eventSource;
  const EventHandler handler = FindEventHandler(record.windowId, record.unitId, record.event);
  if (!handler) return false;
  const auto count = static_cast<size_t>(std::clamp(record.count, 0, kMaxEventArguments));
  const HandlerResult result = handler(std::span<const int32_t>(record.arguments, count));
  Runtime().eventSource = outer;
  record.given = result.given;
  record.value = result.value;
  return true;
}

EventSource CurrentEventSource() { return Runtime().eventSource; }
