// The skin's images: the average colour of a picture, and a picture prepared for its placement.
#include <cmath>
#include <memory>
#include <optional>
#include <span>

#include "graphics/drawing_surface.h"
#include "graphics/paths_pens_brushes.h"
#include "runtime/commands/commands.h"
#include "runtime/units/jpeg_decoder.h"
#include "runtime/units/png_decoder.h"
#include "runtime/value_helpers.h"
#include "skin/skin_engine.h"

namespace {

constexpr int32_t kSamples = 2000;

bool LoadBitmap(Bitmap& bitmap, TextValue path, ByteBlock bytes) {
  if (path && *path) return bitmap.LoadFromFile(path);
  return bitmap.LoadFromBytes(bytes);
}

std::span<const unsigned char> BytesOf(ByteBlock bytes) {
  const int32_t length = ByteBlockLengthOf(bytes);
  if (length <= 0) return {};
  return std::span(ByteBlockData(bytes), static_cast<size_t>(length));
}

// A GDI+ bitmap over decoded pixels it shares: GDI+ reads them in place rather than copying them,
// and they live at least as long as it. `Picture` has width, height and 32-bit pixels.
template <class Picture>
class SharedPixelsBitmap final : public Bitmap {
 public:
  explicit SharedPixelsBitmap(std::shared_ptr<Picture> pixels) : pixels_(std::move(pixels)) {}
  ~SharedPixelsBitmap() override { Delete(); }  // before the pixels go
  bool Wrap(Gdiplus::PixelFormat format) {
    auto* scan0 = reinterpret_cast<BYTE*>(pixels_->pixels.data());
    return GdipCreateBitmapFromScan0(pixels_->width, pixels_->height, pixels_->width * 4, format, scan0);
  }

