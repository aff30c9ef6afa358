// The skin engine's caption and layout on test windows of this thread, driven by messages sent
// directly: a later subclass, caption buttons added, by style and rebuilt, the caption's font and
// a new title, anchored children, track sizes and the full-screen correction, the colours a skin
// image gives, and a window's own picture.
#include <windows.h>
#include <commctrl.h>

#include <cmath>

#include "tests/skin/skin_engine_fixture.h"

namespace {

// ---- The engine going under a later subclass -------------------------------------------------

std::vector<UINT>* ownMessages = nullptr;
LRESULT CALLBACK RecordingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (ownMessages && message >= WM_APP) ownMessages->push_back(message);
  return DefWindowProcW(window, message, wParam, lParam);
}
WNDPROC laterSubclassPrevious = nullptr;
LRESULT CALLBACK LaterSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(laterSubclassPrevious, window, message, wParam, lParam);
}

// The skin's procedure cannot be taken out from under a later subclass: it stays, and still
// hands every message on to the window's own procedure.
TEST_F(SkinEngineTest, AWindowSubclassedAgainKeepsItsOwnProcedureWhenTheEngineGoes) {
  std::vector<UINT> messages;
  ownMessages = &messages;
  HWND window = MakeTopLevelTestWindow(L"SkinRecordingWindow", RecordingWindowProc, L"子类", WS_MINIMIZEBOX);
  windows_.push_back(window);
  engine_->SkinWindow(window, ToolOptions(false));
  laterSubclassPrevious = WindowCalls::ReplaceProcedure(window, &LaterSubclass);
  engine_.reset();
  SendMessageW(window, WM_APP + 7, 0, 0);
  EXPECT_EQ(messages, std::vector<UINT>{WM_APP + 7});
  ownMessages = nullptr;
}

// ---- Caption buttons added by the program ----------------------------------------------------

int userClicks = 0;
void CountUserClick(const int32_t*, int32_t, int32_t) { ++userClicks; }

enum class Effect { kNone, kUser, kMinimized, kClosed };
struct AddedButtonCase {
  const char* name;
  bool pressedBefore;  // pressed before the button came, released after; else moved, pressed and released after
  POINT at;
  Effect effect;
};

// Added in front: the strip grows 27 pixels to the left and the built-in buttons stay where
// they were, one number further on.
const AddedButtonCase kAddedButtonCases[] = {
    {"ReleaseOfAnEarlierPressClicksNothing", true, kCloseCentre, Effect::kNone},
    {"TheNewButtonRunsItsHandler", false, {269 + 13, 10}, Effect::kUser},
    {"MinimizeStaysInPlace", false, kMinimizeCentre, Effect::kMinimized},
    {"CloseStaysInPlace", false, kCloseCentre, Effect::kClosed},
};

class AddedButtonTest : public SkinEngineTest, public testing::WithParamInterface<AddedButtonCase> {};

TEST_P(AddedButtonTest, GoesFirstAndEachButtonActsWhereItIs) {
  const AddedButtonCase& c = GetParam();
  HWND window = Skinned();
  // The mouse was over close when the button came.
  SendMessageW(window, WM_MOUSEMOVE, 0, At(kCloseCentre));
  if (c.pressedBefore) SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(c.at));
  userClicks = 0;
  engine_->AddTitleButton(window, MenuButtonPng, "自定", &CountUserClick);
  const RECT strip = engine_->GetTitleButtonArea(window);
  EXPECT_EQ(strip.left, kWidth - 95 + 1);
  EXPECT_EQ(strip.right - strip.left, 95);
  std::vector<int32_t> kinds;
  for (const TitleButton& button : engine_->RecordAt(1).titleButtons) kinds.push_back(button.kind);
  EXPECT_EQ(kinds, (std::vector<int32_t>{kUserButton, kMinimizeButton, kCloseButton}));

  if (!c.pressedBefore) {
    SendMessageW(window, WM_MOUSEMOVE, 0, At(c.at));
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(c.at));
  }
  SendMessageW(window, WM_LBUTTONUP, 0, At(c.at));
  EXPECT_EQ(userClicks, c.effect == Effect::kUser ? 1 : 0);
  EXPECT_EQ(IsWindow(window) && IsIconic(window), c.effect == Effect::kMinimized);
  EXPECT_EQ(!IsWindow(window), c.effect == Effect::kClosed);
}

