// Unit cursors: the cursor bytes of a unit's record, or written as its property 7, show over
// the unit's own client area when Windows asks (WM_SETCURSOR): a system cursor by number, a
// cursor file, or, for none, the class's cursor; a window's cursor does not cover its units.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/frame/unit_properties.h"
#include "runtime/win_handles.h"
#include "runtime/frame/window_loader.h"
#include "runtime/frame/window_registry.h"
#include "runtime/owned_value.h"
#include "runtime/templates/property_blocks.h"
#include "runtime/value_helpers.h"
#include "tests/runtime/frame/frame_fixture.h"

namespace {

constexpr uint32_t kHand = 0x16070001, kNone = 0x16070002, kUnknownNumber = 0x16070003, kShort = 0x16070004;

// What the unit shows once Windows asks it for the cursor over its client area.
HCURSOR CursorShownOver(HWND unit) {
  SetCursor(nullptr);
  SendMessageA(unit, WM_SETCURSOR, reinterpret_cast<WPARAM>(unit), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  return GetCursor();
}

HCURSOR System(LPCSTR id) { return LoadCursorA(nullptr, id); }

struct CursorCase {
  const char* name;
  uint32_t unit;
  LPCSTR cursor;
};

class UnitCursorTest : public SharedWindowsTest, public ::testing::WithParamInterface<CursorCase> {};

TEST_P(UnitCursorTest, TemplateCursorShowsOverTheUnit) {
  ASSERT_TRUE(LoadWindow(CURSORS_WINDOW, false, nullptr));
  EXPECT_EQ(CursorShownOver(UnitHandle(CURSORS_WINDOW, GetParam().unit)), System(GetParam().cursor));
}

// The window names the cross; its units without a cursor of their own show their class's arrow.
INSTANTIATE_TEST_SUITE_P(Cursors, UnitCursorTest,
                         ::testing::Values(CursorCase{"Window", 0, IDC_CROSS}, CursorCase{"Hand", kHand, IDC_HAND},
                                           CursorCase{"None", kNone, IDC_ARROW},
                                           CursorCase{"NoSuchSystemCursor", kUnknownNumber, IDC_ARROW},
                                           CursorCase{"FewerThanFourBytes", kShort, IDC_ARROW}),
                         [](const auto& p) { return std::string(p.param.name); });

void WriteCursor(uint32_t unit, const std::vector<unsigned char>& bytes) {
  OwnedBytes block = NewByteBlock(bytes);
  WriteUnitProperty(CURSORS_WINDOW, unit, PROPERTY_CURSOR, PointerCell(TC_BYTES, block.get()));
}

std::vector<unsigned char> Number(int32_t number) {
  std::vector<unsigned char> bytes(4);
  std::memcpy(bytes.data(), &number, 4);
  return bytes;
}

// The frame tests' icon file (a 32 x 32 red and a 16 x 16 blue image) made a cursor file with the
// hot spot (3, 5) in each image, behind the number that says a file follows.
std::vector<unsigned char> CursorFileBytes() {
  const TemplateWindow* placed = FindTemplate(PLACED_WINDOW);
  const std::span<const unsigned char> icon = ReadWindowProperties(placed->units[0].record.properties)->icon;
  constexpr size_t file = sizeof(int32_t);
  std::vector<unsigned char> bytes(file + icon.size());
  const int32_t fromFile = -1;
  std::memcpy(bytes.data(), &fromFile, file);
  std::copy(icon.begin(), icon.end(), bytes.begin() + file);
  bytes[file + 2] = 2;  // type: cursor
  for (size_t entry = file + 6; entry < file + 6 + 2 * 16; entry += 16) {
    bytes[entry + 4] = 3;  // planes: the hot spot's x
    bytes[entry + 5] = 0;
    bytes[entry + 6] = 5;  // bit count: the hot spot's y
    bytes[entry + 7] = 0;
  }
  return bytes;
}

TEST_F(FrameTest, WrittenCursorShowsFromTheNextAskOn) {
  ASSERT_TRUE(LoadWindow(CURSORS_WINDOW, false, nullptr));
  const HWND unit = UnitHandle(CURSORS_WINDOW, kNone);
  WriteCursor(kNone, Number(32513));  // IDC_IBEAM
  EXPECT_EQ(CursorShownOver(unit), System(IDC_IBEAM));

  WriteCursor(kNone, CursorFileBytes());
  const HCURSOR fromFile = CursorShownOver(unit);
  ICONINFO info{};
  ASSERT_TRUE(fromFile && GetIconInfo(fromFile, &info));
  OwnedBitmap colour(info.hbmColor), mask(info.hbmMask);
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 3u);
  EXPECT_EQ(info.yHotspot, 5u);
  EXPECT_EQ(CursorShownOver(unit), fromFile);  // made once for the same bytes

  std::vector<unsigned char> broken = CursorFileBytes();
  broken.resize(40);  // the images lie beyond the end
  WriteCursor(kNone, broken);
  EXPECT_EQ(CursorShownOver(unit), System(IDC_ARROW));
  WriteCursor(kNone, {});
  EXPECT_EQ(CursorShownOver(unit), System(IDC_ARROW));
}

// The mouse moved over the unit for real: the system asks, and the cursor on the screen is the
// unit's.
TEST_F(FrameTest, RealMouseOverTheUnitShowsItsCursor) {
  ASSERT_TRUE(LoadWindow(CURSORS_WINDOW, false, nullptr));
  const HWND hand = UnitHandle(CURSORS_WINDOW, kHand);
  RECT r;
  GetWindowRect(hand, &r);
  SetCursorPos(r.left - 30, r.top + 5);
  Pump(50);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  EXPECT_TRUE(PumpUntil([] {
    CURSORINFO info{sizeof info};
    return GetCursorInfo(&info) && info.hCursor == LoadCursorA(nullptr, IDC_HAND);
  }));
}

}  // namespace
