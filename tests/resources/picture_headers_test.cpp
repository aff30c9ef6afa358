// The picture structure readers themselves: they accept small well-formed files built here and
// reject every cut-off, trailing, inconsistent or mislabelled variant of them.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/resources/picture_headers.h"

namespace {

using Bytes = std::vector<unsigned char>;

void Append(Bytes& out, std::initializer_list<int> values) {
  for (int v : values) out.push_back(static_cast<unsigned char>(v));
}
void AppendText(Bytes& out, const std::string& text) { out.insert(out.end(), text.begin(), text.end()); }
void Be32(Bytes& out, uint32_t v) { Append(out, {int(v >> 24), int(v >> 16 & 255), int(v >> 8 & 255), int(v & 255)}); }
void Le16(Bytes& out, uint32_t v) { Append(out, {int(v & 255), int(v >> 8 & 255)}); }
void Le32(Bytes& out, uint32_t v) { Le16(out, v & 0xFFFF); Le16(out, v >> 16); }

// Table-driven CRC-32, so the chunks built here do not share code with the reader's check.
uint32_t TableCrc(const Bytes& bytes) {
  static const auto table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char b : bytes) crc = table[(crc ^ b) & 255] ^ (crc >> 8);
  return ~crc;
}

void Chunk(Bytes& out, const std::string& type, const Bytes& data) {
  Be32(out, static_cast<uint32_t>(data.size()));
  Bytes typed(type.begin(), type.end());
  typed.insert(typed.end(), data.begin(), data.end());
  out.insert(out.end(), typed.begin(), typed.end());
  Be32(out, TableCrc(typed));
}

