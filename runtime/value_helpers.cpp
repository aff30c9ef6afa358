// Building, joining and taking apart runtime values.
#include "runtime/value_helpers.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "runtime/constant_segment.h"
#include "runtime/heap.h"

namespace {

constexpr double kFirstDay = -657434.0;   // 0100-01-01
constexpr double kLastDay = 2958465.0;    // 9999-12-31

// Scalar payload sizes; 0 for types that are not scalars.
int32_t ScalarSize(uint32_t type) {
  switch (type) {
    case TC_BOOL:
    case TC_SUBPTR:
    case TC_INT:
    case TC_FLOAT:
      return 4;
    case TC_DATETIME:
    case TC_INT64:
    case TC_DOUBLE:
      return 8;
    case TC_BYTE:
      return 1;
    case TC_SHORT:
      return 2;
    default:
      return 0;
  }
}

unsigned char* BlockBytes(ByteBlockHeader* block) { return reinterpret_cast<unsigned char*>(block + 1); }

}  // namespace

int32_t ArrayElementCount(const ArrayHeader* array) {
  if (!array || array->dimensionCount <= 0) return 0;
  int64_t count = 1;
  for (int32_t i = 0; i < array->dimensionCount; ++i) {
    const int32_t size = ArrayDimensionSizes(array)[i];
    if (size <= 0) return 0;
    count *= size;
    if (count > INT32_MAX) return INT32_MAX;
  }
  return static_cast<int32_t>(count);
}

ByteBlockHeader* AllocateByteBlock(int64_t length) {
  const int64_t size = int64_t{sizeof(ByteBlockHeader)} + length;
  if (length < 0 || length > INT32_MAX) ReportAllocationFailure(size);
  auto* block = static_cast<ByteBlockHeader*>(RuntimeAlloc(size));
  block->dimensionCount = 1;
  block->length = static_cast<int32_t>(length);
  return block;
}

OwnedText NewText(std::string_view bytes) {
  if (bytes.empty()) return OwnedText();
  auto* text = static_cast<char*>(RuntimeAlloc(static_cast<int64_t>(bytes.size()) + 1));
  std::memcpy(text, bytes.data(), bytes.size());
  text[bytes.size()] = '\0';
  return OwnedText(text);
}

OwnedBytes NewByteBlock(std::span<const unsigned char> bytes) {
  if (bytes.empty()) return OwnedBytes();
  ByteBlockHeader* block = AllocateByteBlock(static_cast<int64_t>(bytes.size()));
  std::memcpy(BlockBytes(block), bytes.data(), bytes.size());
  return OwnedBytes(block);
}

OwnedText JoinTexts(std::initializer_list<TextValue> texts) {
  int64_t total = 0;
  for (TextValue t : texts) total += TextLengthOf(t);
  auto* joined = static_cast<char*>(RuntimeAlloc(total + 1));
  char* cursor = joined;
  for (TextValue t : texts) {
    const int32_t length = TextLengthOf(t);
    if (length) std::memcpy(cursor, t, static_cast<size_t>(length));
    cursor += length;
  }
  *cursor = '\0';
  return OwnedText(joined);
}

OwnedBytes JoinByteBlocks(std::initializer_list<ByteBlock> blocks) {
  // A block whose header claims a negative length holds nothing: it adds nothing, as it copies
  // nothing.
  auto dataLength = [](ByteBlock b) { return std::max(ByteBlockLengthOf(b), 0); };
  int64_t total = 0;
  for (ByteBlock b : blocks) total += dataLength(b);
  if (total == 0) return OwnedBytes();
  ByteBlockHeader* joined = AllocateByteBlock(total);
  unsigned char* cursor = BlockBytes(joined);
  for (ByteBlock b : blocks) {
    const int32_t length = dataLength(b);
    if (length > 0) std::memcpy(cursor, ByteBlockData(b), static_cast<size_t>(length));
    cursor += length;
  }
  return OwnedBytes(joined);
}

void CopyConstantArray(int32_t elementSize, ArrayHeader** variable) {
  if (!variable || !*variable || !InConstantSegment(*variable)) return;
  const ArrayHeader* constant = *variable;
  const int64_t size =
      4 + int64_t{4} * constant->dimensionCount + int64_t{elementSize} * ArrayElementCount(constant);
  auto* copy = static_cast<ArrayHeader*>(RuntimeAlloc(size));
  std::memcpy(copy, constant, static_cast<size_t>(size));
  *variable = copy;
}

std::span<const unsigned char> ValueBytes(const ValueCell& cell) {
  if (cell.type == TC_TEXT) {
    const auto* text = static_cast<const unsigned char*>(CellPointer(cell));
    if (!text) return {};
    return {text, static_cast<size_t>(TextLengthOf(reinterpret_cast<TextValue>(text)) + 1)};
  }
  if (cell.type == TC_BYTES) {
    auto block = static_cast<ByteBlock>(CellPointer(cell));
    if (!block || block->length <= 0) return {};
    return {ByteBlockData(block), static_cast<size_t>(block->length)};
  }
  const int32_t size = ScalarSize(cell.type);
  return {reinterpret_cast<const unsigned char*>(&cell.low), static_cast<size_t>(size)};
}

double ClampDateTime(double days) {
  if (std::isnan(days)) return 0.0;
  if (days < kFirstDay) return kFirstDay;
  if (days > kLastDay) return kLastDay;
  return days;
}

DecodedValue ValueFromBytes(uint32_t type, const unsigned char* bytes, int32_t n) {
  if (n < 0 || !bytes) n = 0;
  if (type == TC_TEXT) {
    if (n == 0) return {MakeCell(TC_TEXT, 0), 0};
    const auto* nul = static_cast<const unsigned char*>(std::memchr(bytes, 0, static_cast<size_t>(n)));
    const int32_t length = nul ? static_cast<int32_t>(nul - bytes) : n;
    OwnedText text = NewText(std::string_view(reinterpret_cast<const char*>(bytes), static_cast<size_t>(length)));
    return {PointerCell(TC_TEXT, text.release()), nul ? length + 1 : n};
  }
  if (type == TC_BYTES) {
    OwnedBytes block = NewByteBlock({bytes, static_cast<size_t>(n)});
    return {PointerCell(TC_BYTES, block.release()), n};
  }
  const int32_t size = ScalarSize(type);
  if (size == 0) return {ValueCell{}, 0};
  // Missing bytes read as zero, so a short input never reads past its end.
  unsigned char padded[8] = {};
  std::memcpy(padded, bytes, static_cast<size_t>(n < size ? n : size));
  uint64_t bits = 0;
  std::memcpy(&bits, padded, static_cast<size_t>(size));
  if (type == TC_BOOL) return {BoolCell((bits & 0xFFFFFFFFu) != 0), size};
  if (type == TC_DATETIME) {
    double days;
    std::memcpy(&days, padded, sizeof days);
    return {DoubleCell(ClampDateTime(days), TC_DATETIME), size};
  }
  return {MakeCell(type, bits), size};
}
