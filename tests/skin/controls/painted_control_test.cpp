// Controls the engine paints, on test windows of this thread: each class registered once with the
// skin's properties, its ground showing the skin under the white wash (or bare, where the class
// has no body) instead of a system colour, an edit's typed text in its "Kj_Ztys" colour, and the
// controls handed back as they were when the engine goes.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "resources/embedded_pictures.h"
#include "skin/controls/painted_controls.h"
#include "skin/skin_engine.h"
#include "skin/skin_properties.h"
#include "skin/window_calls.h"
#include "tests/graphics/graphics_test_support.h"
#include "tests/skin/test_window.h"

namespace {

constexpr RECT kPlace{40, 60, 200, 140};

struct PaintedCase {
  const wchar_t* className;
  DWORD style, exStyle;
  PaintedFamily family;
  POINT spot;      // in the client area, where the control has nothing but its ground
  bool washed;     // the ground is the skin under the white wash; else the bare skin
};

// Spots from the far corner (negative: from the right or bottom edge).
const PaintedCase kCases[] = {
    {L"Edit", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, kEditFamily, {-8, 30}, true},
    {L"ComboBox", CBS_DROPDOWNLIST, 0, kEditFamily, {12, 10}, true},
    {L"msctls_trackbar32", 0, 0, kTrackBarFamily, {2, 2}, false},
    {L"msctls_progress32", 0, 0, kProgressFamily, {-20, 40}, true},
    {L"ListBox", WS_BORDER | WS_VSCROLL, 0, kListFamily, {20, -10}, true},
    {L"SysListView32", LVS_REPORT, WS_EX_CLIENTEDGE, kListFamily, {40, -10}, true},
    {L"SysTreeView32", 0, WS_EX_CLIENTEDGE, kListFamily, {40, -10}, true},
    {L"SysDateTimePick32", 0, 0, kListFamily, {-30, -10}, true},
    {L"SysIPAddress32", 0, WS_EX_CLIENTEDGE, kListFamily, {12, 40}, true},
    {L"SysHeader32", 0, 0, kHeaderFamily, {-10, 10}, false},
};

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

void Pump() {
  MSG message;
  for (int round = 0; round < 10; ++round) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(20);
  }
}

COLORREF PixelOf(HWND window, POINT at) {
  HDC dc = GetDC(window);
  const COLORREF pixel = GetPixel(dc, at.x, at.y);
  ReleaseDC(window, dc);
  return pixel;
}

// White laid over the skin at the body's alpha, as GDI+ blends it, to within rounding.
testing::AssertionResult Washed(COLORREF skin, COLORREF actual, bool washed) {
  const uint32_t alpha = washed ? kBodyAlpha : 0;
  for (const int shift : {0, 8, 16}) {
    const int under = static_cast<int>((skin >> shift) & 0xFF);
    const int expected = static_cast<int>((255 * alpha + static_cast<uint32_t>(under) * (255 - alpha)) / 255);
    const int got = static_cast<int>((actual >> shift) & 0xFF);
    if (std::abs(expected - got) > 2)
      return testing::AssertionFailure() << std::hex << "skin " << skin << " gives " << actual << ", not near " << expected
                                         << " at bit " << std::dec << shift;
  }
  return testing::AssertionSuccess();
}

class PaintedControlTest : public testing::TestWithParam<PaintedCase> {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_INTERNET_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&classes));
    engine_ = std::make_unique<SkinEngine>();
    engine_->settings().gdiplusToken = StartGdiPlus();
    engine_->SetSkinImage("", SkinBackgroundJpeg, {}, {}, OptionalArg<int32_t>(kImageStretched));
    engine_->SetControlTransparency(true, OptionalArg<int32_t>(300));
    window_ = MakeTopLevelTestWindow(L"PaintedControlTestWindow", ParentProc, L"控件", WS_MINIMIZEBOX);
    const PaintedCase& c = GetParam();
    control_ = CreateWindowExW(c.exStyle, c.className, L"", WS_CHILD | WS_VISIBLE | c.style, kPlace.left, kPlace.top,
                               kPlace.right - kPlace.left, kPlace.bottom - kPlace.top, window_, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(control_, nullptr);
    original_ = WindowCalls::CurrentProcedure(control_);
  }
  void TearDown() override {
    if (IsWindow(window_)) DestroyWindow(window_);
    engine_.reset();
  }
  void Skin() {
    engine_->SkinWindow(window_, SkinWindowOptions{});
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    UpdateWindow(window_);
    Pump();
  }
  POINT Spot() const {
    RECT client{};
    GetClientRect(control_, &client);
    const POINT spot = GetParam().spot;
    return POINT{spot.x < 0 ? client.right + spot.x : spot.x, spot.y < 0 ? client.bottom + spot.y : spot.y};
  }

  std::unique_ptr<SkinEngine> engine_;
  HWND window_ = nullptr, control_ = nullptr;
  WNDPROC original_ = nullptr;
};

