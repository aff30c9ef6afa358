// Decoding the plain PNG pictures the program carries (8 bits a sample, grey, grey with alpha,
// RGB or RGBA, not interlaced) without the system's imaging codecs, whose first load costs
// start-up time. Plain C++ without the Windows headers, read natively too.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "runtime/units/jpeg_decoder.h"  // kMaxPicturePixels

// Pixels top-down, one 32-bit word per pixel as a 32-bit DIB with alpha and GDI+'s
// PixelFormat32bppARGB lay it out: the value A << 24 | R << 16 | G << 8 | B, that is blue, green,
// red and alpha bytes in memory. Alpha is straight (colours not multiplied by it).
struct StraightArgbPicture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;
};

bool LooksLikePng(std::span<const unsigned char> bytes);

// Nothing for a PNG this decoder does not take (a palette, 16 or fewer than 8 bits a sample,
// interlacing, a tRNS colour key, an unknown critical chunk): GDI+ reads those. Nothing as well
// for malformed data: a bad chunk CRC or Adler-32, data cut short, a bad zlib stream or filter
// byte, image data longer or shorter than the picture, a size of 0 or above kMaxPicturePixels.
// Ancillary chunks (gamma, colour profiles, text, ...) are skipped.
std::optional<StraightArgbPicture> DecodePng(std::span<const unsigned char> bytes);
