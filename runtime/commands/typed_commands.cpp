// The typed calls: argument cells in, the dispatcher, the result cell out.
#include <vector>

#include "runtime/commands/commands.h"
#include "runtime/constant_segment.h"

namespace {

ValueCell Call(RuntimeCommand command) { return CallRuntimeCommand(command, 0, nullptr); }

ValueCell Call(RuntimeCommand command, std::initializer_list<ValueCell> arguments) {
  return CallRuntimeCommand(command, static_cast<int32_t>(arguments.size()), arguments.begin());
}

ValueCell Call(RuntimeCommand command, const std::vector<ValueCell>& arguments) {
  return CallRuntimeCommand(command, static_cast<int32_t>(arguments.size()), arguments.data());
}

ValueCell Optional(std::optional<int32_t> value) { return value ? IntCell(*value) : ValueCell{}; }

OwnedText TextResult(const ValueCell& cell) { return OwnedText(static_cast<TextValue>(CellPointer(cell))); }
OwnedBytes BytesResult(const ValueCell& cell) { return OwnedBytes(static_cast<ByteBlock>(CellPointer(cell))); }

// A unit is its type code with the window id and the unit id as the two value words.
ValueCell PassUnit(const UnitReference& unit) { return ValueCell{unit.windowId, unit.unitId, unit.type}; }

ValueCell OptionalText(std::optional<TextValue> text) { return text ? Commands::PassText(*text) : ValueCell{}; }

// A unit list travels as its address.
ValueCell PassList(UnitList list) { return PointerCell(TC_INT, list); }

ValueCell NumberCell(double value) { return DoubleCell(value); }

// The cells of a run of arguments of one kind, after those already given.
template <class T>
std::vector<ValueCell> Cells(std::vector<ValueCell> cells, std::initializer_list<T> values, ValueCell (*make)(T)) {
  for (T value : values) cells.push_back(make(value));
  return cells;
}

}  // namespace

