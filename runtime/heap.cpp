// RuntimeAlloc, RuntimeFree and RuntimeRealloc over the process heap.
#include "runtime/heap.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "runtime/constant_segment.h"
#include "runtime/runtime_error.h"

#if defined(_WIN32)
#include <windows.h>

namespace {
void* HeapAllocate(size_t size) { return HeapAlloc(GetProcessHeap(), 0, size); }
void* HeapResize(void* p, size_t size) { return HeapReAlloc(GetProcessHeap(), 0, p, size); }
void HeapRelease(void* p) { HeapFree(GetProcessHeap(), 0, p); }
}  // namespace
#else
#include <cstdlib>

namespace {
// The host build stands in the C library's heap for the process heap.
void* HeapAllocate(size_t size) { return std::malloc(size ? size : 1); }
void* HeapResize(void* p, size_t size) { return std::realloc(p, size ? size : 1); }
void HeapRelease(void* p) { std::free(p); }
}  // namespace
#endif

namespace {
bool Allocatable(int64_t size) { return size >= 0 && size <= INT32_MAX; }
}  // namespace

void ReportAllocationFailure(int64_t size) {
  char message[64];
  std::snprintf(message, sizeof message, "分配 %lld 字节内存失败!", static_cast<long long>(size));
  ReportRuntimeError(message, 0);
}

void* RuntimeAlloc(int64_t size) {
  if (!Allocatable(size)) ReportAllocationFailure(size);
  void* p = HeapAllocate(static_cast<size_t>(size));
  if (!p) ReportAllocationFailure(size);
  return p;
}

void RuntimeFree(const void* p) {
  if (!p || InConstantSegment(p)) return;
  HeapRelease(const_cast<void*>(p));
}

void* RuntimeRealloc(const void* p, int64_t size) {
  if (!p) return RuntimeAlloc(size);
  if (!Allocatable(size)) ReportAllocationFailure(size);
  if (InConstantSegment(p)) {
    const ConstantRange range = ConstantSegment();
    const auto available = static_cast<size_t>(range.start + range.length - static_cast<const unsigned char*>(p));
    void* copy = RuntimeAlloc(size);
    std::memcpy(copy, p, std::min(static_cast<size_t>(size), available));
    return copy;
  }
  void* resized = HeapResize(const_cast<void*>(p), static_cast<size_t>(size));
  if (!resized) ReportAllocationFailure(size);
  return resized;
}
