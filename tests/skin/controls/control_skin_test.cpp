// Skinned child controls on test windows of this thread, driven by messages sent directly:
// registration, see-through statics and their paint, the wash under coloured children,
// containers and what they hold, a double click that is no second click, and handlers that
// outlive another skinned window closed by the program's code they run.
#include "tests/skin/controls/control_skin_fixture.h"

#include <commctrl.h>

#include "runtime/imports/declared_functions.h"

namespace {

TEST_F(ControlSkinTest, ControlsRegisterOnceLeaveOwnerDrawnButtonsAloneAndFollowTheirWindowUpTheList) {
  const Controls first = SkinnedControls();
  const WNDPROC ownerProcedure = WindowCalls::CurrentProcedure(first.owner);
  SkinWindowOptions options;
  engine_->SkinWindow(first.window, options);
  engine_->SkinStaticControl(first.label);
  engine_->SkinButton(first.push);
  const ControlLists& controls = engine_->RecordAt(1).controls;
  ASSERT_EQ(controls.buttons.size(), 2u);  // the push button, then the check box
  EXPECT_EQ(controls.buttons[0].hwnd, first.push);
  EXPECT_EQ(controls.buttons[0].kind, kPushButton);
  EXPECT_EQ(controls.buttons[1].hwnd, first.check);
  EXPECT_EQ(controls.buttons[1].kind, kCheckBox);
  EXPECT_EQ(controls.statics.size(), 1u);
  EXPECT_EQ(GetWindowLongW(first.push, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_EQ(GetWindowLongW(first.check, GWL_STYLE) & BS_TYPEMASK, BS_AUTOCHECKBOX);
  EXPECT_EQ(GetPropA(first.owner, "Hw_FuID"), nullptr);
  EXPECT_EQ(WindowCalls::CurrentProcedure(first.owner), ownerProcedure);

  // The first window goes: the second's controls now name window 1.
  const Controls second = SkinnedControls();
  EXPECT_EQ(Property(second.push, "Hw_FuID"), 2);
  EXPECT_EQ(Property(second.label, "Kj_FuID"), 2);
  DestroyWindow(first.window);
  EXPECT_EQ(engine_->WindowCount(), 1);
  EXPECT_EQ(Property(second.push, "Hw_FuID"), 1);
  EXPECT_EQ(Property(second.check, "Hw_FuID"), 1);
  EXPECT_EQ(Property(second.label, "Kj_FuID"), 1);
  SendMessageW(second.push, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));  // still finds its records
  EXPECT_EQ(engine_->RecordAt(1).controls.hotButton, 1);
}

int paints = 0;
WNDPROC paintCounterPrevious = nullptr;
LRESULT CALLBACK CountPaints(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) ++paints;
  return CallWindowProcW(paintCounterPrevious, window, message, wParam, lParam);
}

TEST_F(ControlSkinTest, StaticShowsTheSkinThroughItsKeyColourAndPaintsOnce) {
  const Controls c = SkinnedControls();
  const int w = kLabelPlace.right - kLabelPlace.left, h = kLabelPlace.bottom - kLabelPlace.top;
  HDC background = engine_->RecordAt(1).background.dc();
  // A spot right of the text, where the label paints nothing but its ground.
  for (const POINT spot : {POINT{w - 3, h - 3}, POINT{w / 2, h - 2}}) {
    const COLORREF skin = GetPixel(background, kLabelPlace.left + spot.x, kLabelPlace.top + spot.y);
    ASSERT_NE(skin, GetSysColor(COLOR_BTNFACE)) << "the skin differs from the key colour here";
    EXPECT_EQ(Pixels(c.label, RECT{spot.x, spot.y, spot.x + 1, spot.y + 1}).front(), skin);
  }
  // With black as its key colour the label's own ground stays and its black text goes.
  engine_->SetControlColour(c.label, 0x000000);
  UpdateWindow(c.label);
  EXPECT_EQ(Pixels(c.label, RECT{w - 3, h - 3, w - 2, h - 2}).front(), GetSysColor(COLOR_BTNFACE));

  paintCounterPrevious = WindowCalls::ReplaceProcedure(c.label, &CountPaints);
  paints = 0;
  InvalidateRect(c.label, nullptr, FALSE);
  UpdateWindow(c.label);
  Pump();
  EXPECT_EQ(paints, 1);
  WindowCalls::ReplaceProcedure(c.label, paintCounterPrevious);
}

TEST_F(ControlSkinTest, DoubleClickOnASkinnedPushButtonIsNoSecondClick) {
  const Controls c = SkinnedControls();
  const LPARAM at = MAKELPARAM(10, 10);
  SendMessageW(c.push, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(c.push, WM_LBUTTONUP, 0, at);
  EXPECT_EQ(SendMessageW(c.push, WM_LBUTTONDBLCLK, MK_LBUTTON, at), 0);
  SendMessageW(c.push, WM_LBUTTONUP, 0, at);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(doubleClicks, 0);
}

// ---- Another window closed while a handler runs ------------------------------------------

HWND closeInLoop = nullptr;
StandIn* loopSendStandIn = nullptr;

// The move and size loops are not entered; the program's code that would run in them closes a
// window instead.
LRESULT WINAPI CloseInsteadOfLoop(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if ((message == WM_NCLBUTTONDOWN && wParam == HTCAPTION) || (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_SIZE)) {
    if (closeInLoop) DestroyWindow(std::exchange(closeInLoop, nullptr));
    return 0;
  }
  return loopSendStandIn->Original<decltype(&SendMessageA)>()(window, message, wParam, lParam);
}

struct ClosingCase {
  const char* name;
  bool sizable;
  // Runs the handler in `second`, whose code closes `first`; then checks what it left.
  void (*run)(const Controls& first, const Controls& second, SkinEngine& engine);
};

// With the first window gone the second is number 1: a handler still at number 2 raises runtime
// error 1, which ends the program.
const ClosingCase kClosingCases[] = {
    {"MoveLoopOfACaptionPress", false,
     [](const Controls& first, const Controls& second, SkinEngine&) {
       closeInLoop = first.window;
       SendMessageW(second.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 10));
     }},
    {"SizeLoopOfAPressOnTheCloseButtonsCorner", true,
     [](const Controls& first, const Controls& second, SkinEngine& engine) {
       closeInLoop = first.window;
       // The strip's top band of a sizable window: the corner's size loop, then the close button
       // under the press drawn pressed, in red, in this window's frame.
       SendMessageW(second.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(352, 2));
       const COLORREF pressed = GetPixel(engine.RecordAt(1).frame.dc(), 327, 4);
       EXPECT_GT(GetRValue(pressed), 200) << std::hex << pressed;
       EXPECT_LT(GetGValue(pressed), 120) << std::hex << pressed;
     }},
    {"ClickHandlerOfACheckBox", false,
     [](const Controls& first, const Controls& second, SkinEngine&) {
       closeOnClick = first.window;
       SendMessageW(second.check, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
       SendMessageW(second.check, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
       EXPECT_EQ(SendMessageW(second.check, BM_GETCHECK, 0, 0), BST_CHECKED);
     }},
};

class ClosingTest : public ControlSkinTest, public testing::WithParamInterface<ClosingCase> {};

TEST_P(ClosingTest, AHandlerGoesOnWithItsOwnWindowWhenItsCodeClosesAnEarlierOne) {
  StandIn send(K_SendMessageA, reinterpret_cast<void*>(&CloseInsteadOfLoop));
  loopSendStandIn = &send;
  const Controls first = SkinnedControls();
  const Controls second = SkinnedControls(GetParam().sizable);
  GetParam().run(first, second, *engine_);
  EXPECT_FALSE(IsWindow(first.window));
  ASSERT_EQ(engine_->WindowCount(), 1);
  EXPECT_EQ(engine_->RecordAt(1).hwnd, second.window);
  EXPECT_EQ(Property(second.window, "Hw_lbID"), 1);
  EXPECT_EQ(Property(second.check, "Hw_FuID"), 1);
  // The check box's look is the skin's, as a repaint draws it, not the system's.
  const RECT box{0, 0, 13, kCheckPlace.bottom - kCheckPlace.top};
  const std::vector<COLORREF> shown = Pixels(second.check, box);
  InvalidateRect(second.check, nullptr, TRUE);
  UpdateWindow(second.check);
  EXPECT_EQ(Pixels(second.check, box), shown);
  loopSendStandIn = nullptr;
}

INSTANTIATE_TEST_SUITE_P(Handlers, ClosingTest, testing::ValuesIn(kClosingCases),
                         [](const testing::TestParamInfo<ClosingCase>& p) { return std::string(p.param.name); });

// ---- An owner-drawn button skinned as a container --------------------------------------------

// Containers number themselves in a list of their own under the buttons' property names: the
// WM_DRAWITEM of such a button is the program's, whichever skinned buttons its window has.
class OwnerDrawnContainerTest : public ControlSkinTest, public testing::WithParamInterface<bool> {};

TEST_P(OwnerDrawnContainerTest, IsDrawnByTheProgram) {
  const bool besideSkinnedButtons = GetParam();
  HWND window = MakeParent();
  windows_.push_back(window);
  if (besideSkinnedButtons) Child(window, L"BUTTON", L"转换", BS_PUSHBUTTON, kPushPlace, 1);
  HWND owner = Child(window, L"BUTTON", L"自绘", BS_OWNERDRAW, kOwnerPlace, 2);
  engine_->SkinWindow(window, SkinWindowOptions{});
  engine_->SkinContainer(owner);
  ASSERT_EQ(engine_->RecordAt(1).controls.containers.size(), 1u);
  ASSERT_EQ(engine_->RecordAt(1).controls.buttons.size(), besideSkinnedButtons ? 1u : 0u);

  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 120, 32);
  HGDIOBJ old = SelectObject(memory, bitmap);
  ReleaseDC(nullptr, screen);
  ownerDraws = 0;
  DRAWITEMSTRUCT item{ODT_BUTTON, 2, 0, ODA_DRAWENTIRE, 0, owner, memory, {0, 0, 120, 32}, 0};
  SendMessageW(window, WM_DRAWITEM, 2, reinterpret_cast<LPARAM>(&item));
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  EXPECT_EQ(ownerDraws, 1);
}

INSTANTIATE_TEST_SUITE_P(Windows, OwnerDrawnContainerTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& p) {
                           return std::string(p.param ? "BesideSkinnedButtons" : "Alone");
                         });

// ---- Statics given a wash, holding children, or nested in a container -----------------------

// The start-up gives its statics the alpha 300, kept as 44: the skin shows through their ground
// under that wash. A static holding children is a container too, and its children are skinned.
TEST_F(ControlSkinTest, AStaticGivenAnAlphaShowsTheSkinWashedAndOneWithChildrenIsAContainerToo) {
  HWND window = MakeParent();
  windows_.push_back(window);
  HWND label = Child(window, L"STATIC", L"", SS_LEFT, kLabelPlace, 4);
  HWND panel = Child(window, L"STATIC", L"", SS_LEFT, RECT{200, 110, 340, 180}, 5);
  HWND inner = Child(panel, L"BUTTON", L"内", BS_PUSHBUTTON, RECT{10, 10, 80, 40}, 6);
  engine_->SkinWindow(window, SkinWindowOptions{});
  engine_->SkinStaticControl(label, {}, {}, OptionalArg<int32_t>(300));
  engine_->SkinStaticControl(panel);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  UpdateWindow(window);
  Pump();

  const POINT spot{30, 10};
  const COLORREF skin = GetPixel(engine_->RecordAt(1).background.dc(), kLabelPlace.left + spot.x, kLabelPlace.top + spot.y);
  const COLORREF shown = Pixels(label, RECT{spot.x, spot.y, spot.x + 1, spot.y + 1}).front();
  EXPECT_TRUE(Near(WashedColour(skin, 44), shown)) << std::hex << "over " << skin;

  const ControlLists& controls = engine_->RecordAt(1).controls;
  ASSERT_EQ(controls.containers.size(), 1u);
  EXPECT_EQ(controls.containers[0].hwnd, panel);
  EXPECT_EQ(controls.statics.size(), 2u);
  EXPECT_EQ(Property(inner, "Hw_FuID"), 1);
  EXPECT_EQ(GetPropA(panel, "Mb_zpf"), nullptr);  // no window above it provides a background
}

// A new skin image reaches controls inside a container that clips its children, which a repaint
// of the window and its own children does not.
TEST_F(ControlSkinTest, ANewSkinImageRepaintsControlsNestedInAContainer) {
  HWND window = MakeParent();
  windows_.push_back(window);
  // Both clip their children: invalidating one reaches no window below it.
  SetWindowLongW(window, GWL_STYLE, GetWindowLongW(window, GWL_STYLE) | WS_CLIPCHILDREN);
  HWND group = Child(window, L"BUTTON", L"", BS_GROUPBOX | WS_CLIPCHILDREN, RECT{20, 100, 300, 260}, 7);
  HWND label = Child(group, L"STATIC", L"", SS_LEFT, RECT{20, 30, 200, 80}, 8);
  engine_->SkinWindow(window, SkinWindowOptions{});
  engine_->SkinContainer(group);
  engine_->SkinStaticControl(label);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  UpdateWindow(window);
  Pump();
  const RECT spot{150, 40, 151, 41};
  const COLORREF before = Pixels(label, spot).front();
  engine_->SetSkinImage("", nullptr, OptionalArg<COLORREF>(0x00FF00), {}, {});
  Pump();
  EXPECT_NE(Pixels(label, spot).front(), before);
  EXPECT_EQ(Pixels(label, spot).front(), 0x00FF00u);
}

// ---- Group boxes and tab controls ------------------------------------------------------------

struct ContainerCase {
  const char* name;
  const wchar_t* className;
  DWORD style;
  POINT ground;  // in the container, where it has nothing but its ground
};

// A tab control paints its pane itself (Wine: white); its ground is beside its tab.
const ContainerCase kContainers[] = {
    {"GroupBox", L"BUTTON", BS_GROUPBOX, {250, 150}},
    {"TabControl", WC_TABCONTROLW, 0, {250, 5}},
};

class ContainerTest : public ControlSkinTest, public testing::WithParamInterface<ContainerCase> {};

// A container is registered under the buttons' property names in a list of its own, the
// controls it holds are skinned with the window's, and the skin shows through its ground and
// through the label it holds.
TEST_P(ContainerTest, IsRegisteredAndTheSkinShowsThroughItAndItsChildren) {
  const ContainerCase& c = GetParam();
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES};
  ASSERT_TRUE(InitCommonControlsEx(&classes));
  HWND window = Parent();
  HWND container = Child(window, c.className, L"", c.style, RECT{20, 60, 320, 280}, 7);
  ASSERT_NE(container, nullptr);
  TCITEMW tab{TCIF_TEXT};
  tab.pszText = const_cast<wchar_t*>(L"页一");
  SendMessageW(container, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&tab));  // a group box ignores it
  const WNDPROC own = WindowCalls::CurrentProcedure(container);
  HWND label = Child(container, L"STATIC", L"", SS_LEFT, RECT{20, 40, 200, 70}, 8);
  HWND push = Child(container, L"BUTTON", L"内", BS_PUSHBUTTON, RECT{20, 90, 120, 120}, 9);
  engine_->SkinWindow(window, SkinWindowOptions{});
  engine_->SkinContainer(container);
  engine_->SkinStaticControl(label);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  UpdateWindow(window);
  Pump();

  const WindowRecord& record = engine_->RecordAt(1);
  ASSERT_EQ(record.controls.containers.size(), 1u);
  EXPECT_EQ(record.controls.containers[0].hwnd, container);
  EXPECT_EQ(Property(container, "Hw_FuID"), 1);
  EXPECT_EQ(Property(container, "Hw_lbID"), 1);
  EXPECT_EQ(GetPropA(container, "Hw_hProc"), reinterpret_cast<HANDLE>(own));
  EXPECT_EQ(GetPropA(container, "Mb_zpf"), nullptr);
  ASSERT_EQ(record.controls.buttons.size(), 1u);
  EXPECT_EQ(record.controls.buttons[0].hwnd, push);
  EXPECT_EQ(GetWindowLongW(push, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);

  EXPECT_EQ(ShownPixel(container, c.ground), SkinUnder(record, container, c.ground));
  const POINT inLabel{150, 20};
  EXPECT_EQ(ShownPixel(label, inLabel), SkinUnder(record, label, inLabel));
}