Bytes Png(int bitDepth = 8, int colourType = 6, bool withData = true) {
  Bytes png;
  Append(png, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'});
  Bytes header;
  Be32(header, 3);
  Be32(header, 2);
  Append(header, {bitDepth, colourType, 0, 0, 0});
  Chunk(png, "IHDR", header);
  if (withData) Chunk(png, "IDAT", {0x78, 0x9C, 0x63, 0x60, 0x00, 0x00, 0x00, 0x02, 0x00, 0x01});
  Chunk(png, "IEND", {});
  return png;
}

std::string Png(const Bytes& bytes, PngFacts& facts) { return ReadPng(bytes, facts); }

TEST(ReadPng, AcceptsAWellFormedFile) {
  PngFacts facts;
  ASSERT_EQ(Png(Png(), facts), "");
  EXPECT_EQ(facts.width, 3u);
  EXPECT_EQ(facts.height, 2u);
  EXPECT_EQ(facts.bitDepth, 8);
  EXPECT_EQ(facts.colourType, 6);
  EXPECT_EQ(facts.dataChunks, 1);
}

TEST(ReadPng, RejectsEveryCutOffFile) {
  const Bytes whole = Png();
  PngFacts facts;
  for (size_t n = 0; n < whole.size(); ++n) {
    EXPECT_NE(Png(Bytes(whole.begin(), whole.begin() + n), facts), "") << "cut at " << n;
  }
}

TEST(ReadPng, RejectsDamageAndLeftovers) {
  PngFacts facts;
  Bytes damaged = Png();
  damaged[8 + 25 + 10] ^= 0x01;  // a byte of the IDAT data
  EXPECT_EQ(Png(damaged, facts), "chunk IDAT has a wrong CRC");

  Bytes trailing = Png();
  trailing.push_back(0);
  EXPECT_EQ(Png(trailing, facts), "1 bytes after IEND");

  Bytes badSignature = Png();
  badSignature[1] = 'p';
  EXPECT_EQ(Png(badSignature, facts), "no PNG signature");

  EXPECT_EQ(Png(Png(8, 6, false), facts), "no IDAT chunk");
  EXPECT_EQ(Png(Png(4, 6), facts), "colour type 6 with bit depth 4");
  EXPECT_EQ(Png(Png(16, 6), facts), "");
  EXPECT_EQ(facts.bitDepth, 16);
}

TEST(ReadPng, WantsTheHeaderChunkFirstAndOnce) {
  Bytes png;
  Append(png, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'});
  Chunk(png, "IEND", {});
  PngFacts facts;
  EXPECT_EQ(Png(png, facts), "first chunk is IEND, not IHDR");

  Bytes twice = Png();
  Bytes header(twice.begin() + 8, twice.begin() + 8 + 25);
  twice.insert(twice.begin() + 8 + 25, header.begin(), header.end());
  EXPECT_EQ(Png(twice, facts), "a second IHDR");
}

// A small JPEG skeleton: the reader looks at structure only, so tables and data are filler.
Bytes Jpeg(int frameMarker = 0xC0, bool jfif = true, bool secondFrame = false) {
  Bytes j;
  Append(j, {0xFF, 0xD8});
  if (jfif) {
    Append(j, {0xFF, 0xE0, 0x00, 0x10});
    AppendText(j, std::string("JFIF\0", 5));
    Append(j, {1, 1, 0, 0, 1, 0, 1, 0, 0});
  } else {
    Append(j, {0xFF, 0xE1, 0x00, 0x08});
    AppendText(j, std::string("Exif\0\0", 6));
  }
  Append(j, {0xFF, 0xDB, 0x00, 0x04, 0x00, 0x01});
  for (int f = 0; f < (secondFrame ? 2 : 1); ++f) {
    Append(j, {0xFF, frameMarker, 0x00, 0x0B, 8, 0x00, 81, 0x00, 246, 1, 1, 0x11, 0});
  }
  Append(j, {0xFF, 0xC4, 0x00, 0x05, 0x00, 0x01, 0x02});
  Append(j, {0xFF, 0xDA, 0x00, 0x08, 1, 1, 0x00, 0, 63, 0});
  // Scan data with a stuffed FF 00 and a restart marker, which do not end the scan.
  Append(j, {0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD0, 0x56, 0x78});
  Append(j, {0xFF, 0xD9});
  return j;
}

TEST(ReadJpeg, AcceptsABaselineJfifFile) {
  JpegFacts facts;
  ASSERT_EQ(ReadJpeg(Jpeg(), facts), "");
  EXPECT_TRUE(facts.jfif);
  EXPECT_EQ(facts.baselineFrames, 1);
  EXPECT_EQ(facts.progressiveFrames, 0);
  EXPECT_EQ(facts.otherFrames, 0);
  EXPECT_EQ(facts.scans, 1);
  EXPECT_EQ(facts.width, 246);
  EXPECT_EQ(facts.height, 81);
  EXPECT_EQ(facts.precision, 8);
  EXPECT_EQ(facts.components, 1);
}

TEST(ReadJpeg, TellsFrameKindsAndJfifApart) {
  JpegFacts facts;
  ASSERT_EQ(ReadJpeg(Jpeg(0xC2), facts), "");
  EXPECT_EQ(facts.baselineFrames, 0);
  EXPECT_EQ(facts.progressiveFrames, 1);
  ASSERT_EQ(ReadJpeg(Jpeg(0xC1), facts), "");
  EXPECT_EQ(facts.otherFrames, 1);
  ASSERT_EQ(ReadJpeg(Jpeg(0xC0, false), facts), "");
  EXPECT_FALSE(facts.jfif);
  EXPECT_EQ(ReadJpeg(Jpeg(0xC0, true, true), facts), "a second frame header");
}

TEST(ReadJpeg, RejectsEveryCutOffFileAndLeftovers) {
  const Bytes whole = Jpeg();
  JpegFacts facts;
  for (size_t n = 0; n < whole.size(); ++n) {
    EXPECT_NE(ReadJpeg(Bytes(whole.begin(), whole.begin() + n), facts), "") << "cut at " << n;
  }
  Bytes trailing = whole;
  Append(trailing, {0x00, 0x00});
  EXPECT_EQ(ReadJpeg(trailing, facts), "2 bytes after EOI");
}

TEST(ReadJpeg, RejectsSegmentsThatDoNotFit) {
  JpegFacts facts;
  Bytes longSegment = Jpeg();
  longSegment[23] = 0x40;  // the DQT segment claims 64 bytes
  EXPECT_NE(ReadJpeg(longSegment, facts), "");

  Bytes shortFrame = Jpeg();
  shortFrame[29] = 0x0A;  // SOF0 one byte short of its component
  EXPECT_NE(ReadJpeg(shortFrame, facts), "");

  Bytes scanFirst = {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x08, 1, 1, 0x00, 0, 63, 0, 0x12, 0xFF, 0xD9};
  EXPECT_EQ(ReadJpeg(scanFirst, facts), "scan before the frame header");
}

// A 2 by 2 icon of 32 bits per pixel: directory, entry, BITMAPINFOHEADER, 4 pixels, 2 mask rows.
Bytes Ico(int bmpHeight = 4, uint32_t bytesInRes = 40 + 16 + 8, uint32_t sizeImage = 24) {
  Bytes ico;
  Le16(ico, 0);
  Le16(ico, 1);
  Le16(ico, 1);
  Append(ico, {2, 2, 0, 0});
  Le16(ico, 1);
  Le16(ico, 32);
  Le32(ico, bytesInRes);
  Le32(ico, 22);
  Le32(ico, 40);
  Le32(ico, 2);
  Le32(ico, static_cast<uint32_t>(bmpHeight));
  Le16(ico, 1);
  Le16(ico, 32);
  Le32(ico, 0);
  Le32(ico, sizeImage);
  for (int i = 0; i < 4; ++i) Le32(ico, 0);
  for (int i = 0; i < 4; ++i) Le32(ico, 0xFF102030u);
  Le32(ico, 0);
  Le32(ico, 0);
  return ico;
}

TEST(ReadIco, AcceptsAWellFormedIcon) {
  IcoFacts facts;
  ASSERT_EQ(ReadIco(Ico(), facts), "");
  EXPECT_EQ(facts.images, 1);
  EXPECT_EQ(facts.width, 2);
  EXPECT_EQ(facts.height, 2);
  EXPECT_EQ(facts.bitCount, 32);
  EXPECT_EQ(facts.bytesInRes, 64u);
  EXPECT_EQ(facts.imageOffset, 22u);
  EXPECT_EQ(facts.bmpHeight, 4);
  EXPECT_EQ(ReadIco(Ico(4, 64, 0), facts), "");  // biSizeImage may be left 0
}

TEST(ReadIco, RejectsEveryCutOffFileAndLeftovers) {
  const Bytes whole = Ico();
  IcoFacts facts;
  for (size_t n = 0; n < whole.size(); ++n) {
    EXPECT_NE(ReadIco(Bytes(whole.begin(), whole.begin() + n), facts), "") << "cut at " << n;
  }
  Bytes trailing = whole;
  trailing.push_back(0);
  EXPECT_EQ(ReadIco(trailing, facts), "1 bytes after the last image");
}

TEST(ReadIco, RejectsAnInconsistentBitmap) {
  IcoFacts facts;
  EXPECT_EQ(ReadIco(Ico(2), facts),
            "image 1: bitmap is 2 x 2, entry says 2 x 2 (height doubled for the mask)");
  Bytes moreBytes = Ico(4, 65);
  moreBytes.push_back(0);
  EXPECT_EQ(ReadIco(moreBytes, facts), "image 1: entry says 65 bytes, the bitmap needs 64");
  EXPECT_EQ(ReadIco(Ico(4, 64, 16), facts), "image 1: biSizeImage disagrees with the rows");

  Bytes pngInside = Ico();
  pngInside[22] = 0x89, pngInside[23] = 'P', pngInside[24] = 'N', pngInside[25] = 'G';
  EXPECT_EQ(ReadIco(pngInside, facts), "image 1: PNG form, not BMP form");

  Bytes cursorFile = Ico();
  cursorFile[2] = 2;
  EXPECT_EQ(ReadIco(cursorFile, facts), "not an icon directory (reserved 0, type 1)");

  Bytes beforeDirectoryEnd = Ico();
  beforeDirectoryEnd[18] = 10;
  EXPECT_EQ(ReadIco(beforeDirectoryEnd, facts), "image 1 does not lie between the directory and the end");
}

}  // namespace