INSTANTIATE_TEST_SUITE_P(Releases, AddedButtonTest, testing::ValuesIn(kAddedButtonCases),
                         [](const testing::TestParamInfo<AddedButtonCase>& p) { return std::string(p.param.name); });

// ---- The caption's font --------------------------------------------------------------------

// Bright caption ink: the text is white over a halo and a darker skin.
int CaptionInk(const WindowRecord& record) {
  int count = 0;
  for (LONG y = kBorderWidth + 5; y < kBorderWidth + 25; ++y)
    for (LONG x = kBorderWidth + 26; x < 200; ++x) {
      const COLORREF c = GetPixel(record.frame.dc(), x, y);
      if (GetRValue(c) > 235 && GetGValue(c) > 235 && GetBValue(c) > 235) ++count;
    }
  return count;
}

// The caption buttons' tool tips are made after the window's first paint, not before: the
// tool-tip class loads the common controls, which the first frame does not need. Each tool then
// lies over its button.
TEST_F(SkinEngineTest, CaptionToolTipsAreMadeAfterTheFirstPaintOverTheirButtons) {
  HWND window = MakeTestWindow(WS_MINIMIZEBOX);
  windows_.push_back(window);
  engine_->SkinWindow(window, ToolOptions(false));
  EXPECT_EQ(engine_->RecordAt(1).toolTip.GetHandle(), nullptr);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  UpdateWindow(window);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  const HWND tip = engine_->RecordAt(1).toolTip.GetHandle();
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 2);
  for (const UINT_PTR id : {1u, 2u}) {
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.hwnd = window;
    tool.uId = id;
    ASSERT_TRUE(SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
    const POINT centre = id == 1 ? kMinimizeCentre : kCloseCentre;
    EXPECT_TRUE(PtInRect(&tool.rect, centre)) << id;
    EXPECT_EQ(engine_->HitTestTitleButton(1, (tool.rect.left + tool.rect.right) / 2, centre.y), static_cast<int32_t>(id));
  }
}

// At another DPI the caption's measures follow the window: the strip, its buttons and their hit
// test at the scaled places (the 96-DPI places hit nothing there), and a click at the scaled
// close button closes. A window whose own procedure ignores the message takes the suggested
// rectangle from the skin.
TEST_F(SkinEngineTest, AnotherDpiScalesTheCaptionStripAndItsButtonsActWhereTheyAreDrawn) {
  HWND window = MakeTestWindow(WS_MINIMIZEBOX);
  windows_.push_back(window);
  engine_->SkinWindow(window, ToolOptions(false));
  ShowWindow(window, SW_SHOWNOACTIVATE);
  UpdateWindow(window);
  auto px = [](LONG measure) { return static_cast<LONG>(std::lround(measure * 1.5)); };
  RECT outer;
  GetWindowRect(window, &outer);
  const RECT suggested{outer.left, outer.top, outer.left + px(kWidth), outer.top + px(kHeight)};
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ((std::vector<LONG>{client.right, client.bottom}), (std::vector<LONG>{px(kWidth), px(kHeight)}));

  // 39 + 57 for the buttons, 2 between them, 5 over; 33 high; its left edge 103 from the right.
  const RECT strip = engine_->GetTitleButtonArea(window);
  EXPECT_EQ((std::vector<LONG>{strip.left, strip.right - strip.left, strip.bottom - strip.top}),
            (std::vector<LONG>{client.right - 103 + 2, 103, 33}));
  EXPECT_EQ(engine_->HitTestTitleButton(1, px(kMinimizeCentre.x), px(kMinimizeCentre.y)), 1);
  EXPECT_EQ(engine_->HitTestTitleButton(1, px(kCloseCentre.x), px(kCloseCentre.y)), 2);
  EXPECT_EQ(engine_->HitTestTitleButton(1, kCloseCentre.x, kCloseCentre.y), 0);
  const POINT close{px(kCloseCentre.x), px(kCloseCentre.y)};
  SendMessageW(window, WM_MOUSEMOVE, 0, At(close));
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(close));
  SendMessageW(window, WM_LBUTTONUP, 0, At(close));
  EXPECT_FALSE(IsWindow(window));
}

