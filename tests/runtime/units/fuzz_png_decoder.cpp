// libFuzzer entry: any bytes decoded as a PNG file. A picture that comes back has the size it
// states, within the limit, and every pixel is read, so that under the sanitizers a short or
// unwritten buffer fails.
#include <cstddef>
#include <cstdint>

#include "runtime/units/png_decoder.h"

namespace {

volatile uint32_t sink;

void Require(bool holds) {
  if (!holds) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::optional<StraightArgbPicture> picture = DecodePng({data, size});
  if (!picture) return 0;
  Require(picture->width > 0 && picture->height > 0);
  Require(int64_t{picture->width} * picture->height <= kMaxPicturePixels);
  Require(picture->pixels.size() == size_t(picture->width) * size_t(picture->height));
  uint32_t sum = 0;
  for (const uint32_t pixel : picture->pixels) sum += pixel;
  sink = sum;
  return 0;
}
