// The runtime libraries and the unit types they define: the tables the loader creates units
// from, and from which the event lookup and the unit search take a type's flags and name.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string_view>

#include "runtime/display_scale.h"
#include "runtime/units/unit_host.h"
#include "runtime/value.h"

// What a type's create function is given for one unit.
struct UnitCreation {
  HWND parent;                                // the window for a unit; the owner (or null) for a window
  std::span<const unsigned char> properties;  // the unit's property block, in the constant table
  DWORD styleBits;                            // WS_DISABLED and WS_TABSTOP from the template flags
  int32_t controlId;                          // 0 for a window
  int32_t left, top, width, height;
  uint32_t windowId, unitId;
  const UnitHost* host;  // told of the unit's events and of its end; never null
  // The DPI the unit is shown at: its rectangle above is already scaled to it, its fonts are
  // made for it. A window unit finds its own once it exists.
  UINT dpi = kDesignDpi;
};

// Type flags: either bit says that units of the type raise events.
enum UnitTypeFlags : uint32_t {
  UNIT_TYPE_EVENTS = 0x04,
  UNIT_TYPE_EVENTS_TOO = 0x40,
};

struct UnitType {
  uint32_t code;            // TypeCode: library number << 16 | type number
  const char* name;         // the name programs search units by (GBK)
  const char* englishName;
  uint32_t flags;
  // Creates the unit's window (hidden) and its object; null when the property block is refused
  // or the window cannot be made. A type without one cannot be created by this runtime.
  HWND (*create)(const UnitCreation& creation);
  // The type's own properties (numbers above 7). A type without them answers none.
  bool (*readProperty)(HWND unit, int32_t number, ValueCell* result);
  bool (*writeProperty)(HWND unit, int32_t number, const ValueCell& value);
};

constexpr bool TypeHasEvents(const UnitType& type) {
  return (type.flags & (UNIT_TYPE_EVENTS | UNIT_TYPE_EVENTS_TOO)) != 0;
}

// What the runtime tells a library.
enum class LibraryNotice { Attached, LoadingBegins, LoadingEnded, Exiting };

struct RuntimeLibrary {
  uint32_t number;
  const char* name;
  std::span<const UnitType> types;
  void (*notify)(LibraryNotice notice);  // null: the library has nothing to do
};

// The four libraries: core, extended user interface, system interface, special functions.
std::span<const RuntimeLibrary> RuntimeLibraries();
void NotifyRuntimeLibraries(LibraryNotice notice);

// The registered type of a code, or of a name; null for none.
const UnitType* FindUnitType(uint32_t code);
const UnitType* FindUnitTypeByName(std::string_view name);

// Type codes the runtime itself creates.
enum UnitTypeCode : uint32_t {
  UNIT_WINDOW = 0x00010001,
  UNIT_PICTURE_BOX = 0x00010006,
  UNIT_SHAPE_BOX = 0x00010007,
  UNIT_DRAW_PANEL = 0x00010008,
  UNIT_GROUP_BOX = 0x00010009,
  UNIT_LABEL = 0x0001000A,
  UNIT_BUTTON = 0x0001000B,
  UNIT_TAB = 0x00010015,
  UNIT_TRANS_LABEL = 0x00020005,
};

// The create functions of the four kinds (runtime/units/*_unit.cpp) and the libraries' exit work.
HWND CreateWindowUnit(const UnitCreation& creation);
HWND CreateButtonUnit(const UnitCreation& creation);
HWND CreatePictureBoxUnit(const UnitCreation& creation);
HWND CreateTransLabelUnit(const UnitCreation& creation);
void UnregisterCoreUnitClasses();
void UnregisterExtendedUnitClasses();
