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

uint32_t Blend(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t wx, uint32_t wy) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t top = ((a >> shift) & 0xFF) * (256 - wx) + ((b >> shift) & 0xFF) * wx;
    const uint32_t bottom = ((c >> shift) & 0xFF) * (256 - wx) + ((d >> shift) & 0xFF) * wx;
    out |= ((top * (256 - wy) + bottom * wy + 32768) >> 16) << shift;
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
