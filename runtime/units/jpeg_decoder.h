// Decoding JPEG pictures with libjpeg into plain pixel rows. Kept apart from the Windows
// headers, whose "boolean" clashes with libjpeg's.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// Pixels top-down, one 32-bit word per pixel laid out as a 32-bit DIB wants it: blue, green,
// red, then an unused byte.
struct DecodedPicture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;
};

// The largest picture decoded; anything bigger is refused rather than allocated.
constexpr int64_t kMaxPicturePixels = int64_t{1} << 26;

bool LooksLikeJpeg(std::span<const unsigned char> bytes);
// Nothing for data libjpeg refuses, a colour space other than grey or YCbCr/RGB, or a picture
// above the size limit.
std::optional<DecodedPicture> DecodeJpeg(std::span<const unsigned char> bytes);
