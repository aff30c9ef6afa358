// Drawing into real GDI+ bitmaps under Wine and reading the pixels back: fills with each brush
// kind, pens, rounded rectangles, clipping, scaled images, transforms about a point, and text.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "graphics/fonts.h"
#include "graphics/paths_pens_brushes.h"
#include "tests/graphics/graphics_test_support.h"

namespace {

using Gdiplus::ARGB;
using Gdiplus::PointF;
using Gdiplus::RectF;

// --- Surfaces ---

std::vector<HANDLE> devicesSeen;
const StandIn* hdc2StandIn = nullptr;
Gdiplus::Status WINAPI RecordFromHdc2(HDC dc, HANDLE device, Gdiplus::GpGraphics** graphics) {
  devicesSeen.push_back(device);
  return hdc2StandIn->Original<decltype(&RecordFromHdc2)>()(dc, device, graphics);
}

// The skin paints through a memory DC holding a DIB section: what GDI+ draws lands in its bits.
TEST(Surface, OverADeviceContextOrAWindow) {
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 8, -8, 1, 32, BI_RGB};
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(dib, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, dib);
  StandIn recorder(K_GdipCreateFromHDC2, reinterpret_cast<void*>(&RecordFromHdc2));
  hdc2StandIn = &recorder;
  devicesSeen.clear();
  {
    Graphics surface;
    EXPECT_TRUE(surface.CreateFromHdc(dc, OptionalArg<HANDLE>::NotGiven(reinterpret_cast<HANDLE>(0x77))));
    EXPECT_TRUE(surface.Clear(kRed, 12345));
  }
  EXPECT_EQ(static_cast<const uint32_t*>(bits)[9] & 0xFFFFFF, 0xFF0000u);
  {
    Graphics surface;
    EXPECT_TRUE(surface.CreateFromHdc(dc, HANDLE{nullptr}));
    EXPECT_TRUE(surface.Clear(kBlue));
  }
  EXPECT_EQ(static_cast<const uint32_t*>(bits)[9] & 0xFFFFFF, 0x0000FFu);
  EXPECT_THAT(devicesSeen, testing::ElementsAre(nullptr));
  hdc2StandIn = nullptr;
  SelectObject(dc, previous);
  DeleteDC(dc);
  DeleteObject(dib);

  HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  for (bool colourManaged : {false, true}) {
    Graphics surface;
    EXPECT_TRUE(surface.CreateFromHwnd(window, colourManaged));
    EXPECT_NE(surface.GetHandle(), nullptr);
  }
  DestroyWindow(window);
}

// --- Brushes ---

TEST(Fill, SolidBrushCoversExactlyItsRectangle) {
  Canvas canvas(40, 40);
  SolidBrush brush;
  ASSERT_TRUE(brush.Create(kRed));
  EXPECT_EQ(brush.GetColor(), kRed);
  EXPECT_EQ(brush.GetType(), Gdiplus::BrushTypeSolidColor);
  EXPECT_TRUE(canvas.surface.FillRectangle(brush, 10, 10, 20, 20));
  EXPECT_EQ(canvas.At(10, 10), kRed);
  EXPECT_EQ(canvas.At(29, 29), kRed);
  EXPECT_EQ(canvas.At(9, 15), kWhite);
  EXPECT_EQ(canvas.At(30, 15), kWhite);
  EXPECT_TRUE(brush.SetColor(kGreen));
  EXPECT_TRUE(canvas.surface.FillRectangle(brush, 0, 0, 5, 5));
  EXPECT_EQ(canvas.At(2, 2), kGreen);
}

TEST(Fill, LinearGradientRunsFromTheTopEdgeToTheBottom) {
  Canvas canvas(20, 100);
  LinearGradientBrush brush;
  ASSERT_TRUE(brush.Create(PointF(0, 0), PointF(0, 100), kBlue, kRed));
  EXPECT_EQ(brush.GetType(), Gdiplus::BrushTypeLinearGradient);
  EXPECT_TRUE(canvas.surface.FillRectangle(brush, 0, 0, 20, 100));
  EXPECT_TRUE(ColourNear(kBlue, canvas.At(10, 0), 4));
  EXPECT_TRUE(ColourNear(0xFF7F0080, canvas.At(10, 50), 4));
  EXPECT_TRUE(ColourNear(kRed, canvas.At(10, 99), 4));
}