// A style given to SetTitleFont is drawn: bold ink is heavier, an underline adds a line.
TEST_F(SkinEngineTest, TheCaptionIsDrawnInTheStyleSetTitleFontGives) {
  HWND window = MakeTestWindow(WS_MINIMIZEBOX);
  windows_.push_back(window);
  SetWindowTextW(window, L"WWMMWWMM");
  engine_->SkinWindow(window, ToolOptions(false));
  ShowWindow(window, SW_SHOWNOACTIVATE);
  UpdateWindow(window);
  const int regular = CaptionInk(engine_->RecordAt(1));
  ASSERT_GT(regular, 20);
  for (const int32_t style : {Gdiplus::FontStyleBold, Gdiplus::FontStyleUnderline}) {
    engine_->SetTitleFont(window, {}, {}, OptionalArg<int32_t>(style));
    UpdateWindow(window);
    EXPECT_GT(CaptionInk(engine_->RecordAt(1)), regular + regular / 5) << style;
  }
}

// ---- Children anchored to the client edges ------------------------------------------------

struct AnchorCase {
  const char* name;
  int32_t edges;
  RECT after;  // the child's rectangle once the window is 100 wider and 50 higher
};

constexpr RECT kAnchoredPlace{40, 60, 140, 90};
const AnchorCase kAnchorCases[] = {
    {"TopLeftStays", kAnchorLeft | kAnchorTop, kAnchoredPlace},
    {"RightMoves", kAnchorRight | kAnchorTop, {140, 60, 240, 90}},
    {"LeftAndRightStretch", kAnchorLeft | kAnchorRight, {40, 60, 240, 90}},
    {"BottomMoves", kAnchorLeft | kAnchorBottom, {40, 110, 140, 140}},
    {"AllEdgesStretchBothWays", kAnchorLeft | kAnchorTop | kAnchorRight | kAnchorBottom, {40, 60, 240, 140}},
};

class AnchorTest : public SkinEngineTest, public testing::WithParamInterface<AnchorCase> {};

TEST_P(AnchorTest, AChildKeepsItsDistanceToTheEdgesItIsAnchoredTo) {
  HWND window = Skinned(WS_MINIMIZEBOX, true);
  HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, kAnchoredPlace.left, kAnchoredPlace.top,
                               kAnchoredPlace.right - kAnchoredPlace.left, kAnchoredPlace.bottom - kAnchoredPlace.top,
                               window, nullptr, nullptr, nullptr);
  engine_->AnchorChild(child, GetParam().edges);
  SetWindowPos(window, nullptr, 0, 0, kWidth + 100, kHeight + 50, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
  const RECT& after = GetParam().after;
  EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}),
            (std::vector<LONG>{after.left, after.top, after.right, after.bottom}));
}

INSTANTIATE_TEST_SUITE_P(Edges, AnchorTest, testing::ValuesIn(kAnchorCases),
                         [](const testing::TestParamInfo<AnchorCase>& p) { return std::string(p.param.name); });

// ---- Caption buttons by style, and what each click does -----------------------------------------

int helpClicks = 0, menuClicks = 0;
void CountHelp(const int32_t*, int32_t, int32_t) { ++helpClicks; }
void CountMenu(const int32_t*, int32_t, int32_t) { ++menuClicks; }

struct StyleCase {
  const char* name;
  DWORD style;
  bool help, menu;
  std::vector<int32_t> kinds;  // left to right
};

const StyleCase kStyleCases[] = {
    {"CloseOnly", 0, false, false, {kCloseButton}},
    {"MinimizeAndMaximize", WS_MINIMIZEBOX | WS_MAXIMIZEBOX, false, false, {kMinimizeButton, kMaximizeButton, kCloseButton}},
    {"HelpAndMenu", 0, true, true, {kHelpButton, kMenuButton, kCloseButton}},
};

class CaptionStyleTest : public SkinEngineTest, public testing::WithParamInterface<StyleCase> {
 protected:
  // Moves onto button i (1-based) as the record lays it out now, presses and releases there.
  void Click(HWND window, size_t i) {
    const Gdiplus::RectF r = engine_->RecordAt(1).titleButtons[i - 1].rect;
    const POINT centre{static_cast<LONG>(r.X + r.Width / 2), static_cast<LONG>(r.Y + r.Height / 2)};
    SendMessageW(window, WM_MOUSEMOVE, 0, At(centre));
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(centre));
    SendMessageW(window, WM_LBUTTONUP, 0, At(centre));
  }
};

