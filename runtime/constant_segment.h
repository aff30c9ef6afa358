// The read-only range that holds the program's constants (literal texts, literal byte blocks,
// constant arrays). Pointers into it are passed as they are and never freed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/value.h"

// Places a constant in the range. The linker gathers every such object between two markers:
// on PE the ".rdata$" groups sort by name (start marker, constants, end marker); on ELF it
// supplies __start_/__stop_ symbols for a section whose name is a C identifier.
#if defined(_WIN32)
#define RUNTIME_CONSTANT __attribute__((section(".rdata$rtconst_m"), used))
#else
#define RUNTIME_CONSTANT __attribute__((section("rtconst"), used))
#endif

struct ConstantRange {
  const unsigned char* start;
  size_t length;
};

ConstantRange ConstantSegment();

inline bool InConstantSegment(const void* p) {
  const ConstantRange range = ConstantSegment();
  const auto address = reinterpret_cast<uintptr_t>(p);
  const auto start = reinterpret_cast<uintptr_t>(range.start);
  return address >= start && address - start < range.length;
}

// A byte block laid out in the constant range exactly as a heap block is: {1, length, bytes}.
template <size_t N>
struct ConstantByteBlock {
  ByteBlockHeader header;
  char bytes[N];
  constexpr ByteBlock get() const { return &header; }
};

// Builds a constant block from a string literal, without its terminating NUL.
template <size_t L>
consteval ConstantByteBlock<L - 1> MakeConstantByteBlock(const char (&text)[L]) {
  static_assert(L > 1, "a constant byte block is never empty; use EmptyByteBlock");
  ConstantByteBlock<L - 1> block{{1, static_cast<int32_t>(L - 1)}, {}};
  for (size_t i = 0; i + 1 < L; ++i) block.bytes[i] = text[i];
  return block;
}

// What a variable holding null is passed as, so that commands may always dereference.
extern const ByteBlockHeader EmptyByteBlock;
extern const char EmptyText[1];
