// BMP, icon and cursor files read natively: what the readers accept hands the system nothing it
// would read past (system_reads.h), masks and colours come from where the file keeps them, and
// files whose headers promise more than they hold, or sizes that wrap in 32 bits, are refused.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/units/dib_layout.h"
#include "runtime/units/icon_layout.h"
#include "tests/runtime/units/system_reads.h"

namespace {

using Bytes = std::vector<unsigned char>;

void Put(Bytes& bytes, uint64_t value, size_t size) {
  for (size_t i = 0; i < size; ++i) bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

struct Dib {
  uint32_t size = 40;  // as the header states it; 40 bytes of it are written
  int32_t width = 2, height = 2;
  uint16_t bitCount = 24;
  uint32_t compression = kDibRgb, coloursUsed = 0;
};

Bytes DibBytes(const Dib& d) {
  Bytes bytes;
  for (const uint32_t field : {d.size, uint32_t(d.width), uint32_t(d.height)}) Put(bytes, field, 4);
  Put(bytes, 1, 2);
  Put(bytes, d.bitCount, 2);
  for (const uint32_t field : {d.compression, 0u, 0u, 0u, d.coloursUsed, 0u}) Put(bytes, field, 4);
  return bytes;
}

// A BMP file: the header, `extra` (the rest of a longer header, masks or colours), then
// `pixelBytes` bytes of pixels.
Bytes Bmp(const Dib& d, const std::vector<uint32_t>& extra, size_t pixelBytes) {
  Bytes bytes = {'B', 'M'};
  Put(bytes, 0, 8);
  Put(bytes, static_cast<uint32_t>(14 + 40 + 4 * extra.size()), 4);
  const Bytes header = DibBytes(d);
  bytes.insert(bytes.end(), header.begin(), header.end());
  for (const uint32_t value : extra) Put(bytes, value, 4);
  bytes.resize(bytes.size() + pixelBytes, 0x5A);
  return bytes;
}

// `values` made `count` long with zeros, then `then`.
std::vector<uint32_t> WithZeros(std::vector<uint32_t> values, size_t count, std::vector<uint32_t> then = {}) {
  values.resize(count, 0);
  values.insert(values.end(), then.begin(), then.end());
  return values;
}

struct BmpCase {
  const char* name;
  Bytes file;
  bool read;
  std::vector<uint32_t> afterHeader;  // masks or colours the system must find after the header
};

void PrintTo(const BmpCase& c, std::ostream* out) { *out << c.name; }

class BmpLayoutTest : public ::testing::TestWithParam<BmpCase> {};

TEST_P(BmpLayoutTest, HandsTheSystemOnlyWhatTheFileHolds) {
  const BmpCase& c = GetParam();
  const std::optional<BmpLayout> layout = ReadBmpFile(c.file);
  ASSERT_EQ(layout.has_value(), c.read);
  if (!layout) return;
  ASSERT_LE(system_reads::BitmapInfoReach(layout->info), double(layout->info.size()));
  EXPECT_EQ(double(layout->pixels.size()), system_reads::PixelReach(layout->info));
  EXPECT_GE(layout->pixels.data(), c.file.data());
  EXPECT_LE(layout->pixels.data() + layout->pixels.size(), c.file.data() + c.file.size());
  const DibHeader header = system_reads::HeaderOf(layout->info);
  std::vector<uint32_t> found(c.afterHeader.size());
  if (header.compression == kDibBitFields) {
    uint32_t masks[3];
    system_reads::MasksOf(layout->info, masks);
    found.assign(std::begin(masks), std::end(masks));
  } else if (!found.empty()) {
    ASSERT_GE(layout->info.size(), header.size + 4 * found.size());
    std::memcpy(found.data(), layout->info.data() + header.size, 4 * found.size());
  }
  EXPECT_EQ(found, c.afterHeader);
}

const std::vector<uint32_t> kMasks565 = {0xF800, 0x07E0, 0x001F};
const std::vector<uint32_t> kMasks888 = {0xFF0000, 0x00FF00, 0x0000FF};
const Dib kBitFields16 = {.bitCount = 16, .compression = kDibBitFields};

INSTANTIATE_TEST_SUITE_P(
    Files, BmpLayoutTest,
    ::testing::Values(
        BmpCase{"Rgb24", Bmp({}, {}, 16), true, {}},
        BmpCase{"TwoColours8", Bmp({.bitCount = 8, .coloursUsed = 2}, {0x112233, 0x445566}, 8), true,
                {0x112233, 0x445566}},
        BmpCase{"ColoursAfterV4Header",
                Bmp({.size = 108, .bitCount = 8, .coloursUsed = 2}, WithZeros({}, 17, {7, 9}), 8), true, {7, 9}},
        BmpCase{"BitFieldsAfterHeader", Bmp(kBitFields16, kMasks565, 8), true, kMasks565},
        BmpCase{"BitFieldsInV5Header",
                Bmp({.size = 124, .bitCount = 32, .compression = kDibBitFields}, WithZeros(kMasks888, 21), 16), true,
                kMasks888},
        // The masks of a 40-byte header follow it and must be in the file.
        BmpCase{"BitFieldsCutShort", Bmp(kBitFields16, {0xF800, 0x07E0}, 0), false, {}},
        // The system takes the masks from bytes 40 to 51, which a 44-byte header does not hold.
        BmpCase{"BitFieldsHeader44", Bmp({.size = 44, .bitCount = 16, .compression = kDibBitFields},
                                         {0, 0xF800, 0x07E0, 0x1F}, 8),
                false, {}},
        BmpCase{"HeaderBeyondFile", Bmp({.size = 124}, {}, 16), false, {}},
        // 58 bytes: with its 256 colours this header size wraps to 40 in 32 bits.
        BmpCase{"HeaderSizeThatWraps", Bmp({.size = 0xFFFFFC28, .width = 1, .height = 1, .bitCount = 8}, {}, 4),
                false, {}}),
    [](const auto& p) { return std::string(p.param.name); });

// An icon or cursor file of one image: directory, one entry, the image.
Bytes IconFile(uint16_t type, const Bytes& image, uint16_t hotX = 0, uint16_t hotY = 0) {
  Bytes bytes;
  for (const uint32_t field : {0u, uint32_t{type}, 1u}) Put(bytes, field, 2);
  Put(bytes, 0x0202, 2);  // 2 x 2
  Put(bytes, 0, 2);
  Put(bytes, hotX, 2);
  Put(bytes, hotY, 2);
  Put(bytes, static_cast<uint32_t>(image.size()), 4);
  Put(bytes, 22, 4);
  bytes.insert(bytes.end(), image.begin(), image.end());
  return bytes;
}

// A DIB image: the header (its height counts colour and mask rows), then `rest` bytes.
Bytes IconImage(const Dib& d, size_t rest) {
  Bytes bytes = DibBytes(d);
  bytes.resize(bytes.size() + rest, 0xA5);
  return bytes;
}

const Dib kIcon32 = {.width = 2, .height = 4, .bitCount = 32};  // 16 bytes of colour, 8 of mask
const Bytes kPngImage = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13};

struct IconCase {
  const char* name;
  Bytes file;
  uint16_t type;
  bool read;
};

void PrintTo(const IconCase& c, std::ostream* out) { *out << c.name; }

class IconLayoutTest : public ::testing::TestWithParam<IconCase> {};

TEST_P(IconLayoutTest, HandsTheSystemOnlyWhatTheFileHolds) {
  const IconCase& c = GetParam();
  const std::vector<IconFileEntry> entries = ReadIconDirectory(c.file, c.type);
  ASSERT_EQ(!entries.empty(), c.read);
  for (const IconFileEntry& e : entries) {
    const std::span<const unsigned char> image = EntryImage(c.file, e);
    EXPECT_LE(system_reads::IconImageReach(image), double(image.size()));
    if (c.type != kCursorFile) continue;
    // A cursor resource: the hot spot, x then y, then the image.
    Bytes expected;
    Put(expected, e.planes, 2);
    Put(expected, e.bitCount, 2);
    expected.insert(expected.end(), image.begin(), image.end());
    EXPECT_EQ(CursorResource(c.file, e), expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, IconLayoutTest,
    ::testing::Values(
        IconCase{"DibIcon", IconFile(kIconFile, IconImage(kIcon32, 24)), kIconFile, true},
        IconCase{"PngIcon", IconFile(kIconFile, kPngImage), kIconFile, true},
        IconCase{"DibCursor", IconFile(kCursorFile, IconImage(kIcon32, 24), 1, 2), kCursorFile, true},
        IconCase{"MaskRowsMissing", IconFile(kIconFile, IconImage(kIcon32, 16)), kIconFile, false},
        IconCase{"RowsBeyondImage", IconFile(kIconFile, IconImage({.width = 16, .height = 32, .bitCount = 32}, 24)),
                 kIconFile, false},
        IconCase{"ColourTableBeyondImage", IconFile(kIconFile, IconImage({.width = 2, .height = 4, .bitCount = 8}, 16)),
                 kIconFile, false},
        IconCase{"HeaderSizeBeyondImage",
                 IconFile(kCursorFile, IconImage({.size = 0xFFFFFFF0, .width = 2, .height = 4, .bitCount = 32}, 24)),
                 kCursorFile, false}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
