// Unit lists through the commands: what a registered list gives, and that anything else, and a
// freed list, reads as empty.
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/commands/commands.h"

namespace {

constexpr UnitReference kGroupBox{0x00010009, 0x52010001, 0x06010005};
constexpr UnitReference kLabel{0x0001000A, 0x52010001, 0x06010007};
constexpr UnitReference kTransLabel{0x00020005, 0x52010001, 0x0601000B};

void ExpectNoUnit(const UnitReference& unit) {
  EXPECT_EQ(unit.type, static_cast<uint32_t>(TC_WINDOW));
  EXPECT_EQ(unit.windowId, 0u);
  EXPECT_EQ(unit.unitId, 0u);
}

TEST(UnitList, GivesItsEntriesInOrderAndNothingOutsideThem) {
  const int32_t alive = RegisteredUnitListCount();
  UnitListBuilder builder;
  for (int i = 0; i < 4; ++i) builder.Add(kGroupBox);  // grows past its first capacity below
  builder.Add(kLabel);
  for (int i = 0; i < 5; ++i) builder.Add(kTransLabel);
  const UnitList list = builder.Publish();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(RegisteredUnitListCount(), alive + 1);
  EXPECT_EQ(list[0], 10u);
  EXPECT_EQ(Commands::UnitListCount(list), 10);

  const UnitReference label = Commands::UnitListItem(list, 4);
  EXPECT_EQ(label.type, kLabel.type);
  EXPECT_EQ(label.windowId, kLabel.windowId);
  EXPECT_EQ(label.unitId, kLabel.unitId);
  EXPECT_EQ(Commands::UnitListItem(list, 9).type, kTransLabel.type);
  EXPECT_EQ(Commands::UnitListItem(list, 0).unitId, kGroupBox.unitId);
  ExpectNoUnit(Commands::UnitListItem(list, 10));
  ExpectNoUnit(Commands::UnitListItem(list, -1));

  Commands::FreeUnitList(list);
  EXPECT_EQ(RegisteredUnitListCount(), alive);
  EXPECT_FALSE(IsRegisteredUnitList(list));
}

TEST(UnitList, UnregisteredListsReadAsEmptyAndAreNotFreed) {
  UnitListBuilder builder;
  builder.Add(kLabel);
  const UnitList list = builder.Publish();
  // A copy has the same words but was never handed out.
  uint32_t copy[4];
  std::memcpy(copy, list, sizeof copy);
  EXPECT_EQ(Commands::UnitListCount(copy), 0);
  ExpectNoUnit(Commands::UnitListItem(copy, 0));
  Commands::FreeUnitList(copy);  // ignored; freeing stack memory would crash
  Commands::FreeUnitList(nullptr);
  EXPECT_EQ(Commands::UnitListCount(list), 1);

  Commands::FreeUnitList(list);
  Commands::FreeUnitList(list);  // a second free is ignored too
  EXPECT_EQ(Commands::UnitListCount(list), 0);
}

TEST(UnitList, NoUnitsMakeNoList) {
  const int32_t alive = RegisteredUnitListCount();
  UnitListBuilder builder;
  EXPECT_EQ(builder.Publish(), nullptr);
  EXPECT_EQ(RegisteredUnitListCount(), alive);
  builder.Add(kLabel);
  const UnitList first = builder.Publish();
  EXPECT_EQ(builder.Publish(), nullptr);  // publishing empties the builder
  Commands::FreeUnitList(first);
}

}  // namespace
