// Every built-in picture decodes from its embedded bytes to the size its table row states, as an
// Image and as a Bitmap, and keeps decoding after the bytes' copy is all GDI+ has.
#include <gtest/gtest.h>

#include <string>

#include "resources/embedded_pictures.h"
#include "tests/graphics/graphics_test_support.h"

namespace {

struct Picture {
  const char* name;
  const ByteBlock* bytes;
  uint32_t width;
  uint32_t height;
};

#define PICTURE_ROW(name, file, width, height, role) Picture{#name, &name, width, height},
const Picture kPictures[] = {EMBEDDED_PICTURES(PICTURE_ROW)};
#undef PICTURE_ROW

class EmbeddedPicture : public testing::TestWithParam<Picture> {};

TEST_P(EmbeddedPicture, LoadsFromBytesToItsStatedSize) {
  const Picture& picture = GetParam();
  ASSERT_GT(ByteBlockLengthOf(*picture.bytes), 0);
  Image image;
  ASSERT_TRUE(image.LoadFromBytes(*picture.bytes)) << "status " << lastStatus;
  EXPECT_EQ(image.GetWidth(), picture.width);
  EXPECT_EQ(image.GetHeight(), picture.height);

  Bitmap bitmap;
  ASSERT_TRUE(bitmap.LoadFromBytes(*picture.bytes)) << "status " << lastStatus;
  EXPECT_EQ(bitmap.GetWidth(), picture.width);
  EXPECT_EQ(bitmap.GetHeight(), picture.height);
  // Pixels come from the stream the bitmap keeps: draw the picture scaled, as the skin does.
  Canvas canvas(2 * static_cast<int32_t>(picture.width), 2 * static_cast<int32_t>(picture.height));
  EXPECT_TRUE(canvas.surface.DrawImageRect(bitmap, 0, 0, 2.0f * picture.width, 2.0f * picture.height));
  EXPECT_TRUE(bitmap.Delete());
  EXPECT_EQ(bitmap.GetHandle(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(All, EmbeddedPicture, testing::ValuesIn(kPictures),
                         [](const testing::TestParamInfo<Picture>& row) { return std::string(row.param.name); });

TEST(EmbeddedPictures, PngsAreKnownAsPngAndPhotosAsJpeg) {
  for (const Picture& picture : kPictures) {
    Image image;
    ASSERT_TRUE(image.LoadFromBytes(*picture.bytes));
    const std::string name = picture.name;
    const char* expected = name.ends_with("Png") ? kPngFormat : name.ends_with("Jpeg") ? kJpegFormat : nullptr;
    if (expected) {
      EXPECT_EQ(image.GetRawFormat().view(), expected) << name;
    }
  }
}

}  // namespace
