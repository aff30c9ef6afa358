// Unit properties by number, from the unit's window when it has one and from its live record.
#include "runtime/frame/unit_properties.h"

#include <windows.h>

#include <cstring>

#include "runtime/frame/window_registry.h"
#include "runtime/runtime_error.h"
#include "runtime/units/unit_types.h"
#include "runtime/value_helpers.h"
#include "runtime/value_text.h"

namespace {

LiveUnit& UnitToAccess(uint32_t windowId, uint32_t unitId, int32_t number) {
  LoadedWindow* window = FindLoadedWindow(windowId);
  if (!window) ReportRuntimeError("未载入欲访问窗口组件所在的窗口", 0);
  LiveUnit* unit = FindLiveUnit(*window, unitId);
  if (!unit) ReportRuntimeError("指定窗口或窗口组件不存在或尚未载入", 0);
  if (number > PROPERTY_CURSOR && !(unit->window && IsWindow(unit->window))) ReportRuntimeError("指定窗口尚未载入", 0);
  return *unit;
}

// The unit's rectangle as its record counts it: a window's on the screen, a unit's in its
// parent's client area.
RECT PlacementOf(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  if (HWND parent = (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr)
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// Numbers of every kind the property accepts, converted as the runtime converts them (a
// floating value out of range gives 0x80000000).
std::optional<int32_t> IntValue(const ValueCell& cell) {
  if (cell.type == TC_INT || cell.type == TC_SHORT || cell.type == TC_BYTE || cell.type == TC_BOOL ||
      cell.type == TC_DOUBLE || cell.type == TC_FLOAT)
    return ConvertToInt(cell);
  return std::nullopt;
}

// The record takes the window's present place first, so that one number changes alone.
void SyncPlacement(LiveUnit& unit) {
  if (!unit.window || !IsWindow(unit.window)) return;
  const RECT rect = PlacementOf(unit.window);
  unit.left = rect.left;
  unit.top = rect.top;
  unit.width = rect.right - rect.left;
  unit.height = rect.bottom - rect.top;
}

void Place(LiveUnit& unit) {
  if (unit.window)
    SetWindowPos(unit.window, nullptr, unit.left, unit.top, unit.width, unit.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetFlag(LiveUnit& unit, int32_t flag, bool on) { unit.flags = on ? (unit.flags | flag) : (unit.flags & ~flag); }

}  // namespace

ValueCell ReadUnitProperty(uint32_t windowId, uint32_t unitId, int32_t number) {
  LiveUnit& unit = UnitToAccess(windowId, unitId, number);
  const HWND window = unit.window && IsWindow(unit.window) ? unit.window : nullptr;
  const RECT rect = window ? PlacementOf(window)
                           : RECT{unit.left, unit.top, unit.left + unit.width, unit.top + unit.height};
  const LONG_PTR style = window ? GetWindowLongPtrA(window, GWL_STYLE) : 0;
  switch (number) {
    case PROPERTY_LEFT:
      return IntCell(rect.left);
    case PROPERTY_TOP:
      return IntCell(rect.top);
    case PROPERTY_WIDTH:
      return IntCell(rect.right - rect.left);
    case PROPERTY_HEIGHT:
      return IntCell(rect.bottom - rect.top);
    case PROPERTY_TAG:
      return PointerCell(TC_TEXT, NewText(unit.tag).release());
    case PROPERTY_VISIBLE:
      return BoolCell(window ? (style & WS_VISIBLE) != 0 : (unit.flags & UNIT_VISIBLE) != 0);
    case PROPERTY_DISABLED:
      return BoolCell(window ? (style & WS_DISABLED) != 0 : (unit.flags & UNIT_DISABLED) != 0);
    case PROPERTY_CURSOR:
      return PointerCell(TC_BYTES, NewByteBlock(unit.cursor).release());
  }
  ValueCell result{};
  const UnitType* type = FindUnitType(unit.type);
  if (number > PROPERTY_CURSOR && type && type->readProperty) type->readProperty(window, number, &result);
  return result;
}

void WriteUnitProperty(uint32_t windowId, uint32_t unitId, int32_t number, const ValueCell& value) {
  LiveUnit& unit = UnitToAccess(windowId, unitId, number);
  const std::optional<int32_t> integer = IntValue(value);
  int32_t* const geometry[] = {&unit.left, &unit.top, &unit.width, &unit.height};
  switch (number) {
    case PROPERTY_LEFT:
    case PROPERTY_TOP:
    case PROPERTY_WIDTH:
    case PROPERTY_HEIGHT:
      if (!integer) return;
      SyncPlacement(unit);
      *geometry[number] = *integer;
      Place(unit);
      return;
    case PROPERTY_TAG:
      if (value.type != TC_TEXT) return;
      unit.tag = CellPointer(value) ? static_cast<const char*>(CellPointer(value)) : "";
      return;
    case PROPERTY_VISIBLE:
      if (!integer) return;
      SetFlag(unit, UNIT_VISIBLE, *integer != 0);
      if (unit.window) ShowWindow(unit.window, *integer ? SW_SHOWNA : SW_HIDE);
      return;
    case PROPERTY_DISABLED:
      if (!integer) return;
      SetFlag(unit, UNIT_DISABLED, *integer != 0);
      if (unit.window) EnableWindow(unit.window, *integer ? FALSE : TRUE);
      return;
    case PROPERTY_CURSOR: {
      if (value.type != TC_BYTES) return;
      const auto block = static_cast<ByteBlock>(CellPointer(value));
      if (!block || block->length <= 0) unit.cursor.clear();
      else unit.cursor.assign(ByteBlockData(block), ByteBlockData(block) + block->length);
      return;
    }
  }
  const UnitType* type = FindUnitType(unit.type);
  if (number > PROPERTY_CURSOR && type && type->writeProperty) type->writeProperty(unit.window, number, value);
}
