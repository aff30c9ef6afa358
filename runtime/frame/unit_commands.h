// The runtime commands that name units: FindUnits (the units of a loaded window that match a
// name prefix, a type name and a range of tag numbers) and GetUnitHandle.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "runtime/commands/unit_lists.h"
#include "runtime/value.h"

struct UnitSearch {
  std::string_view namePrefix;  // empty: every name
  std::string_view typeName;    // empty: every type
  int32_t lowTag = INT32_MIN;
  int32_t highTag = INT32_MAX;
};

// The matching units of a loaded window whose window exists, in the window's unit order; only
// units whose windows exist inside it count. Nothing when the window is not there.
std::optional<std::vector<UnitReference>> CollectUnits(uint32_t windowId, const UnitSearch& search);

namespace CommandForms {
// FindUnits(window, [text name prefix], [text type name], [int low], [int high]): a registered
// unit list, or null when nothing matched or the first argument is no loaded window.
void FindUnits(ValueCell* result, int32_t count, const ValueCell* arguments);
// GetUnitHandle(unit): the window handle of a loaded window or unit; any other unit is a
// runtime error.
void GetUnitHandle(ValueCell* result, int32_t count, const ValueCell* arguments);
}  // namespace CommandForms
