// The command functions behind the dispatcher's table, and the argument readers they share.
// Only the dispatcher calls the commands; everything else goes through CallRuntimeCommand.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>

#include "runtime/commands/command_table.h"
#include "runtime/value.h"

// The argument cells of one call. Reading past the last one gives an omitted cell, so that a
// missing argument and an omitted optional one read alike.
class Arguments {
 public:
  Arguments(int32_t count, const ValueCell* cells) : count_(cells ? std::max(count, 0) : 0), cells_(cells) {}
  int32_t count() const { return count_; }
  const ValueCell& operator[](int32_t i) const { return i >= 0 && i < count_ ? cells_[i] : omitted_; }
  bool given(int32_t i) const { return (*this)[i].type != TC_NONE; }

 private:
  static constexpr ValueCell omitted_{};
  int32_t count_;
  const ValueCell* cells_;
};

// Argument readers: the value when the cell holds the kind the command expects, nothing when it
// does not (the command then gives 0 or the empty value). Numbers accept every numeric type.
std::optional<double> NumberArgument(const ValueCell& cell);
std::optional<int32_t> IntArgument(const ValueCell& cell);
// A text or a byte block; a null payload reads as the empty value.
std::optional<TextValue> TextArgument(const ValueCell& cell);
std::optional<ByteBlock> BlockArgument(const ValueCell& cell);

#define RUNTIME_COMMAND_DECLARATION(name) void name(ValueCell* result, int32_t count, const ValueCell* arguments);
#if defined(_WIN32)
#define RUNTIME_WINDOWS_COMMAND_DECLARATION(name) RUNTIME_COMMAND_DECLARATION(name)
#else
#define RUNTIME_WINDOWS_COMMAND_DECLARATION(name)
#endif

namespace CommandForms {
CORE_COMMAND_LIST(RUNTIME_COMMAND_DECLARATION, RUNTIME_WINDOWS_COMMAND_DECLARATION)
LIBRARY_COMMAND_LIST(RUNTIME_COMMAND_DECLARATION, RUNTIME_WINDOWS_COMMAND_DECLARATION)
}  // namespace CommandForms