// The strip holds the buttons the style and the options ask for, 26 pixels each and 38 for
// close, one apart, 3 over; a click on each does its kind's work, maximize both ways.
TEST_P(CaptionStyleTest, TheStyleGivesTheButtonsAndEachClickDoesItsWork) {
  const StyleCase& c = GetParam();
  HWND window = MakeTestWindow(c.style);
  windows_.push_back(window);
  SkinWindowOptions options = ToolOptions(true);
  options.showHelpButton = c.help;
  options.showMenuButton = c.menu;
  engine_->SkinWindow(window, options);
  engine_->SetHelpHandler(window, &CountHelp);
  engine_->SetMenuHandler(window, &CountMenu);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  UpdateWindow(window);
  std::vector<int32_t> kinds;
  int32_t width = 0;
  for (const TitleButton& button : engine_->RecordAt(1).titleButtons) {
    kinds.push_back(button.kind);
    width += button.kind == kCloseButton ? 38 : 26;
  }
  EXPECT_EQ(kinds, c.kinds);
  const RECT strip = engine_->GetTitleButtonArea(window);
  EXPECT_EQ(strip.right - strip.left, width + static_cast<int32_t>(kinds.size()) - 1 + 3);

  helpClicks = menuClicks = 0;
  for (size_t i = 1; i <= c.kinds.size(); ++i) {
    SCOPED_TRACE(i);
    switch (c.kinds[i - 1]) {
      case kHelpButton:
        Click(window, i);
        EXPECT_EQ(helpClicks, 1);
        EXPECT_EQ(menuClicks, 0);
        break;
      case kMenuButton:
        Click(window, i);
        EXPECT_EQ(menuClicks, 1);
        break;
      case kMinimizeButton:
        Click(window, i);
        EXPECT_TRUE(IsIconic(window));
        EXPECT_TRUE(engine_->RecordAt(1).minimized);
        ShowWindow(window, SW_RESTORE);
        SendMessageW(window, WM_QUERYOPEN, 0, 0);
        break;
      case kMaximizeButton:
        Click(window, i);
        EXPECT_TRUE(IsZoomed(window));
        EXPECT_TRUE(engine_->RecordAt(1).maximized);
        Click(window, i);  // laid out again at the new size
        EXPECT_FALSE(IsZoomed(window));
        EXPECT_FALSE(engine_->RecordAt(1).maximized);
        break;
      case kCloseButton:
        Click(window, i);
        EXPECT_FALSE(IsWindow(window));
        break;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Styles, CaptionStyleTest, testing::ValuesIn(kStyleCases),
                         [](const testing::TestParamInfo<StyleCase>& p) { return std::string(p.param.name); });

// ---- Track sizes and the full-screen correction ----------------------------------------------

struct TrackSizeCase {
  const char* name;
  bool maximizeBox;
  int taskbar;  // the height of a taskbar window of ours at the bottom of the screen; 0: Wine's
};

const TrackSizeCase kTrackSizeCases[] = {
    {"Without", false, 0},
    {"With", true, 0},
    {"WithATaskbar", true, 30},
};

// Resizing stays within 200 x 150 and the screen; a window whose client area is made to cover
// the screen counts as maximized only when it has a maximize box, and is then held to the work
// area above the taskbar (the whole screen when there is none), also while resizing.
class TrackSizeTest : public SkinEngineTest, public testing::WithParamInterface<TrackSizeCase> {};

TEST_P(TrackSizeTest, ResizingKeepsWithinTheTrackSizesAndAFullScreenClientIsMaximizedWithAMaximizeBox) {
  const TrackSizeCase& c = GetParam();
  const LONG screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  if (c.taskbar) {
    windows_.push_back(MakeTopLevelTestWindow(L"Shell_TrayWnd", DefWindowProcW, L"", 0));
    SetWindowPos(windows_.back(), nullptr, 0, screenHeight - c.taskbar, screenWidth, c.taskbar, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // Measured: Wine's explorer keeps a tray window of that class of its own, and no height.
  RECT tray{};
  ASSERT_TRUE(GetWindowRect(FindWindowA("Shell_TrayWnd", nullptr), &tray));
  ASSERT_EQ(tray.bottom - tray.top, c.taskbar) << tray.left << "," << tray.top << "," << tray.right << "," << tray.bottom;
  HWND window = Skinned(WS_MINIMIZEBOX | (c.maximizeBox ? WS_MAXIMIZEBOX : 0), true);
  auto trackSizes = [&] {
    MINMAXINFO info{};
    SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    return std::vector<LONG>{info.ptMinTrackSize.x, info.ptMinTrackSize.y, info.ptMaxTrackSize.x, info.ptMaxTrackSize.y};
  };
  EXPECT_EQ(trackSizes(), (std::vector<LONG>{200, 150, screenWidth, screenHeight}));
  SetWindowPos(window, nullptr, 0, 0, screenWidth, screenHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(engine_->RecordAt(1).maximized, c.maximizeBox);
  const LONG workHeight = c.maximizeBox ? screenHeight - c.taskbar : screenHeight;
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ((std::vector<LONG>{client.right, client.bottom}), (std::vector<LONG>{screenWidth, workHeight}));
  EXPECT_EQ(trackSizes(), (std::vector<LONG>{200, 150, screenWidth, workHeight}));
  // The layout followed the new width: the strip ends at the right edge.
  EXPECT_EQ(engine_->GetTitleButtonArea(window).right, screenWidth + 1);
}

INSTANTIATE_TEST_SUITE_P(MaximizeBox, TrackSizeTest, testing::ValuesIn(kTrackSizeCases),
                         [](const testing::TestParamInfo<TrackSizeCase>& p) { return std::string(p.param.name); });

// ---- The skin image's colours ----------------------------------------------------------------

constexpr COLORREF ColorRefOf(Gdiplus::ARGB argb) { return ((argb & 0xFF) << 16) | (argb & 0xFF00) | ((argb >> 16) & 0xFF); }

struct SkinColourCase {
  const char* name;
  bool image;
  OptionalArg<COLORREF> colour;
  OptionalArg<int32_t> theme;
  // What the ground and the theme colour become; `fromImage` means the image's average colour.
  enum Source { kKept, kFromImage, kGiven, kDefaultTheme } back, accent;
};

const SkinColourCase kSkinColourCases[] = {
    {"ThemeFromTheImage", true, {}, -1, SkinColourCase::kFromImage, SkinColourCase::kFromImage},
    {"ThemeGiven", true, {}, 0x123456, SkinColourCase::kFromImage, SkinColourCase::kGiven},
    {"ThemeFromTheColourGiven", false, 0x336699, -1, SkinColourCase::kGiven, SkinColourCase::kGiven},
    {"ColourOnlyClearsTheImage", false, 0x336699, {}, SkinColourCase::kGiven, SkinColourCase::kDefaultTheme},
    {"NothingResetsOnlyTheTheme", false, {}, {}, SkinColourCase::kKept, SkinColourCase::kDefaultTheme},
};

class SkinColourTest : public SkinEngineTest, public testing::WithParamInterface<SkinColourCase> {};

TEST_P(SkinColourTest, TheGroundAndTheThemeComeFromTheImageTheColourOrTheDefaults) {
  const SkinColourCase& c = GetParam();
  const Gdiplus::ARGB average = engine_->settings().backColour;  // of the picture, by SetUp
  engine_->settings().themeColour = 0x010203;
  engine_->SetSkinImage("", c.image ? SkinBackgroundJpeg : nullptr, c.colour, c.theme, OptionalArg<int32_t>(kImageStretched));
  auto expected = [&](SkinColourCase::Source source, bool theme) -> COLORREF {
    switch (source) {
      case SkinColourCase::kFromImage: return ColorRefOf(average);
      case SkinColourCase::kGiven: return theme && c.theme.value != -1 ? static_cast<COLORREF>(c.theme.value) : c.colour.value;
      case SkinColourCase::kDefaultTheme: return 0xDDCA22;
      default: return ColorRefOf(average);
    }
  };
  EXPECT_EQ(ColorRefOf(engine_->settings().backColour), expected(c.back, false));
  EXPECT_EQ(engine_->settings().themeColour, expected(c.accent, true));
  EXPECT_EQ(engine_->settings().skinPicture != nullptr, c.image || !c.colour.given);
}

INSTANTIATE_TEST_SUITE_P(Arguments, SkinColourTest, testing::ValuesIn(kSkinColourCases),
                         [](const testing::TestParamInfo<SkinColourCase>& p) { return std::string(p.param.name); });

// ---- A window's own background picture -------------------------------------------------------

constexpr COLORREF kLeftRed = 0x0000FF, kRightBlue = 0xFF0000;

// A 60 x 40 picture, its left half red and its right half blue.
OwnedBytes TwoColourPicture() {
  OwnedBytes bytes = SolidBmp(kLeftRed, 60, 40);
  // The rows of a 24-bit BMP 60 wide are 180 bytes, bottom-up; the right half is blue.
  auto* pixels = const_cast<unsigned char*>(ByteBlockData(bytes.get())) + 54;
  for (int y = 0; y < 40; ++y)
    for (int x = 30; x < 60; ++x) {
      pixels[y * 180 + x * 3] = 0xFF;
      pixels[y * 180 + x * 3 + 2] = 0;
    }
  return bytes;
}

struct WindowImageCase {
  const char* name;
  int32_t mode;
  POINT red, blue;  // inside the picture's halves as it is placed
};

const WindowImageCase kWindowImageCases[] = {
    {"Stretched", kImageStretched, {90, 200}, {270, 200}},
    {"Centred", kImageCentred, {165, 159}, {195, 159}},
    {"TopLeft", kImageNatural, {5, 35}, {50, 35}},
};

class WindowImageTest : public SkinEngineTest, public testing::WithParamInterface<WindowImageCase> {};

// The picture goes where its mode puts it, over a ground of its own average colour, in that
// window only; without bytes the window shows the skin again.
TEST_P(WindowImageTest, TheWindowShowsItsOwnPictureInItsPlaceOverItsOwnColour) {
  const WindowImageCase& c = GetParam();
  HWND window = Skinned();
  HWND other = Skinned();
  SetWindowPos(other, nullptr, 500, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  constexpr POINT kGround{30, 290};
  const COLORREF skin = ShownPixel(window, kGround), otherSkin = ShownPixel(other, kGround);
  const OwnedBytes picture = TwoColourPicture();
  engine_->SetWindowImage(window, picture.get(), OptionalArg<int32_t>(c.mode));
  UpdateWindow(window);
  UpdateWindow(other);

  EXPECT_EQ(ShownPixel(window, c.red), kLeftRed);
  EXPECT_EQ(ShownPixel(window, c.blue), kRightBlue);
  const Gdiplus::ARGB own = engine_->RecordAt(1).ownColour;
  // The ground is a mix of the two halves, unless the picture covers it.
  EXPECT_GT(own & 0xFF, 0u);
  EXPECT_GT((own >> 16) & 0xFF, 0u);
  EXPECT_EQ(ShownPixel(window, kGround), c.mode == kImageStretched ? kLeftRed : ColorRefOf(own));
  EXPECT_EQ(ShownPixel(other, kGround), otherSkin);

  engine_->SetWindowImage(window, nullptr);
  UpdateWindow(window);
  EXPECT_EQ(ShownPixel(window, kGround), skin);
}

INSTANTIATE_TEST_SUITE_P(Modes, WindowImageTest, testing::ValuesIn(kWindowImageCases),
                         [](const testing::TestParamInfo<WindowImageCase>& p) { return std::string(p.param.name); });

// ---- Caption buttons rebuilt from the style ----------------------------------------------------

// The style gains a maximize box while close is pressed: the buttons follow the style, the
// caller's picture replaces close's, and the release that ends the press clicks nothing (the
// press's button number now names maximize). Each button then acts where it now is.
TEST_F(SkinEngineTest, RebuiltButtonsFollowTheStyleAndAnEarlierPressClicksNothing) {
  HWND window = Skinned(WS_MINIMIZEBOX);
  SendMessageW(window, WM_MOUSEMOVE, 0, At(kCloseCentre));
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(kCloseCentre));
  SetWindowLongW(window, GWL_STYLE, GetWindowLongW(window, GWL_STYLE) | WS_MAXIMIZEBOX);
  engine_->RebuildTitleButtons(window, {}, {}, {}, OptionalArg<ByteBlock>(HelpButtonPng));

  WindowRecord& record = engine_->RecordAt(1);
  std::vector<int32_t> kinds;
  for (const TitleButton& button : record.titleButtons) kinds.push_back(button.kind);
  ASSERT_EQ(kinds, (std::vector<int32_t>{kMinimizeButton, kMaximizeButton, kCloseButton}));
  EXPECT_EQ(record.titleButtons[2].picture->GetWidth(), 26u);  // the help picture, not the 38-pixel cross
  const RECT strip = engine_->GetTitleButtonArea(window);
  EXPECT_EQ((std::vector<LONG>{strip.left, strip.right}), (std::vector<LONG>{kWidth - 95 + 1, kWidth + 1}));
  EXPECT_EQ(record.hotButton, 0);

  SendMessageW(window, WM_LBUTTONUP, 0, At(kCloseCentre));
  EXPECT_TRUE(IsWindow(window));
  EXPECT_FALSE(IsZoomed(window));
  EXPECT_FALSE(record.maximized);

  const Gdiplus::RectF r = record.titleButtons[1].rect;
  const POINT maximize{static_cast<LONG>(r.X + r.Width / 2), static_cast<LONG>(r.Y + r.Height / 2)};
  SendMessageW(window, WM_MOUSEMOVE, 0, At(maximize));
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(maximize));
  SendMessageW(window, WM_LBUTTONUP, 0, At(maximize));
  EXPECT_TRUE(IsZoomed(window));
}

// ---- A new title -------------------------------------------------------------------------------

struct SetTextCase {
  const char* name;
  bool drawTitle, captionActive;
  bool redrawn;
};

const SetTextCase kSetTextCases[] = {
    {"Redrawn", true, true, true},
    {"NotWithoutDrawTitle", false, true, false},
    {"NotWithAnInactiveCaption", true, false, false},
};

class SetTextTest : public SkinEngineTest, public testing::WithParamInterface<SetTextCase> {
 protected:
  HWND SkinnedWithTitle(const wchar_t* title) {
    const SetTextCase& c = GetParam();
    HWND window = MakeTestWindow(WS_MINIMIZEBOX);
    windows_.push_back(window);
    SetWindowTextW(window, title);
    SkinWindowOptions options = ToolOptions(false);
    options.drawTitle = c.drawTitle;
    options.captionActive = c.captionActive;
    engine_->SkinWindow(window, options);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    return window;
  }
};

// The caption's pixels in a window's DC or a frame.
std::vector<COLORREF> CaptionPixels(HDC dc) {
  std::vector<COLORREF> pixels;
  for (int y = kBorderWidth + 5; y < kBorderWidth + 37; ++y)
    for (int x = kBorderWidth + 6; x < 250; ++x) pixels.push_back(GetPixel(dc, x, y));
  return pixels;
}

// A new title is drawn over the cached caption, pixel for pixel as a window skinned with that
// title shows it, and copied to the screen without a render of the whole frame.
TEST_P(SetTextTest, ANewTitleIsDrawnIntoTheCachedCaptionWithoutAFullRender) {
  const SetTextCase& c = GetParam();
  HWND window = SkinnedWithTitle(L"皮肤测试");
  HWND reference = SkinnedWithTitle(L"新的标题一二");
  SetWindowPos(reference, nullptr, 500, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const std::vector<COLORREF> before = CaptionPixels(engine_->RecordAt(1).frame.dc());
  const std::vector<COLORREF> renamed = CaptionPixels(engine_->RecordAt(2).frame.dc());
  ASSERT_NE(before, renamed);

  {
    const FullRenderCount count(engine_->RecordAt(1));
    SetWindowTextW(window, L"新的标题一二");
    UpdateWindow(window);
    EXPECT_EQ(count.renders(), 0);
  }
  const std::vector<COLORREF> frame = CaptionPixels(engine_->RecordAt(1).frame.dc());
  EXPECT_EQ(frame, c.redrawn ? renamed : before);
  HDC dc = GetDC(window);
  EXPECT_EQ(CaptionPixels(dc), frame);  // the screen shows the cache
  ReleaseDC(window, dc);
}

INSTANTIATE_TEST_SUITE_P(Options, SetTextTest, testing::ValuesIn(kSetTextCases),
                         [](const testing::TestParamInfo<SetTextCase>& p) { return std::string(p.param.name); });

}  // namespace