 private:
  std::shared_ptr<Picture> pixels_;
};

template <class Picture>
std::unique_ptr<Bitmap> BitmapOver(std::shared_ptr<Picture> pixels, Gdiplus::PixelFormat format) {
  if (!pixels) return nullptr;
  auto bitmap = std::make_unique<SharedPixelsBitmap<Picture>>(std::move(pixels));
  if (!bitmap->Wrap(format)) return nullptr;
  return bitmap;
}

// JPEG and plain PNG bytes are decoded by the program's own decoders: through GDI+ the first
// picture loads the system's imaging codecs (measured under Wine: 15-20 ms of the first frame).
// Null for bytes they refuse (a CMYK JPEG, a PNG with a palette), which GDI+ then reads.
std::shared_ptr<DecodedPicture> JpegPixels(std::span<const unsigned char> bytes) {
  std::optional<DecodedPicture> picture = DecodeJpeg(bytes);
  if (!picture) return nullptr;
  return std::make_shared<DecodedPicture>(std::move(*picture));
}

// The picture of a file or bytes, and its pixels when libjpeg decoded it.
struct Decoded {
  std::unique_ptr<Bitmap> bitmap;
  std::shared_ptr<const DecodedPicture> pixels;
};

Decoded OwnDecoding(std::span<const unsigned char> bytes) {
  if (LooksLikeJpeg(bytes)) {
    std::shared_ptr<DecodedPicture> pixels = JpegPixels(bytes);
    std::unique_ptr<Bitmap> bitmap = BitmapOver(pixels, PixelFormat32bppRGB);
    if (!bitmap) return {};
    return {std::move(bitmap), std::move(pixels)};
  }
  if (!LooksLikePng(bytes)) return {};
  std::optional<StraightArgbPicture> picture = DecodePng(bytes);
  if (!picture) return {};
  return {BitmapOver(std::make_shared<StraightArgbPicture>(std::move(*picture)), PixelFormat32bppARGB), nullptr};
}

std::unique_ptr<Bitmap> GdiPlusBitmap(TextValue path, ByteBlock bytes) {
  auto bitmap = std::make_unique<Bitmap>();
  if (!LoadBitmap(*bitmap, path, bytes)) return nullptr;
  return bitmap;
}

// Bytes through the program's own decoders where they take them, else (and files) through GDI+.
Decoded DecodeSource(TextValue path, ByteBlock bytes) {
  if (!(path && *path))
    if (Decoded own = OwnDecoding(BytesOf(bytes)); own.bitmap) return own;
  return {GdiPlusBitmap(path, bytes), nullptr};
}

// The average colour of the pixels, as ARGB with alpha 255, from 2,000 samples whose positions
// depend only on the calendar day; black without a bitmap.
Gdiplus::ARGB AverageBitmapColour(const Bitmap* source) {
  if (!source) return ArgbFromColorRef(0);
  const Bitmap& bitmap = *source;
  const int32_t width = static_cast<int32_t>(bitmap.GetWidth());
  const int32_t height = static_cast<int32_t>(bitmap.GetHeight());
  if (width <= 0 || height <= 0) return ArgbFromColorRef(0);
  // The seeds depend on the day only, so every call of one calendar day samples the same places.
  const double now = Commands::Now();
  int64_t red = 0, green = 0, blue = 0;
  for (int32_t i = 1; i <= kSamples; ++i) {
    Commands::SeedRandom(static_cast<int32_t>(std::floor(now + 3.0 * i)));
    const int32_t x = Commands::Random(1, width);
    Commands::SeedRandom(static_cast<int32_t>(std::floor(now + i)));
    const int32_t y = Commands::Random(1, height);
    // Positions run 1..width and 1..height, one past the last pixel at the far end: such a
    // sample reads the edge pixel instead, so that a one-pixel image averages to its own colour.
    const Gdiplus::ARGB pixel = bitmap.GetPixel(std::min(x, width - 1), std::min(y, height - 1));
    red += (pixel >> 16) & 0xFF;
    green += (pixel >> 8) & 0xFF;
    blue += pixel & 0xFF;
  }
  const int32_t colour = Commands::MakeColor(static_cast<int32_t>(red / kSamples),
                                             static_cast<int32_t>(green / kSamples),
                                             static_cast<int32_t>(blue / kSamples));
  return ArgbFromColorRef(static_cast<uint32_t>(colour));
}

bool Fades(int32_t mode) { return mode == kImageTopLeft || mode == kImageTopRight; }

// The image prepared for a placement: for modes 0 and 1 the decoded `source` redrawn with its free
// edge fading into `fadeColour`, as PNG; for the other modes the bytes unchanged (or a file's
// image as PNG).
OwnedBytes PreparedBytes(TextValue path, ByteBlock bytes, const Bitmap* decoded, int32_t mode,
                         Gdiplus::ARGB fadeColour) {
  const bool fromFile = path && *path;
  if (!Fades(mode)) {
    if (!fromFile) {
      if (ByteBlockLengthOf(bytes) <= 0) return {};
      return NewByteBlock(std::span(ByteBlockData(bytes), static_cast<size_t>(ByteBlockLengthOf(bytes))));
    }
    Image image;
    if (!image.LoadFromFile(path)) return {};
    return image.SaveToBytes(OptionalArg<TextValue>(kPngFormat));
  }
  if (!decoded) return {};
  const Bitmap& source = *decoded;
  const float width = static_cast<float>(source.GetWidth());
  const float height = static_cast<float>(source.GetHeight());
  Bitmap faded;
  if (!faded.Create(static_cast<int32_t>(width), static_cast<int32_t>(height))) return {};
  {
    Graphics graphics;
    if (!graphics.CreateFromImage(faded)) return {};
    graphics.DrawImageRect(source, 0, 0, width, height);
    // The edge that meets the rest of the window fades into the colour under the image: the
    // right quarter of an image placed top-left, the left quarter of one placed top-right.
    const float band = std::max(1.0f, width / 4);
    const Gdiplus::ARGB clear = fadeColour & 0x00FFFFFF;
    const Gdiplus::ARGB solid = fadeColour | 0xFF000000;
    const bool fadeRight = mode == kImageTopLeft;
    const float bandLeft = fadeRight ? width - band : 0;
    LinearGradientBrush brush;
    const Gdiplus::PointF from(fadeRight ? bandLeft : band, 0), to(fadeRight ? width : 0, 0);
    if (!brush.Create(from, to, clear, solid)) return {};
    graphics.FillRectangle(brush, bandLeft, 0, band, height);
  }
  return faded.SaveToBytes(OptionalArg<TextValue>(kPngFormat));
}

}  // namespace

std::unique_ptr<Image> DecodePicture(ByteBlock bytes) {
  if (ByteBlockLengthOf(bytes) <= 0) return nullptr;
  if (Decoded own = OwnDecoding(BytesOf(bytes)); own.bitmap) return std::move(own.bitmap);
  auto image = std::make_unique<Image>();
  if (!image->LoadFromBytes(bytes)) return nullptr;
  return image;
}

PreparedImage PrepareImage(TextValue path, ByteBlock bytes, int32_t mode, std::optional<Gdiplus::ARGB> colour) {
  PreparedImage prepared;
  // Bytes placed without a fade are kept as they are.
  const bool asIs = !(path && *path) && !Fades(mode);
  // One decoding serves the average colour, the fade and, for bytes kept as they are, the picture.
  Decoded source;
  if (!colour || asIs || Fades(mode)) source = DecodeSource(path, bytes);
  prepared.colour = colour ? *colour : AverageBitmapColour(source.bitmap.get());
  prepared.bytes = PreparedBytes(path, bytes, source.bitmap.get(), mode, prepared.colour);
  if (asIs && source.bitmap) {
    prepared.picture = std::move(source.bitmap);
    prepared.pixels = std::move(source.pixels);
  } else {
    prepared.picture = DecodePicture(prepared.bytes.get());
  }
  return prepared;
}