TEST_P(PaintedControlTest, IsRegisteredOnceAndShowsTheSkinAsItsGround) {
  Skin();
  const std::deque<PaintedRecord>& list = engine_->RecordAt(1).controls.painted[GetParam().family];
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].hwnd, control_);
  EXPECT_EQ(GetPropA(control_, "Hw_hProc"), reinterpret_cast<HANDLE>(original_));
  EXPECT_EQ(GetPropA(control_, "Hw_lbID"), reinterpret_cast<HANDLE>(1));
  EXPECT_EQ(GetPropA(control_, "Hw_FuID"), reinterpret_cast<HANDLE>(1));
  engine_->SkinChildControls(1, window_);  // the window's set-ups run again on its children
  EXPECT_EQ(list.size(), 1u);

  const POINT spot = Spot();
  POINT inWindow = spot;
  MapWindowPoints(control_, window_, &inWindow, 1);
  const COLORREF skin = GetPixel(engine_->RecordAt(1).background.dc(), inWindow.x, inWindow.y);
  const COLORREF shown = PixelOf(control_, spot);
  EXPECT_NE(shown, GetSysColor(COLOR_WINDOW));
  EXPECT_NE(shown, GetSysColor(COLOR_BTNFACE));
  EXPECT_TRUE(Washed(skin, shown, GetParam().washed));
}

TEST_P(PaintedControlTest, GoesBackToItsOwnProcedureWhenTheEngineGoes) {
  Skin();
  const COLORREF viewBack = static_cast<COLORREF>(SendMessageW(control_, LVM_GETBKCOLOR, 0, 0));
  engine_.reset();
  EXPECT_EQ(WindowCalls::CurrentProcedure(control_), original_);
  EXPECT_EQ(GetPropA(control_, "Hw_FuID"), nullptr);
  EXPECT_EQ(GetPropA(control_, "Hw_hProc"), nullptr);
  if (GetParam().className == std::wstring(L"SysListView32")) {
    EXPECT_EQ(SendMessageW(control_, LVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(GetSysColor(COLOR_WINDOW)))
        << std::hex << viewBack;
  }
}

INSTANTIATE_TEST_SUITE_P(Classes, PaintedControlTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<PaintedCase>& param) {
                           std::string name;
                           for (const wchar_t* c = param.param.className; *c; ++c)
                             if (iswalnum(*c)) name += static_cast<char>(*c);
                           return name;
                         });

// Typed text appears, in the text colour the control was given; the system's black is gone.
TEST(PaintedEdit, ShowsTypedTextInItsTextColour) {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&classes);
  SkinEngine engine;
  engine.settings().gdiplusToken = StartGdiPlus();
  engine.SetSkinImage("", SkinBackgroundJpeg, {}, {}, OptionalArg<int32_t>(kImageStretched));
  HWND window = MakeTopLevelTestWindow(L"PaintedEditTestWindow", ParentProc, L"输入", WS_MINIMIZEBOX);
  HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", L"", WS_CHILD | WS_VISIBLE, 20, 60, 200, 30, window, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  engine.SkinWindow(window, SkinWindowOptions{});
  engine.SetControlTextColour(edit, 0x0000FF);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  // Without the focus: no caret in the pixels read.
  for (const wchar_t letter : {L'W', L'W', L'W', L'W'}) SendMessageW(edit, WM_CHAR, letter, 0);
  UpdateWindow(edit);
  Pump();
  wchar_t text[16] = L"";
  GetWindowTextW(edit, text, 16);
  EXPECT_STREQ(text, L"WWWW");
  int red = 0, dark = 0;
  HDC dc = GetDC(edit);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 60; ++x) {
      const COLORREF p = GetPixel(dc, x, y);
      if (GetRValue(p) > 160 && GetGValue(p) < 110 && GetBValue(p) < 110) ++red;
      if (GetRValue(p) < 60 && GetGValue(p) < 60 && GetBValue(p) < 60) ++dark;
    }
  ReleaseDC(edit, dc);
  EXPECT_GT(red, 10);
  EXPECT_EQ(dark, 0);
  DestroyWindow(window);
}

}  // namespace
