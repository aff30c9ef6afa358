// JPEG decoding through libjpeg, with its fatal-error exit turned into a jump back here.
#include "runtime/units/jpeg_decoder.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

[[noreturn]] void JumpBack(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1); }
void Silence(j_common_ptr) {}

}  // namespace

bool LooksLikeJpeg(std::span<const unsigned char> bytes) {
  return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

std::optional<DecodedPicture> DecodeJpeg(std::span<const unsigned char> bytes) {
  if (!LooksLikeJpeg(bytes)) return std::nullopt;
  // Everything with a destructor exists before setjmp: a jump back skips no destructor.
  DecodedPicture picture;
  std::vector<unsigned char> row;
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = JumpBack;
  errors.base.output_message = Silence;
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    return std::nullopt;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
    jpeg_destroy_decompress(&info);
    return std::nullopt;
  }
  info.out_color_space = JCS_RGB;
  jpeg_calc_output_dimensions(&info);
  const int64_t pixels = int64_t{info.output_width} * info.output_height;
  if (pixels == 0 || pixels > kMaxPicturePixels) {
    jpeg_destroy_decompress(&info);
    return std::nullopt;
  }
  jpeg_start_decompress(&info);
  picture.width = static_cast<int32_t>(info.output_width);
  picture.height = static_cast<int32_t>(info.output_height);
  picture.pixels.resize(static_cast<size_t>(pixels));
  row.resize(size_t{info.output_width} * 3);
  while (info.output_scanline < info.output_height) {
    uint32_t* out = picture.pixels.data() + size_t{info.output_scanline} * info.output_width;
    JSAMPROW rows[1] = {row.data()};
    jpeg_read_scanlines(&info, rows, 1);
    for (size_t x = 0; x < info.output_width; ++x)
      out[x] = uint32_t{row[x * 3]} << 16 | uint32_t{row[x * 3 + 1]} << 8 | row[x * 3 + 2];
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return picture;
}
