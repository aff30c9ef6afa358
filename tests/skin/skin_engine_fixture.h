// The skin engine's test fixture: a started engine with the built-in skin, and test windows of this
// thread skinned as the tool's is, with the caption's geometry the tests click by.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "resources/embedded_pictures.h"
#include "skin/skin_engine.h"
#include "skin/skin_properties.h"
#include "skin/window_calls.h"
#include "tests/graphics/graphics_test_support.h"
#include "tests/skin/test_window.h"

inline constexpr int kWidth = 361, kHeight = 318;
// With a minimize and a close button: the strip is 26 + 38 + 1 + 3 = 68 wide and starts at
// 361 - 68 + 1 = 294; the buttons start 2 pixels in, 27 apart.
inline constexpr POINT kMinimizeCentre{296 + 13, 1 + 9};
inline constexpr POINT kCloseCentre{323 + 20, 1 + 9};

inline LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
inline LPARAM At(POINT p) { return MAKELPARAM(p.x, p.y); }

inline HWND MakeTestWindow(DWORD style) { return MakeTopLevelTestWindow(L"SkinTestWindow", DefWindowProcW, L"皮肤测试", style); }

inline SkinWindowOptions ToolOptions(bool sizable) {
  SkinWindowOptions options;
  options.sizable = sizable;
  return options;
}

class SkinEngineTest : public testing::Test {
 protected:
  void SetUp() override {
    engine_ = std::make_unique<SkinEngine>();
    engine_->settings().gdiplusToken = StartGdiPlus();
    ASSERT_NE(engine_->settings().gdiplusToken, 0u);
    engine_->SetSkinImage("", SkinBackgroundJpeg, {}, {}, OptionalArg<int32_t>(kImageStretched));
  }
  void TearDown() override {
    for (HWND window : windows_)
      if (IsWindow(window)) DestroyWindow(window);
    engine_.reset();
  }

  HWND Skinned(DWORD style = WS_MINIMIZEBOX, bool sizable = false) {
    HWND window = MakeTestWindow(style);
    windows_.push_back(window);
    engine_->SkinWindow(window, ToolOptions(sizable));
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    return window;
  }

  std::unique_ptr<SkinEngine> engine_;
  std::vector<HWND> windows_;
};

