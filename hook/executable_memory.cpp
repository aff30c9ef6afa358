// ExecutableMemory: page-rounded blocks, written while read-write, sealed read-execute.
#include "hook/executable_memory.h"

#include <cstring>
#include <utility>

#include "hook/memory_pages.h"

namespace {

uint64_t Distance(uintptr_t a, uintptr_t b) { return a > b ? a - b : b - a; }

// Every byte of [block, block + size) within kRel32Reach of anchor.
bool WithinReach(const void* block, size_t size, const void* anchor) {
  if (!anchor || sizeof(void*) == 4) return true;
  const uintptr_t first = reinterpret_cast<uintptr_t>(block);
  const uintptr_t centre = reinterpret_cast<uintptr_t>(anchor);
  return Distance(first, centre) <= kRel32Reach && Distance(first + size, centre) <= kRel32Reach;
}

}  // namespace

ExecutableMemory::~ExecutableMemory() { Release(); }

ExecutableMemory::ExecutableMemory(ExecutableMemory&& other) noexcept { *this = std::move(other); }

ExecutableMemory& ExecutableMemory::operator=(ExecutableMemory&& other) noexcept {
  if (this == &other) return *this;
  Release();
  sealed_ = other.sealed_;
  size_ = other.size_;
  mapped_ = other.mapped_;
  pages_ = static_cast<uint8_t*>(other.Leak());
  return *this;
}

CodeMemoryStatus ExecutableMemory::Allocate(size_t size, const void* anchor) {
  Release();
  if (size == 0) return CodeMemoryStatus::kEmptyRequest;
  const size_t page = memory_pages::PageSize();
  if (size > SIZE_MAX - page) return CodeMemoryStatus::kNoMemory;
  const size_t mapped = (size + page - 1) / page * page;
  void* pages = memory_pages::Map(mapped, anchor, kRel32Reach);
  if (!pages) return anchor ? CodeMemoryStatus::kNoMemoryNearTarget : CodeMemoryStatus::kNoMemory;
  if (!WithinReach(pages, mapped, anchor)) {
    memory_pages::Unmap(pages, mapped);
    return CodeMemoryStatus::kNoMemoryNearTarget;
  }
  pages_ = static_cast<uint8_t*>(pages);
  size_ = size;
  mapped_ = mapped;
  return CodeMemoryStatus::kOk;
}

CodeMemoryStatus ExecutableMemory::Write(size_t offset, const void* bytes, size_t count) {
  if (!pages_) return CodeMemoryStatus::kNoBlock;
  if (sealed_) return CodeMemoryStatus::kAlreadySealed;
  if (offset > size_ || count > size_ - offset || (count && !bytes)) return CodeMemoryStatus::kOutOfRange;
  if (count) std::memcpy(pages_ + offset, bytes, count);
  return CodeMemoryStatus::kOk;
}

CodeMemoryStatus ExecutableMemory::Seal() {
  if (!pages_) return CodeMemoryStatus::kNoBlock;
  if (sealed_) return CodeMemoryStatus::kAlreadySealed;
  if (!memory_pages::MakeExecutable(pages_, mapped_)) return CodeMemoryStatus::kProtectFailed;
  sealed_ = true;
  return CodeMemoryStatus::kOk;
}

void* ExecutableMemory::Leak() {
  void* pages = std::exchange(pages_, nullptr);
  size_ = 0;
  mapped_ = 0;
  sealed_ = false;
  return pages;
}

void ExecutableMemory::Release() {
  if (pages_) memory_pages::Unmap(pages_, mapped_);
  Leak();
}