TEST(Fill, PresetBlendPlacesEachColourAtItsPosition) {
  Canvas canvas(20, 100);
  LinearGradientBrush brush;
  ASSERT_TRUE(brush.Create(PointF(0, 0), PointF(0, 100), kBlack, kBlack));
  const ARGB colours[] = {kRed, kGreen, kBlue};
  const float positions[] = {0.0f, 0.5f, 1.0f};
  ASSERT_TRUE(brush.SetPresetBlend(colours, positions));
  INT count = -1;
  EXPECT_TRUE(brush.GdipGetLinePresetBlendCount(&count));
  EXPECT_EQ(count, 3);
  EXPECT_TRUE(canvas.surface.FillRectangle(brush, 0, 0, 20, 100));
  EXPECT_TRUE(ColourNear(kRed, canvas.At(10, 0), 6));
  EXPECT_TRUE(ColourNear(kGreen, canvas.At(10, 50), 6));
  EXPECT_TRUE(ColourNear(kBlue, canvas.At(10, 99), 6));
}

TEST(Fill, PresetBlendWithFewerPositionsThanColoursIsRefused) {
  LinearGradientBrush brush;
  ASSERT_TRUE(brush.Create(PointF(0, 0), PointF(0, 10), kBlack, kWhite));
  const ARGB colours[] = {kRed, kGreen, kBlue};
  const float positions[] = {0.0f, 1.0f};
  EXPECT_FALSE(brush.SetPresetBlend(colours, positions));
  EXPECT_EQ(lastStatus, Gdiplus::InvalidParameter);
  INT count = -1;
  EXPECT_TRUE(brush.GdipGetLinePresetBlendCount(&count));
  EXPECT_EQ(count, 0);
}

TEST(Fill, PathGradientGoesFromTheCentreColourToTheSurround) {
  Canvas canvas(100, 100);
  GraphicsPath path;
  ASSERT_TRUE(path.Create());
  ASSERT_TRUE(path.AddRectangle(0, 0, 100, 100));
  PathGradientBrush brush;
  ASSERT_TRUE(brush.CreateFromPath(path));
  EXPECT_EQ(brush.GetType(), Gdiplus::BrushTypePathGradient);
  EXPECT_TRUE(brush.SetCenterColor(kWhite));
  const ARGB surround[] = {kBlue};
  EXPECT_TRUE(brush.SetSurroundColors(surround));
  EXPECT_TRUE(canvas.surface.FillPath(brush, path));
  EXPECT_TRUE(ColourNear(kWhite, canvas.At(50, 50), 8));
  EXPECT_TRUE(ColourNear(kBlue, canvas.At(50, 0), 12));
  EXPECT_TRUE(ColourNear(kBlue, canvas.At(0, 50), 12));
}

TEST(Fill, SurroundColourCountTravelsByAddress) {
  GraphicsPath path;
  ASSERT_TRUE(path.Create());
  ASSERT_TRUE(path.AddRectangle(0, 0, 10, 10));
  PathGradientBrush brush;
  ASSERT_TRUE(brush.CreateFromPath(path));
  const ARGB three[] = {kRed, kGreen, kBlue};

  EXPECT_TRUE(brush.SetSurroundColors(three));
  INT count = -1;
  EXPECT_TRUE(brush.GdipGetPathGradientSurroundColorCount(&count));
  EXPECT_EQ(count, 4);  // one per path point, the last colour repeated
  ARGB read[4] = {1, 1, 1, 1};
  INT readCount = 4;
  EXPECT_TRUE(brush.GdipGetPathGradientSurroundColorsWithCount(read, &readCount));
  EXPECT_THAT(read, testing::ElementsAre(kRed, kGreen, kBlue, kBlue));

  int32_t given = 2;
  EXPECT_TRUE(brush.SetSurroundColors(three, &given));
  EXPECT_EQ(given, 2);
  int32_t tooMany = 4;
  EXPECT_FALSE(brush.SetSurroundColors(three, &tooMany));
  EXPECT_EQ(lastStatus, Gdiplus::InvalidParameter);
  EXPECT_EQ(tooMany, 4);
}

