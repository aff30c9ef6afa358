// Loading windows from the test templates into real windows on the test screen, and the events
// that come out of them: the creation events while the window is hidden, the common events with
// their arguments, swallowed and replaced messages, links, the message loop and its idle list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "runtime/commands/command_forms.h"
#include "runtime/frame/message_loop.h"
#include "runtime/frame/runtime_service.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/frame/unit_commands.h"
#include "runtime/frame/unit_properties.h"
#include "runtime/frame/window_loader.h"
#include "runtime/frame/window_registry.h"
#include "runtime/constant_segment.h"
#include "runtime/owned_value.h"
#include "runtime/runtime_error.h"
#include "tests/runtime/frame/frame_fixture.h"
#include "tests/runtime/frame/frame_handlers.h"

namespace {

constexpr uint32_t kButton1 = 0x160100C9, kPicture1 = 0x160100C8, kButton2 = 0x160100B3, kButton3 = 0x160100B2;
constexpr uint32_t kHiddenLabel = 0x160100A1, kGroupBox = 0x1601009E;

std::vector<int32_t> FiredNumbers() {
  std::vector<int32_t> numbers;
  for (const Fired& fired : FiredEvents()) numbers.push_back(fired.event);
  return numbers;
}

using LayoutTest = FrameTest;

TEST_F(LayoutTest, WindowIsCentredAndUnitsFollowTheTemplate) {
  ASSERT_TRUE(LoadWindow(LAYOUT_WINDOW, false, nullptr));
  const HWND window = UnitHandle(LAYOUT_WINDOW);
  RECT r;
  GetWindowRect(window, &r);
  EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>{331, 225, 692, 543}));

  // Template order is stacking order, the first unit on top; the group box is not made here.
  std::vector<HWND> stack;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) stack.push_back(child);
  const std::vector<HWND> expected = {UnitHandle(LAYOUT_WINDOW, kButton1), UnitHandle(LAYOUT_WINDOW, kPicture1),
                                      UnitHandle(LAYOUT_WINDOW, kButton2), UnitHandle(LAYOUT_WINDOW, kButton3),
                                      UnitHandle(LAYOUT_WINDOW, kHiddenLabel)};
  EXPECT_EQ(stack, expected);
  EXPECT_EQ(FindLiveUnit(*FindLoadedWindow(LAYOUT_WINDOW), kGroupBox)->window, nullptr);
}

struct UnitStyleCase {
  uint32_t unit;
  int controlId;  // made last to first: the last made unit gets 100
  bool visible, disabled, tabStop;
};

class UnitStyleTest : public SharedWindowsTest, public ::testing::WithParamInterface<UnitStyleCase> {};

TEST_P(UnitStyleTest, ControlIdAndStyleBitsComeFromTheTemplate) {
  const UnitStyleCase& c = GetParam();
  ASSERT_TRUE(LoadWindow(LAYOUT_WINDOW, false, nullptr));
  const HWND unit = UnitHandle(LAYOUT_WINDOW, c.unit);
  const LONG_PTR style = GetWindowLongPtrA(unit, GWL_STYLE);
  EXPECT_EQ(GetDlgCtrlID(unit), c.controlId);
  EXPECT_EQ((style & WS_VISIBLE) != 0, c.visible);
  EXPECT_EQ((style & WS_DISABLED) != 0, c.disabled);
  EXPECT_EQ((style & WS_TABSTOP) != 0, c.tabStop);
}

INSTANTIATE_TEST_SUITE_P(Layout, UnitStyleTest,
                         ::testing::Values(UnitStyleCase{kButton1, 140, true, false, true},
                                           UnitStyleCase{kPicture1, 130, true, false, false},
                                           UnitStyleCase{kButton2, 120, true, true, true},
                                           UnitStyleCase{kButton3, 110, false, false, true},
                                           UnitStyleCase{kHiddenLabel, 100, false, false, false}));

