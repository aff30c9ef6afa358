// Skinned child controls on test windows of this thread, driven by messages sent directly:
// registration, the push button's looks by state, check boxes after a click or the space key,
// see-through statics and their paint, a double click that is no second click, and handlers
// that outlive another skinned window closed by the program's code they run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

#include "resources/embedded_pictures.h"
#include "runtime/imports/declared_functions.h"
#include "runtime/runtime_error.h"
#include "skin/controls/control_records.h"
#include "skin/skin_engine.h"
#include "skin/skin_properties.h"
#include "skin/window_calls.h"
#include "tests/graphics/graphics_test_support.h"
#include "tests/skin/test_window.h"
#include "tests/support/runtime_error_exit.h"

namespace {

constexpr RECT kPushPlace{20, 60, 140, 92}, kOwnerPlace{160, 60, 280, 92}, kCheckPlace{20, 110, 160, 130},
    kLabelPlace{20, 150, 200, 180};

int clicks = 0, doubleClicks = 0, ownerDraws = 0;
HWND closeOnClick = nullptr;  // a window the next click's handler closes

LRESULT CALLBACK TestParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    ++clicks;
    if (closeOnClick) DestroyWindow(std::exchange(closeOnClick, nullptr));
  }
  if (message == WM_COMMAND && HIWORD(wParam) == BN_DOUBLECLICKED) ++doubleClicks;
  if (message == WM_DRAWITEM) ++ownerDraws;
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeParent() {
  return MakeTopLevelTestWindow(L"ControlSkinTestWindow", TestParentProc, L"控件", WS_MINIMIZEBOX);
}

HWND Child(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, const RECT& place, int id) {
  return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, place.left, place.top,
                         place.right - place.left, place.bottom - place.top, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

int32_t Property(HWND window, const char* name) {
  return static_cast<int32_t>(reinterpret_cast<intptr_t>(GetPropA(window, name)));
}

// The window's pixels in a rectangle of its client area, read back from its DC.
std::vector<COLORREF> Pixels(HWND window, const RECT& area) {
  std::vector<COLORREF> pixels;
  HDC dc = GetDC(window);
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) pixels.push_back(GetPixel(dc, x, y) & 0xFFFFFF);
  ReleaseDC(window, dc);
  return pixels;
}

void Pump() {
  MSG message;
  for (int round = 0; round < 10; ++round) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(20);
  }
}

struct Controls {
  HWND window, push, owner, check, label;
};

class ControlSkinTest : public testing::Test {
 protected:
  void SetUp() override {
    engine_ = std::make_unique<SkinEngine>();
    engine_->settings().gdiplusToken = StartGdiPlus();
    ASSERT_NE(engine_->settings().gdiplusToken, 0u);
    engine_->SetSkinImage("", SkinBackgroundJpeg, {}, {}, OptionalArg<int32_t>(kImageStretched));
    clicks = doubleClicks = ownerDraws = 0;
    closeOnClick = nullptr;
    // A runtime error ends the test program with its report on standard error, not in a box.
    SetRuntimeErrorPresenter(ShowOnStderr);
  }
  void TearDown() override {
    for (HWND window : windows_)
      if (IsWindow(window)) DestroyWindow(window);
    engine_.reset();
  }

  Controls Skinned(bool sizable = false) {
    Controls c{};
    c.window = MakeParent();
    windows_.push_back(c.window);
    c.push = Child(c.window, L"BUTTON", L"转换", BS_PUSHBUTTON, kPushPlace, 1);
    c.owner = Child(c.window, L"BUTTON", L"自绘", BS_OWNERDRAW, kOwnerPlace, 2);
    c.check = Child(c.window, L"BUTTON", L"选项", BS_AUTOCHECKBOX, kCheckPlace, 3);
    c.label = Child(c.window, L"STATIC", L"标签", SS_LEFT, kLabelPlace, 4);
    SkinWindowOptions options;
    options.sizable = sizable;
    engine_->SkinWindow(c.window, options);
    engine_->SkinStaticControl(c.label);
    ShowWindow(c.window, SW_SHOWNOACTIVATE);
    UpdateWindow(c.window);
    Pump();
    return c;
  }

  std::unique_ptr<SkinEngine> engine_;
  std::vector<HWND> windows_;
};