// --- Pens ---

TEST(Stroke, PenWidthColourAndBrushFill) {
  Canvas canvas(100, 60);
  Pen pen;
  ASSERT_TRUE(pen.Create(kRed, 3, Gdiplus::UnitPixel));
  EXPECT_TRUE(canvas.surface.DrawLine(pen, 10, 20, 90, 20));
  EXPECT_EQ(canvas.At(50, 19), kRed);
  EXPECT_EQ(canvas.At(50, 20), kRed);
  EXPECT_EQ(canvas.At(50, 21), kRed);
  EXPECT_EQ(canvas.At(50, 23), kWhite);

  EXPECT_TRUE(pen.SetWidth(9));
  float width = 0;
  EXPECT_TRUE(pen.GdipGetPenWidth(&width));
  EXPECT_EQ(width, 9.0f);
  EXPECT_TRUE(canvas.surface.DrawLine(pen, 10, 40, 90, 40));
  EXPECT_EQ(canvas.At(50, 44), kRed);
  EXPECT_EQ(canvas.At(50, 46), kWhite);

  SolidBrush green;
  ASSERT_TRUE(green.Create(kGreen));
  Pen fromBrush;
  ASSERT_TRUE(fromBrush.CreateFromBrush(green, 1));
  auto unit = static_cast<Gdiplus::Unit>(-1);
  EXPECT_TRUE(fromBrush.GdipGetPenUnit(&unit));
  EXPECT_EQ(unit, Gdiplus::UnitWorld);
  EXPECT_TRUE(canvas.surface.DrawRectangle(fromBrush, 4, 4, 10, 10));
  EXPECT_EQ(canvas.At(4, 8), kGreen);
  EXPECT_EQ(canvas.At(14, 8), kGreen);
  EXPECT_EQ(canvas.At(9, 9), kWhite);
}

// --- Rounded rectangles ---

struct RoundRectCase {
  int32_t roundness;
  float cornerWidth;
  float cornerHeight;
};

class RoundRect : public testing::TestWithParam<RoundRectCase> {};

// The figure passes through the start and end of each corner arc, in order, and its bounds are
// the rectangle. (Where two arcs meet, GDI+ keeps their shared point once.)
TEST_P(RoundRect, CornerBoxesFollowTheClampedRoundness) {
  const float x = 10, y = 5, w = 200, h = 100;
  const float rx = GetParam().cornerWidth, ry = GetParam().cornerHeight;
  GraphicsPath path;
  ASSERT_TRUE(path.Create());
  EXPECT_TRUE(path.AddRoundRect(x, y, w, h, GetParam().roundness));
  INT count = 0;
  ASSERT_TRUE(path.GdipGetPointCount(&count));
  ASSERT_GE(count, 13);
  std::vector<PointF> points(static_cast<size_t>(count));
  ASSERT_TRUE(path.GdipGetPathPoints(points.data(), count));
  const PointF ends[8] = {
      {x + w - rx / 2, y},      {x + w, y + ry / 2},      // top right
      {x + w, y + h - ry / 2},  {x + w - rx / 2, y + h},  // bottom right
      {x + rx / 2, y + h},      {x, y + h - ry / 2},      // bottom left
      {x, y + ry / 2},          {x + rx / 2, y},          // top left
  };
  size_t next = 0;
  for (const PointF& end : ends) {
    while (next < points.size() &&
           !(std::fabs(points[next].X - end.X) < 1e-3f && std::fabs(points[next].Y - end.Y) < 1e-3f)) {
      ++next;
    }
    EXPECT_LT(next, points.size()) << "no point at " << end.X << "," << end.Y;
  }
  Gdiplus::RectF bounds(-1, -1, -1, -1);
  ASSERT_TRUE(path.GdipGetPathWorldBounds(&bounds, nullptr, nullptr));
  EXPECT_NEAR(bounds.X, x, 1e-3);
  EXPECT_NEAR(bounds.Y, y, 1e-3);
  EXPECT_NEAR(bounds.Width, w, 1e-3);
  EXPECT_NEAR(bounds.Height, h, 1e-3);
  std::vector<BYTE> types(static_cast<size_t>(count));
  ASSERT_TRUE(path.GdipGetPathTypes(types.data(), count));
  EXPECT_EQ(types.back() & Gdiplus::PathPointTypeCloseSubpath, Gdiplus::PathPointTypeCloseSubpath);
}

