// FindUnits and GetUnitHandle over the loaded windows.
#include "runtime/frame/unit_commands.h"

#include <windows.h>

#include <cstdlib>

#include "runtime/commands/command_forms.h"
#include "runtime/frame/window_registry.h"
#include "runtime/runtime_error.h"
#include "runtime/units/unit_types.h"

namespace {

bool Matches(const LiveUnit& unit, HWND window, const UnitSearch& search) {
  if (!unit.window || !IsWindow(unit.window) || !IsChild(window, unit.window)) return false;
  if (std::string_view(unit.name).substr(0, search.namePrefix.size()) != search.namePrefix) return false;
  if (!search.typeName.empty()) {
    const UnitType* type = FindUnitType(unit.type);
    if (!type || search.typeName != type->name) return false;
  }
  const int tag = std::atoi(unit.tag.c_str());
  return tag >= search.lowTag && tag <= search.highTag;
}

std::string_view TextOr(const Arguments& arguments, int32_t i) {
  const std::optional<TextValue> text = arguments.given(i) ? TextArgument(arguments[i]) : std::nullopt;
  return text && *text ? std::string_view(*text) : std::string_view();
}

}  // namespace

std::optional<std::vector<UnitReference>> CollectUnits(uint32_t windowId, const UnitSearch& search) {
  LoadedWindow* loaded = FindLoadedWindow(windowId);
  if (!loaded || !loaded->hwnd() || !IsWindow(loaded->hwnd())) return std::nullopt;
  std::vector<UnitReference> units;
  for (size_t i = 1; i < loaded->units.size(); ++i) {
    const LiveUnit& unit = loaded->units[i];
    if (Matches(unit, loaded->hwnd(), search)) units.push_back({unit.type, windowId, unit.id});
  }
  return units;
}

namespace CommandForms {

void FindUnits(ValueCell* result, int32_t count, const ValueCell* cells) {
  *result = ValueCell{};
  const Arguments arguments(count, cells);
  if (arguments[0].type != TC_WINDOW) return;
  UnitSearch search{TextOr(arguments, 1), TextOr(arguments, 2)};
  if (arguments.given(3)) search.lowTag = IntArgument(arguments[3]).value_or(search.lowTag);
  if (arguments.given(4)) search.highTag = IntArgument(arguments[4]).value_or(search.highTag);
  const std::optional<std::vector<UnitReference>> units = CollectUnits(arguments[0].low, search);
  if (!units || units->empty()) return;
  UnitListBuilder builder;
  for (const UnitReference& unit : *units) builder.Add(unit);
  // The value words only: the caller knows a unit list's type.
  const auto bits = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(builder.Publish()));
  result->low = static_cast<uint32_t>(bits);
  result->high = static_cast<uint32_t>(bits >> 32);
}

void GetUnitHandle(ValueCell* result, int32_t count, const ValueCell* cells) {
  *result = ValueCell{};
  const ValueCell& unit = Arguments(count, cells)[0];
  LoadedWindow* window = TypeClassOf(unit.type) == TypeClass::Library ? FindLoadedWindow(unit.low) : nullptr;
  const LiveUnit* live = window && window->hwnd() && IsWindow(window->hwnd()) ? FindLiveUnit(*window, unit.high) : nullptr;
  if (!live || !live->window || !IsWindow(live->window))
    ReportRuntimeError("指定窗口或窗口组件不存在或尚未载入", 0);
  *result = IntCell(static_cast<int32_t>(reinterpret_cast<intptr_t>(live->window)));
}

}  // namespace CommandForms
