// GDI+ decoding: the bytes in a stream over global memory, the image made from it, its frames
// selected one after another and each turned into a GDI bitmap over the background colour, the
// delays read from the frame-delay property.
#include "runtime/units/gdiplus_pictures.h"

#include <algorithm>
#include <cstring>

#include "runtime/imports/declared_functions.h"
#include "runtime/units/jpeg_decoder.h"

namespace {

constexpr PROPID kFrameDelay = 0x5100;  // PropertyTagFrameDelay: one LONG per frame, in 1/100 s

// GDI+ started for as long as the object lives (start-ups are counted: a program that runs
// GDI+ itself keeps it).
class GdiPlusSession {
 public:
  GdiPlusSession() {
    Gdiplus::GdiplusStartupInput input(nullptr, FALSE, FALSE);
    if (Declared::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
  }
  ~GdiPlusSession() {
    if (token_) Declared::GdiplusShutdown(token_);
  }
  GdiPlusSession(const GdiPlusSession&) = delete;
  GdiPlusSession& operator=(const GdiPlusSession&) = delete;
  explicit operator bool() const { return token_ != 0; }

 private:
  ULONG_PTR token_ = 0;
};

// A read-only stream over a copy of the bytes; the stream frees its memory when released.
class ByteStream {
 public:
  explicit ByteStream(std::span<const unsigned char> bytes) {
    const HGLOBAL memory = Declared::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!memory) return;
    void* to = Declared::GlobalLock(memory);
    if (to) (Declared::RtlMoveMemory)(to, bytes.data(), bytes.size());
    Declared::GlobalUnlock(memory);
    if (!to || Declared::CreateStreamOnHGlobal(memory, TRUE, &stream_) != S_OK) {
      stream_ = nullptr;
      Declared::GlobalFree(memory);
    }
  }
  ~ByteStream() {
    if (stream_) stream_->Release();
  }
  ByteStream(const ByteStream&) = delete;
  ByteStream& operator=(const ByteStream&) = delete;
  IStream* get() const { return stream_; }

 private:
  IStream* stream_ = nullptr;
};

class DecodedImage {
 public:
  explicit DecodedImage(IStream* stream) {
    if (stream && Declared::GdipCreateBitmapFromStream(stream, &bitmap_) != Gdiplus::Ok) bitmap_ = nullptr;
  }
  ~DecodedImage() {
    if (bitmap_) Declared::GdipDisposeImage(bitmap_);
  }
  DecodedImage(const DecodedImage&) = delete;
  DecodedImage& operator=(const DecodedImage&) = delete;
  Gdiplus::GpBitmap* get() const { return bitmap_; }

 private:
  Gdiplus::GpBitmap* bitmap_ = nullptr;
};

// The image's first frame dimension and how many frames it has there; only frames in time
// (FrameDimensionTime, a GIF's) are played one after another.
struct FrameSet {
  GUID dimension{};
  UINT count = 1;
  bool inTime = false;
};

FrameSet FramesOf(Gdiplus::GpBitmap* image) {
  static constexpr GUID kFrameDimensionTime = {0x6aedbd6d, 0x3fb5, 0x418a, {0x83, 0xa6, 0x7f, 0x45, 0x22, 0x9d, 0xc8, 0x72}};
  FrameSet frames;
  UINT dimensions = 0;
  if (Declared::GdipImageGetFrameDimensionsCount(image, &dimensions) != Gdiplus::Ok || dimensions == 0) return frames;
  std::vector<GUID> list(dimensions);
  if (Declared::GdipImageGetFrameDimensionsList(image, list.data(), dimensions) != Gdiplus::Ok) return frames;
  frames.dimension = list.front();
  frames.inTime = IsEqualGUID(frames.dimension, kFrameDimensionTime) != FALSE;
  UINT count = 0;
  if (frames.inTime && Declared::GdipImageGetFrameCount(image, &frames.dimension, &count) == Gdiplus::Ok && count > 0)
    frames.count = count;
  return frames;
}

// The delay of each frame in milliseconds; frames the property does not cover get the shortest.
std::vector<uint32_t> FrameDelays(Gdiplus::GpBitmap* image, UINT count) {
  std::vector<uint32_t> delays(count, kShortestFrame);
  UINT size = 0;
  if (Declared::GdipGetPropertyItemSize(image, kFrameDelay, &size) != Gdiplus::Ok || size < sizeof(Gdiplus::PropertyItem))
    return delays;
  // PropertyItem holds a pointer: keep the buffer aligned for it.
  std::vector<uint64_t> buffer((size + sizeof(uint64_t) - 1) / sizeof(uint64_t));
  auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
  if (Declared::GdipGetPropertyItem(image, kFrameDelay, size, item) != Gdiplus::Ok || !item->value) return delays;
  const auto* end = reinterpret_cast<const unsigned char*>(buffer.data()) + size;
  const auto* cursor = static_cast<const unsigned char*>(item->value);
  const size_t available = cursor < end ? static_cast<size_t>(end - cursor) : 0;
  const size_t given = std::min<size_t>(item->length, available) / sizeof(LONG);
  for (size_t i = 0; i < count && i < given; ++i) {
    LONG hundredths = 0;
    std::memcpy(&hundredths, cursor + i * sizeof(LONG), sizeof hundredths);
    const int64_t milliseconds = int64_t{hundredths} * 10;
    delays[i] = milliseconds < 20 ? kShortestFrame : static_cast<uint32_t>(std::min<int64_t>(milliseconds, INT32_MAX));
  }
  return delays;
}

Gdiplus::ARGB OpaqueArgb(COLORREF colour) {
  return 0xFF000000u | (uint32_t{GetRValue(colour)} << 16) | (uint32_t{GetGValue(colour)} << 8) | GetBValue(colour);
}

}  // namespace

std::vector<PictureFrame> DecodeWithGdiPlus(std::span<const unsigned char> bytes, COLORREF background) {
  if (bytes.empty()) return {};
  const GdiPlusSession session;
  if (!session) return {};
  const ByteStream stream(bytes);
  const DecodedImage image(stream.get());
  if (!image.get()) return {};
  UINT width = 0, height = 0;
  Declared::GdipGetImageWidth(image.get(), &width);
  Declared::GdipGetImageHeight(image.get(), &height);
  FrameSet frames = FramesOf(image.get());
  if (width == 0 || height == 0 || int64_t{width} * height > kMaxPicturePixels) return {};
  // As many frames as the frame and pixel limits allow: a long animation is cut short.
  const int64_t allowed = std::min<int64_t>(kMaxPictureFrames, kMaxPicturePixels / (int64_t{width} * height));
  frames.count = static_cast<UINT>(std::min<int64_t>(frames.count, allowed));
  const std::vector<uint32_t> delays = FrameDelays(image.get(), frames.count);
  std::vector<PictureFrame> decoded;
  for (UINT i = 0; i < frames.count; ++i) {
    if (frames.inTime && Declared::GdipImageSelectActiveFrame(image.get(), &frames.dimension, i) != Gdiplus::Ok) break;
    HBITMAP bitmap = nullptr;
    if (Declared::GdipCreateHBITMAPFromBitmap(image.get(), &bitmap, OpaqueArgb(background)) != Gdiplus::Ok || !bitmap)
      break;
    decoded.push_back({OwnedBitmap(bitmap), delays[i]});
  }
  return decoded;
}