INSTANTIATE_TEST_SUITE_P(Roundness, RoundRect,
                         testing::Values(RoundRectCase{20, 40, 20}, RoundRectCase{0, 2, 1}, RoundRectCase{-7, 2, 1},
                                         RoundRectCase{250, 200, 100}, RoundRectCase{100, 200, 100},
                                         RoundRectCase{33, 66, 33}));

TEST(RoundRectFill, LeavesTheCornersOutside) {
  Canvas canvas(200, 100);
  GraphicsPath path;
  ASSERT_TRUE(path.Create());
  ASSERT_TRUE(path.AddRoundRect(0, 0, 200, 100, 20));
  SolidBrush brush;
  ASSERT_TRUE(brush.Create(kBlue));
  EXPECT_TRUE(canvas.surface.FillPath(brush, path));
  EXPECT_EQ(canvas.At(1, 1), kWhite);
  EXPECT_EQ(canvas.At(198, 98), kWhite);
  EXPECT_EQ(canvas.At(20, 3), kBlue);
  EXPECT_EQ(canvas.At(100, 50), kBlue);
}

// --- Clipping ---

TEST(Clip, RectanglesCombineAndResetClears) {
  Canvas canvas(100, 100);
  SolidBrush red;
  ASSERT_TRUE(red.Create(kRed));
  EXPECT_TRUE(canvas.surface.SetClipRect(0, 0, 50, 100));
  EXPECT_TRUE(canvas.surface.SetClipRect(0, 0, 100, 50, Gdiplus::CombineModeIntersect));
  EXPECT_TRUE(canvas.surface.FillRectangle(red, 0, 0, 100, 100));
  EXPECT_EQ(canvas.At(25, 25), kRed);
  EXPECT_EQ(canvas.At(75, 25), kWhite);
  EXPECT_EQ(canvas.At(25, 75), kWhite);
  // Not given: the new rectangle replaces the clip.
  EXPECT_TRUE(canvas.surface.SetClipRect(50, 50, 50, 50, OptionalArg<Gdiplus::CombineMode>::NotGiven(
                                                              Gdiplus::CombineModeIntersect)));
  EXPECT_TRUE(canvas.surface.FillRectangle(red, 0, 0, 100, 100));
  EXPECT_EQ(canvas.At(75, 75), kRed);
  EXPECT_EQ(canvas.At(75, 25), kWhite);
  EXPECT_TRUE(canvas.surface.ResetClip());
  SolidBrush blue;
  ASSERT_TRUE(blue.Create(kBlue));
  EXPECT_TRUE(canvas.surface.FillRectangle(blue, 60, 0, 40, 40));
  EXPECT_EQ(canvas.At(75, 25), kBlue);
}

TEST(Clip, PathKeepsTheFillInsideTheEllipse) {
  Canvas canvas(100, 100);
  GraphicsPath ellipse;
  ASSERT_TRUE(ellipse.Create());
  ASSERT_TRUE(ellipse.AddEllipse(0, 0, 100, 100));
  EXPECT_TRUE(canvas.surface.SetClipPath(ellipse));
  SolidBrush red;
  ASSERT_TRUE(red.Create(kRed));
  EXPECT_TRUE(canvas.surface.FillRectangle(red, 0, 0, 100, 100));
  EXPECT_EQ(canvas.At(50, 50), kRed);
  EXPECT_EQ(canvas.At(3, 3), kWhite);
  EXPECT_EQ(canvas.At(96, 96), kWhite);
}

