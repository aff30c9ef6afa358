// Commands on texts and byte blocks: lengths, the environment, values to text and to bytes,
// made-up texts and blocks, reading values out of a block, and cutting blocks.
#include <cstring>
#include <iterator>
#include <span>
#include <string_view>

#include "runtime/commands/command_forms.h"
#include "runtime/constant_segment.h"
#include "runtime/heap.h"
#include "runtime/runtime_error.h"
#include "runtime/value_helpers.h"
#include "runtime/value_text.h"

#if defined(_WIN32)
#include <stdlib.h>
#define PROCESS_ENVIRONMENT _environ
#else
extern char** environ;
#define PROCESS_ENVIRONMENT environ
#endif

namespace {

// GetDataFromBytes's type numbers 1 .. 10, in order.
constexpr uint32_t dataTypes[] = {TC_BYTE,   TC_SHORT, TC_INT,      TC_INT64,  TC_FLOAT,
                                  TC_DOUBLE, TC_BOOL,  TC_DATETIME, TC_SUBPTR, TC_TEXT};

ValueCell TextCell(OwnedText text) { return PointerCell(TC_TEXT, text.release()); }
ValueCell BlockCell(OwnedBytes block) { return PointerCell(TC_BYTES, block.release()); }

std::span<const unsigned char> BlockBytes(ByteBlock block) {
  const int32_t length = ByteBlockLengthOf(block);
  if (length <= 0) return {};
  return {ByteBlockData(block), static_cast<size_t>(length)};
}

// The element data of an array of a numeric type: element size x the first dimension's size.
// Any other value has none.
std::span<const unsigned char> NumericArrayBytes(const ValueCell& cell) {
  const int32_t elementSize = NumericElementSize(ElementTypeOf(cell.type));
  auto* array = static_cast<ArrayHeader*>(CellPointer(cell));
  if (!IsByRef(cell.type) || elementSize == 0 || !array || array->dimensionCount < 1) return {};
  const int32_t firstSize = ArrayDimensionSizes(array)[0];
  if (firstSize <= 0) return {};
  return {static_cast<const unsigned char*>(ArrayElements(array)), size_t{static_cast<uint32_t>(firstSize)} * size_t(elementSize)};
}

OwnedText TextUpToNul(std::span<const unsigned char> bytes) {
  if (bytes.empty()) return OwnedText();
  const auto* nul = static_cast<const unsigned char*>(std::memchr(bytes.data(), 0, bytes.size()));
  const size_t length = nul ? static_cast<size_t>(nul - bytes.data()) : bytes.size();
  return NewText(std::string_view(reinterpret_cast<const char*>(bytes.data()), length));
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The part of a block from offset on, count bytes, both already within the block.
OwnedBytes Slice(ByteBlock block, int64_t offset, int64_t count) {
  const std::span<const unsigned char> bytes = BlockBytes(block);
  return NewByteBlock(bytes.subspan(static_cast<size_t>(offset), static_cast<size_t>(count)));
}

// Length n of a made-up text or block, or nothing when n asks for none. A length that an int32
// allocation cannot hold together with its header fails in the allocation, which names the size.
std::optional<int32_t> MadeUpLength(const ValueCell& cell) {
  const std::optional<int32_t> n = IntArgument(cell);
  if (!n || *n < 1) return std::nullopt;
  return n;
}

}  // namespace

namespace CommandForms {

void TextLength(ValueCell* result, int32_t count, const ValueCell* cells) {
  *result = IntCell(TextLengthOf(TextArgument(Arguments(count, cells)[0]).value_or(nullptr)));
}

void ByteBlockLength(ValueCell* result, int32_t count, const ValueCell* cells) {
  *result = IntCell(ByteBlockLengthOf(BlockArgument(Arguments(count, cells)[0]).value_or(nullptr)));
}

// The process environment's value of the name, its letters matched without regard to case.
void ReadEnvironment(ValueCell* result, int32_t count, const ValueCell* cells) {
  *result = PointerCell(TC_TEXT, nullptr);
  const std::string_view name = TextArgument(Arguments(count, cells)[0]).value_or("");
  if (name.empty() || !PROCESS_ENVIRONMENT) return;
  for (char** entry = PROCESS_ENVIRONMENT; *entry; ++entry) {
    const std::string_view line = *entry;
    if (line.size() > name.size() && line[name.size()] == '=' &&
        SameNameIgnoringCase(line.substr(0, name.size()), name)) {
      *result = TextCell(NewText(line.substr(name.size() + 1)));
      return;
    }
  }
}

// A block or a numeric array: its bytes up to the first NUL. Numbers, booleans, date-times and
// texts: their text form. Anything else: the empty text.
void ToText(ValueCell* result, int32_t count, const ValueCell* cells) {
  const ValueCell& value = Arguments(count, cells)[0];
  if (IsByRef(value.type)) {
    *result = TextCell(TextUpToNul(NumericArrayBytes(value)));
  } else if (value.type == TC_BYTES) {
    *result = TextCell(TextUpToNul(BlockBytes(static_cast<ByteBlock>(CellPointer(value)))));
  } else {
    *result = TextCell(FormatValueAsText(value));
  }
}

// A numeric array: its element data. A text: its bytes without the NUL. Another basic value: the
// bytes that stand for it. Anything else, and a result of no bytes: the empty block.
void ToByteBlock(ValueCell* result, int32_t count, const ValueCell* cells) {
  const ValueCell& value = Arguments(count, cells)[0];
  *result = PointerCell(TC_BYTES, nullptr);
  if (IsByRef(value.type)) {
    *result = BlockCell(NewByteBlock(NumericArrayBytes(value)));
  } else if (value.type == TC_TEXT) {
    const TextValue text = *TextArgument(value);
    *result = BlockCell(NewByteBlock({reinterpret_cast<const unsigned char*>(text), std::strlen(text)}));
  } else if (TypeClassOf(value.type) == TypeClass::Basic) {
    *result = BlockCell(NewByteBlock(ValueBytes(value)));
  }
}

void Spaces(ValueCell* result, int32_t count, const ValueCell* cells) {
  *result = PointerCell(TC_TEXT, nullptr);
  const std::optional<int32_t> n = MadeUpLength(Arguments(count, cells)[0]);
  if (!n) return;
  auto* text = static_cast<char*>(RuntimeAlloc(int64_t{*n} + 1));
  std::memset(text, ' ', static_cast<size_t>(*n));
  text[*n] = '\0';
  *result = PointerCell(TC_TEXT, text);
}

void ZeroBytes(ValueCell* result, int32_t count, const ValueCell* cells) {
  *result = PointerCell(TC_BYTES, nullptr);
  const std::optional<int32_t> n = MadeUpLength(Arguments(count, cells)[0]);
  if (!n) return;
  ByteBlockHeader* block = AllocateByteBlock(*n);
  std::memset(block + 1, 0, static_cast<size_t>(*n));
  *result = PointerCell(TC_BYTES, block);
}

// GetDataFromBytes(block, type number, [position]): the value of that type at the 1-based
// position (1 when omitted). Bytes beyond the block read as zero. A position passed by
// reference moves past what was read, or becomes -1 once the end of the block is reached.
void GetDataFromBytes(ValueCell* result, int32_t count, const ValueCell* cells) {
  const Arguments arguments(count, cells);
  const int32_t typeNumber = IntArgument(arguments[1]).value_or(0);
  if (typeNumber < 1 || typeNumber > static_cast<int32_t>(std::size(dataTypes))) {
    ReportRuntimeError("“欲取出数据的类型”参数值无效", 0);
  }
  const uint32_t type = dataTypes[typeNumber - 1];
  *result = MakeCell(type, 0);

  const std::span<const unsigned char> bytes = BlockBytes(BlockArgument(arguments[0]).value_or(nullptr));
  const ValueCell& where = arguments[2];
  const bool byReference = where.type == (TC_BYREF | TC_INT);
  auto* variable = byReference ? static_cast<int32_t*>(CellPointer(where)) : nullptr;
  const int64_t position = byReference ? (variable ? *variable : 1) : IntArgument(where).value_or(1);

  const int64_t offset = position - 1;
  const auto length = static_cast<int64_t>(bytes.size());
  const bool inside = offset >= 0 && offset < length;
  static constexpr unsigned char nothing = 0;
  const DecodedValue decoded = ValueFromBytes(type, inside ? bytes.data() + offset : &nothing,
                                              inside ? static_cast<int32_t>(length - offset) : 0);
  *result = decoded.value;
  if (!variable) return;
  const int64_t next = offset + decoded.consumed;
  *variable = next >= length ? -1 : static_cast<int32_t>(next + 1);
}

void LeftBytes(ValueCell* result, int32_t count, const ValueCell* cells) {
  *result = PointerCell(TC_BYTES, nullptr);
  const Arguments arguments(count, cells);
  const ByteBlock block = BlockArgument(arguments[0]).value_or(nullptr);
  const std::optional<int32_t> n = IntArgument(arguments[1]);
  if (!n || *n <= 0) return;
  *result = BlockCell(Slice(block, 0, std::min(*n, ByteBlockLengthOf(block))));
}

void RightBytes(ValueCell* result, int32_t count, const ValueCell* cells) {
  *result = PointerCell(TC_BYTES, nullptr);
  const Arguments arguments(count, cells);
  const ByteBlock block = BlockArgument(arguments[0]).value_or(nullptr);
  const std::optional<int32_t> n = IntArgument(arguments[1]);
  if (!n || *n <= 0) return;
  const int32_t length = ByteBlockLengthOf(block);
  const int32_t taken = std::min(*n, length);
  *result = BlockCell(Slice(block, length - taken, taken));
}

// MiddleBytes(block, start, n): start is 1-based and clamped into the block; n bytes at most.
void MiddleBytes(ValueCell* result, int32_t count, const ValueCell* cells) {
  *result = PointerCell(TC_BYTES, nullptr);
  const Arguments arguments(count, cells);
  const ByteBlock block = BlockArgument(arguments[0]).value_or(nullptr);
  const std::optional<int32_t> start = IntArgument(arguments[1]);
  const std::optional<int32_t> n = IntArgument(arguments[2]);
  if (!start || !n) return;
  const int64_t length = std::max(ByteBlockLengthOf(block), 0);
  const int64_t offset = std::clamp<int64_t>(int64_t{*start} - 1, 0, length);
  const int64_t taken = std::min<int64_t>(std::max(*n, 0), length - offset);
  *result = BlockCell(Slice(block, offset, taken));
}

// MemoryToBytes(address, length): a copy of the bytes at the address. The address travels in
// the payload words, so it may be a full pointer on 64-bit builds. No address, no bytes.
void MemoryToBytes(ValueCell* result, int32_t count, const ValueCell* cells) {
  *result = PointerCell(TC_BYTES, nullptr);
  const Arguments arguments(count, cells);
  const ValueCell& address = arguments[0];
  const std::optional<int32_t> length = IntArgument(arguments[1]);
  const bool isAddress = address.type == TC_INT || address.type == TC_INT64 || address.type == TC_SUBPTR;
  const auto* start = static_cast<const unsigned char*>(CellPointer(address));
  if (!isAddress || !start || !length || *length <= 0) return;
  *result = BlockCell(NewByteBlock({start, static_cast<size_t>(*length)}));
}

void CopyText(ValueCell* result, int32_t count, const ValueCell* cells) {
  *result = TextCell(NewText(TextArgument(Arguments(count, cells)[0]).value_or("")));
}

}  // namespace CommandForms