TEST_F(LayoutTest, CreationEventsRunWhileHiddenThenFocusEventWhenShown) {
  ASSERT_TRUE(LoadWindow(LAYOUT_WINDOW, false, nullptr));
  const std::vector<Fired> expected = {{0, LAYOUT_WINDOW, 0, {0, 0, 0}, false},
                                       {3, LAYOUT_WINDOW, 0, {0, 0, 0}, false},
                                       {4, LAYOUT_WINDOW, 0, {0, 0, 0}, false},
                                       {-7, LAYOUT_WINDOW, 0x160100C9, {0, 0, 0}, true}};
  EXPECT_EQ(FiredEvents(), expected);
  EXPECT_TRUE(IsWindowVisible(UnitHandle(LAYOUT_WINDOW)));
  // The focus went to the first tab stop, 按钮1, as the window was shown.
  EXPECT_EQ(GetFocus(), UnitHandle(LAYOUT_WINDOW, 0x160100C9));
}

// The painting and activating messages runtime windows get, in order.
std::vector<UINT>* paintsAndActivations = nullptr;
LRESULT CALLBACK RecordPaintsAndActivations(int code, WPARAM wParam, LPARAM lParam) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
  char className[32] = {};
  if (code == HC_ACTION && paintsAndActivations && GetClassNameA(sent->hwnd, className, sizeof className) &&
      std::strcmp(className, "WTWindow") == 0 &&
      (sent->message == WM_PAINT || (sent->message == WM_ACTIVATE && LOWORD(sent->wParam) != WA_INACTIVE)))
    paintsAndActivations->push_back(sent->message);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A window shown active paints its first frame before it is activated; loaded, it is active with
// the focus on its first tab stop all the same.
TEST_F(LayoutTest, AWindowIsPaintedBeforeItIsActivated) {
  std::vector<UINT> seen;
  paintsAndActivations = &seen;
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &RecordPaintsAndActivations, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  const bool loaded = LoadWindow(LAYOUT_WINDOW, false, nullptr);
  UnhookWindowsHookEx(hook);
  paintsAndActivations = nullptr;
  ASSERT_TRUE(loaded);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front(), static_cast<UINT>(WM_PAINT));
  EXPECT_NE(std::find(seen.begin(), seen.end(), static_cast<UINT>(WM_ACTIVATE)), seen.end());
  EXPECT_EQ(GetActiveWindow(), UnitHandle(LAYOUT_WINDOW));
  EXPECT_EQ(GetFocus(), UnitHandle(LAYOUT_WINDOW, kButton1));
}

TEST_F(LayoutTest, HandlerThatDestroysTheWindowOnCreationStopsTheLoad) {
  EXPECT_TRUE(LoadWindow(SELF_DESTROYING_WINDOW, false, nullptr));
  EXPECT_EQ(FiredNumbers(), std::vector<int32_t>{0});
  EXPECT_EQ(FindLoadedWindow(SELF_DESTROYING_WINDOW), nullptr);
  // It can be loaded again from its template.
  EXPECT_TRUE(LoadWindow(SELF_DESTROYING_WINDOW, false, nullptr));
  EXPECT_EQ(FiredNumbers(), (std::vector<int32_t>{0, 0}));
}

TEST_F(LayoutTest, LoadingALoadedWindowBringsItBackInsteadOfMakingASecond) {
  ASSERT_TRUE(LoadWindow(OTHER_WINDOW, false, nullptr));
  const HWND first = UnitHandle(OTHER_WINDOW);
  ASSERT_TRUE(LoadWindow(LAYOUT_WINDOW, false, nullptr));
  Pump(50);
  ASSERT_NE(GetActiveWindow(), first);

  EXPECT_TRUE(LoadWindow(OTHER_WINDOW, false, nullptr));
  Pump(50);
  EXPECT_EQ(UnitHandle(OTHER_WINDOW), first);
  EXPECT_EQ(GetActiveWindow(), first);
  EXPECT_EQ(FindWindowExA(nullptr, first, "WTWindow", "另一个"), nullptr);

  ShowWindow(first, SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(first));
  EXPECT_TRUE(LoadWindow(OTHER_WINDOW, false, nullptr));
  EXPECT_FALSE(IsIconic(first));
}

TEST_F(LayoutTest, UnknownTemplateAndRefusedWindowBlockFailTheLoad) {
  EXPECT_FALSE(LoadWindow(0x5201FFFF, false, nullptr));
  EXPECT_FALSE(LoadWindow(VERSION7_WINDOW, false, nullptr));
  EXPECT_EQ(FindLoadedWindow(VERSION7_WINDOW), nullptr);
}

