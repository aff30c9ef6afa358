// Unit lists: the lists of units that a search over a window's units gives back, and the
// process-wide registry of the lists that are alive. Only the user-interface thread uses them.
#pragma once

#include <cstdint>

// One unit: its type code, and the (window id, unit id) pair that names it; unit id 0 is the
// window itself.
struct UnitReference {
  uint32_t type;
  uint32_t windowId;
  uint32_t unitId;
};

// A live list: word 0 is the entry count, then three words per entry (type code, window id, unit
// id), on the runtime heap. Commands accept only lists that are registered; any other pointer
// reads as an empty list.
using UnitList = const uint32_t*;

// Gathers units, then makes the list.
class UnitListBuilder {
 public:
  UnitListBuilder();
  ~UnitListBuilder();
  UnitListBuilder(const UnitListBuilder&) = delete;
  UnitListBuilder& operator=(const UnitListBuilder&) = delete;

  void Add(const UnitReference& unit);
  // Makes the list, registers it and hands it over; the builder is empty again afterwards. No
  // units make no list: null.
  UnitList Publish();

 private:
  uint32_t* words_;
  int32_t capacity_;  // entries
};

bool IsRegisteredUnitList(UnitList list);
// How many lists are alive, so that a leak shows.
int32_t RegisteredUnitListCount();