TEST_F(ControlSkinTest, ControlsRegisterOnceLeaveOwnerDrawnButtonsAloneAndFollowTheirWindowUpTheList) {
  const Controls first = Skinned();
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
  const Controls second = Skinned();
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

// The look of each item state, drawn through the parent's WM_DRAWITEM into a memory DC.
struct Look {
  COLORREF corner, edge, inside;
};

TEST_F(ControlSkinTest, PushButtonStatesDifferWhereTheirLayersDo) {
  const Controls c = Skinned();
  SetPropA(c.push, kTextColourProperty, reinterpret_cast<HANDLE>(static_cast<intptr_t>(0x0000FF)));
  const int w = kPushPlace.right - kPushPlace.left, h = kPushPlace.bottom - kPushPlace.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(memory, bitmap);
  ReleaseDC(nullptr, screen);
  int redText = 0;
  auto draw = [&](UINT state) {
    DRAWITEMSTRUCT item{ODT_BUTTON, 1, 0, ODA_DRAWENTIRE, state, c.push, memory, {0, 0, w, h}, 0};
    EXPECT_EQ(SendMessageW(c.window, WM_DRAWITEM, 1, reinterpret_cast<LPARAM>(&item)), TRUE);
    if (state == 0)
      for (int x = 0; x < w; ++x) {
        const COLORREF p = GetPixel(memory, x, h / 2);
        if (GetRValue(p) > 150 && GetGValue(p) < 100 && GetBValue(p) < 100) ++redText;
      }
    return Look{GetPixel(memory, 0, 0), GetPixel(memory, 0, h / 2), GetPixel(memory, w / 4, h - 5)};
  };
  const Look normal = draw(0), hot = draw(0x40), focused = draw(ODS_FOCUS), pressed = draw(ODS_SELECTED),
             disabled = draw(ODS_DISABLED);
  HDC background = engine_->RecordAt(1).background.dc();
  const COLORREF skinAtCorner = GetPixel(background, kPushPlace.left, kPushPlace.top);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);

  EXPECT_GT(redText, 0) << "the caption in the colour of Kj_Ztys";
  // Outside the rounded corner the skin shows, except on a disabled button's grey ground and
  // where the focus glow, 3 pixels wide, reaches out.
  for (const Look& look : {normal, hot, pressed}) EXPECT_EQ(look.corner, skinAtCorner);
  EXPECT_NE(focused.corner, skinAtCorner);
  EXPECT_EQ(disabled.corner, 0xC0C0C0u);
  // The outline: black, the theme colour, or the focus glow.
  EXPECT_NE(hot.edge, normal.edge);
  EXPECT_NE(focused.edge, normal.edge);
  EXPECT_NE(focused.edge, hot.edge);
  EXPECT_EQ(pressed.edge, normal.edge);
  // Inside, near the bottom: only the pressed layer and the hot gradient change it.
  EXPECT_NE(pressed.inside, normal.inside);
  EXPECT_NE(hot.inside, normal.inside);
  EXPECT_EQ(focused.inside, normal.inside);
  EXPECT_NE(disabled.inside, normal.inside);
}

struct Toggle {
  const char* name;
  UINT down, up;
  WPARAM wParam;
};

TEST_F(ControlSkinTest, CheckBoxShowsItsSkinnedImageAfterAClickOrTheSpaceKey) {
  const Controls c = Skinned();
  const int h = kCheckPlace.bottom - kCheckPlace.top;
  const RECT box{0, (h - 13) / 2, 13, (h - 13) / 2 + 13};
  const std::vector<COLORREF> unchecked = Pixels(c.check, box);
  for (const Toggle& toggle : {Toggle{"click", WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON},
                               Toggle{"space", WM_KEYDOWN, WM_KEYUP, VK_SPACE}}) {
    SCOPED_TRACE(toggle.name);
    const LPARAM at = toggle.down == WM_LBUTTONDOWN ? MAKELPARAM(5, 5) : 0;
    SendMessageW(c.check, toggle.down, toggle.wParam, at);
    SendMessageW(c.check, toggle.up, toggle.down == WM_LBUTTONDOWN ? 0 : toggle.wParam, at);
    ASSERT_EQ(SendMessageW(c.check, BM_GETCHECK, 0, 0), BST_CHECKED);
    // Drawn at once, and as a repaint draws it: the skin's checked box, not the system's.
    const std::vector<COLORREF> afterToggle = Pixels(c.check, box);
    EXPECT_NE(afterToggle, unchecked);
    InvalidateRect(c.check, nullptr, TRUE);
    UpdateWindow(c.check);
    EXPECT_EQ(Pixels(c.check, box), afterToggle);
    SendMessageW(c.check, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_EQ(Pixels(c.check, box), unchecked);
  }
}

int paints = 0;
WNDPROC paintCounterPrevious = nullptr;
LRESULT CALLBACK CountPaints(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) ++paints;
  return CallWindowProcW(paintCounterPrevious, window, message, wParam, lParam);
}

TEST_F(ControlSkinTest, StaticShowsTheSkinThroughItsKeyColourAndPaintsOnce) {
  const Controls c = Skinned();
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
  const Controls c = Skinned();
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
  const Controls first = Skinned();
  const Controls second = Skinned(GetParam().sizable);
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

// White over the skin at `alpha`, as GDI+ blends it, to within rounding.
bool WashedWith(COLORREF skin, COLORREF shown, int alpha) {
  for (const int shift : {0, 8, 16}) {
    const int under = static_cast<int>((skin >> shift) & 0xFF);
    const int expected = (255 * alpha + under * (255 - alpha)) / 255;
    if (std::abs(expected - static_cast<int>((shown >> shift) & 0xFF)) > 2) return false;
  }
  return true;
}

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
  EXPECT_TRUE(WashedWith(skin, shown, 44)) << std::hex << skin << " shows as " << shown;

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

}  // namespace
