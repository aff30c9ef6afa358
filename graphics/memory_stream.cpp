// MemoryStream over movable global memory: opening from bytes, closing, attaching a stream made
// elsewhere, and copying the memory back out.
#include "graphics/memory_stream.h"

#include <algorithm>
#include <utility>

#include "runtime/value_helpers.h"

namespace {

// GMEM_MOVEABLE | GMEM_ZEROINIT
constexpr UINT kMovableZeroed = 0x42;

}  // namespace

MemoryStream::MemoryStream(MemoryStream&& other) noexcept
    : hGlobal_(std::exchange(other.hGlobal_, nullptr)),
      lockedPointer_(std::exchange(other.lockedPointer_, nullptr)),
      comStream_(std::exchange(other.comStream_, nullptr)) {}

MemoryStream& MemoryStream::operator=(MemoryStream&& other) noexcept {
  if (this != &other) {
    Close();
    hGlobal_ = std::exchange(other.hGlobal_, nullptr);
    lockedPointer_ = std::exchange(other.lockedPointer_, nullptr);
    comStream_ = std::exchange(other.comStream_, nullptr);
  }
  return *this;
}

IStream* MemoryStream::OpenBytes(ByteBlock bytes, OptionalArg<int32_t> length) {
  const int32_t available = ByteBlockLengthOf(bytes);
  const int32_t size = length.Or(available);
  if (size < 0 || size > available) return nullptr;
  Close();
  // Without our memory there is no stream: over a null handle the system would make a stream
  // with memory of its own, which neither it (told not to free) nor Close would ever free.
  hGlobal_ = Declared::GlobalAlloc(kMovableZeroed, static_cast<SIZE_T>(size));
  if (!hGlobal_) return nullptr;
  if (Declared::CreateStreamOnHGlobal(hGlobal_, FALSE, &comStream_) != S_OK || !comStream_) {
    comStream_ = nullptr;
    Close();
    return nullptr;
  }
  lockedPointer_ = Declared::GlobalLock(hGlobal_);
  if (size > 0 && lockedPointer_) {
    (Declared::RtlMoveMemory)(lockedPointer_, ByteBlockData(bytes), static_cast<SIZE_T>(size));
  }
  Declared::GlobalUnlock(hGlobal_);
  return comStream_;
}

void MemoryStream::Close() {
  if (!comStream_ && !hGlobal_) return;
  if (comStream_) comStream_->Release();
  if (hGlobal_) Declared::GlobalFree(hGlobal_);
  hGlobal_ = nullptr;
  comStream_ = nullptr;
}

SIZE_T MemoryStream::GetSize() const {
  if (!comStream_) return 0;
  // The stream's own size: the memory block under it may be larger than what was written.
  STATSTG status{};
  if (comStream_->Stat(&status, STATFLAG_NONAME) != S_OK) return 0;
  return static_cast<SIZE_T>(status.cbSize.QuadPart);
}

bool MemoryStream::AttachStream(IStream* stream) {
  if (!stream) return false;
  // The stream held already: closing first would free it before it is read.
  if (stream == comStream_) return hGlobal_ != nullptr;
  Close();
  Declared::GetHGlobalFromStream(stream, &hGlobal_);
  comStream_ = stream;
  return hGlobal_ != nullptr;
}

OwnedBytes MemoryStream::ToBytes() const {
  if (!hGlobal_) return OwnedBytes();
  const SIZE_T size = std::min(GetSize(), Declared::GlobalSize(hGlobal_));
  const auto* data = static_cast<const unsigned char*>(Declared::GlobalLock(hGlobal_));
  OwnedBytes copy = data ? NewByteBlock({data, size}) : OwnedBytes();
  Declared::GlobalUnlock(hGlobal_);
  return copy;
}
