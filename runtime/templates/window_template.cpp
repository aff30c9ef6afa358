// Reading the window template table with a cursor and an end.
#include "runtime/templates/window_template.h"

#include <set>

#include "runtime/byte_reader.h"
#include "runtime/value.h"

namespace {

bool ReadWindow(ByteReader& reader, uint32_t id, WindowTemplate& window) {
  window.id = id;
  int32_t unitCount = 0, recordsSize = 0;
  if (!reader.ReadInt32(window.carried[0]) || !reader.ReadInt32(window.carried[1]) ||
      !reader.ReadSizedText(window.name) || !reader.ReadSizedText(window.comment) ||
      !reader.ReadCount(unitCount, 12) || unitCount < 1 || !reader.ReadCount(recordsSize, 1))
    return false;

  std::span<const unsigned char> records;
  if (!reader.ReadBytes(static_cast<size_t>(recordsSize), records)) return false;
  ByteReader inner(records);
  const auto n = static_cast<size_t>(unitCount);
  std::vector<uint32_t> ids(n);
  std::vector<int32_t> offsets(n);
  for (uint32_t& unitId : ids)
    if (!inner.ReadUInt32(unitId)) return false;
  for (int32_t& offset : offsets)
    if (!inner.ReadInt32(offset)) return false;

  // Records follow one another; each offset must name the start of its own record.
  const unsigned char* first = inner.position();
  std::set<uint32_t> seen;
  for (size_t i = 0; i < n; ++i) {
    if (inner.position() - first != offsets[i] || !seen.insert(ids[i]).second) return false;
    std::span<const unsigned char> record;
    if (!inner.ReadSized(record)) return false;
    std::optional<UnitRecord> unit = ReadUnitRecord(ids[i], record);
    if (!unit) return false;
    window.units.push_back(std::move(*unit));
  }
  return inner.remaining() == 0 && window.units.front().type == TC_WINDOW;
}

}  // namespace

std::optional<UnitRecord> ReadUnitRecord(uint32_t id, std::span<const unsigned char> record) {
  ByteReader reader(record);
  UnitRecord unit;
  unit.id = id;
  unit.bytes = record;
  int32_t object = 0, reserved = 0, childCount = 0, eventCount = 0;
  if (!reader.ReadUInt32(unit.type) || !reader.ReadUInt32(unit.link) || !reader.Skip(16) ||
      !reader.ReadText(unit.name) || !reader.ReadText(unit.comment) || !reader.ReadInt32(object) ||
      !reader.ReadInt32(unit.left) || !reader.ReadInt32(unit.top) || !reader.ReadInt32(unit.width) ||
      !reader.ReadInt32(unit.height) || !reader.ReadInt32(reserved) || !reader.ReadUInt32(unit.parentId) ||
      !reader.ReadCount(childCount, 4))
    return std::nullopt;
  unit.children.resize(static_cast<size_t>(childCount));
  for (uint32_t& child : unit.children)
    if (!reader.ReadUInt32(child)) return std::nullopt;
  if (!reader.ReadSized(unit.cursor) || !reader.ReadText(unit.tag) || !reader.ReadInt32(reserved) ||
      !reader.ReadInt32(unit.flags) || !reader.ReadInt32(reserved) || !reader.ReadCount(eventCount, 8))
    return std::nullopt;
  unit.events.resize(static_cast<size_t>(eventCount));
  for (EventBinding& binding : unit.events)
    if (!reader.ReadInt32(binding.event) || !reader.ReadInt32(binding.handler)) return std::nullopt;
  if (!reader.Skip(20)) return std::nullopt;
  unit.properties = {reader.position(), reader.remaining()};
  return unit;
}

std::optional<std::vector<WindowTemplate>> ReadWindowTemplates(std::span<const unsigned char> table) {
  ByteReader reader(table);
  int32_t pairSize = 0;
  if (!reader.ReadCount(pairSize, 1) || pairSize % 8 != 0) return std::nullopt;
  const size_t windowCount = static_cast<size_t>(pairSize) / 8;
  if (windowCount > reader.remaining() / 8) return std::nullopt;
  std::vector<uint32_t> ids(windowCount);
  std::set<uint32_t> seen;
  for (uint32_t& id : ids) {
    int32_t reference = 0;
    if (!reader.ReadUInt32(id) || !reader.ReadInt32(reference) || !seen.insert(id).second) return std::nullopt;
  }
  std::vector<WindowTemplate> windows(windowCount);
  for (size_t i = 0; i < windowCount; ++i)
    if (!ReadWindow(reader, ids[i], windows[i])) return std::nullopt;
  if (reader.remaining() != 0) return std::nullopt;
  return windows;
}
