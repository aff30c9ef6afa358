// Bounds of the constant range and the two constant empty values.
#include "runtime/constant_segment.h"

RUNTIME_CONSTANT const ByteBlockHeader EmptyByteBlock = {1, 0};
RUNTIME_CONSTANT const char EmptyText[1] = {0};

#if defined(_WIN32)
// The markers bracket ".rdata$rtconst_m" because the linker sorts the groups by name.
__attribute__((section(".rdata$rtconst_a"), used)) static const unsigned char rangeStart[1] = {0};
__attribute__((section(".rdata$rtconst_z"), used)) static const unsigned char rangeEnd[1] = {0};

ConstantRange ConstantSegment() {
  const auto start = reinterpret_cast<uintptr_t>(rangeStart);
  return {rangeStart, static_cast<size_t>(reinterpret_cast<uintptr_t>(rangeEnd) - start)};
}
#else
extern "C" const unsigned char __start_rtconst[];
extern "C" const unsigned char __stop_rtconst[];

ConstantRange ConstantSegment() {
  const auto start = reinterpret_cast<uintptr_t>(__start_rtconst);
  return {__start_rtconst, static_cast<size_t>(reinterpret_cast<uintptr_t>(__stop_rtconst) - start)};
}
#endif
