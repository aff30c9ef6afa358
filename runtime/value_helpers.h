// Building, joining and taking apart runtime values, by the ownership rules of the value model:
// every result is a new heap value owned by the caller, and empty results are null.
#pragma once

#include <initializer_list>
#include <span>
#include <string_view>

#include "runtime/owned_value.h"
#include "runtime/value.h"

// A new byte block of `length` bytes (header filled in, contents undefined), owned by the caller.
// A length no block can have (negative, or beyond an int32) is an allocation failure.
ByteBlockHeader* AllocateByteBlock(int64_t length);
// A new text of the bytes (null for none).
OwnedText NewText(std::string_view bytes);
// A new byte block of the bytes (null for none).
OwnedBytes NewByteBlock(std::span<const unsigned char> bytes);

// Always a heap text, even when every part is empty (then a lone NUL).
OwnedText JoinTexts(std::initializer_list<TextValue> texts);
// Null when the joined length is 0.
OwnedBytes JoinByteBlocks(std::initializer_list<ByteBlock> blocks);

// Before the first change of an array that may still be a constant: copies the constant to the
// heap and points the variable at the copy. Elements that are texts or blocks keep pointing at
// their constants.
void CopyConstantArray(int32_t elementSize, ArrayHeader** variable);

// The bytes that stand for a value: scalars by their payload size, a text with its NUL, a byte
// block by its data. Scalar bytes point into the cell itself.
std::span<const unsigned char> ValueBytes(const ValueCell& cell);

struct DecodedValue {
  ValueCell value;   // a text or block payload is a new heap value owned by the caller
  int32_t consumed;  // bytes taken from the input
};

// A value of the type built from n raw bytes; missing bytes read as zero.
DecodedValue ValueFromBytes(uint32_t type, const unsigned char* bytes, int32_t n);

// Days since 1899-12-30 clamped to 0100-01-01 .. 9999-12-31; NaN counts as day 0.
double ClampDateTime(double days);
