// What a runtime value is: the type codes that tag every value, the cell in which values travel,
// and the memory forms of texts, byte blocks and arrays.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Type code layout (32 bits):
//
//   0x00000000               no value: an omitted argument, or a command that gave none
//   0x80000000..0xBFFFFFFF   basic types; the numeric ones end in 0x01 and carry their size
//                            rank in the second byte (BYTE 0x01xx .. DOUBLE 0x06xx)
//   0x00LLTTTT (< 0x40000000) library types: LL = runtime library number (1 = core),
//                            TTTT = 1-based type number inside that library
//   anything else            record types
//
//   bit 29 (TC_BYREF) on any code: the payload is a pointer to the value (an array, or the
//   caller's variable), and the code with the bit cleared is the element or variable type.
enum TypeCode : uint32_t {
  TC_NONE = 0,
  TC_BOOL = 0x80000002,
  TC_DATETIME = 0x80000003,
  TC_TEXT = 0x80000004,
  TC_BYTES = 0x80000005,
  TC_SUBPTR = 0x80000006,
  TC_BYTE = 0x80000101,
  TC_SHORT = 0x80000201,
  TC_INT = 0x80000301,
  TC_INT64 = 0x80000401,
  TC_FLOAT = 0x80000501,
  TC_DOUBLE = 0x80000601,
  TC_WINDOW = 0x00010001,
  TC_BYREF = 0x20000000,
};

enum class TypeClass : int { None = 0, Basic = 1, Record = 2, Library = 3 };

constexpr TypeClass TypeClassOf(uint32_t code) {
  if (code == 0) return TypeClass::None;
  if (code >= 0x80000000u && code <= 0xBFFFFFFFu) return TypeClass::Basic;
  if (code <= 0x3FFFFFFFu) return TypeClass::Library;
  return TypeClass::Record;
}

constexpr bool IsByRef(uint32_t code) { return (code & TC_BYREF) != 0; }
constexpr uint32_t ElementTypeOf(uint32_t code) { return code & ~uint32_t{TC_BYREF}; }
constexpr uint32_t LibraryOfType(uint32_t code) { return code >> 16; }
constexpr uint32_t TypeNumberInLibrary(uint32_t code) { return code & 0xFFFFu; }

constexpr bool IsNumericType(uint32_t code) {
  return code >= TC_BYTE && code <= TC_DOUBLE && (code & 0xFFu) == 0x01u && (code & 0xFF00u) != 0;
}

// Size in bytes of a numeric element: 1, 2, 4, 8, 4, 8 for BYTE .. DOUBLE; 0 for any other code.
constexpr int32_t NumericElementSize(uint32_t code) {
  constexpr int32_t sizes[] = {1, 2, 4, 8, 4, 8};
  return IsNumericType(code) ? sizes[((code >> 8) & 0xFFu) - 1] : 0;
}

// One argument or result: two value words (low first) and the type code. A pointer payload
// uses both words, so that 64-bit pointers fit; on 32-bit targets the high word is 0.
struct ValueCell {
  uint32_t low = 0;
  uint32_t high = 0;
  uint32_t type = TC_NONE;
};
static_assert(sizeof(ValueCell) == 12, "a value cell is three 32-bit words");

constexpr uint64_t CellBits(const ValueCell& cell) { return cell.low | (uint64_t{cell.high} << 32); }

constexpr ValueCell MakeCell(uint32_t type, uint64_t bits) {
  return ValueCell{static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32), type};
}

// Tag checks of the typed accessors; they vanish in release builds.
#define VALUE_CHECK_TAG(cell, condition) assert((condition) && "value cell holds another type")

inline ValueCell IntCell(int32_t v) { return MakeCell(TC_INT, static_cast<uint32_t>(v)); }
inline ValueCell BoolCell(bool v) { return MakeCell(TC_BOOL, v ? 1u : 0u); }
inline ValueCell Int64Cell(int64_t v) { return MakeCell(TC_INT64, static_cast<uint64_t>(v)); }
inline ValueCell DoubleCell(double v, uint32_t type = TC_DOUBLE) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return MakeCell(type, bits);
}
inline ValueCell FloatCell(float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return MakeCell(TC_FLOAT, bits);
}
inline ValueCell PointerCell(uint32_t type, const void* p) {
  return MakeCell(type, static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p)));
}

inline int32_t CellInt(const ValueCell& cell) {
  VALUE_CHECK_TAG(cell, cell.type == TC_INT || cell.type == TC_BOOL || cell.type == TC_SUBPTR);
  return static_cast<int32_t>(cell.low);
}
inline bool CellBool(const ValueCell& cell) {
  VALUE_CHECK_TAG(cell, cell.type == TC_BOOL);
  return cell.low != 0;
}
inline int64_t CellInt64(const ValueCell& cell) {
  VALUE_CHECK_TAG(cell, cell.type == TC_INT64);
  return static_cast<int64_t>(CellBits(cell));
}
inline double CellDouble(const ValueCell& cell) {
  VALUE_CHECK_TAG(cell, cell.type == TC_DOUBLE || cell.type == TC_DATETIME);
  const uint64_t bits = CellBits(cell);
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}
inline float CellFloat(const ValueCell& cell) {
  VALUE_CHECK_TAG(cell, cell.type == TC_FLOAT);
  float v;
  std::memcpy(&v, &cell.low, sizeof v);
  return v;
}
inline void* CellPointer(const ValueCell& cell) {
  return reinterpret_cast<void*>(static_cast<uintptr_t>(CellBits(cell)));
}

// A text: NUL-terminated GBK bytes; the null pointer is the empty text. Lengths count bytes.
using TextValue = const char*;

inline int32_t TextLengthOf(TextValue text) {
  return text ? static_cast<int32_t>(std::strlen(text)) : 0;
}

// A byte block: int32 1 (it is a one-dimensional array), int32 length, then the bytes.
// The null pointer is the empty block; the runtime never allocates a block of length 0.
struct ByteBlockHeader {
  int32_t dimensionCount;
  int32_t length;
};
static_assert(sizeof(ByteBlockHeader) == 8);
using ByteBlock = const ByteBlockHeader*;

inline int32_t ByteBlockLengthOf(ByteBlock block) { return block ? block->length : 0; }
inline const unsigned char* ByteBlockData(ByteBlock block) {
  return reinterpret_cast<const unsigned char*>(block + 1);
}

// An array: int32 dimension count d, d int32 sizes, then the elements packed (texts and byte
// blocks as pointers that the array owns). Indices are 1-based.
struct ArrayHeader {
  int32_t dimensionCount;
};

inline const int32_t* ArrayDimensionSizes(const ArrayHeader* array) {
  return &array->dimensionCount + 1;
}
int32_t ArrayElementCount(const ArrayHeader* array);
inline void* ArrayElements(ArrayHeader* array) {
  return const_cast<int32_t*>(ArrayDimensionSizes(array) + array->dimensionCount);
}
