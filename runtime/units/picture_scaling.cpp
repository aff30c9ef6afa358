// Bilinear resampling in fixed point: weights in 256ths, taps chosen once per column and row.
#include "runtime/units/picture_scaling.h"

#include <algorithm>
#include <vector>

namespace {

// Where target position `i` of `target` samples a source of `source` positions: the lower tap
// and the upper tap's weight in 256ths.
struct Tap {
  int32_t low;
  int32_t high;
  uint32_t weight;  // of `high`, 0..255
};

std::vector<Tap> Taps(int32_t source, int32_t target) {
  std::vector<Tap> taps(static_cast<size_t>(target));
  const int64_t last = int64_t{source - 1} * 256;
  for (int32_t i = 0; i < target; ++i) {
    // The centre of target pixel i, (i + 0.5) * source / target - 0.5 source pixels, in 256ths.
    const int64_t at = std::clamp((int64_t{2 * i + 1} * source * 256) / (int64_t{2} * target) - 128, int64_t{0}, last);
    const int32_t low = static_cast<int32_t>(at >> 8);
    taps[static_cast<size_t>(i)] = {low, std::min(low + 1, source - 1), static_cast<uint32_t>(at & 0xFF)};
  }
  return taps;
}

// Two of a pixel's bytes, the first and third (mask 0x00FF00FF) or the second and fourth, apart
// in the two halves of a 64-bit word, where blending them cannot carry from one into the other.
uint64_t Lanes(uint32_t pixel, int shift) {
  const uint32_t pair = (pixel >> shift) & 0x00FF00FF;
  return (pair & 0xFF) | (uint64_t{pair >> 16} << 32);
}

uint32_t Blend(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t wx, uint32_t wy) {
  constexpr uint64_t kHalf = (uint64_t{1} << 15) | (uint64_t{1} << 47);  // rounds each lane
  uint32_t out = 0;
  for (const int shift : {0, 8}) {
    // Each lane at most 255 * 256 after the first blend and 255 * 65536 after the second.
    const uint64_t top = Lanes(a, shift) * (256 - wx) + Lanes(b, shift) * wx;
    const uint64_t bottom = Lanes(c, shift) * (256 - wx) + Lanes(d, shift) * wx;
    const uint64_t both = (top * (256 - wy) + bottom * wy + kHalf) >> 16;
    out |= static_cast<uint32_t>(((both & 0xFF) | ((both >> 16) & 0xFF0000))) << shift;
  }
  return out;
}

}  // namespace

DecodedPicture ScaledPicture(const DecodedPicture& picture, int32_t width, int32_t height) {
  DecodedPicture scaled;
  const int64_t sourcePixels = int64_t{picture.width} * picture.height;
  if (picture.width <= 0 || picture.height <= 0 || static_cast<int64_t>(picture.pixels.size()) < sourcePixels ||
      width <= 0 || height <= 0 || int64_t{width} * height > kMaxPicturePixels)
    return scaled;
  const std::vector<Tap> columns = Taps(picture.width, width);
  const std::vector<Tap> rows = Taps(picture.height, height);
  scaled.width = width;
  scaled.height = height;
  scaled.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  const size_t stride = static_cast<size_t>(picture.width);
  uint32_t* out = scaled.pixels.data();
  for (const Tap& row : rows) {
    const uint32_t* upper = picture.pixels.data() + static_cast<size_t>(row.low) * stride;
    const uint32_t* lower = picture.pixels.data() + static_cast<size_t>(row.high) * stride;
    for (const Tap& column : columns)
      *out++ = Blend(upper[column.low], upper[column.high], lower[column.low], lower[column.high], column.weight,
                     row.weight);
  }
  return scaled;
}
