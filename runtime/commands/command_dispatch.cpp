// CallRuntimeCommand and CallLibraryCommand over the tables made from the command lists, and the
// argument readers the commands share.
#include <array>
#include <iterator>

#include "runtime/commands/command_forms.h"
#include "runtime/value_text.h"

namespace {

struct CommandEntry {
  const char* name;
  CommandFunction function;
};

#define RUNTIME_COMMAND_ENTRY(name) CommandEntry{#name, CommandForms::name},
#if defined(_WIN32)
#define RUNTIME_WINDOWS_COMMAND_ENTRY(name) RUNTIME_COMMAND_ENTRY(name)
#else
#define RUNTIME_WINDOWS_COMMAND_ENTRY(name)
#endif

// Made from the same lists as the command numbers, so entry i is command number i.
constexpr std::array coreCommands = {CORE_COMMAND_LIST(RUNTIME_COMMAND_ENTRY, RUNTIME_WINDOWS_COMMAND_ENTRY)};
static_assert(coreCommands.size() == static_cast<size_t>(RuntimeCommand::Count));

#if defined(_WIN32)
constexpr std::array libraryCommands = {LIBRARY_COMMAND_LIST(RUNTIME_COMMAND_ENTRY, RUNTIME_WINDOWS_COMMAND_ENTRY)};
#else
constexpr std::array<CommandEntry, 0> libraryCommands = {};
#endif
static_assert(libraryCommands.size() == static_cast<size_t>(LibraryCommand::Count));

template <size_t N>
ValueCell Dispatch(const std::array<CommandEntry, N>& table, int32_t number, int32_t count,
                   const ValueCell* arguments) {
  ValueCell result{};
  if (number < 0 || static_cast<size_t>(number) >= N) return result;
  if (count < 0 || (count > 0 && !arguments)) return result;
  table[static_cast<size_t>(number)].function(&result, count, arguments);
  return result;
}

}  // namespace

ValueCell CallRuntimeCommand(RuntimeCommand command, int32_t count, const ValueCell* arguments) {
  return Dispatch(coreCommands, static_cast<int32_t>(command), count, arguments);
}

ValueCell CallLibraryCommand(LibraryCommand command, int32_t count, const ValueCell* arguments) {
  return Dispatch(libraryCommands, static_cast<int32_t>(command), count, arguments);
}

const char* RuntimeCommandName(RuntimeCommand command) {
  const auto number = static_cast<size_t>(command);
  return number < coreCommands.size() ? coreCommands[number].name : nullptr;
}

std::optional<double> NumberArgument(const ValueCell& cell) {
  if (!IsNumericType(cell.type)) return std::nullopt;
  return ConvertToNumber(cell);
}

std::optional<int32_t> IntArgument(const ValueCell& cell) {
  if (!IsNumericType(cell.type)) return std::nullopt;
  return ConvertToInt(cell);
}

std::optional<TextValue> TextArgument(const ValueCell& cell) {
  if (cell.type != TC_TEXT) return std::nullopt;
  const auto text = static_cast<TextValue>(CellPointer(cell));
  return text ? text : "";
}

std::optional<ByteBlock> BlockArgument(const ValueCell& cell) {
  if (cell.type != TC_BYTES) return std::nullopt;
  return static_cast<ByteBlock>(CellPointer(cell));
}