// A visible top-level window of the thread that the runtime did not make.
class ForeignWindowHolder {
 public:
  ForeignWindowHolder() {
    ForeignWindow() = CreateWindowExA(0, "STATIC", "外来", WS_POPUP | WS_VISIBLE, 600, 100, 60, 30, nullptr, nullptr,
                                      nullptr, nullptr);
  }
  ~ForeignWindowHolder() { DestroyWindow(std::exchange(ForeignWindow(), nullptr)); }
};

TEST_F(LayoutTest, ModalLoadDisablesTheOtherWindowsUntilItCloses) {
  ForeignWindowHolder foreign;
  ASSERT_TRUE(LoadWindow(OTHER_WINDOW, false, nullptr));
  ASSERT_TRUE(LoadWindow(MODAL_WINDOW, true, nullptr));  // returns once the window is gone
  // The modal window's timer saw the other window and the foreign one disabled (event 100).
  ASSERT_EQ(FiredEvents().size(), 1u);
  EXPECT_EQ(FiredEvents()[0].event, 100);
  EXPECT_EQ(FiredEvents()[0].arguments[0], 0);
  EXPECT_EQ(FiredEvents()[0].arguments[1], 0);
  EXPECT_EQ(FindLoadedWindow(MODAL_WINDOW), nullptr);
  EXPECT_TRUE(IsWindowEnabled(UnitHandle(OTHER_WINDOW)));
  EXPECT_TRUE(IsWindowEnabled(ForeignWindow()));
}

bool layoutEnabledWhileModal = true;
void CALLBACK CloseOtherWindowSoon(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  layoutEnabledWhileModal = IsWindowEnabled(UnitHandle(LAYOUT_WINDOW)) != FALSE;
  PostMessageA(UnitHandle(OTHER_WINDOW), WM_CLOSE, 0, 0);
}

TEST_F(LayoutTest, ModalLoadOfALoadedWindowWaitsForItWithTheOthersDisabled) {
  ASSERT_TRUE(LoadWindow(LAYOUT_WINDOW, false, nullptr));
  ASSERT_TRUE(LoadWindow(OTHER_WINDOW, false, nullptr));
  const HWND other = UnitHandle(OTHER_WINDOW);
  layoutEnabledWhileModal = true;
  SetTimer(nullptr, 0, 50, &CloseOtherWindowSoon);
  EXPECT_TRUE(LoadWindow(OTHER_WINDOW, true, nullptr));
  EXPECT_FALSE(IsWindow(other));  // the load returned only once the window was gone
  EXPECT_EQ(FindLoadedWindow(OTHER_WINDOW), nullptr);
  EXPECT_FALSE(layoutEnabledWhileModal);
  EXPECT_TRUE(IsWindowEnabled(UnitHandle(LAYOUT_WINDOW)));
}

// Button presses with real mouse input: a left-button-down handler without a value lets the
// press through and the click comes; one that gives 0 swallows the press.
struct PressCase {
  std::optional<int32_t> leftDownAnswer;
  std::vector<int32_t> expected;
};

class ButtonPressTest : public FrameTest, public ::testing::WithParamInterface<PressCase> {};

