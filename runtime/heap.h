// The runtime's memory entries. Every dynamic value lives on the process heap; pointers into the
// constant range are accepted everywhere and never freed.
#pragma once

#include <cstdint>

// Never returns null: a failed allocation is a runtime error that ends the process. No value
// needs more than an int32 counts, so a size outside 0 .. INT32_MAX fails too. Sizes are taken
// as 64-bit numbers, so that a size worked out from int32 lengths reaches the report as the
// size asked for instead of wrapping round.
void* RuntimeAlloc(int64_t size);
// Null and constants: nothing.
void RuntimeFree(const void* p);
// Null: as RuntimeAlloc. A constant: a new block with as much of the constant as fits, the
// constant itself untouched.
void* RuntimeRealloc(const void* p, int64_t size);
// The runtime error of a failed allocation of `size` bytes. Does not return.
[[noreturn]] void ReportAllocationFailure(int64_t size);
