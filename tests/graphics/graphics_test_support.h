// What the graphics tests share: GDI+ running for the whole program, a white canvas bitmap to draw
// on and read back, colour checks, and a way to stand a recording function in for a declaration.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "graphics/drawing_surface.h"
#include "graphics/images.h"

inline constexpr Gdiplus::ARGB kWhite = 0xFFFFFFFF;
inline constexpr Gdiplus::ARGB kBlack = 0xFF000000;
inline constexpr Gdiplus::ARGB kRed = 0xFFFF0000;
inline constexpr Gdiplus::ARGB kGreen = 0xFF00FF00;
inline constexpr Gdiplus::ARGB kBlue = 0xFF0000FF;

// A bitmap of the given size cleared to white, with a Graphics on it.
struct Canvas {
  Canvas(int32_t width, int32_t height) {
    EXPECT_TRUE(bitmap.Create(width, height));
    EXPECT_TRUE(surface.CreateFromImage(bitmap));
    EXPECT_TRUE(surface.Clear(kWhite));
  }
  Gdiplus::ARGB At(int32_t x, int32_t y) const { return bitmap.GetPixel(x, y); }

  Bitmap bitmap;
  Graphics surface;  // declared after the bitmap: deleted before it
};

// Whether every channel of `actual` is within `tolerance` of `expected`.
inline testing::AssertionResult ColourNear(Gdiplus::ARGB expected, Gdiplus::ARGB actual, int tolerance) {
  for (int shift = 0; shift < 32; shift += 8) {
    const int e = static_cast<int>((expected >> shift) & 0xFF);
    const int a = static_cast<int>((actual >> shift) & 0xFF);
    if (std::abs(e - a) > tolerance) {
      char text[80];
      std::snprintf(text, sizeof text, "0x%08X is not within %d of 0x%08X", static_cast<unsigned>(actual), tolerance,
                    static_cast<unsigned>(expected));
      return testing::AssertionFailure() << text;
    }
  }
  return testing::AssertionSuccess();
}

// While it lives, declaration K calls `stand-in` instead of the bound function; the original
// address stays available to forward to.
class StandIn {
 public:
  StandIn(int32_t k, void* standIn) : k_(k), original_(BindDeclaredFunction(k)) {
    DeclaredFunctionTable().boundAddresses[k_] = standIn;
  }
  ~StandIn() { DeclaredFunctionTable().boundAddresses[k_] = original_; }
  StandIn(const StandIn&) = delete;
  StandIn& operator=(const StandIn&) = delete;

  template <class F>
  F Original() const {
    return reinterpret_cast<F>(original_);
  }

 private:
  int32_t k_;
  void* original_;
};
