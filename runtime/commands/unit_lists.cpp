// The unit-list registry and the commands that read and free unit lists.
#include "runtime/commands/unit_lists.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "runtime/commands/command_forms.h"
#include "runtime/heap.h"

namespace {

constexpr int32_t kWordsPerEntry = 3;

// Lists handed out and not yet freed. Unguarded: the user-interface thread alone uses it.
std::vector<UnitList>& Registry() {
  static std::vector<UnitList> lists;
  return lists;
}

// A registered list from a command's argument; null for anything else.
UnitList ListArgument(const ValueCell& cell) {
  const auto list = static_cast<UnitList>(CellPointer(cell));
  return IsRegisteredUnitList(list) ? list : nullptr;
}

}  // namespace

UnitListBuilder::UnitListBuilder() : words_(nullptr), capacity_(0) {}

UnitListBuilder::~UnitListBuilder() { RuntimeFree(words_); }

void UnitListBuilder::Add(const UnitReference& unit) {
  const int32_t count = words_ ? static_cast<int32_t>(words_[0]) : 0;
  if (count == capacity_) {
    capacity_ = std::max(8, capacity_ * 2);
    words_ = static_cast<uint32_t*>(RuntimeRealloc(words_, (1 + int64_t{capacity_} * kWordsPerEntry) * 4));
    words_[0] = static_cast<uint32_t>(count);
  }
  uint32_t* entry = words_ + 1 + count * kWordsPerEntry;
  entry[0] = unit.type;
  entry[1] = unit.windowId;
  entry[2] = unit.unitId;
  words_[0] = static_cast<uint32_t>(count + 1);
}

UnitList UnitListBuilder::Publish() {
  if (!words_) return nullptr;
  UnitList list = std::exchange(words_, nullptr);
  capacity_ = 0;
  Registry().push_back(list);
  return list;
}

bool IsRegisteredUnitList(UnitList list) {
  if (!list) return false;
  const std::vector<UnitList>& lists = Registry();
  return std::find(lists.begin(), lists.end(), list) != lists.end();
}

int32_t RegisteredUnitListCount() { return static_cast<int32_t>(Registry().size()); }

namespace CommandForms {

void UnitListCount(ValueCell* result, int32_t count, const ValueCell* cells) {
  const UnitList list = ListArgument(Arguments(count, cells)[0]);
  *result = IntCell(list ? static_cast<int32_t>(list[0]) : 0);
}

// UnitListItem(list, index): the entry at the 0-based index as a unit cell. An unregistered
// list or an index outside the list gives a window cell naming nothing.
void UnitListItem(ValueCell* result, int32_t count, const ValueCell* cells) {
  *result = MakeCell(TC_WINDOW, 0);
  const Arguments arguments(count, cells);
  const UnitList list = ListArgument(arguments[0]);
  const std::optional<int32_t> index = IntArgument(arguments[1]);
  if (!list || !index || *index < 0 || static_cast<uint32_t>(*index) >= list[0]) return;
  const uint32_t* entry = list + 1 + *index * kWordsPerEntry;
  *result = ValueCell{entry[1], entry[2], entry[0]};
}

void FreeUnitList(ValueCell* result, int32_t count, const ValueCell* cells) {
  *result = ValueCell{};
  const UnitList list = ListArgument(Arguments(count, cells)[0]);
  if (!list) return;
  std::vector<UnitList>& lists = Registry();
  lists.erase(std::find(lists.begin(), lists.end(), list));
  RuntimeFree(list);
}

}  // namespace CommandForms
