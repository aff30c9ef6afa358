// The operating system's side of run-time code: pages, their protection, writes into the code of
// loaded modules, and exported functions. Windows in the program; Linux for the x86 tests.
#pragma once

#include <cstddef>
#include <cstdint>

namespace memory_pages {

// The unit in which pages are mapped.
size_t PageSize();
// Read-write pages of `size` bytes (a multiple of PageSize()), or null. With `anchor` on x86-64,
// the system is searched for free pages within `reach` of it first; the caller checks the
// distance of what comes back.
void* Map(size_t size, const void* anchor, uint64_t reach);
// Read-execute from now on, with the instruction cache flushed.
bool MakeExecutable(void* pages, size_t size);
void Unmap(void* pages, size_t size);
// Writes over code that may be running (the first bytes of a loaded function), leaving its
// protection as it was, and flushes the instruction cache.
bool WriteCode(void* code, const void* bytes, size_t count);
// The address of an exported function of a library, loading the library if needed; null when
// either is missing.
void* FindExport(const char* library, const char* name);

}  // namespace memory_pages
