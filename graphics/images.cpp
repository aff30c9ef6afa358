// Image and Bitmap: loading, encoder lookup and encoding to bytes or files, empty bitmaps,
// pixels, GDI conversions and turned copies.
#include "graphics/images.h"

#include <cmath>
#include <cstddef>
#include <iterator>
#include <memory>

#include "graphics/drawing_surface.h"
#include "runtime/value_helpers.h"

using Gdiplus::ARGB;
using Gdiplus::GpBitmap;
using Gdiplus::GpImage;
using Gdiplus::REAL;

namespace {

// Bytes of one value of each EncoderParameterValueType (1 byte .. 8 rational range).
constexpr int32_t kEncoderValueSizes[] = {0, 1, 1, 2, 4, 8, 8, 1, 16};

int32_t EncoderValueSize(int32_t type) {
  return (type > 0 && type < static_cast<int32_t>(std::size(kEncoderValueSizes))) ? kEncoderValueSizes[type] : 0;
}

CLSID ClsidFromText(TextValue text) {
  CLSID clsid = {};
  if (TextLengthOf(text) == 0) return clsid;
  const OwnedBytes wide = ToWideText(text);
  if (Declared::CLSIDFromString(WideChars(wide), &clsid) != S_OK) clsid = CLSID{};
  return clsid;
}

// The CLSID of the first encoder whose format identifier is `format`; all zeros when none is.
CLSID EncoderFor(TextValue format) {
  for (const ImageCodecRecord& codec : GetImageEncoders()) {
    if (codec.formatId.view() == (format ? std::string_view(format) : std::string_view())) {
      return ClsidFromText(codec.clsid.get());
    }
  }
  return CLSID{};
}

OwnedBytes BlockOf(const BYTE* bytes, DWORD size) {
  return bytes ? NewByteBlock({bytes, size}) : OwnedBytes();
}

// The parameter block GDI+ reads: a count, then one EncoderParameter per record, each pointing at
// the record's value bytes. Null with lastStatus set when a record is malformed.
struct ParameterBlock {
  std::unique_ptr<unsigned char[]> storage;
  const Gdiplus::EncoderParameters* get() const {
    return reinterpret_cast<const Gdiplus::EncoderParameters*>(storage.get());
  }
};

bool BuildParameters(OptionalArg<EncoderParameterList> records, ParameterBlock& block) {
  if (!records.given) return true;
  for (const EncoderParameterRecord& record : records.value) {
    const int64_t needed = int64_t{record.numberOfValues} * EncoderValueSize(record.type);
    if (record.numberOfValues < 0 || EncoderValueSize(record.type) == 0 || needed > ByteBlockLengthOf(record.value)) {
      return RejectArguments();
    }
  }
  const size_t count = records.value.size();
  const size_t size = offsetof(Gdiplus::EncoderParameters, Parameter) + count * sizeof(Gdiplus::EncoderParameter);
  block.storage = std::make_unique<unsigned char[]>(size);
  auto* parameters = reinterpret_cast<Gdiplus::EncoderParameters*>(block.storage.get());
  parameters->Count = static_cast<UINT>(count);
  for (size_t i = 0; i < count; ++i) {
    const EncoderParameterRecord& record = records.value[i];
    Gdiplus::EncoderParameter& out = parameters->Parameter[i];
    out.Guid = ClsidFromText(record.category);
    out.NumberOfValues = static_cast<ULONG>(record.numberOfValues);
    out.Type = static_cast<ULONG>(record.type);
    out.Value = record.value ? const_cast<unsigned char*>(ByteBlockData(record.value)) : nullptr;
  }
  return true;
}

}  // namespace

OwnedText GuidText(const GUID& guid) {
  WCHAR text[39] = {};
  Declared::StringFromGUID2(guid, text, 39);
  return FromWideText(text);
}

