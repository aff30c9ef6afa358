// The runtime's memory entries. Every dynamic value lives on the process heap; pointers into the
// constant range are accepted everywhere and never freed.
#pragma once

#include <cstdint>

// Never returns null: a failed allocation is a runtime error that ends the process.
void* RuntimeAlloc(int32_t size);
// Null and constants: nothing.
void RuntimeFree(const void* p);
// Null: as RuntimeAlloc. A constant: a new block with as much of the constant as fits, the
// constant itself untouched.
void* RuntimeRealloc(const void* p, int32_t size);
