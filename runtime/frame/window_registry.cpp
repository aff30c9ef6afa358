// The template map and the loaded windows. Only the user-interface thread touches them.
#include "runtime/frame/window_registry.h"

#include <map>
#include <memory>

namespace {

struct Registry {
  std::map<uint32_t, TemplateWindow> templates;
  // Pointers stay put while other windows come and go; a handler may load or destroy windows
  // while a caller up the stack still holds its own entry.
  std::map<uint32_t, std::unique_ptr<LoadedWindow>> loaded;
};

Registry& registry() {
  static Registry instance;
  return instance;
}

bool BindEvents(const TemplateProgram& program, const UnitRecord& record, std::vector<BoundEvent>& events) {
  for (const EventBinding& binding : record.events) {
    EventHandler handler = HandlerAtOffset(program, binding.handler);
    if (!handler && binding.handler != -1) return false;
    events.push_back({binding.event, handler});
  }
  return true;
}

LiveUnit CopyOf(const TemplateUnit& source) {
  const UnitRecord& r = source.record;
  LiveUnit unit;
  unit.id = r.id;
  unit.type = r.type;
  unit.link = r.link;
  unit.name.assign(r.name);
  unit.tag.assign(r.tag);
  unit.left = r.left;
  unit.top = r.top;
  unit.width = r.width;
  unit.height = r.height;
  unit.parentId = r.parentId;
  unit.flags = r.flags;
  unit.cursor.assign(r.cursor.begin(), r.cursor.end());
  unit.events = source.events;
  unit.properties = r.properties;
  return unit;
}

}  // namespace

bool ReadProgramTemplates(const TemplateProgram& program) {
  std::optional<std::vector<WindowTemplate>> windows = ReadWindowTemplates(program.table);
  if (!windows) return false;
  std::map<uint32_t, TemplateWindow> templates;
  for (WindowTemplate& window : *windows) {
    TemplateWindow& bound = templates[window.id];
    bound.id = window.id;
    for (UnitRecord& record : window.units) {
      TemplateUnit unit{std::move(record), {}};
      if (!BindEvents(program, unit.record, unit.events)) return false;
      bound.units.push_back(std::move(unit));
    }
  }
  registry().templates = std::move(templates);
  return true;
}

const TemplateWindow* FindTemplate(uint32_t windowId) {
  auto it = registry().templates.find(windowId);
  return it == registry().templates.end() ? nullptr : &it->second;
}

LoadedWindow* FindLoadedWindow(uint32_t windowId) {
  auto it = registry().loaded.find(windowId);
  return it == registry().loaded.end() ? nullptr : it->second.get();
}

LiveUnit* FindLiveUnit(LoadedWindow& window, uint32_t unitId) {
  if (unitId == 0) return &window.units.front();
  for (LiveUnit& unit : window.units)
    if (unit.id == unitId) return &unit;
  return nullptr;
}

LoadedWindow& AddLoadedWindow(const TemplateWindow& source) {
  auto window = std::make_unique<LoadedWindow>();
  window->id = source.id;
  for (const TemplateUnit& unit : source.units) window->units.push_back(CopyOf(unit));
  LoadedWindow& added = *window;
  registry().loaded[source.id] = std::move(window);
  return added;
}

void RemoveLoadedWindow(uint32_t windowId) { registry().loaded.erase(windowId); }

bool AnyLoadedWindow() { return !registry().loaded.empty(); }

std::vector<uint32_t> LoadedWindowIds() {
  std::vector<uint32_t> ids;
  for (const auto& [id, window] : registry().loaded) ids.push_back(id);
  return ids;
}

void ClearWindowTemplates() {
  for (uint32_t id : LoadedWindowIds()) {
    LoadedWindow* window = FindLoadedWindow(id);
    if (window && window->hwnd()) DestroyWindow(window->hwnd());
    RemoveLoadedWindow(id);
  }
  registry().templates.clear();
}
