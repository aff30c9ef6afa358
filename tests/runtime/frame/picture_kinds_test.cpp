// Pictures libjpeg does not read, through GDI+: a GIF's frames with their delays, a long GIF cut
// short at the frame limit; picture boxes that show a PNG with transparent parts over the box's
// colour, an icon file's first image, a GIF and broken bytes on the screen, the GIF played in
// display mode 3 and still otherwise.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/win_handles.h"
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

// The GIF's frames in time order, each with its own delay.
TEST_F(FrameTest, GifDecodesToItsFramesWithTheirDelays) {
  const std::vector<PictureFrame> frames = PictureFrames(PictureOf(kAnimated), kMagenta);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(PixelOf(frames[0].bitmap.get(), 5, 5), kRed);
  EXPECT_EQ(frames[0].milliseconds, 100u);
  EXPECT_EQ(PixelOf(frames[1].bitmap.get(), 5, 5), kBlue);
  EXPECT_EQ(frames[1].milliseconds, 300u);
}

// A GIF of `count` 1 x 1 frames, red and blue by turns, each for 10/100 s.
std::vector<unsigned char> ManyFrameGif(int count) {
  std::vector<unsigned char> gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0,  // 2 colours
                                    0xFF, 0, 0, 0, 0, 0xFF};
  for (int i = 0; i < count; ++i) {
    const unsigned char index = static_cast<unsigned char>(i % 2);
    // Frame delay, the frame at 0, 0 of 1 x 1, then LZW codes of 3 bits: clear, the index, end.
    const unsigned char frame[] = {0x21, 0xF9, 4, 0, 10, 0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0,
                                   2, 2, static_cast<unsigned char>(0x44 | index << 3), 0x01, 0};
    gif.insert(gif.end(), std::begin(frame), std::end(frame));
  }
  gif.push_back(0x3B);
  return gif;
}

// A GIF of more frames than are kept gives the first kMaxPictureFrames, in order, and takes no
// more GDI objects than that. Wine 8.0's GetGuiResources answers 0 for every process (measured),
// so there the count of frames alone shows it.
TEST_F(FrameTest, LongGifIsCutShortAtTheFrameLimit) {
  const HANDLE process = GetCurrentProcess();
  const DWORD objectsBefore = GetGuiResources(process, GR_GDIOBJECTS);
  const std::vector<PictureFrame> frames = PictureFrames(ManyFrameGif(600), kMagenta);
  const DWORD objectsAfter = GetGuiResources(process, GR_GDIOBJECTS);
  if (objectsBefore != 0) {
    EXPECT_LE(objectsAfter, objectsBefore + kMaxPictureFrames + 8);
  }
  ASSERT_EQ(frames.size(), kMaxPictureFrames);
  EXPECT_EQ(PixelOf(frames[0].bitmap.get(), 0, 0), kRed);
  EXPECT_EQ(PixelOf(frames[kMaxPictureFrames - 1].bitmap.get(), 0, 0), kBlue);
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