namespace Commands {

ValueCell PassText(TextValue text) { return PointerCell(TC_TEXT, text ? text : EmptyText); }
ValueCell PassBytes(ByteBlock block) { return PointerCell(TC_BYTES, block ? block : &EmptyByteBlock); }

double IntDivide(double x, std::initializer_list<double> divisors) {
  return CellDouble(Call(RuntimeCommand::IntDivide, Cells({DoubleCell(x)}, divisors, NumberCell)));
}

double Remainder(double x, std::initializer_list<double> divisors) {
  return CellDouble(Call(RuntimeCommand::Remainder, Cells({DoubleCell(x)}, divisors, NumberCell)));
}

int32_t BitNot(int32_t x) { return CellInt(Call(RuntimeCommand::BitNot, {IntCell(x)})); }

int32_t BitAnd(std::initializer_list<int32_t> values) {
  return CellInt(Call(RuntimeCommand::BitAnd, Cells({}, values, IntCell)));
}

int32_t BitOr(std::initializer_list<int32_t> values) {
  return CellInt(Call(RuntimeCommand::BitOr, Cells({}, values, IntCell)));
}

int32_t ShiftRight(int32_t x, int32_t count) {
  return CellInt(Call(RuntimeCommand::ShiftRight, {IntCell(x), IntCell(count)}));
}

int32_t TextLength(TextValue text) { return CellInt(Call(RuntimeCommand::TextLength, {PassText(text)})); }

int32_t ByteBlockLength(ByteBlock block) {
  return CellInt(Call(RuntimeCommand::ByteBlockLength, {PassBytes(block)}));
}

double Abs(double x) { return CellDouble(Call(RuntimeCommand::Abs, {DoubleCell(x)})); }
int32_t RoundDown(double x) { return CellInt(Call(RuntimeCommand::RoundDown, {DoubleCell(x)})); }
double Sin(double radians) { return CellDouble(Call(RuntimeCommand::Sin, {DoubleCell(radians)})); }
double Cos(double radians) { return CellDouble(Call(RuntimeCommand::Cos, {DoubleCell(radians)})); }

OwnedText ReadEnvironment(TextValue name) {
  return TextResult(Call(RuntimeCommand::ReadEnvironment, {PassText(name)}));
}

int32_t Random(std::optional<int32_t> low, std::optional<int32_t> high) {
  return CellInt(Call(RuntimeCommand::Random, {Optional(low), Optional(high)}));
}

void SeedRandom(std::optional<int32_t> seed) { Call(RuntimeCommand::SeedRandom, {Optional(seed)}); }

double Now() { return CellDouble(Call(RuntimeCommand::Now)); }

double ToNumber(const ValueCell& value) { return CellDouble(Call(RuntimeCommand::ToNumber, {value})); }
int32_t ToInt(const ValueCell& value) { return CellInt(Call(RuntimeCommand::ToInt, {value})); }
OwnedText ToText(const ValueCell& value) { return TextResult(Call(RuntimeCommand::ToText, {value})); }
OwnedBytes ToByteBlock(const ValueCell& value) { return BytesResult(Call(RuntimeCommand::ToByteBlock, {value})); }

OwnedText Spaces(int32_t n) { return TextResult(Call(RuntimeCommand::Spaces, {IntCell(n)})); }
OwnedBytes ZeroBytes(int32_t n) { return BytesResult(Call(RuntimeCommand::ZeroBytes, {IntCell(n)})); }

OwnedCell GetDataFromBytes(ByteBlock block, int32_t typeNumber, int32_t* position) {
  const ValueCell where = position ? PointerCell(TC_BYREF | TC_INT, position) : ValueCell{};
  return OwnedCell(Call(RuntimeCommand::GetDataFromBytes, {PassBytes(block), IntCell(typeNumber), where}));
}

OwnedBytes LeftBytes(ByteBlock block, int32_t n) {
  return BytesResult(Call(RuntimeCommand::LeftBytes, {PassBytes(block), IntCell(n)}));
}

OwnedBytes RightBytes(ByteBlock block, int32_t n) {
  return BytesResult(Call(RuntimeCommand::RightBytes, {PassBytes(block), IntCell(n)}));
}

OwnedBytes MiddleBytes(ByteBlock block, int32_t start, int32_t n) {
  return BytesResult(Call(RuntimeCommand::MiddleBytes, {PassBytes(block), IntCell(start), IntCell(n)}));
}

OwnedBytes MemoryToBytes(const void* address, int32_t length) {
  return BytesResult(Call(RuntimeCommand::MemoryToBytes, {PointerCell(TC_INT, address), IntCell(length)}));
}

OwnedText CopyText(TextValue text) { return TextResult(Call(RuntimeCommand::CopyText, {PassText(text)})); }

int32_t MakeColor(int32_t red, int32_t green, int32_t blue) {
  return CellInt(Call(RuntimeCommand::MakeColor, {IntCell(red), IntCell(green), IntCell(blue)}));
}

int32_t UnitListCount(UnitList list) { return CellInt(Call(RuntimeCommand::UnitListCount, {PassList(list)})); }

UnitReference UnitListItem(UnitList list, int32_t index) {
  const ValueCell unit = Call(RuntimeCommand::UnitListItem, {PassList(list), IntCell(index)});
  return {unit.type, unit.low, unit.high};
}

void FreeUnitList(UnitList list) { Call(RuntimeCommand::FreeUnitList, {PassList(list)}); }

#if defined(_WIN32)
bool RunCommandLine(TextValue commandLine, bool wait, std::optional<int32_t> windowMode,
                    std::optional<TextValue> programFile, std::optional<int32_t> longestWaitMs) {
  return CellBool(Call(RuntimeCommand::RunCommandLine, {PassText(commandLine), BoolCell(wait), Optional(windowMode),
                                                        OptionalText(programFile), Optional(longestWaitMs)}));
}

bool FileExists(TextValue path) { return CellBool(Call(RuntimeCommand::FileExists, {PassText(path)})); }

bool WriteBytesToFile(TextValue path, std::initializer_list<ByteBlock> blocks) {
  return CellBool(Call(RuntimeCommand::WriteBytesToFile, Cells({PassText(path)}, blocks, PassBytes)));
}

int32_t ScreenWidth() { return CellInt(Call(RuntimeCommand::ScreenWidth)); }
int32_t ScreenHeight() { return CellInt(Call(RuntimeCommand::ScreenHeight)); }
int32_t DefaultBackColor() { return CellInt(Call(RuntimeCommand::DefaultBackColor)); }

bool OpenWebPage(std::optional<TextValue> address) {
  const ValueCell argument = address ? PassText(*address) : ValueCell{};
  return CellBool(CallLibraryCommand(LibraryCommand::OpenWebPage, 1, &argument));
}

UnitList FindUnits(const UnitReference& window, std::optional<TextValue> namePrefix,
                   std::optional<TextValue> typeName, std::optional<int32_t> lowTag, std::optional<int32_t> highTag) {
  const ValueCell list = Call(RuntimeCommand::FindUnits, {PassUnit(window), OptionalText(namePrefix),
                                                          OptionalText(typeName), Optional(lowTag), Optional(highTag)});
  return static_cast<UnitList>(CellPointer(list));
}

HWND GetUnitHandle(const UnitReference& unit) {
  const ValueCell handle = Call(RuntimeCommand::GetUnitHandle, {PassUnit(unit)});
  return reinterpret_cast<HWND>(static_cast<intptr_t>(CellInt(handle)));
}
#endif

}  // namespace Commands
