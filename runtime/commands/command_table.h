// The runtime commands: one list, declared once, from which both the command numbers and the
// dispatcher's table are made; and the one calling form through which every command runs.
#pragma once

#include <cstdint>

#include "runtime/value.h"

// The command form. A command reads `count` argument cells lying one after another and writes
// its whole result (value words and type code) into the result cell, which the dispatcher has
// zeroed. An omitted optional argument is a cell of type 0.
using CommandFunction = void (*)(ValueCell* result, int32_t count, const ValueCell* arguments);

// The core library's commands, in the order of their numbers. ANY marks a platform-free command,
// WIN one that needs Windows (files, processes, the screen); the host build has only the first.
#define CORE_COMMAND_LIST(ANY, WIN) \
  ANY(IntDivide)                    \
  ANY(Remainder)                    \
  ANY(BitNot)                       \
  ANY(BitAnd)                       \
  ANY(BitOr)                        \
  ANY(ShiftRight)                   \
  WIN(RunCommandLine)               \
  WIN(GetUnitHandle)                \
  ANY(TextLength)                   \
  ANY(ByteBlockLength)              \
  ANY(Abs)                          \
  ANY(RoundDown)                    \
  ANY(Sin)                          \
  ANY(Cos)                          \
  ANY(ReadEnvironment)              \
  ANY(Random)                       \
  ANY(SeedRandom)                   \
  ANY(Now)                          \
  ANY(ToNumber)                     \
  ANY(ToInt)                        \
  ANY(ToText)                       \
  ANY(ToByteBlock)                  \
  ANY(Spaces)                       \
  ANY(ZeroBytes)                    \
  ANY(GetDataFromBytes)             \
  ANY(LeftBytes)                    \
  ANY(RightBytes)                   \
  ANY(MiddleBytes)                  \
  ANY(MemoryToBytes)                \
  ANY(CopyText)                     \
  WIN(FileExists)                   \
  WIN(WriteBytesToFile)             \
  WIN(ScreenWidth)                  \
  WIN(ScreenHeight)                 \
  ANY(MakeColor)                    \
  WIN(DefaultBackColor)             \
  WIN(FindUnits)                    \
  ANY(UnitListCount)                \
  ANY(UnitListItem)                 \
  ANY(FreeUnitList)

// Commands of the other runtime libraries that the program calls.
#define LIBRARY_COMMAND_LIST(ANY, WIN) WIN(OpenWebPage)

#define RUNTIME_COMMAND_NUMBER(name) name,
#if defined(_WIN32)
#define RUNTIME_WINDOWS_COMMAND_NUMBER(name) name,
#else
#define RUNTIME_WINDOWS_COMMAND_NUMBER(name)
#endif

enum class RuntimeCommand : int32_t {
  CORE_COMMAND_LIST(RUNTIME_COMMAND_NUMBER, RUNTIME_WINDOWS_COMMAND_NUMBER) Count
};

enum class LibraryCommand : int32_t {
  LIBRARY_COMMAND_LIST(RUNTIME_COMMAND_NUMBER, RUNTIME_WINDOWS_COMMAND_NUMBER) Count
};

// The dispatchers: zero a result cell, run the command on the arguments, hand the cell back.
// The caller keeps its argument cells. A number outside the table, a negative count or missing
// cells run nothing and give the zeroed cell.
ValueCell CallRuntimeCommand(RuntimeCommand command, int32_t count, const ValueCell* arguments);
ValueCell CallLibraryCommand(LibraryCommand command, int32_t count, const ValueCell* arguments);

// The command's name as the table spells it; null outside the table.
const char* RuntimeCommandName(RuntimeCommand command);
