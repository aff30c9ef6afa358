// Reads the structure of the picture files the program carries (PNG, JPEG, ICO) without decoding
// pixels, so tests can hold each file to its stated format. Every read is checked against the end.
#pragma once

#include <cstdint>
#include <span>
#include <string>

struct PngFacts {
  uint32_t width = 0;
  uint32_t height = 0;
  uint8_t bitDepth = 0;
  uint8_t colourType = 0;
  uint8_t interlace = 0;
  int dataChunks = 0;  // IDAT
};

struct JpegFacts {
  uint16_t width = 0;
  uint16_t height = 0;
  uint8_t precision = 0;
  uint8_t components = 0;
  bool jfif = false;          // the first segment is APP0 "JFIF"
  int baselineFrames = 0;     // SOF0
  int progressiveFrames = 0;  // SOF2
  int otherFrames = 0;        // any other SOFn: extended, lossless, arithmetic, hierarchical
  int scans = 0;              // SOS
};

struct IcoFacts {
  int images = 0;
  // Of the first image, from its directory entry (0 in a byte means 256) ...
  int width = 0;
  int height = 0;
  uint16_t bitCount = 0;
  uint32_t bytesInRes = 0;
  uint32_t imageOffset = 0;
  // ... and from the BITMAPINFOHEADER it points at.
  int32_t bmpWidth = 0;
  int32_t bmpHeight = 0;  // colour rows and mask rows together: twice the icon's height
  uint16_t bmpBitCount = 0;
  uint32_t bmpCompression = 0;
};

// Each returns an empty text when the bytes are a well-formed file of that kind (the facts are
// then filled in), otherwise what is wrong with them. Icons must hold their images in BMP form.
std::string ReadPng(std::span<const unsigned char> bytes, PngFacts& facts);
std::string ReadJpeg(std::span<const unsigned char> bytes, JpegFacts& facts);
std::string ReadIco(std::span<const unsigned char> bytes, IcoFacts& facts);
