// Run-time code pages on Windows. VirtualAlloc, VirtualQuery, VirtualProtect, VirtualFree,
// FlushInstructionCache and GetSystemInfo are not in the declared-function table and are called
// here directly, and nowhere else; the rest goes through the table.
#include "hook/memory_pages.h"

#include <windows.h>

#include <algorithm>

#include "runtime/imports/declared_functions.h"

namespace memory_pages {
namespace {

uintptr_t AlignDown(uintptr_t value, uintptr_t unit) { return value / unit * unit; }
uintptr_t AlignUp(uintptr_t value, uintptr_t unit) { return AlignDown(value + unit - 1, unit); }

void* TryMapAt(uintptr_t address, size_t size) {
  return VirtualAlloc(reinterpret_cast<void*>(address), size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

// Walks the address space from `anchor` down, then up, one region at a time (VirtualQuery), and
// maps the first free stretch of whole allocation units that lies within `reach`. Under Wine the
// 64-bit executable and gdi32 lie about 6 GB apart, so "anywhere" would not do.
void* MapNear(size_t size, uintptr_t anchor, uint64_t reach) {
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  const uintptr_t unit = system.dwAllocationGranularity;
  const uintptr_t lowest = std::max(reinterpret_cast<uintptr_t>(system.lpMinimumApplicationAddress),
                                    anchor > reach ? anchor - static_cast<uintptr_t>(reach) : 0);
  const uintptr_t highest = std::min(reinterpret_cast<uintptr_t>(system.lpMaximumApplicationAddress),
                                     anchor + static_cast<uintptr_t>(reach));
  MEMORY_BASIC_INFORMATION region{};

  for (uintptr_t address = anchor; address >= lowest;) {
    if (!VirtualQuery(reinterpret_cast<void*>(address), &region, sizeof region)) break;
    const uintptr_t base = reinterpret_cast<uintptr_t>(region.BaseAddress);
    const uintptr_t end = std::min<uintptr_t>(base + region.RegionSize, highest);
    if (region.State == MEM_FREE && end >= size) {
      const uintptr_t start = AlignDown(end - size, unit);
      if (start >= base && start >= lowest)
        if (void* pages = TryMapAt(start, size)) return pages;
    }
    if (base <= lowest) break;
    address = base - 1;
  }
  for (uintptr_t address = anchor; address < highest;) {
    if (!VirtualQuery(reinterpret_cast<void*>(address), &region, sizeof region)) break;
    const uintptr_t base = reinterpret_cast<uintptr_t>(region.BaseAddress);
    const uintptr_t end = static_cast<uintptr_t>(base + region.RegionSize);
    if (region.State == MEM_FREE) {
      const uintptr_t start = AlignUp(std::max(base, lowest), unit);
      if (start + size <= std::min(end, highest))
        if (void* pages = TryMapAt(start, size)) return pages;
    }
    address = end;
  }
  return nullptr;
}

}  // namespace

size_t PageSize() {
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  return system.dwPageSize;
}

void* Map(size_t size, const void* anchor, uint64_t reach) {
  if (anchor && sizeof(void*) == 8) return MapNear(size, reinterpret_cast<uintptr_t>(anchor), reach);
  return TryMapAt(0, size);
}

bool MakeExecutable(void* pages, size_t size) {
  DWORD previous = 0;
  if (!VirtualProtect(pages, size, PAGE_EXECUTE_READ, &previous)) return false;
  FlushInstructionCache(Declared::GetCurrentProcess_2(), pages, size);
  return true;
}

void Unmap(void* pages, size_t) { VirtualFree(pages, 0, MEM_RELEASE); }

// WriteProcessMemory makes read-only code pages writable for the write and restores them.
bool WriteCode(void* code, const void* bytes, size_t count) {
  const HANDLE self = Declared::GetCurrentProcess_2();
  SIZE_T written = 0;
  if (!Declared::WriteProcessMemory_2(self, code, bytes, count, &written) || written != count) return false;
  FlushInstructionCache(self, code, count);
  return true;
}

void* FindExport(const char* library, const char* name) {
  const HMODULE module = Declared::LoadLibraryA(library);
  return module ? reinterpret_cast<void*>(Declared::GetProcAddress(module, name)) : nullptr;
}

}  // namespace memory_pages
