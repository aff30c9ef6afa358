// The runtime commands as ordinary C++ calls for the program's own code. Each call builds its
// argument cells and goes through CallRuntimeCommand (or CallLibraryCommand), the one calling
// form; texts and blocks come back owned by the caller.
#pragma once

#include <initializer_list>
#include <optional>
#include <utility>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "runtime/commands/command_table.h"
#include "runtime/commands/unit_lists.h"
#include "runtime/owned_value.h"
#include "runtime/value.h"

// A result cell whose text or block payload belongs to its holder (GetDataFromBytes gives one).
class OwnedCell {
 public:
  explicit OwnedCell(ValueCell cell = {}) : cell_(cell) {}
  OwnedCell(OwnedCell&& other) noexcept : cell_(std::exchange(other.cell_, ValueCell{})) {}
  OwnedCell& operator=(OwnedCell&& other) noexcept {
    std::swap(cell_, other.cell_);
    return *this;
  }
  OwnedCell(const OwnedCell&) = delete;
  OwnedCell& operator=(const OwnedCell&) = delete;
  ~OwnedCell() {
    if (cell_.type == TC_TEXT || cell_.type == TC_BYTES) RuntimeFree(CellPointer(cell_));
  }
  const ValueCell& get() const { return cell_; }

 private:
  ValueCell cell_;
};

namespace Commands {

// Argument cells as the program passes them: a null text or block travels as the constant
// empty one, so that commands may always read their arguments.
ValueCell PassText(TextValue text);
ValueCell PassBytes(ByteBlock block);

double IntDivide(double x, std::initializer_list<double> divisors);
double Remainder(double x, std::initializer_list<double> divisors);
int32_t BitNot(int32_t x);
int32_t BitAnd(std::initializer_list<int32_t> values);
int32_t BitOr(std::initializer_list<int32_t> values);
int32_t ShiftRight(int32_t x, int32_t count);
int32_t TextLength(TextValue text);
int32_t ByteBlockLength(ByteBlock block);
double Abs(double x);
int32_t RoundDown(double x);
double Sin(double radians);
double Cos(double radians);
OwnedText ReadEnvironment(TextValue name);
int32_t Random(std::optional<int32_t> low = std::nullopt, std::optional<int32_t> high = std::nullopt);
void SeedRandom(std::optional<int32_t> seed = std::nullopt);
double Now();
double ToNumber(const ValueCell& value);
int32_t ToInt(const ValueCell& value);
OwnedText ToText(const ValueCell& value);
OwnedBytes ToByteBlock(const ValueCell& value);
OwnedText Spaces(int32_t n);
OwnedBytes ZeroBytes(int32_t n);
// Reads at the start of the block, or at *position (1-based), which then moves on.
OwnedCell GetDataFromBytes(ByteBlock block, int32_t typeNumber, int32_t* position = nullptr);
OwnedBytes LeftBytes(ByteBlock block, int32_t n);
OwnedBytes RightBytes(ByteBlock block, int32_t n);
OwnedBytes MiddleBytes(ByteBlock block, int32_t start, int32_t n);
OwnedBytes MemoryToBytes(const void* address, int32_t length);
OwnedText CopyText(TextValue text);
int32_t MakeColor(int32_t red, int32_t green, int32_t blue);
int32_t UnitListCount(UnitList list);
UnitReference UnitListItem(UnitList list, int32_t index);
void FreeUnitList(UnitList list);

#if defined(_WIN32)
// programFile, when given, is started with the command line as its own; longestWaitMs bounds the
// wait (see the command).
bool RunCommandLine(TextValue commandLine, bool wait, std::optional<int32_t> windowMode = std::nullopt,
                    std::optional<TextValue> programFile = std::nullopt,
                    std::optional<int32_t> longestWaitMs = std::nullopt);
bool FileExists(TextValue path);
bool WriteBytesToFile(TextValue path, std::initializer_list<ByteBlock> blocks);
int32_t ScreenWidth();
int32_t ScreenHeight();
int32_t DefaultBackColor();
// Whether the system took the address: false when it has nothing to open it with.
bool OpenWebPage(std::optional<TextValue> address = std::nullopt);
// The units of a loaded window by name prefix, type name and tag range; null when none match.
UnitList FindUnits(const UnitReference& window, std::optional<TextValue> namePrefix = std::nullopt,
                   std::optional<TextValue> typeName = std::nullopt, std::optional<int32_t> lowTag = std::nullopt,
                   std::optional<int32_t> highTag = std::nullopt);
// The window handle of a loaded window or unit; any other is a runtime error.
HWND GetUnitHandle(const UnitReference& unit);
#endif

}  // namespace Commands