INSTANTIATE_TEST_SUITE_P(Kinds, ContainerTest, testing::ValuesIn(kContainers),
                         [](const testing::TestParamInfo<ContainerCase>& p) { return std::string(p.param.name); });

// ---- The wash under coloured children ---------------------------------------------------------

struct WashCase {
  const char* name;
  OptionalArg<int32_t> alpha;
  int shown;  // the wash's alpha over the skin; -1: the label keeps the system's ground
};

// The start-up gives 300, kept as its low byte, 44.
const WashCase kWashes[] = {
    {"AlphaAboveAByteKeepsItsLowByte", OptionalArg<int32_t>(300), 44},
    {"AlphaGiven", OptionalArg<int32_t>(160), 160},
    {"NoAlphaNoColouring", {}, -1},
};

class WashTest : public ControlSkinTest, public testing::WithParamInterface<WashCase> {};

// A plain label, coloured by its window's WM_CTLCOLORSTATIC, shows the frame under it washed
// white at the stored alpha.
TEST_P(WashTest, APlainLabelShowsTheFrameUnderTheStoredWash) {
  const WashCase& c = GetParam();
  engine_->SetControlTransparency(true, c.alpha);
  HWND window = Parent();
  HWND label = Child(window, L"STATIC", L"", SS_LEFT, kLabelPlace, 4);
  SkinAndShow(window);
  InvalidateRect(label, nullptr, TRUE);
  UpdateWindow(label);
  const POINT spot{100, 15};
  POINT inWindow = spot;
  MapWindowPoints(label, window, &inWindow, 1);
  const COLORREF frame = GetPixel(engine_->RecordAt(1).frame.dc(), inWindow.x, inWindow.y);
  const COLORREF expected = c.shown < 0 ? GetSysColor(COLOR_BTNFACE) : WashedColour(frame, c.shown);
  EXPECT_TRUE(Near(expected, ShownPixel(label, spot))) << std::hex << "over " << frame;
}

INSTANTIATE_TEST_SUITE_P(Alphas, WashTest, testing::ValuesIn(kWashes),
                         [](const testing::TestParamInfo<WashCase>& p) { return std::string(p.param.name); });

}  // namespace
