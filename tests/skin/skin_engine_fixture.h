// The skin engine's test fixture: a started engine with the built-in skin, and test windows of this
// thread skinned as the tool's is, with the caption's geometry the tests click by.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "resources/embedded_pictures.h"
#include "runtime/value_helpers.h"
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

// A picture of one colour, as the bytes of a 24-bit BMP file in a byte block.
inline OwnedBytes SolidBmp(COLORREF colour, int width, int height) {
  const int row = (width * 3 + 3) & ~3;
  std::vector<unsigned char> bytes(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + static_cast<size_t>(row * height));
  const BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(bytes.size()), 0, 0,
                              sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
  const BITMAPINFOHEADER info{sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  std::memcpy(bytes.data(), &file, sizeof file);
  std::memcpy(bytes.data() + sizeof file, &info, sizeof info);
  unsigned char* pixels = bytes.data() + file.bfOffBits;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      unsigned char* p = pixels + y * row + x * 3;
      p[0] = GetBValue(colour);
      p[1] = GetGValue(colour);
      p[2] = GetRValue(colour);
    }
  return NewByteBlock(bytes);
}

// The pixel of a window's client area, as the screen shows it.
inline COLORREF ShownPixel(HWND window, POINT at) {
  HDC dc = GetDC(window);
  const COLORREF pixel = GetPixel(dc, at.x, at.y);
  ReleaseDC(window, dc);
  return pixel;
}

// White laid over `under` at `alpha`, as GDI+ blends it.
inline COLORREF WashedColour(COLORREF under, int alpha) {
  auto channel = [&](int shift) {
    const int below = static_cast<int>((under >> shift) & 0xFF);
    return static_cast<COLORREF>((255 * alpha + below * (255 - alpha)) / 255) << shift;
  };
  return channel(0) | channel(8) | channel(16);
}

// Whether every colour channel of `actual` is within `tolerance` of `expected`.
inline testing::AssertionResult Near(COLORREF expected, COLORREF actual, int tolerance = 2) {
  for (const int shift : {0, 8, 16})
    if (std::abs(static_cast<int>((expected >> shift) & 0xFF) - static_cast<int>((actual >> shift) & 0xFF)) > tolerance)
      return testing::AssertionFailure() << std::hex << actual << " is not within " << std::dec << tolerance << " of "
                                         << std::hex << expected;
  return testing::AssertionSuccess();
}

// Counts the full renders of one window's frame while it lives: each copies the whole cached
// background into the frame, where a new title or a caption button copies only its own part.
class FullRenderCount {
 public:
  explicit FullRenderCount(const WindowRecord& record) : record_(record) { active() = this; }
  ~FullRenderCount() { active() = nullptr; }
  FullRenderCount(const FullRenderCount&) = delete;
  FullRenderCount& operator=(const FullRenderCount&) = delete;
  int renders() const { return renders_; }

 private:
  static FullRenderCount*& active() {
    static FullRenderCount* counting = nullptr;
    return counting;
  }
  static BOOL WINAPI Copy(HDC to, int x, int y, int w, int h, HDC from, int fromX, int fromY, DWORD operation) {
    if (FullRenderCount* count = active()) {
      const GdiSurface& background = count->record_.background;
      if (from && from == background.dc() && to == count->record_.frame.dc() && x == 0 && y == 0 &&
          w == background.width() && h == background.height())
        ++count->renders_;
      return count->blit_.Original<decltype(&BitBlt)>()(to, x, y, w, h, from, fromX, fromY, operation);
    }
    return FALSE;
  }
  const WindowRecord& record_;
  int renders_ = 0;
  StandIn blit_{K_BitBlt, reinterpret_cast<void*>(&Copy)};
};

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

