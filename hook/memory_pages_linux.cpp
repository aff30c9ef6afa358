// Run-time code pages on Linux, where the hook's x86 code is tested as a static i386 program
// under qemu: mmap, mprotect and munmap.
#include "hook/memory_pages.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

namespace memory_pages {

size_t PageSize() { return static_cast<size_t>(sysconf(_SC_PAGESIZE)); }

// No search near an address: on 32-bit x86 every address is within reach, and on x86-64 the
// caller's distance check refuses pages that lie too far.
void* Map(size_t size, const void*, uint64_t) {
  void* pages = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return pages == MAP_FAILED ? nullptr : pages;
}

bool MakeExecutable(void* pages, size_t size) {
  if (mprotect(pages, size, PROT_READ | PROT_EXEC) != 0) return false;
  __builtin___clear_cache(static_cast<char*>(pages), static_cast<char*>(pages) + size);
  return true;
}

void Unmap(void* pages, size_t size) { munmap(pages, size); }

// The patched code may share its page with the code doing the write, so the page stays
// executable while it is writable, as WriteProcessMemory does on Windows. Program text is
// read-execute before and after.
bool WriteCode(void* code, const void* bytes, size_t count) {
  const uintptr_t page = PageSize();
  const uintptr_t first = reinterpret_cast<uintptr_t>(code) / page * page;
  const size_t length = reinterpret_cast<uintptr_t>(code) + count - first;
  void* pages = reinterpret_cast<void*>(first);
  if (mprotect(pages, length, PROT_READ | PROT_WRITE | PROT_EXEC) != 0) return false;
  std::memcpy(code, bytes, count);
  const bool restored = mprotect(pages, length, PROT_READ | PROT_EXEC) == 0;
  __builtin___clear_cache(static_cast<char*>(code), static_cast<char*>(code) + count);
  return restored;
}

// A static program loads no libraries by name: nothing is found.
void* FindExport(const char*, const char*) { return nullptr; }

}  // namespace memory_pages
