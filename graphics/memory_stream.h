// MemoryStream: bytes in movable global memory under a COM stream, which carries image files to
// GDI+ and encoded images back. The stream never frees the memory; Close does.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <cstdint>

#include "graphics/gdiplus_object.h"

class MemoryStream {
 public:
  MemoryStream() = default;
  ~MemoryStream() { Close(); }
  MemoryStream(const MemoryStream&) = delete;
  MemoryStream& operator=(const MemoryStream&) = delete;
  MemoryStream(MemoryStream&& other) noexcept;
  MemoryStream& operator=(MemoryStream&& other) noexcept;

  // Closes what is open, then opens a stream over a copy of the first `length` bytes of the block
  // (all of them when not given; an empty block gives a zero-length stream that grows as it is
  // written). A length outside 0..block length opens nothing and gives null, leaving the open
  // stream as it was. When the memory or the stream cannot be made, the result is null and the
  // wrapper stays closed.
  IStream* OpenBytes(ByteBlock bytes, OptionalArg<int32_t> length = {});
  // Releases our reference to the stream and frees the memory; nothing when closed.
  void Close();
  // Size of the stream's content (0 when closed); the memory block may be larger.
  SIZE_T GetSize() const;
  IStream* GetStream() const { return comStream_; }
  HGLOBAL GetHGlobal() const { return hGlobal_; }
  // Closes, then takes over the caller's reference to `stream` and the memory under it, which
  // Close frees: attach only streams that do not free their memory on release. True when the
  // stream is one over global memory; a null stream, and the stream held already, change
  // nothing.
  bool AttachStream(IStream* stream);
  // A copy of the stream's content; the stream position does not move. Empty when closed.
  OwnedBytes ToBytes() const;

 private:
  HGLOBAL hGlobal_ = nullptr;
  void* lockedPointer_ = nullptr;
  IStream* comStream_ = nullptr;
};
