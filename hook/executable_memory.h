// ExecutableMemory: the program's one owner of memory that runs code it makes at run time
// (trampolines, thunks). A block is read-write while the code is written into it and
// read-execute once sealed: it is never writable and executable at once.
#pragma once

#include <cstddef>
#include <cstdint>

enum class CodeMemoryStatus : uint8_t {
  kOk,
  kEmptyRequest,        // Allocate of 0 bytes
  kNoMemory,            // the system gave no pages
  kNoMemoryNearTarget,  // no free pages within rel32 reach of the given address (x86-64)
  kNoBlock,             // Write or Seal without a block
  kOutOfRange,          // Write past the end of the block
  kAlreadySealed,       // Write or Seal after Seal
  kProtectFailed,       // the pages could not be made read-execute
};

// Displacements of rel32 jumps and calls reach this far either way; a block allocated near an
// address lies wholly within it, with room left for the jump's own length.
inline constexpr uint64_t kRel32Reach = 0x7FFF0000;

class ExecutableMemory {
 public:
  ExecutableMemory() = default;
  ~ExecutableMemory();
  ExecutableMemory(ExecutableMemory&& other) noexcept;
  ExecutableMemory& operator=(ExecutableMemory&& other) noexcept;
  ExecutableMemory(const ExecutableMemory&) = delete;
  ExecutableMemory& operator=(const ExecutableMemory&) = delete;

  // Fresh read-write pages for at least `size` bytes, replacing any block held before. With
  // `anchor`, every byte of the block lies within kRel32Reach of it (on x86 every address does).
  CodeMemoryStatus Allocate(size_t size, const void* anchor = nullptr);
  // Copies code into the block before it is sealed.
  CodeMemoryStatus Write(size_t offset, const void* bytes, size_t count);
  // Makes the block read-execute and flushes the instruction cache; no write after this.
  CodeMemoryStatus Seal();
  // Gives up ownership: the block stays mapped until the process ends. For code that may still
  // be running, or be called, after its maker is gone (trampolines).
  void* Leak();

  uint8_t* data() const { return pages_; }
  size_t size() const { return size_; }
  bool sealed() const { return sealed_; }

 private:
  void Release();

  uint8_t* pages_ = nullptr;
  size_t size_ = 0;  // as requested; the pages cover at least this much
  size_t mapped_ = 0;
  bool sealed_ = false;
};
