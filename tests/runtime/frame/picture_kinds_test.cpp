// Pictures libjpeg does not read, through GDI+: a PNG with transparent parts over the box's
// colour, an icon file's first image, a GIF's frames with their delays, and broken bytes; picture
// boxes that show them on the screen, the GIF played in display mode 3 and still otherwise.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/frame/win_handles.h"
#include "runtime/frame/window_loader.h"
#include "runtime/frame/window_registry.h"
#include "runtime/templates/property_blocks.h"
#include "runtime/units/pictures.h"
#include "tests/runtime/frame/frame_fixture.h"

namespace {

constexpr uint32_t kMagenta = 0xFF00FF, kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;
constexpr uint32_t kPng = 0x16080001, kIco = 0x16080002, kAnimated = 0x16080003, kStillMode = 0x16080004,
                   kAnimationOff = 0x16080005, kBrokenPng = 0x16080006;

std::span<const unsigned char> PictureOf(uint32_t unit) {
  for (const TemplateUnit& u : FindTemplate(PICTURE_KINDS_WINDOW)->units)
    if (u.record.id == unit) return ReadPictureBoxProperties(u.record.properties)->picture;
  return {};
}

// The pixel (0x00RRGGBB) of a bitmap, read back as a top-down 32-bit DIB.
uint32_t PixelOf(HBITMAP bitmap, int x, int y) {
  const SIZE size = BitmapSize(bitmap);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB};
  std::vector<uint32_t> pixels(static_cast<size_t>(size.cx * size.cy));
  OwnedMemoryDc dc(CreateCompatibleDC(nullptr));
  GetDIBits(dc.get(), bitmap, 0, static_cast<UINT>(size.cy), pixels.data(), &info, DIB_RGB_COLORS);
  return pixels[static_cast<size_t>(y * size.cx + x)] & 0xFFFFFF;
}

struct Spot {
  int x, y;
  uint32_t colour;
};

struct DecodeCase {
  const char* name;
  uint32_t unit;
  SIZE size;
  std::vector<uint32_t> delays;     // one per frame
  std::vector<std::vector<Spot>> spots;  // per frame
};

class DecodeTest : public FrameTest, public ::testing::WithParamInterface<DecodeCase> {};

TEST_P(DecodeTest, FramesDelaysAndPixelsOverTheBackground) {
  const DecodeCase& c = GetParam();
  const std::vector<PictureFrame> frames = PictureFrames(PictureOf(c.unit), kMagenta);
  ASSERT_EQ(frames.size(), c.delays.size());
  for (size_t i = 0; i < frames.size(); ++i) {
    const SIZE size = BitmapSize(frames[i].bitmap.get());
    EXPECT_EQ((std::vector<LONG>{size.cx, size.cy}), (std::vector<LONG>{c.size.cx, c.size.cy})) << i;
    EXPECT_EQ(frames[i].milliseconds, c.delays[i]) << i;
    for (const Spot& spot : c.spots[i])
      EXPECT_EQ(PixelOf(frames[i].bitmap.get(), spot.x, spot.y), spot.colour) << i << " at " << spot.x << "," << spot.y;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, DecodeTest,
    ::testing::Values(DecodeCase{"PngTransparentPartShowsTheBackground", kPng, {20, 10}, {100},
                                 {{{2, 2, kGreen}, {15, 2, kMagenta}}}},
                      DecodeCase{"IconFileFirstImage", kIco, {32, 32}, {100}, {{{16, 16, kRed}}}},
                      DecodeCase{"GifFramesWithTheirDelays", kAnimated, {20, 10}, {100, 300},
                                 {{{5, 5, kRed}}, {{5, 5, kBlue}}}},
                      DecodeCase{"BrokenPngGivesNothing", kBrokenPng, {0, 0}, {}, {}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(FrameTest, GifFramesShorterThanTwoHundredthsLastTheShortestFrame) {
  // The GIF's first frame delay (bytes 10 and 0 of its graphic control block) made 1/100 s.
  std::vector<unsigned char> gif(PictureOf(kAnimated).begin(), PictureOf(kAnimated).end());
  for (size_t i = 0; i + 5 < gif.size(); ++i) {
    if (gif[i] == 0x21 && gif[i + 1] == 0xF9 && gif[i + 4] == 10) {
      gif[i + 4] = 1;
      break;
    }
  }
  const std::vector<PictureFrame> frames = PictureFrames(gif, kMagenta);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].milliseconds, kShortestFrame);
  EXPECT_EQ(frames[1].milliseconds, 300u);
}

// The colour a box shows at a point of its client area, on the screen.
uint32_t SeenIn(uint32_t unit, int x, int y) {
  const HWND window = UnitHandle(PICTURE_KINDS_WINDOW);
  RECT r;
  GetWindowRect(UnitHandle(PICTURE_KINDS_WINDOW, unit), &r);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
  return CaptureClient(window, {r.left + x, r.top + y, r.left + x + 1, r.top + y + 1}).at(0, 0);
}

struct ShownCase {
  const char* name;
  uint32_t unit;
  Spot spot;
};

class ShownPictureTest : public SharedWindowsTest, public ::testing::WithParamInterface<ShownCase> {};

TEST_P(ShownPictureTest, BoxShowsThePicture) {
  ASSERT_TRUE(LoadWindow(PICTURE_KINDS_WINDOW, false, nullptr));
  RepaintNow(UnitHandle(PICTURE_KINDS_WINDOW));
  const ShownCase& c = GetParam();
  EXPECT_EQ(SeenIn(c.unit, c.spot.x, c.spot.y), c.spot.colour);
}

INSTANTIATE_TEST_SUITE_P(Pictures, ShownPictureTest,
                         ::testing::Values(ShownCase{"PngOpaquePart", kPng, {2, 2, kGreen}},
                                           ShownCase{"PngTransparentPart", kPng, {15, 2, kMagenta}},
                                           ShownCase{"PngBesidesThePicture", kPng, {30, 15, kMagenta}},
                                           ShownCase{"Icon", kIco, {10, 10, kRed}},
                                           ShownCase{"GifInStillModeShowsItsFirstFrame", kStillMode, {5, 5, kRed}},
                                           ShownCase{"BrokenPngShowsTheBackground", kBrokenPng, {5, 5, kMagenta}}),
                         [](const auto& p) { return std::string(p.param.name); });

// Mode 3 plays the frames round and round; the same GIF in mode 0, or in mode 3 with animation
// off, stays on its first frame.
TEST_F(FrameTest, AnimatedModePlaysTheGifFramesRound) {
  ASSERT_TRUE(LoadWindow(PICTURE_KINDS_WINDOW, false, nullptr));
  RepaintNow(UnitHandle(PICTURE_KINDS_WINDOW));
  EXPECT_TRUE(PumpUntil([] { return SeenIn(kAnimated, 5, 5) == kBlue; }, 3000));
  EXPECT_TRUE(PumpUntil([] { return SeenIn(kAnimated, 5, 5) == kRed; }, 3000));
  EXPECT_TRUE(PumpUntil([] { return SeenIn(kAnimated, 5, 5) == kBlue; }, 3000));
  EXPECT_EQ(SeenIn(kStillMode, 5, 5), kRed);
  EXPECT_EQ(SeenIn(kAnimationOff, 5, 5), kRed);
}

}  // namespace