// --- Images ---

// 10 by 20: the top-left 5 by 10 quarter red, the rest blue.
void MakeQuarteredImage(Bitmap& image) {
  ASSERT_TRUE(image.Create(10, 20));
  Graphics surface;
  ASSERT_TRUE(surface.CreateFromImage(image));
  SolidBrush red, blue;
  ASSERT_TRUE(red.Create(kRed));
  ASSERT_TRUE(blue.Create(kBlue));
  ASSERT_TRUE(surface.FillRectangle(blue, 0, 0, 10, 20));
  ASSERT_TRUE(surface.FillRectangle(red, 0, 0, 5, 10));
}

class DrawImageRectUnit : public testing::TestWithParam<OptionalArg<Gdiplus::Unit>> {};

TEST_P(DrawImageRectUnit, ScalesTheWholeImageIntoTheRectangle) {
  Bitmap image;
  MakeQuarteredImage(image);
  Canvas canvas(60, 90);
  ASSERT_TRUE(canvas.surface.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor));
  ASSERT_TRUE(canvas.surface.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf));
  EXPECT_TRUE(canvas.surface.DrawImageRect(image, 10, 10, 30, 60, GetParam()));
  // The red quarter becomes 15 by 30 at (10, 10).
  EXPECT_EQ(canvas.At(11, 11), kRed);
  EXPECT_EQ(canvas.At(23, 38), kRed);
  EXPECT_EQ(canvas.At(26, 38), kBlue);
  EXPECT_EQ(canvas.At(23, 41), kBlue);
  EXPECT_EQ(canvas.At(38, 68), kBlue);
  EXPECT_EQ(canvas.At(41, 40), kWhite);
  EXPECT_EQ(canvas.At(20, 71), kWhite);
  EXPECT_EQ(canvas.At(9, 9), kWhite);
}

INSTANTIATE_TEST_SUITE_P(UnitGivenOrNot, DrawImageRectUnit,
                         testing::Values(OptionalArg<Gdiplus::Unit>(),
                                         OptionalArg<Gdiplus::Unit>::NotGiven(Gdiplus::UnitInch),
                                         OptionalArg<Gdiplus::Unit>(Gdiplus::UnitPixel)));

TEST(DrawImage, PlacesTheImageAtItsOwnSize) {
  Bitmap image;
  MakeQuarteredImage(image);
  Canvas canvas(40, 40);
  EXPECT_TRUE(canvas.surface.DrawImage(image, 5, 5));
  EXPECT_EQ(canvas.At(5, 5), kRed);
  EXPECT_EQ(canvas.At(9, 14), kRed);
  EXPECT_EQ(canvas.At(10, 14), kBlue);
  EXPECT_EQ(canvas.At(14, 24), kBlue);
  EXPECT_EQ(canvas.At(15, 15), kWhite);
  EXPECT_EQ(canvas.At(10, 25), kWhite);
}

// --- Transforms about a point ---

TEST(TransformAt, RotationAndScalingKeepTheirPointFixed) {
  Canvas canvas(40, 40);
  SolidBrush red;
  ASSERT_TRUE(red.Create(kRed));
  ASSERT_TRUE(canvas.surface.RotateTransformAt(180, 20, 20));
  EXPECT_TRUE(canvas.surface.FillRectangle(red, 0, 0, 4, 4));
  EXPECT_EQ(canvas.At(38, 38), kRed);
  EXPECT_EQ(canvas.At(1, 1), kWhite);

  ASSERT_TRUE(canvas.surface.GdipResetWorldTransform());
  SolidBrush blue;
  ASSERT_TRUE(blue.Create(kBlue));
  ASSERT_TRUE(canvas.surface.ScaleTransformAt(2, 2, 10, 10));
  EXPECT_TRUE(canvas.surface.FillRectangle(blue, 10, 10, 5, 5));
  EXPECT_EQ(canvas.At(11, 11), kBlue);
  EXPECT_EQ(canvas.At(19, 19), kBlue);
  EXPECT_EQ(canvas.At(21, 21), kWhite);
  EXPECT_EQ(canvas.At(9, 9), kWhite);
}

