// The PNG decoder, natively: pictures made by make_png_fixtures.py (each colour type, row filter
// and deflate block kind; data over several chunks; copies from far back) and the program's own
// PNGs decode to the pixels Python computed for them; malformed, cut short or unsupported files
// give nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "runtime/units/png_decoder.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

const fs::path kFixtures = PNG_FIXTURES_DIR;
const fs::path kResources = RESOURCES_DIR;

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// File names in `folder` that start with `prefix` and end with `suffix`, sorted.
std::vector<std::string> Names(const fs::path& folder, const std::string& prefix, const std::string& suffix) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(prefix) && name.ends_with(suffix)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

struct DecodeCase {
  std::string name;
  fs::path png;
  fs::path expected;  // width, height (32-bit big-endian), then R, G, B, A bytes a pixel
};

void PrintTo(const DecodeCase& c, std::ostream* out) { *out << c.name; }

std::vector<DecodeCase> Fixtures() {
  std::vector<DecodeCase> cases;
  for (const std::string& name : Names(kFixtures, "", ".rgba"))
    if (!name.starts_with("resource_")) {
      const std::string stem = name.substr(0, name.size() - 5);
      cases.push_back({stem, kFixtures / (stem + ".png"), kFixtures / name});
    }
  return cases;
}

std::vector<DecodeCase> BuiltInPictures() {
  std::vector<DecodeCase> cases;
  for (const std::string& name : Names(kResources, "", ".png")) {
    const std::string stem = name.substr(0, name.size() - 4);
    cases.push_back({stem, kResources / name, kFixtures / ("resource_" + stem + ".rgba")});
  }
  return cases;
}

class PngDecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(PngDecodeTest, GivesThePixelsPythonComputed) {
  const DecodeCase& c = GetParam();
  const Bytes expected = ReadFile(c.expected);
  ASSERT_GE(expected.size(), 8u) << "no expectation; run make_png_fixtures.py: " << c.expected;
  const auto bigEndian = [&](size_t at) {
    return int32_t(uint32_t{expected[at]} << 24 | uint32_t{expected[at + 1]} << 16 | expected[at + 2] << 8 | expected[at + 3]);
  };
  const Bytes png = ReadFile(c.png);
  ASSERT_TRUE(LooksLikePng(png));
  const std::optional<StraightArgbPicture> picture = DecodePng(png);
  ASSERT_TRUE(picture.has_value());
  ASSERT_EQ(picture->width, bigEndian(0));
  ASSERT_EQ(picture->height, bigEndian(4));
  ASSERT_EQ(picture->pixels.size() * 4, expected.size() - 8);
  size_t wrong = 0, first = 0;
  for (size_t i = 0; i < picture->pixels.size(); ++i) {
    const unsigned char* rgba = expected.data() + 8 + 4 * i;
    const uint32_t argb = uint32_t{rgba[3]} << 24 | uint32_t{rgba[0]} << 16 | uint32_t{rgba[1]} << 8 | rgba[2];
    if (picture->pixels[i] != argb && wrong++ == 0) first = i;
  }
  EXPECT_EQ(wrong, 0u) << "first at x " << first % size_t(picture->width) << ", y " << first / size_t(picture->width);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, PngDecodeTest, ::testing::ValuesIn(Fixtures()),
                         [](const auto& p) { return p.param.name; });
INSTANTIATE_TEST_SUITE_P(BuiltIn, PngDecodeTest, ::testing::ValuesIn(BuiltInPictures()),
                         [](const auto& p) { return p.param.name; });

struct RefusedCase {
  std::string name;
  Bytes bytes;
};

void PrintTo(const RefusedCase& c, std::ostream* out) { *out << c.name; }

// Every refused_*.png fixture, and a good fixture cut short at points inside each of its parts:
// the signature, the header chunk, its CRC, the image data, its CRC, the end chunk.
std::vector<RefusedCase> Refused() {
  std::vector<RefusedCase> cases;
  for (const std::string& name : Names(kFixtures, "refused_", ".png"))
    cases.push_back({name.substr(8, name.size() - 12), ReadFile(kFixtures / name)});
  const Bytes good = ReadFile(kFixtures / "rgba_all_filters.png");
  for (const size_t kept : {size_t{0}, size_t{5}, size_t{8}, size_t{20}, size_t{31}, size_t{41}, size_t{60},
                            good.size() - 40, good.size() - 14, good.size() - 12, good.size() - 1})
    cases.push_back({"cut_to_" + std::to_string(kept), Bytes(good.begin(), good.begin() + long(kept))});
  return cases;
}

class PngRefusalTest : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(PngRefusalTest, GivesNothing) { EXPECT_FALSE(DecodePng(GetParam().bytes).has_value()); }

INSTANTIATE_TEST_SUITE_P(Files, PngRefusalTest, ::testing::ValuesIn(Refused()),
                         [](const auto& p) { return p.param.name; });

}  // namespace
