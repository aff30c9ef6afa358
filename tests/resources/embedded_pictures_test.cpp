// The built-in pictures as the program holds them: constant byte blocks equal to the files in
// resources/, each of the format, size and kind its table row promises.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "resources/embedded_pictures.h"
#include "runtime/constant_segment.h"
#include "tests/resources/picture_headers.h"

namespace {

struct Picture {
  const char* name;
  ByteBlock block;
  std::string file;
  int width;
  int height;
};

#define PICTURE_ROW(name, file, width, height, role) {#name, name, file, width, height},
const Picture pictures[] = {EMBEDDED_PICTURES(PICTURE_ROW)};
#undef PICTURE_ROW

std::vector<unsigned char> ReadSourceFile(const std::string& file) {
#if defined(_WIN32)
  const std::string path = "Z:" PICTURE_FOLDER "/" + file;  // Wine's drive for the Unix root
#else
  const std::string path = PICTURE_FOLDER "/" + file;
#endif
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::span<const unsigned char> Bytes(ByteBlock block) {
  return {ByteBlockData(block), static_cast<size_t>(ByteBlockLengthOf(block))};
}

TEST(EmbeddedPictures, TableNamesFifteenDistinctFiles) {
  std::set<std::string> names, files;
  int png = 0, jpeg = 0, ico = 0;
  for (const Picture& p : pictures) {
    names.insert(p.name);
    files.insert(p.file);
    png += p.file.ends_with(".png");
    jpeg += p.file.ends_with(".jpg");
    ico += p.file.ends_with(".ico");
  }
  EXPECT_EQ(names.size(), 15u);
  EXPECT_EQ(files.size(), 15u);
  EXPECT_EQ(png, 12);
  EXPECT_EQ(jpeg, 2);
  EXPECT_EQ(ico, 1);
}

TEST(EmbeddedPictures, BlocksHoldTheFilesByteForByte) {
  for (const Picture& p : pictures) {
    SCOPED_TRACE(p.name);
    ASSERT_NE(p.block, nullptr);
    const std::vector<unsigned char> file = ReadSourceFile(p.file);
    ASSERT_FALSE(file.empty()) << "cannot read resources/" << p.file;
    EXPECT_EQ(p.block->dimensionCount, 1);
    ASSERT_EQ(p.block->length, static_cast<int32_t>(file.size()));
    EXPECT_EQ(std::memcmp(ByteBlockData(p.block), file.data(), file.size()), 0);
  }
}

TEST(EmbeddedPictures, BlocksLieInTheConstantRange) {
  for (const Picture& p : pictures) {
    SCOPED_TRACE(p.name);
    EXPECT_TRUE(InConstantSegment(p.block));
    EXPECT_TRUE(InConstantSegment(ByteBlockData(p.block) + p.block->length - 1));
  }
}

TEST(EmbeddedPictures, PngsAreEightBitRgbaOfTheirListedSize) {
  for (const Picture& p : pictures) {
    if (!p.file.ends_with(".png")) continue;
    SCOPED_TRACE(p.name);
    PngFacts facts;
    ASSERT_EQ(ReadPng(Bytes(p.block), facts), "");
    EXPECT_EQ(facts.width, static_cast<uint32_t>(p.width));
    EXPECT_EQ(facts.height, static_cast<uint32_t>(p.height));
    EXPECT_EQ(facts.bitDepth, 8);
    EXPECT_EQ(facts.colourType, 6);  // RGBA
    EXPECT_EQ(facts.interlace, 0);
  }
}

TEST(EmbeddedPictures, JpegsAreBaselineJfifOfTheirListedSize) {
  for (const Picture& p : pictures) {
    if (!p.file.ends_with(".jpg")) continue;
    SCOPED_TRACE(p.name);
    JpegFacts facts;
    ASSERT_EQ(ReadJpeg(Bytes(p.block), facts), "");
    EXPECT_TRUE(facts.jfif);
    EXPECT_EQ(facts.baselineFrames, 1);
    EXPECT_EQ(facts.progressiveFrames, 0);
    EXPECT_EQ(facts.otherFrames, 0);
    EXPECT_EQ(facts.width, p.width);
    EXPECT_EQ(facts.height, p.height);
    EXPECT_EQ(facts.components, 3);
  }
}

// The two photographs were laid out at about 119 KB and 24 KB; stay in that neighbourhood.
TEST(EmbeddedPictures, JpegsKeepTheirWeight) {
  EXPECT_GT(ByteBlockLengthOf(SkinBackgroundJpeg), 100'000);
  EXPECT_LT(ByteBlockLengthOf(SkinBackgroundJpeg), 140'000);
  EXPECT_GT(ByteBlockLengthOf(BannerJpeg), 20'000);
  EXPECT_LT(ByteBlockLengthOf(BannerJpeg), 29'000);
}

TEST(EmbeddedPictures, WindowIconIsOne128PixelImageOf32Bits) {
  IcoFacts facts;
  ASSERT_EQ(ReadIco(Bytes(WindowIcon), facts), "");
  EXPECT_EQ(ByteBlockLengthOf(WindowIcon), 67'646);
  EXPECT_EQ(facts.images, 1);
  EXPECT_EQ(facts.width, 128);
  EXPECT_EQ(facts.height, 128);
  EXPECT_EQ(facts.bitCount, 32);
  EXPECT_EQ(facts.imageOffset, 22u);
  EXPECT_EQ(facts.bytesInRes, 67'646u - 22u);
  EXPECT_EQ(facts.bmpWidth, 128);
  EXPECT_EQ(facts.bmpHeight, 256);
  EXPECT_EQ(facts.bmpBitCount, 32);
  EXPECT_EQ(facts.bmpCompression, 0u);
}

}  // namespace
