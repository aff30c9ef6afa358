// Bilinear scaling of decoded pictures: exact pixels for small pictures, and a ramp kept straight.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/units/picture_scaling.h"

namespace {

DecodedPicture Picture(int32_t width, int32_t height, std::vector<uint32_t> pixels) {
  return DecodedPicture{width, height, std::move(pixels)};
}

struct ScaleCase {
  const char* name;
  DecodedPicture source;
  int32_t width, height;
  std::vector<uint32_t> expected;
};

const ScaleCase kScaleCases[] = {
    // Every byte, the fourth too, comes back unchanged at the picture's own size.
    {"OwnSize", Picture(2, 2, {0x01020304, 0xFFFEFDFC, 0x80808080, 0x00000000}), 2, 2,
     {0x01020304, 0xFFFEFDFC, 0x80808080, 0x00000000}},
    // Halved: the target pixel's centre lies between two source pixels; .5 rounds up.
    {"HalvedAcross", Picture(2, 1, {0x00000000, 0x000000FF}), 1, 1, {0x00000080}},
    {"HalvedDown", Picture(1, 2, {0x0000FF00, 0x00000000}), 1, 1, {0x00008000}},
    {"Quartered", Picture(2, 2, {0x000000FF, 0x00000000, 0x00000000, 0x00000000}), 1, 1, {0x00000040}},
    // Doubled: centres at -0.25 and 0.25 of a two-pixel ramp: the edge repeats, then a quarter on.
    {"DoubledAcross", Picture(2, 1, {0x00000000, 0x000000FF}), 4, 1, {0x00, 0x40, 0xBF, 0xFF}},
    // One pixel fills any size.
    {"OnePixel", Picture(1, 1, {0x00123456}), 3, 2, std::vector<uint32_t>(6, 0x00123456)},
    // Refused: no source pixels, or no target size.
    {"EmptySource", Picture(0, 0, {}), 4, 4, {}},
    {"ShortPixels", Picture(2, 2, {1, 2, 3}), 2, 2, {}},
    {"NoWidth", Picture(1, 1, {7}), 0, 3, {}},
};

class PictureScalingTest : public testing::TestWithParam<ScaleCase> {};

TEST_P(PictureScalingTest, GivesTheBlendOfTheFourPixelsAroundEachCentre) {
  const ScaleCase& c = GetParam();
  const DecodedPicture scaled = ScaledPicture(c.source, c.width, c.height);
  EXPECT_EQ(scaled.pixels, c.expected);
  if (c.expected.empty()) {
    EXPECT_EQ(scaled.width, 0);
    EXPECT_EQ(scaled.height, 0);
  } else {
    EXPECT_EQ(scaled.width, c.width);
    EXPECT_EQ(scaled.height, c.height);
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, PictureScalingTest, testing::ValuesIn(kScaleCases),
                         [](const testing::TestParamInfo<ScaleCase>& p) { return std::string(p.param.name); });

// The skin's case: a 500-pixel picture shown 361 wide. A ramp of one step a pixel stays a ramp
// of 500/361 a step, each pixel within one level of the exact value at its centre.
TEST(PictureScalingRampTest, AShrunkRampStaysStraight) {
  DecodedPicture ramp{500, 2, std::vector<uint32_t>(1000)};
  for (int32_t x = 0; x < 500; ++x) ramp.pixels[x] = ramp.pixels[500 + x] = static_cast<uint32_t>(x / 2);
  const DecodedPicture scaled = ScaledPicture(ramp, 361, 1);
  ASSERT_EQ(scaled.pixels.size(), 361u);
  for (int32_t x = 0; x < 361; ++x) {
    const double centre = std::max(0.0, (x + 0.5) * 500.0 / 361.0 - 0.5);
    EXPECT_LE(std::abs(static_cast<double>(scaled.pixels[x]) - centre / 2), 1.0) << x;
  }
}

}  // namespace
