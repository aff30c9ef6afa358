// Pictures libjpeg does not read, through GDI+: a GIF's frames with their delays, a long GIF cut
// short at the frame limit; picture boxes that show a PNG with transparent parts over the box's
// colour, an icon file's first image, a GIF and broken bytes on the screen, the GIF played in
// display mode 3 and still otherwise; the program's own PNGs, which the runtime decodes itself,
// come out pixel for pixel as GDI+ makes them.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "runtime/win_handles.h"
#include "runtime/frame/window_loader.h"
#include "runtime/frame/window_registry.h"
#include "runtime/templates/property_blocks.h"
#include "runtime/units/pictures.h"
#include "runtime/units/png_decoder.h"
#include "resources/embedded_pictures.h"
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

// Every pixel of a bitmap, all 32 bits, read back as a top-down 32-bit DIB.
std::vector<uint32_t> PixelsOf(HBITMAP bitmap) {
  const SIZE size = BitmapSize(bitmap);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB};
  std::vector<uint32_t> pixels(static_cast<size_t>(size.cx * size.cy));
  OwnedMemoryDc dc(CreateCompatibleDC(nullptr));
  GetDIBits(dc.get(), bitmap, 0, static_cast<UINT>(size.cy), pixels.data(), &info, DIB_RGB_COLORS);
  return pixels;
}

// The pixel (0x00RRGGBB) of a bitmap.
uint32_t PixelOf(HBITMAP bitmap, int x, int y) {
  return PixelsOf(bitmap)[static_cast<size_t>(y * BitmapSize(bitmap).cx + x)] & 0xFFFFFF;
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

struct PngCase {
  std::string name;
  std::vector<unsigned char> bytes;
};

void PrintTo(const PngCase& c, std::ostream* out) { *out << c.name; }

void PutBigEndian(std::vector<unsigned char>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(value >> shift));
}

void PutChunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data) {
  PutBigEndian(out, static_cast<uint32_t>(data.size()));
  std::vector<unsigned char> checked(type, type + 4);
  checked.insert(checked.end(), data.begin(), data.end());
  uint32_t crc = 0xFFFFFFFF;
  for (const unsigned char b : checked) {
    crc ^= b;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
  }
  out.insert(out.end(), checked.begin(), checked.end());
  PutBigEndian(out, ~crc);
}

// A 256 x 8 RGBA PNG, its data in one stored deflate block: every alpha along a row, and rows of
// colours from 0 to 255, so that each rounding of the composition shows.
std::vector<unsigned char> EveryAlphaPng() {
  std::vector<unsigned char> rows;
  for (const unsigned v : {0u, 1u, 100u, 127u, 128u, 200u, 254u, 255u}) {
    rows.push_back(0);
    for (unsigned a = 0; a < 256; ++a)
      for (const unsigned sample : {v, 255 - v, (7 * v + a) % 256, a}) rows.push_back(static_cast<unsigned char>(sample));
  }
  std::vector<unsigned char> header, data = {0x78, 0x01, 1};  // zlib header, last stored block
  PutBigEndian(header, 256);
  PutBigEndian(header, 8);
  header.insert(header.end(), {8, 6, 0, 0, 0});
  const auto length = static_cast<uint16_t>(rows.size());
  data.insert(data.end(), {uint8_t(length), uint8_t(length >> 8), uint8_t(~length), uint8_t(~length >> 8)});
  data.insert(data.end(), rows.begin(), rows.end());
  uint32_t a = 1, b = 0;
  for (const unsigned char byte : rows) b = (b + (a = (a + byte) % 65521)) % 65521;
  PutBigEndian(data, b << 16 | a);
  std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", data);
  PutChunk(png, "IEND", {});
  return png;
}

// The program's own PNGs, and every alpha over every kind of colour.
std::vector<PngCase> Pngs() {
  std::vector<PngCase> pngs;
#define PNG_ROW(name, file, width, height, role) \
  if (std::string(file).ends_with(".png"))       \
    pngs.push_back({#name, {ByteBlockData(name), ByteBlockData(name) + ByteBlockLengthOf(name)}});
  EMBEDDED_PICTURES(PNG_ROW)
#undef PNG_ROW
  pngs.push_back({"EveryAlpha", EveryAlphaPng()});
  return pngs;
}

// Whether a DIB section keeps its top row first in memory; nothing when its top and bottom rows
// are alike.
std::optional<bool> FirstRowInMemoryIsTop(HBITMAP bitmap) {
  DIBSECTION section{};
  if (!GetObjectA(bitmap, sizeof section, &section) || !section.dsBm.bmBits) return std::nullopt;
  const std::vector<uint32_t> pixels = PixelsOf(bitmap);
  const auto width = static_cast<size_t>(section.dsBm.bmWidth);
  const std::vector<uint32_t> top(pixels.begin(), pixels.begin() + long(width)), bottom(pixels.end() - long(width), pixels.end());
  const auto* first = static_cast<const uint32_t*>(section.dsBm.bmBits);
  const std::vector<uint32_t> inMemory(first, first + width);
  if (top == bottom || (inMemory != top && inMemory != bottom)) return std::nullopt;
  return inMemory == top;
}

class PngLikeGdiPlusTest : public ::testing::TestWithParam<PngCase> {};

// Over black the bitmap keeps each pixel's alpha and its colours multiplied by it; over other
// colours transparent parts take the colour as GDI+ blends them.
TEST_P(PngLikeGdiPlusTest, DecodesItselfAsGdiPlusDoes) {
  const std::vector<unsigned char>& bytes = GetParam().bytes;
  ASSERT_TRUE(DecodePng(bytes).has_value()) << "not decoded by the runtime: the comparison would prove nothing";
  for (const COLORREF background : {RGB(0, 0, 0), RGB(255, 0, 255), RGB(0xF0, 0xF0, 0xF0), RGB(0x12, 0x34, 0x56)}) {
    const std::vector<PictureFrame> own = PictureFrames(bytes, background);
    const std::vector<PictureFrame> system = DecodeWithGdiPlus(bytes, background);
    ASSERT_EQ(own.size(), 1u);
    ASSERT_EQ(system.size(), 1u);
    // The runtime lays its bitmap out top-down in memory, GDI+ bottom-up (Wine 8.0; GetObject
    // answers a positive height for both): so the frame did not come from GDI+ as well. Pictures
    // alike at top and bottom cannot tell; EveryAlpha always can.
    if (const std::optional<bool> top = FirstRowInMemoryIsTop(own[0].bitmap.get())) EXPECT_TRUE(*top);
    if (const std::optional<bool> top = FirstRowInMemoryIsTop(system[0].bitmap.get())) EXPECT_FALSE(*top);
    const SIZE size = BitmapSize(own[0].bitmap.get());
    ASSERT_EQ(size.cx, BitmapSize(system[0].bitmap.get()).cx);
    ASSERT_EQ(size.cy, BitmapSize(system[0].bitmap.get()).cy);
    const std::vector<uint32_t> ours = PixelsOf(own[0].bitmap.get()), theirs = PixelsOf(system[0].bitmap.get());
    for (size_t i = 0; i < ours.size(); ++i)
      ASSERT_EQ(ours[i], theirs[i]) << std::hex << "background " << background << std::dec << ", x " << i % size_t(size.cx)
                                    << ", y " << i / size_t(size.cx);
  }
}

INSTANTIATE_TEST_SUITE_P(Pngs, PngLikeGdiPlusTest, ::testing::ValuesIn(Pngs()),
                         [](const auto& p) { return p.param.name; });

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