TEST_P(ButtonPressTest, LeftDownAnswerDecidesWhetherTheClickComes) {
  Answers()[-1] = GetParam().leftDownAnswer;
  ASSERT_TRUE(LoadWindow(LAYOUT_WINDOW, false, nullptr));
  Pump(100);
  FiredEvents().clear();
  ClickCentre(UnitHandle(LAYOUT_WINDOW, kButton1));
  PumpUntil([] { return FiredEvents().size() >= 2; }, 3000);
  std::vector<int32_t> numbers;
  for (const Fired& fired : FiredEvents())
    if (fired.event != -7) numbers.push_back(fired.event);  // the press may move the focus
  EXPECT_EQ(numbers, GetParam().expected);
  for (const Fired& fired : FiredEvents()) {
    if (fired.event != -7) {
      EXPECT_EQ(fired.unitId, kButton1);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Layout, ButtonPressTest,
                         ::testing::Values(PressCase{std::nullopt, {-1, 0}}, PressCase{1, {-1, 0}},
                                           PressCase{0, {-1}}));

// The common events, sent as real messages to a window unit whose class belongs to the test,
// so that what reaches the unit's default procedure can be seen.
struct CommonEventCase {
  const char* name;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  int32_t event;
  std::array<int32_t, 3> arguments;
};

constexpr CommonEventCase kCommonEvents[] = {
    {"LeftDown", WM_LBUTTONDOWN, MK_CONTROL | MK_SHIFT, MAKELPARAM(5, 7), -1, {5, 7, 3}},
    {"LeftUp", WM_LBUTTONUP, 0, MAKELPARAM(6, 8), -2, {6, 8, 0}},
    {"LeftDouble", WM_LBUTTONDBLCLK, MK_SHIFT, MAKELPARAM(1, 2), -3, {1, 2, 2}},
    {"RightDown", WM_RBUTTONDOWN, MK_CONTROL, MAKELPARAM(3, 4), -4, {3, 4, 1}},
    {"RightUp", WM_RBUTTONUP, 0, MAKELPARAM(9, 9), -5, {9, 9, 0}},
    {"MoveLeftOfTheWindow", WM_MOUSEMOVE, 0, MAKELPARAM(-3, 12), -6, {-3, 12, 0}},
    {"Focus", WM_SETFOCUS, 0, 0, -7, {0, 0, 0}},
    {"KeyDown", WM_KEYDOWN, 'A', 0, -9, {'A', 0, 0}},
    {"SysKeyDown", WM_SYSKEYDOWN, VK_F9, 0, -9, {VK_F9, 0, 0}},
    {"KeyUp", WM_KEYUP, 'B', 0, -10, {'B', 0, 0}},
    {"SysKeyUp", WM_SYSKEYUP, VK_F9, 0, -10, {VK_F9, 0, 0}},
    {"Character", WM_CHAR, 'z', 0, -11, {'z', 0, 0}},
    {"WheelBack", WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-240)), MAKELPARAM(100, 100), -12, {-2, 1, 0}},
};

// (answer, reaches the default procedure, with which wParam: 0 = unchanged)
struct Verdict {
  std::optional<int32_t> answer;
  bool passes;
  WPARAM replaced;
};

class CommonEventTest : public SharedWindowsTest,
                        public ::testing::WithParamInterface<std::tuple<CommonEventCase, Verdict>> {};

