// libFuzzer entry: any bytes decoded as a PNG file, as they are and with every whole chunk's CRC
// made right (otherwise nearly every mutation stops at a CRC and the inflater is barely reached).
// A picture that comes back has the size it states, within the limit, and every pixel is read,
// so that under the sanitizers a short or unwritten buffer fails.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "runtime/units/png_decoder.h"

namespace {

volatile uint32_t sink;

void Require(bool holds) {
  if (!holds) __builtin_trap();
}

uint32_t Crc32(const unsigned char* bytes, size_t size) {
  uint32_t crc = 0xFFFFFFFF;
  for (size_t i = 0; i < size; ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
  }
  return ~crc;
}

std::vector<unsigned char> WithRightCrcs(const uint8_t* data, size_t size) {
  std::vector<unsigned char> bytes(data, data + size);
  for (size_t at = 8; at + 12 <= bytes.size();) {
    const size_t length = size_t{bytes[at]} << 24 | size_t{bytes[at + 1]} << 16 | size_t{bytes[at + 2]} << 8 | bytes[at + 3];
    if (length > bytes.size() - at - 12) break;
    const uint32_t crc = Crc32(bytes.data() + at + 4, length + 4);
    for (int i = 0; i < 4; ++i) bytes[at + 8 + length + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
    at += length + 12;
  }
  return bytes;
}

void Check(std::span<const unsigned char> bytes) {
  const std::optional<StraightArgbPicture> picture = DecodePng(bytes);
  if (!picture) return;
  Require(picture->width > 0 && picture->height > 0);
  Require(int64_t{picture->width} * picture->height <= kMaxPicturePixels);
  Require(picture->pixels.size() == size_t(picture->width) * size_t(picture->height));
  uint32_t sum = 0;
  for (const uint32_t pixel : picture->pixels) sum += pixel;
  sink = sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Check({data, size});
  Check(WithRightCrcs(data, size));
  return 0;
}
