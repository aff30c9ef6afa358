// The window template table: the constant description of every window of the program and its
// units, as the loader reads it. All integers are int32 little-endian; record texts are
// NUL-terminated GBK.
//
// Table:
//   int32 pairSize                          8 x window count
//   window count x {int32 id, int32 ref}    ref is replaced by the loader
//   per window, in table order:
//     int32 carried[2]
//     int32 length + bytes  name            no NUL
//     int32 length + bytes  comment         no NUL
//     int32 unitCount N                     the window unit included
//     int32 recordsSize                     bytes of the ids, offsets and records that follow
//     int32 unitIds[N]                      the window unit first
//     int32 recordOffsets[N]                from the first record
//     N x {int32 length L, L bytes record}
//
// Unit record (generic part, then the kind's property block):
//   int32 type, int32 link, 16 reserved bytes, text name, text comment, int32 object,
//   int32 left, top, width, height, int32 reserved, int32 parentId,
//   int32 n + n x int32 children, int32 length + bytes cursor, text tag, int32 reserved,
//   int32 flags (bit 0 visible, 1 disabled, 2 tab stop), int32 reserved,
//   int32 m + m x {int32 event, int32 handler (-1 none)}, 20 reserved bytes, property block.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

enum UnitFlags : int32_t {
  UNIT_VISIBLE = 1,
  UNIT_DISABLED = 2,
  UNIT_TABSTOP = 4,
};

struct EventBinding {
  int32_t event;
  int32_t handler;  // offset of the handler in the program's code; -1: none
};

struct UnitRecord {
  uint32_t id = 0;
  uint32_t type = 0;
  uint32_t link = 0;
  std::string_view name;
  std::string_view comment;
  int32_t left = 0, top = 0, width = 0, height = 0;
  uint32_t parentId = 0;
  std::vector<uint32_t> children;
  std::span<const unsigned char> cursor;
  std::string_view tag;
  int32_t flags = 0;
  std::vector<EventBinding> events;
  std::span<const unsigned char> properties;
  std::span<const unsigned char> bytes;  // the whole record
};

struct WindowTemplate {
  uint32_t id = 0;
  int32_t carried[2] = {};
  std::string_view name;
  std::string_view comment;
  std::vector<UnitRecord> units;  // the window unit first, then the units in template order
};

// Reads the whole table. Nothing on malformed data: a short field, a count or length that does
// not fit, offsets that do not point at their records, a text without its NUL, a window id
// given twice, a window without its window unit. Views point into `table`.
std::optional<std::vector<WindowTemplate>> ReadWindowTemplates(std::span<const unsigned char> table);

// Reads one unit record (without the length word in front of it).
std::optional<UnitRecord> ReadUnitRecord(uint32_t id, std::span<const unsigned char> record);