TEST_P(CommonEventTest, EventCarriesItsArgumentsAndTheAnswerDecidesTheMessage) {
  const auto& [c, verdict] = GetParam();
  ASSERT_TRUE(LoadWindow(RECORDER_WINDOW, false, nullptr));
  const HWND window = UnitHandle(RECORDER_WINDOW);
  Pump(20);
  FiredEvents().clear();
  RecorderMessages().clear();
  Answers()[c.event] = verdict.answer;
  SendMessageA(window, c.message, c.wParam, c.lParam);

  ASSERT_EQ(FiredEvents().size(), 1u);
  EXPECT_EQ(FiredEvents()[0], (Fired{c.event, RECORDER_WINDOW, 0, c.arguments, true}));
  // The focus event never swallows its message; a character's other value replaces it.
  const bool passes = c.event == -7 || verdict.passes;
  const WPARAM reaching = c.event == -11 && verdict.replaced ? verdict.replaced : c.wParam;
  std::vector<std::pair<UINT, WPARAM>> expected;
  if (passes) expected.push_back({c.message, reaching});
  EXPECT_EQ(RecorderMessages(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Recorder, CommonEventTest,
    ::testing::Combine(::testing::ValuesIn(kCommonEvents),
                       ::testing::Values(Verdict{std::nullopt, true, 0}, Verdict{0, false, 0}, Verdict{'q', true, 'q'})),
    [](const auto& p) {
      const Verdict& v = std::get<1>(p.param);
      return std::string(std::get<0>(p.param).name) + (!v.answer ? "NoValue" : *v.answer ? "Other" : "Zero");
    });

TEST_F(FrameTest, MessagesDuringTheLoadRaiseNoEvents) {
  ASSERT_TRUE(LoadWindow(RECORDER_WINDOW, false, nullptr));
  // PokeWhileLoading sent a left-button press from the creation event: it reached the class
  // procedure but raised nothing.
  EXPECT_EQ(FiredEvents().front().event, 0);
  EXPECT_EQ(std::count_if(FiredEvents().begin(), FiredEvents().end(), [](const Fired& f) { return f.event == -1; }), 0);
  EXPECT_EQ(RecorderMessages().front(), (std::pair<UINT, WPARAM>{WM_LBUTTONDOWN, 0}));
}

// A character typed into an edit window unit, in UTF-16 as the system posts it to the Unicode
// unit window: the character event sees its GBK bytes, one event each, and the handler's answers
// decide what the edit gets.
struct CharacterCase {
  const char* name;
  wchar_t typed;
  std::optional<int32_t> answer;  // for every byte
  std::vector<int32_t> bytes;     // the events' arguments
  const wchar_t* text;            // what the edit holds afterwards
};

// The arguments of the character events that ran, in order.
std::vector<int32_t> CharacterEventBytes() {
  std::vector<int32_t> bytes;
  for (const Fired& fired : FiredEvents())
    if (fired.event == -11) bytes.push_back(fired.arguments[0]);
  return bytes;
}

class CharacterEventTest : public SharedWindowsTest, public ::testing::WithParamInterface<CharacterCase> {};

TEST_P(CharacterEventTest, EventsSeeGbkBytesAndTheAnswersDecideWhatIsTyped) {
  const CharacterCase& c = GetParam();
  ASSERT_TRUE(LoadWindow(EDIT_WINDOW, false, nullptr));
  const HWND edit = UnitHandle(EDIT_WINDOW);
  SetWindowTextW(edit, L"");
  FiredEvents().clear();
  Answers()[-11] = c.answer;
  PostMessageW(edit, WM_CHAR, c.typed, 1);
  Pump(20);
  EXPECT_EQ(CharacterEventBytes(), c.bytes);
  EXPECT_EQ(TextOf(edit), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Edit, CharacterEventTest,
    ::testing::Values(CharacterCase{"AsciiAsItCame", L'c', std::nullopt, {'c'}, L"c"},
                      CharacterCase{"AsciiReplaced", L'a', 'b', {'a'}, L"b"},
                      CharacterCase{"AsciiSwallowed", L'x', 0, {'x'}, L""},
                      CharacterCase{"ChineseIsLeadThenTrailByte", L'中', std::nullopt, {0xD6, 0xD0}, L"中"},
                      CharacterCase{"ChineseSwallowed", L'中', 0, {0xD6, 0xD0}, L""},
                      CharacterCase{"EachByteReplaced", L'中', 'b', {0xD6, 0xD0}, L"bb"},
                      CharacterCase{"ReplacedByADoubleByteCharacter", L'a', 0xCEC4, {'a'}, L"文"},
                      // GBK lacks Hangul: the event sees "?", yet the character goes on unchanged
                      CharacterCase{"OutsideGbkGoesOnAsItCame", L'\uD55C', std::nullopt, {'?'}, L"\uD55C"}),
    [](const auto& p) { return std::string(p.param.name); });

std::wstring typedText;
void ReadTypedTextAndClose(intptr_t window) {
  const auto edit = reinterpret_cast<HWND>(window);
  typedText = TextOf(edit);
  DestroyWindow(edit);
}

// The runtime's own loop hands typed characters on in UTF-16: fetched and dispatched in the ANSI
// forms, a Chinese character would reach the unit as "?" under the ANSI code page 1252.
TEST_F(FrameTest, LoopHandsChineseCharactersOnWhole) {
  ASSERT_TRUE(LoadWindow(EDIT_WINDOW, false, nullptr));
  const HWND edit = UnitHandle(EDIT_WINDOW);
  typedText.clear();
  FiredEvents().clear();
  PostMessageW(edit, WM_CHAR, L'中', 1);
  AddIdleRoutine(edit, &ReadTypedTextAndClose, reinterpret_cast<intptr_t>(edit));
  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_EQ(typedText, L"中");
  EXPECT_EQ(CharacterEventBytes(), (std::vector<int32_t>{0xD6, 0xD0}));
}

TEST_F(FrameTest, LinkedUnitsShareTheEventTableOfTheSameTypeOnly) {
  ASSERT_TRUE(LoadWindow(LINKS_WINDOW, false, nullptr));
  // 甲 links to 乙 and 乙 back to 甲: the walk stops before it goes round. 丙 links to a
  // button but is a picture box, so it keeps its own table.
  struct Case {
    uint32_t unit;
    int32_t handlerMark;
  };
  const EventSource before = CurrentEventSource();
  for (const Case c : {Case{0x16030001, 11}, Case{0x16030002, 10}, Case{0x16030003, 12}}) {
    FiredEvents().clear();
    EventRecord record{LINKS_WINDOW, c.unit, 0};
    EXPECT_TRUE(FireEvent(record));
    ASSERT_EQ(FiredEvents().size(), 1u);
    EXPECT_EQ(FiredEvents()[0].event, c.handlerMark);
    EXPECT_EQ(FiredEvents()[0].unitId, c.unit);  // the source is the unit that raised it
  }
  EXPECT_EQ(CurrentEventSource().windowId, before.windowId);
  EXPECT_EQ(CurrentEventSource().unitId, before.unitId);
  EventRecord unbound{LINKS_WINDOW, 0x16030001, 5};
  EXPECT_FALSE(FireEvent(unbound));
}

TEST_F(FrameTest, LinkedButtonsShareTheFirstButtonsHandlers) {
  ASSERT_TRUE(LoadWindow(LAYOUT_WINDOW, false, nullptr));
  EXPECT_EQ(FindEventHandler(LAYOUT_WINDOW, kButton2, -1), FindEventHandler(LAYOUT_WINDOW, kButton1, -1));
  EXPECT_NE(FindEventHandler(LAYOUT_WINDOW, kButton3, 0), nullptr);
  EXPECT_EQ(FindEventHandler(LAYOUT_WINDOW, kPicture1, 0), nullptr);
}

// Unit properties by number, on a loaded window.
TEST_F(FrameTest, PropertiesReadFromTheWindowsAndWriteThrough) {
  ASSERT_TRUE(LoadWindow(LAYOUT_WINDOW, false, nullptr));
  const HWND button = UnitHandle(LAYOUT_WINDOW, kButton1);
  std::vector<int32_t> geometry;
  for (int32_t n = PROPERTY_LEFT; n <= PROPERTY_HEIGHT; ++n)
    geometry.push_back(static_cast<int32_t>(ReadUnitProperty(LAYOUT_WINDOW, kButton1, n).low));
  EXPECT_EQ(geometry, (std::vector<int32_t>{216, 240, 128, 64}));
  EXPECT_EQ(static_cast<int32_t>(ReadUnitProperty(LAYOUT_WINDOW, 0, PROPERTY_LEFT).low), 331);
  OwnedText tag(static_cast<TextValue>(CellPointer(ReadUnitProperty(LAYOUT_WINDOW, kButton1, PROPERTY_TAG))));
  EXPECT_EQ(tag.view(), "12");
  EXPECT_EQ(ReadUnitProperty(LAYOUT_WINDOW, kButton2, PROPERTY_DISABLED).low, 1u);
  EXPECT_EQ(ReadUnitProperty(LAYOUT_WINDOW, kButton3, PROPERTY_VISIBLE).low, 0u);

  WriteUnitProperty(LAYOUT_WINDOW, kButton1, PROPERTY_TOP, IntCell(100));
  WriteUnitProperty(LAYOUT_WINDOW, kButton1, PROPERTY_VISIBLE, BoolCell(false));
  WriteUnitProperty(LAYOUT_WINDOW, kButton1, PROPERTY_DISABLED, BoolCell(true));
  WriteUnitProperty(LAYOUT_WINDOW, kButton1, PROPERTY_TAG, PointerCell(TC_TEXT, "新"));
  WriteUnitProperty(LAYOUT_WINDOW, kButton1, PROPERTY_LEFT, PointerCell(TC_TEXT, "5"));  // wrong type: ignored
  RECT r;
  GetWindowRect(button, &r);
  MapWindowPoints(nullptr, UnitHandle(LAYOUT_WINDOW), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>{216, 100, 344, 164}));
  EXPECT_FALSE(GetWindowLongPtrA(button, GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(IsWindowEnabled(button));
  tag.reset(static_cast<TextValue>(CellPointer(ReadUnitProperty(LAYOUT_WINDOW, kButton1, PROPERTY_TAG))));
  EXPECT_EQ(tag.view(), "新");

  static constexpr auto kCursor = MakeConstantByteBlock("\x02\x00\x00\x00");
  WriteUnitProperty(LAYOUT_WINDOW, kButton1, PROPERTY_CURSOR, PointerCell(TC_BYTES, kCursor.get()));
  OwnedBytes cursor(static_cast<ByteBlock>(CellPointer(ReadUnitProperty(LAYOUT_WINDOW, kButton1, PROPERTY_CURSOR))));
  EXPECT_EQ(std::vector<unsigned char>(cursor.bytes().begin(), cursor.bytes().end()),
            (std::vector<unsigned char>{2, 0, 0, 0}));
  // A unit without a window answers from its record; the type's own numbers answer nothing here.
  EXPECT_EQ(static_cast<int32_t>(ReadUnitProperty(LAYOUT_WINDOW, kGroupBox, PROPERTY_WIDTH).low), 50);
  EXPECT_EQ(ReadUnitProperty(LAYOUT_WINDOW, kButton1, 8).type, uint32_t{TC_NONE});
}

// FindUnits over the layout window: unit order, name prefix, type name and tag bounds.
struct FindCase {
  const char* name;
  std::vector<ValueCell> arguments;  // after the window
  std::vector<uint32_t> units;
};

class FindUnitsTest : public SharedWindowsTest, public ::testing::WithParamInterface<FindCase> {};

TEST_P(FindUnitsTest, ListsTheMatchingUnitsInUnitOrder) {
  ASSERT_TRUE(LoadWindow(LAYOUT_WINDOW, false, nullptr));
  std::vector<ValueCell> arguments = {ValueCell{LAYOUT_WINDOW, 0, TC_WINDOW}};
  arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());
  ValueCell result{};
  CommandForms::FindUnits(&result, static_cast<int32_t>(arguments.size()), arguments.data());
  const auto* list = static_cast<const uint32_t*>(CellPointer(result));
  std::vector<uint32_t> units;
  for (uint32_t i = 0; list && i < list[0]; ++i) {
    EXPECT_EQ(list[2 + i * 3], LAYOUT_WINDOW);
    units.push_back(list[3 + i * 3]);
  }
  EXPECT_EQ(units, GetParam().units);
  EXPECT_EQ(list != nullptr, IsRegisteredUnitList(list));
  ValueCell ignored{};
  CommandForms::FreeUnitList(&ignored, 1, &result);
}

const ValueCell kOmitted{};
ValueCell Text(const char* text) { return PointerCell(TC_TEXT, text); }

INSTANTIATE_TEST_SUITE_P(
    Layout, FindUnitsTest,
    ::testing::Values(
        FindCase{"All", {}, {kButton1, kPicture1, kButton2, kButton3, kHiddenLabel}},
        FindCase{"Buttons", {kOmitted, Text("按钮")}, {kButton1, kButton2, kButton3}},
        FindCase{"NamePrefix", {Text("图片")}, {kPicture1}},
        FindCase{"EmptyPrefixAndType", {Text(""), Text("")}, {kButton1, kPicture1, kButton2, kButton3, kHiddenLabel}},
        FindCase{"TagBounds", {kOmitted, kOmitted, IntCell(5), IntCell(15)}, {kButton1, kButton2}},
        FindCase{"LowBoundOnly", {kOmitted, Text("按钮"), IntCell(10)}, {kButton1, kButton3}},
        FindCase{"TypeWithoutMadeUnits", {kOmitted, Text("分组框")}, {}},
        FindCase{"NoSuchType", {kOmitted, Text("按")}, {}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(FrameTest, FindUnitsWantsALoadedWindow) {
  const ValueCell notLoaded{LAYOUT_WINDOW, 0, TC_WINDOW};
  const ValueCell notAWindow{LAYOUT_WINDOW, 0, TC_INT};
  for (const ValueCell& first : {notLoaded, notAWindow}) {
    ValueCell result{1, 1, 1};
    CommandForms::FindUnits(&result, 1, &first);
    EXPECT_EQ(CellPointer(result), nullptr);
  }
}

TEST_F(FrameTest, GetUnitHandleNamesTheWindowByZeroOrByItsUnitId) {
  ASSERT_TRUE(LoadWindow(LAYOUT_WINDOW, false, nullptr));
  EXPECT_EQ(UnitHandle(LAYOUT_WINDOW, 0x06010000), UnitHandle(LAYOUT_WINDOW, 0));
  EXPECT_EQ(GetParent(UnitHandle(LAYOUT_WINDOW, kButton1)), UnitHandle(LAYOUT_WINDOW));
}

// The message loop: idle routines newest first once the queue is empty, and the end of the
// loop when the last window goes.
std::vector<intptr_t> idleRuns;
void IdleRoutine(intptr_t argument) {
  idleRuns.push_back(argument);
  if (argument == 1) PostMessageA(UnitHandle(OTHER_WINDOW), WM_CLOSE, 0, 0);
}

TEST_F(FrameTest, LoopRunsIdleRoutinesAndEndsWithTheLastWindow) {
  EXPECT_EQ(RunMessageLoop(), 0);  // nothing loaded: returns at once
  ASSERT_TRUE(LoadWindow(OTHER_WINDOW, false, nullptr));
  const HWND other = UnitHandle(OTHER_WINDOW);
  const HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  idleRuns.clear();
  AddIdleRoutine(other, &IdleRoutine, 1);
  AddIdleRoutine(gone, &IdleRoutine, 3);
  AddIdleRoutine(other, &IdleRoutine, 2);
  AddIdleRoutine(other, &IdleRoutine, 2);
  DestroyWindow(gone);
  Pump(20);

  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_EQ(idleRuns, (std::vector<intptr_t>{2, 1}));
  EXPECT_FALSE(IsWindow(other));
  EXPECT_EQ(Runtime().idle.size(), 2u);  // the dead window's entry went, the repeated one never came
}

// The numbered service entry. Service 6 started the runtime for these tests (the fixture asks for
// it); here 3 records the exit routine and 2 copies a constant array, and any other number does
// nothing with the same arguments.
RUNTIME_CONSTANT const int32_t serviceArray[4] = {1, 2, 7, 9};
void ServiceExitRoutine() {}

TEST_F(FrameTest, ServiceEntryRunsServicesTwoThreeAndSixOnly) {
  ArrayHeader* const constant = const_cast<ArrayHeader*>(reinterpret_cast<const ArrayHeader*>(serviceArray));
  ArrayHeader* variable = constant;
  EXPECT_EQ(RuntimeService(SERVICE_COPY_CONSTANT_ARRAY, 4, reinterpret_cast<intptr_t>(&variable)), 1);
  ASSERT_NE(variable, constant);
  EXPECT_EQ(std::memcmp(variable, serviceArray, sizeof serviceArray), 0);
  RuntimeFree(variable);
  EXPECT_EQ(RuntimeService(SERVICE_SET_EXIT_ROUTINE, reinterpret_cast<intptr_t>(&ServiceExitRoutine), 0), 1);
  EXPECT_EQ(TakeExitRoutine(), &ServiceExitRoutine);

  for (int32_t other : {-6, 0, 1, 4, 5, 7}) {
    variable = constant;
    EXPECT_EQ(RuntimeService(other, 4, reinterpret_cast<intptr_t>(&variable)), 0) << other;
    EXPECT_EQ(variable, constant) << other;
    EXPECT_EQ(TakeExitRoutine(), nullptr) << other;
  }
  // The runtime starts once: service 6 again changes nothing.
  const HWND hidden = Runtime().hiddenWindow;
  EXPECT_EQ(RuntimeService(SERVICE_INITIALISE, reinterpret_cast<intptr_t>(&FrameTestTemplates), 0), 1);
  EXPECT_EQ(Runtime().hiddenWindow, hidden);
  EXPECT_TRUE(IsWindow(hidden));
}

TEST_F(FrameTest, StartUpSetTheFolderAndTheHiddenWindow) {
  const RuntimeState& runtime = Runtime();
  wchar_t folder[MAX_PATH] = L"";
  GetCurrentDirectoryW(MAX_PATH, folder);
  EXPECT_EQ(std::wstring(folder), runtime.programDirectory);
  EXPECT_EQ(runtime.programFileName, L"runtime_frame_test.exe");
  EXPECT_EQ(runtime.moduleDirectory, runtime.programDirectory + L"\\");
  EXPECT_EQ(runtime.runMode, 3);
  EXPECT_TRUE(runtime.oleInitialised);
  const HWND hidden = runtime.hiddenWindow;
  EXPECT_FALSE(IsWindowVisible(hidden));
  EXPECT_EQ(GetWindowLongPtrA(hidden, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, WS_EX_TOOLWINDOW);
  EXPECT_EQ(GetWindowTextLengthA(hidden), 0);
  RECT r;
  GetWindowRect(hidden, &r);
  EXPECT_EQ(r.right - r.left, 0);
}

}  // namespace