// --- Text ---

int CountInk(const Canvas& canvas, int32_t width, int32_t height) {
  int ink = 0;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) ink += canvas.At(x, y) != kWhite ? 1 : 0;
  }
  return ink;
}

TEST(Text, ChineseTextIsDrawnInsideItsMeasuredBox) {
  Font font;
  ASSERT_TRUE(font.Create("宋体", 16, 0, Gdiplus::UnitPixel));
  StringFormat format;
  ASSERT_TRUE(format.Create());
  Canvas canvas(120, 40);
  const RectF layout(0, 0, 120, 40);
  RectF bounds(-1, -1, -1, -1);
  EXPECT_TRUE(canvas.surface.MeasureString("体验服", font, layout, format, bounds));
  EXPECT_EQ(bounds.X, 0.0f);
  EXPECT_EQ(bounds.Y, 0.0f);
  EXPECT_GE(bounds.Width, 48.0f);
  EXPECT_LE(bounds.Width, 64.0f);
  EXPECT_GE(bounds.Height, 16.0f);
  EXPECT_LE(bounds.Height, 26.0f);

  SolidBrush black;
  ASSERT_TRUE(black.Create(kBlack));
  EXPECT_TRUE(canvas.surface.DrawString("体验服", font, black, layout, format));
  EXPECT_GT(CountInk(canvas, static_cast<int32_t>(bounds.Width), static_cast<int32_t>(bounds.Height)), 60);
  // Nothing beyond the measured box.
  int outside = 0;
  for (int32_t y = 0; y < 40; ++y) {
    for (int32_t x = static_cast<int32_t>(bounds.Width) + 1; x < 120; ++x) outside += canvas.At(x, y) != kWhite;
  }
  EXPECT_EQ(outside, 0);
}

TEST(Text, EmptyTextMeasuresEmptyAndDrawsNothing) {
  Font font;
  ASSERT_TRUE(font.Create("宋体", 16, 0, Gdiplus::UnitPixel));
  StringFormat format;
  ASSERT_TRUE(format.Create());
  Canvas canvas(40, 20);
  RectF bounds(-1, -1, -1, -1);
  EXPECT_TRUE(canvas.surface.MeasureString(nullptr, font, RectF(0, 0, 40, 20), format, bounds));
  EXPECT_EQ(bounds.Width, 0.0f);
  SolidBrush black;
  ASSERT_TRUE(black.Create(kBlack));
  EXPECT_TRUE(canvas.surface.DrawString("", font, black, RectF(0, 0, 40, 20), format));
  EXPECT_EQ(CountInk(canvas, 40, 20), 0);
}

TEST(Text, AlignmentCentresTheText) {
  Font font;
  ASSERT_TRUE(font.Create("宋体", 16, 0, Gdiplus::UnitPixel));
  StringFormat format;
  ASSERT_TRUE(format.Create());
  ASSERT_TRUE(format.SetAlignment(Gdiplus::StringAlignmentCenter));
  ASSERT_TRUE(format.SetLineAlignment(Gdiplus::StringAlignmentFar));
  ASSERT_TRUE(format.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter));
  auto trimming = static_cast<Gdiplus::StringTrimming>(-1);
  EXPECT_TRUE(format.GdipGetStringFormatTrimming(&trimming));
  EXPECT_EQ(trimming, Gdiplus::StringTrimmingEllipsisCharacter);
  Canvas canvas(200, 60);
  SolidBrush black;
  ASSERT_TRUE(black.Create(kBlack));
  EXPECT_TRUE(canvas.surface.DrawString("关闭", font, black, RectF(0, 0, 200, 60), format));
  int left = 0, right = 0, top = 0;
  for (int32_t y = 0; y < 60; ++y) {
    for (int32_t x = 0; x < 200; ++x) {
      const bool ink = canvas.At(x, y) != kWhite;
      left += ink && x < 80;
      right += ink && x >= 120;
      top += ink && y < 30;
    }
  }
  EXPECT_EQ(left, 0);
  EXPECT_EQ(right, 0);
  EXPECT_EQ(top, 0);
}

