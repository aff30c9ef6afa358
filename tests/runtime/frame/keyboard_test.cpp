// The keyboard on a runtime window, with real key presses: the focus starts on the first tab stop
// and comes back to the unit that had it when the window is active again; Tab and Shift+Tab walk
// the visible, enabled tab stops in template order and go round; Enter and Space press the
// focused button exactly once, an owner-drawn one too; the focused unit raises its key events
// all the while, and a key-down handler that swallows Tab keeps the focus where it is.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/frame/window_loader.h"
#include "tests/runtime/frame/frame_fixture.h"

namespace {

// Units of the keys window: 乙 is a disabled tab stop, 丁 a hidden one, the picture box none.
constexpr uint32_t kJia = 0x16060001, kBing = 0x16060004, kWu = 0x16060006;

class KeyboardTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    ASSERT_TRUE(LoadWindow(KEYS_WINDOW, false, nullptr));
    window_ = UnitHandle(KEYS_WINDOW);
    SetForegroundWindow(window_);
    // Shown and active, the window gave the focus to its first tab stop (乙 is disabled).
    ASSERT_TRUE(PumpUntil([this] { return GetForegroundWindow() == window_ && GetFocus() == UnitHandle(KEYS_WINDOW, kJia); }));
    FiredEvents().clear();
  }

  // Presses the key and handles everything it brought.
  static void Press(WORD key, bool withShift = false) {
    PressKey(key, withShift);
    PumpUntil([] { return HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0; }, 2000);
    Pump(30);
  }

  // The unit that has the focus; 0 for the window itself.
  uint32_t FocusedUnit() const {
    const HWND focus = GetFocus();
    for (uint32_t unit : {kJia, kBing, kWu})
      if (focus == UnitHandle(KEYS_WINDOW, unit)) return unit;
    return focus == window_ ? 0 : 0xFFFFFFFF;
  }

  // The units that raised the event with this first argument, in order.
  static std::vector<uint32_t> Raisers(int32_t event, int32_t argument) {
    std::vector<uint32_t> units;
    for (const Fired& fired : FiredEvents())
      if (fired.event == event && fired.arguments[0] == argument) units.push_back(fired.unitId);
    return units;
  }

  HWND window_ = nullptr;
};

TEST_F(KeyboardTest, TabWalksTheTabStopsBothWaysAndTheFocusedUnitSeesTheKey) {
  struct Step {
    bool shift;
    uint32_t focused;
  };
  const Step steps[] = {{false, kBing}, {false, kWu}, {false, kJia}, {true, kWu}, {true, kBing}};
  std::vector<uint32_t> focusWalk, expectedWalk;
  for (const Step& step : steps) {
    Press(VK_TAB, step.shift);
    focusWalk.push_back(FocusedUnit());
    expectedWalk.push_back(step.focused);
  }
  EXPECT_EQ(focusWalk, expectedWalk);
  // Every Tab reached the unit it left.
  EXPECT_EQ(Raisers(-9, VK_TAB), (std::vector<uint32_t>{kJia, kBing, kWu, kJia, kWu}));
  EXPECT_EQ(Raisers(-11, '\t'), (std::vector<uint32_t>{kJia, kBing, kWu, kJia, kWu}));
}

// Another window of the program takes the activation and gives it back: the focus returns to the
// unit that had it, not to the first tab stop or to the window itself.
TEST_F(KeyboardTest, FocusComesBackToTheUnitThatHadItWhenTheWindowIsActiveAgain) {
  Press(VK_TAB);
  ASSERT_EQ(FocusedUnit(), kBing);
  HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  SetForegroundWindow(other);
  ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == other; }));
  SetForegroundWindow(window_);
  EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == window_; }));
  EXPECT_EQ(FocusedUnit(), kBing);
  DestroyWindow(other);
}

TEST_F(KeyboardTest, KeyDownHandlerThatSwallowsTabKeepsTheFocus) {
  ASSERT_EQ(FocusedUnit(), kJia);
  Answers()[-9] = 0;
  Press(VK_TAB);
  EXPECT_EQ(FocusedUnit(), kJia);
  EXPECT_EQ(Raisers(-9, VK_TAB), std::vector<uint32_t>{kJia});
}

struct PressCase {
  const char* name;
  WORD key;
  bool ownerDrawn;  // as a skin makes its buttons
};

class ButtonKeyTest : public KeyboardTest, public ::testing::WithParamInterface<PressCase> {};

TEST_P(ButtonKeyTest, PressesTheFocusedButtonExactlyOnce) {
  const HWND button = UnitHandle(KEYS_WINDOW, kJia);
  if (GetParam().ownerDrawn) {
    const LONG_PTR style = GetWindowLongPtrA(button, GWL_STYLE);
    SetWindowLongPtrA(button, GWL_STYLE, (style & ~LONG_PTR{BS_TYPEMASK}) | BS_OWNERDRAW);
  }
  ASSERT_EQ(FocusedUnit(), kJia);
  FiredEvents().clear();
  Press(GetParam().key);
  EXPECT_EQ(Raisers(0, 0), std::vector<uint32_t>{kJia});
  EXPECT_EQ(Raisers(-9, GetParam().key), std::vector<uint32_t>{kJia});
  EXPECT_EQ(Raisers(-10, GetParam().key), std::vector<uint32_t>{kJia});
  EXPECT_EQ(FocusedUnit(), kJia);
}

INSTANTIATE_TEST_SUITE_P(Keys, ButtonKeyTest,
                         ::testing::Values(PressCase{"Enter", VK_RETURN, false}, PressCase{"Space", VK_SPACE, false},
                                           PressCase{"EnterOwnerDrawn", VK_RETURN, true},
                                           PressCase{"SpaceOwnerDrawn", VK_SPACE, true}),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
