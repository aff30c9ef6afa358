// The properties every unit has, read and written by number: 0 left, 1 top, 2 width, 3 height,
// 4 tag (text), 5 visible, 6 disabled, 7 cursor (byte block). Numbers above 7 belong to the
// unit's type. While a unit has no window, 0 to 7 come from and go to its record alone.
#pragma once

#include <cstdint>

#include "runtime/value.h"

enum UnitPropertyNumber : int32_t {
  PROPERTY_LEFT = 0,
  PROPERTY_TOP = 1,
  PROPERTY_WIDTH = 2,
  PROPERTY_HEIGHT = 3,
  PROPERTY_TAG = 4,
  PROPERTY_VISIBLE = 5,
  PROPERTY_DISABLED = 6,
  PROPERTY_CURSOR = 7,
};

// A text or byte block in the result is a new heap value that belongs to the caller. A window
// that is not loaded, a unit the window does not have, and a type property of a unit without
// its window are runtime errors. A value of the wrong type is not written.
ValueCell ReadUnitProperty(uint32_t windowId, uint32_t unitId, int32_t number);
void WriteUnitProperty(uint32_t windowId, uint32_t unitId, int32_t number, const ValueCell& value);