// --- Fonts ---

TEST(FontCreate, ByInstalledNameGivesSizeStyleAndFamily) {
  Font font;
  ASSERT_TRUE(font.Create("宋体", 12, 1, Gdiplus::UnitPixel));
  EXPECT_EQ(font.GetSize(), 12.0f);
  EXPECT_EQ(font.GetStyle(), Gdiplus::FontStyleBold);
  auto unit = static_cast<Gdiplus::Unit>(-1);
  EXPECT_TRUE(font.GdipGetFontUnit(&unit));
  EXPECT_EQ(unit, Gdiplus::UnitPixel);
  FontFamily family;
  EXPECT_TRUE(font.GetFamily(family));
  EXPECT_NE(family.GetHandle(), nullptr);
  EXPECT_GT(family.GetName().length(), 0);
  EXPECT_TRUE(family.Delete());
}

TEST(FontCreate, UnknownNameFailsWithHandleZero) {
  Font font;
  EXPECT_FALSE(font.Create("没有这种字体", 12, 0, Gdiplus::UnitPixel));
  EXPECT_NE(lastStatus, Gdiplus::Ok);
  EXPECT_EQ(font.GetHandle(), nullptr);
  EXPECT_EQ(font.GetSize(), 0.0f);
  EXPECT_EQ(font.GetStyle(), -1);
}

TEST(FontCreate, FromDeviceContextReadsTheSelectedOrGivenFont) {
  HDC screen = GetDC(nullptr);
  // A Chinese face name: it must reach GDI+ intact whatever the ANSI code page is.
  HFONT gdiFont = CreateFontW(-20, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, GB2312_CHARSET, 0, 0, 0, 0, L"宋体");
  ASSERT_NE(gdiFont, nullptr);
  Font given;
  EXPECT_TRUE(given.FromHdcAndHfont(screen, gdiFont));
  EXPECT_EQ(given.GetStyle(), Gdiplus::FontStyleBold | Gdiplus::FontStyleItalic);
  FontFamily family;
  ASSERT_TRUE(given.GetFamily(family));
  EXPECT_EQ(family.GetName().view(), "AR PL UMing CN");
  family.Delete();

  HGDIOBJ previous = SelectObject(screen, gdiFont);
  Font selected;
  EXPECT_TRUE(selected.FromHdcAndHfont(screen, nullptr));
  EXPECT_EQ(selected.GetStyle(), Gdiplus::FontStyleBold | Gdiplus::FontStyleItalic);
  SelectObject(screen, previous);

  // Something that is no font: the DC's own font, as without one.
  Font fallback, dcFont;
  EXPECT_TRUE(fallback.FromHdcAndHfont(screen, reinterpret_cast<HFONT>(GetStockObject(WHITE_BRUSH))));
  EXPECT_TRUE(dcFont.FromHdcAndHfont(screen, nullptr));
  EXPECT_EQ(fallback.GetStyle(), dcFont.GetStyle());
  EXPECT_EQ(fallback.GetSize(), dcFont.GetSize());
  EXPECT_NE(fallback.GetStyle(), Gdiplus::FontStyleBold | Gdiplus::FontStyleItalic);
  DeleteObject(gdiFont);
  ReleaseDC(nullptr, screen);
}

// Wine: under the ANSI code page 1252 the default GUI font is "MS Shell Dlg" of the Western
// character set, a family GDI+ does not find in the test prefix (status 16); under 936 it is.
TEST(FontCreate, DefaultIsTheGuiFont) {
  Font gui;
  EXPECT_TRUE(gui.CreateDefault());
  EXPECT_GT(gui.GetSize(), 0.0f);
}

}  // namespace