std::vector<ImageCodecRecord> GetImageEncoders() {
  UINT count = 0;
  UINT size = 0;
  if (!CallStatus<K_GdipGetImageEncodersSize>(&count, &size) || count == 0 ||
      size < count * sizeof(Gdiplus::ImageCodecInfo)) {
    return {};
  }
  // ImageCodecInfo holds pointers: keep the buffer aligned for them.
  std::vector<uint64_t> buffer((size + sizeof(uint64_t) - 1) / sizeof(uint64_t));
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (!CallStatus<K_GdipGetImageEncoders>(count, size, codecs)) return {};
  std::vector<ImageCodecRecord> records(count);
  for (UINT i = 0; i < count; ++i) {
    const Gdiplus::ImageCodecInfo& codec = codecs[i];
    ImageCodecRecord& record = records[i];
    record.clsid = GuidText(codec.Clsid);
    record.formatId = GuidText(codec.FormatID);
    record.codecName = FromWideText(codec.CodecName);
    record.dllName = FromWideText(codec.DllName);
    record.formatDescription = FromWideText(codec.FormatDescription);
    record.filenameExtension = FromWideText(codec.FilenameExtension);
    record.mimeType = FromWideText(codec.MimeType);
    record.flags = static_cast<int32_t>(codec.Flags);
    record.version = static_cast<int32_t>(codec.Version);
    record.signatureCount = static_cast<int32_t>(codec.SigCount);
    record.signatureSize = static_cast<int32_t>(codec.SigSize);
    const DWORD signatureBytes = codec.SigCount * codec.SigSize;
    record.signaturePattern = BlockOf(codec.SigPattern, signatureBytes);
    record.signatureMask = BlockOf(codec.SigMask, signatureBytes);
  }
  return records;
}

// --- Image ---

bool Image::Delete() {
  if (!imageHandle_) return false;
  // The image may still read its stream: dispose of it before the memory goes.
  const bool ok = CallStatus<K_GdipDisposeImage>(imageHandle_);
  SetHandle(nullptr);
  stream_.Close();
  return ok;
}

bool Image::LoadFromFile(TextValue fileName, OptionalArg<bool> useColourManagement) {
  const OwnedBytes wide = ToWideText(fileName);
  const bool ok = useColourManagement.Or(false)
                      ? CallStatus<K_GdipLoadImageFromFileICM>(WideChars(wide), &imageHandle_)
                      : CallStatus<K_GdipLoadImageFromFile>(WideChars(wide), &imageHandle_);
  return Adopt(imageHandle_, ok);
}

bool Image::LoadFromBytes(ByteBlock bytes, OptionalArg<bool> useColourManagement) {
  IStream* stream = stream_.OpenBytes(bytes);
  const bool ok = useColourManagement.Or(false) ? CallStatus<K_GdipLoadImageFromStreamICM>(stream, &imageHandle_)
                                                : CallStatus<K_GdipLoadImageFromStream>(stream, &imageHandle_);
  return Adopt(imageHandle_, ok);
}

OwnedBytes Image::SaveToBytes(OptionalArg<TextValue> format, OptionalArg<EncoderParameterList> parameters) const {
  const OwnedText rawFormat = format.given ? OwnedText() : GetRawFormat();
  const CLSID encoder = EncoderFor(format.given ? format.value : rawFormat.get());
  ParameterBlock block;
  if (!BuildParameters(parameters, block)) return OwnedBytes();
  MemoryStream output;
  output.OpenBytes(nullptr);
  // A failed encoding may have written part of a file: that is no result.
  if (!CallStatus<K_GdipSaveImageToStream>(imageHandle_, output.GetStream(), &encoder, block.get())) {
    return OwnedBytes();
  }
  return output.ToBytes();
}

bool Image::SaveToFile(TextValue fileName, OptionalArg<TextValue> format,
                       OptionalArg<EncoderParameterList> parameters) const {
  const CLSID encoder = EncoderFor(format.Or(kBmpFormat));
  ParameterBlock block;
  if (!BuildParameters(parameters, block)) return false;
  const OwnedBytes wide = ToWideText(fileName);
  return CallStatus<K_GdipSaveImageToFile>(imageHandle_, WideChars(wide), &encoder, block.get());
}

uint32_t Image::GetWidth() const {
  UINT width = 0;
  CallStatus<K_GdipGetImageWidth>(imageHandle_, &width);
  return width;
}

uint32_t Image::GetHeight() const {
  UINT height = 0;
  CallStatus<K_GdipGetImageHeight>(imageHandle_, &height);
  return height;
}

bool Image::RotateFlip(Gdiplus::RotateFlipType type) { return CallStatus<K_GdipImageRotateFlip>(imageHandle_, type); }

OwnedText Image::GetRawFormat() const {
  GUID format = {};
  if (!CallStatus<K_GdipGetImageRawFormat>(imageHandle_, &format)) return OwnedText();
  return GuidText(format);
}

bool Image::Clone(Image& target) const {
  GpImage* clone = nullptr;
  const bool ok = CallStatus<K_GdipCloneImage>(imageHandle_, &clone);
  target.SetHandle(clone);
  return ok;
}

