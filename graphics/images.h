// Image and Bitmap: decoding image files from bytes (kept in a MemoryStream for as long as the
// image lives) or from disk, empty bitmaps, pixels, GDI conversions, and encoding back to bytes
// with the encoder found by its format identifier.
#pragma once

#include <span>
#include <vector>

#include "graphics/flat_methods.h"
#include "graphics/gdiplus_object.h"
#include "graphics/memory_stream.h"

// Format identifiers as GDI+ reports them (upper-case registry form).
inline constexpr char kPngFormat[] = "{B96B3CAF-0728-11D3-9D7B-0000F81EF32E}";
inline constexpr char kBmpFormat[] = "{B96B3CAB-0728-11D3-9D7B-0000F81EF32E}";
inline constexpr char kJpegFormat[] = "{B96B3CAE-0728-11D3-9D7B-0000F81EF32E}";

// One codec as GDI+ describes it, its texts in GBK and its GUIDs in registry form.
struct ImageCodecRecord {
  OwnedText clsid;
  OwnedText formatId;
  OwnedText codecName;
  OwnedText dllName;
  OwnedText formatDescription;
  OwnedText filenameExtension;
  OwnedText mimeType;
  int32_t flags = 0;
  int32_t version = 0;
  int32_t signatureCount = 0;
  int32_t signatureSize = 0;
  OwnedBytes signaturePattern;
  OwnedBytes signatureMask;
};

// The installed encoders in GDI+'s order; empty when they cannot be listed (status in lastStatus).
std::vector<ImageCodecRecord> GetImageEncoders();
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper-case.
OwnedText GuidText(const GUID& guid);

// One encoder parameter: its category GUID as text, the number of values, the GDI+ value type
// (EncoderParameterValueType) and the values' bytes, which must hold that many values.
struct EncoderParameterRecord {
  TextValue category = nullptr;
  int32_t numberOfValues = 0;
  int32_t type = 0;
  ByteBlock value = nullptr;
};
using EncoderParameterList = std::span<const EncoderParameterRecord>;

class Image : public GdiPlusObject {
 public:
  Image() = default;
  ~Image() override { Delete(); }

  // Disposes the image, then closes its stream; false without a call when there is no image.
  virtual bool Delete();
  bool LoadFromFile(TextValue fileName, OptionalArg<bool> useColourManagement = {});
  // Decodes from a copy of the bytes in the wrapper's stream, which stays open until Delete (GDI+
  // reads it lazily). An earlier stream is closed; an earlier image is not disposed.
  bool LoadFromBytes(ByteBlock bytes, OptionalArg<bool> useColourManagement = {});
  // The encoded image; the format is the image's own when not given. Empty whenever encoding
  // failed (an unknown format, bad parameters), with the status in lastStatus.
  OwnedBytes SaveToBytes(OptionalArg<TextValue> format = {}, OptionalArg<EncoderParameterList> parameters = {}) const;
  // As SaveToBytes, into a file; BMP when the format is not given.
  bool SaveToFile(TextValue fileName, OptionalArg<TextValue> format = {},
                  OptionalArg<EncoderParameterList> parameters = {}) const;
  // 0 when there is no image.
  uint32_t GetWidth() const;
  uint32_t GetHeight() const;
  bool RotateFlip(Gdiplus::RotateFlipType type);
  // The format identifier of the decoded file; the empty text when it cannot be read.
  OwnedText GetRawFormat() const;
  // The clone's handle is given to `target`, which should be empty.
  bool Clone(Image& target) const;

#define FLAT_METHODS_NATIVE Gdiplus::GpImage
#define FLAT_METHODS_HANDLE imageHandle_
#include "graphics/flat_methods.inc"

 protected:
  void OnHandleSet(void* h) override {
    imageHandle_ = static_cast<Gdiplus::GpImage*>(h);
    OnImageHandleSet(h);
  }
  virtual void OnImageHandleSet(void* /*h*/) {}
  void CloseImageStream() { stream_.Close(); }

 private:
  Gdiplus::GpImage* imageHandle_ = nullptr;
  MemoryStream stream_;
};

class Bitmap : public Image {
 public:
  Bitmap() = default;
  ~Bitmap() override { Delete(); }

  bool Delete() override;
  bool LoadFromFile(TextValue fileName, OptionalArg<bool> useColourManagement = {});
  bool LoadFromBytes(ByteBlock bytes, OptionalArg<bool> useColourManagement = {});
  // An empty, fully transparent bitmap; 32-bit ARGB (0x26200A) when no format is given.
  bool Create(int32_t width, int32_t height, OptionalArg<Gdiplus::PixelFormat> format = {});
  bool FromHicon(HICON icon);
  // A GDI bitmap of the image over the background colour, for the caller to delete; 0 on failure.
  // The second argument is accepted and not used.
  HBITMAP GetHbitmap(Gdiplus::ARGB background, int32_t unused = 0) const;
  // 0 when the pixel cannot be read.
  Gdiplus::ARGB GetPixel(int32_t x, int32_t y) const;

  // The box a width by height rectangle needs once turned by `degrees` about its centre.
  static Gdiplus::SizeF RotatedSize(float width, float height, float degrees);
  // A new bitmap in `target` (which should be empty), just large enough for this one turned by
  // `degrees` about its centre, over the background colour.
  bool RotateInto(Bitmap& target, float degrees, Gdiplus::ARGB background) const;

#define FLAT_METHODS_BASE Image
#include "graphics/flat_methods_using.inc"
#define FLAT_METHODS_NATIVE Gdiplus::GpBitmap
#define FLAT_METHODS_HANDLE bitmapHandle_
#include "graphics/flat_methods.inc"

 protected:
  void OnImageHandleSet(void* h) override { bitmapHandle_ = static_cast<Gdiplus::GpBitmap*>(h); }

 private:
  Gdiplus::GpBitmap* bitmapHandle_ = nullptr;
  MemoryStream bitmapStream_;
};