// --- Bitmap ---

bool Bitmap::Delete() {
  if (!bitmapHandle_) return false;
  const bool ok = CallStatus<K_GdipDisposeImage>(bitmapHandle_);
  SetHandle(nullptr);
  // Whichever of the two streams the image was read from, nothing reads it any more.
  bitmapStream_.Close();
  CloseImageStream();
  return ok;
}

bool Bitmap::LoadFromFile(TextValue fileName, OptionalArg<bool> useColourManagement) {
  const OwnedBytes wide = ToWideText(fileName);
  const bool ok = useColourManagement.Or(false)
                      ? CallStatus<K_GdipCreateBitmapFromFileICM>(WideChars(wide), &bitmapHandle_)
                      : CallStatus<K_GdipCreateBitmapFromFile>(WideChars(wide), &bitmapHandle_);
  return Adopt(bitmapHandle_, ok);
}

bool Bitmap::LoadFromBytes(ByteBlock bytes, OptionalArg<bool> useColourManagement) {
  IStream* stream = bitmapStream_.OpenBytes(bytes);
  const bool ok = useColourManagement.Or(false)
                      ? CallStatus<K_GdipCreateBitmapFromStreamICM>(stream, &bitmapHandle_)
                      : CallStatus<K_GdipCreateBitmapFromStream>(stream, &bitmapHandle_);
  return Adopt(bitmapHandle_, ok);
}

bool Bitmap::Create(int32_t width, int32_t height, OptionalArg<Gdiplus::PixelFormat> format) {
  const bool ok = CallStatus<K_GdipCreateBitmapFromScan0>(width, height, 0, format.Or(PixelFormat32bppARGB),
                                                          static_cast<BYTE*>(nullptr), &bitmapHandle_);
  return Adopt(bitmapHandle_, ok);
}

bool Bitmap::FromHicon(HICON icon) {
  const bool ok = CallStatus<K_GdipCreateBitmapFromHICON>(icon, &bitmapHandle_);
  return Adopt(bitmapHandle_, ok);
}

HBITMAP Bitmap::GetHbitmap(ARGB background, int32_t /*unused*/) const {
  HBITMAP gdiBitmap = nullptr;
  CallStatus<K_GdipCreateHBITMAPFromBitmap>(bitmapHandle_, &gdiBitmap, background);
  return gdiBitmap;
}

ARGB Bitmap::GetPixel(int32_t x, int32_t y) const {
  ARGB colour = 0;
  CallStatus<K_GdipBitmapGetPixel>(bitmapHandle_, x, y, &colour);
  return colour;
}

Gdiplus::SizeF Bitmap::RotatedSize(float width, float height, float degrees) {
  constexpr double pi = 3.1415926535;
  const double radians = degrees * pi / 180;
  const double c = std::cos(radians);
  const double s = std::sin(radians);
  const double corners[4][2] = {{0, 0}, {width, 0}, {width, height}, {0, height}};
  double minX = 0, maxX = 0, minY = 0, maxY = 0;
  for (const auto& corner : corners) {
    const double x = corner[0] * c - corner[1] * s;
    const double y = corner[0] * s + corner[1] * c;
    minX = std::fmin(minX, x);
    maxX = std::fmax(maxX, x);
    minY = std::fmin(minY, y);
    maxY = std::fmax(maxY, y);
  }
  return Gdiplus::SizeF(static_cast<REAL>(maxX - minX), static_cast<REAL>(maxY - minY));
}

bool Bitmap::RotateInto(Bitmap& target, float degrees, ARGB background) const {
  const auto width = static_cast<float>(GetWidth());
  const auto height = static_cast<float>(GetHeight());
  if (width == 0 || height == 0) return RejectArguments();
  const Gdiplus::SizeF size = RotatedSize(width, height, degrees);
  // Rounded, so that a turn by a right angle does not gain a pixel from rounding noise.
  const auto newWidth = static_cast<int32_t>(std::lround(size.Width));
  const auto newHeight = static_cast<int32_t>(std::lround(size.Height));
  if (!target.Create(newWidth, newHeight)) return false;
  Graphics surface;
  return surface.CreateFromImage(target) && surface.Clear(background) &&
         surface.RotateTransformAt(degrees, 0, 0) &&
         surface.GdipTranslateWorldTransform(newWidth / 2.0f, newHeight / 2.0f, Gdiplus::MatrixOrderAppend) &&
         surface.DrawImageRect(*this, -width / 2, -height / 2, width, height);
}
