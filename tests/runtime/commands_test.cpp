// The platform-free runtime commands through the dispatcher: exact results for numbers, texts and
// blocks, reading values out of blocks, random numbers, unit lists, and the fatal errors.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "runtime/commands/command_table.h"
#include "runtime/commands/commands.h"
#include "runtime/constant_segment.h"
#include "runtime/runtime_error.h"
#include "runtime/value_helpers.h"
#include "runtime/value_text.h"
#include "tests/support/runtime_error_exit.h"

namespace {

// One argument of a case, made into a cell when the test runs (blocks then live on the heap).
struct Arg {
  enum Kind { Scalar, Text, Bytes, Omitted } kind;
  ValueCell cell;
  std::string bytes;
};
Arg S(ValueCell cell) { return {Arg::Scalar, cell, {}}; }
Arg I(int32_t v) { return S(IntCell(v)); }
Arg D(double v) { return S(DoubleCell(v)); }
Arg T(std::string text) { return {Arg::Text, {}, std::move(text)}; }
Arg B(std::string bytes) { return {Arg::Bytes, {}, std::move(bytes)}; }
const Arg none{Arg::Omitted, {}, {}};

class CallSite {
 public:
  explicit CallSite(const std::vector<Arg>& args) {
    for (const Arg& arg : args) {
      if (arg.kind == Arg::Text) {
        cells_.push_back(PointerCell(TC_TEXT, arg.bytes.c_str()));
      } else if (arg.kind == Arg::Bytes) {
        blocks_.push_back(NewByteBlock({reinterpret_cast<const unsigned char*>(arg.bytes.data()), arg.bytes.size()}));
        cells_.push_back(Commands::PassBytes(blocks_.back().get()));
      } else {
        cells_.push_back(arg.cell);
      }
    }
  }
  ValueCell Call(RuntimeCommand command) const {
    return CallRuntimeCommand(command, static_cast<int32_t>(cells_.size()), cells_.data());
  }

 private:
  std::vector<ValueCell> cells_;
  std::vector<OwnedBytes> blocks_;
};

struct ScalarCase {
  const char* label;
  RuntimeCommand command;
  std::vector<Arg> args;
  ValueCell expected;
};
class ScalarCommand : public testing::TestWithParam<ScalarCase> {};

TEST_P(ScalarCommand, GivesExactlyTheExpectedCell) {
  const ValueCell result = CallSite(GetParam().args).Call(GetParam().command);
  EXPECT_EQ(result.type, GetParam().expected.type);
  EXPECT_EQ(result.low, GetParam().expected.low);
  EXPECT_EQ(result.high, GetParam().expected.high);
}

std::string Label(const testing::TestParamInfo<ScalarCase>& info) { return info.param.label; }

using RC = RuntimeCommand;
INSTANTIATE_TEST_SUITE_P(
    Arithmetic, ScalarCommand,
    testing::Values(ScalarCase{"DivideTruncates", RC::IntDivide, {D(7), D(2)}, DoubleCell(3)},
                    ScalarCase{"DivideTowardZero", RC::IntDivide, {D(-7), D(2)}, DoubleCell(-3)},
                    ScalarCase{"DivideInTurn", RC::IntDivide, {D(100), D(3), D(2)}, DoubleCell(16)},
                    ScalarCase{"DivideTakesAnyNumber", RC::IntDivide, {I(9), S(FloatCell(2.0f))}, DoubleCell(4)},
                    ScalarCase{"DivideWithoutDivisor", RC::IntDivide, {D(9)}, DoubleCell(0)},
                    ScalarCase{"DivideByText", RC::IntDivide, {D(9), T("3")}, DoubleCell(0)},
                    ScalarCase{"RemainderIsFmod", RC::Remainder, {D(7.5), D(2)}, DoubleCell(1.5)},
                    ScalarCase{"RemainderKeepsSign", RC::Remainder, {D(-7), D(3)}, DoubleCell(-1)},
                    ScalarCase{"RemainderInTurn", RC::Remainder, {D(17), D(10), D(4)}, DoubleCell(3)},
                    ScalarCase{"CosOfAnInt", RC::Cos, {I(0)}, DoubleCell(1)},
                    ScalarCase{"RoundDownPositive", RC::RoundDown, {D(2.7)}, IntCell(2)},
                    ScalarCase{"RoundDownNegative", RC::RoundDown, {D(-2.3)}, IntCell(-3)},
                    ScalarCase{"RoundDownAbsorbsNoiseUp", RC::RoundDown, {D(2.9999999999999)}, IntCell(3)},
                    ScalarCase{"RoundDownAbsorbsNoiseDown", RC::RoundDown, {D(-2.9999999999999)}, IntCell(-3)},
                    ScalarCase{"RoundDownKeepsRealFraction", RC::RoundDown, {D(2.999999999)}, IntCell(2)},
                    ScalarCase{"RoundDownBeyondInt", RC::RoundDown, {D(1e10)}, IntCell(INT32_MIN)}),
    Label);

INSTANTIATE_TEST_SUITE_P(
    Bits, ScalarCommand,
    testing::Values(ScalarCase{"Not", RC::BitNot, {I(0x0F0F0000)}, IntCell(static_cast<int32_t>(0xF0F0FFFF))},
                    ScalarCase{"AndOfOne", RC::BitAnd, {I(0x1234)}, IntCell(0x1234)},
                    ScalarCase{"AndOfThree", RC::BitAnd, {I(0xFF0), I(0x3C3C), I(0x7FFF)}, IntCell(0xC30)},
                    ScalarCase{"AndOfNone", RC::BitAnd, {}, IntCell(0)},
                    ScalarCase{"AndWithText", RC::BitAnd, {I(-1), T("1")}, IntCell(0)},
                    ScalarCase{"OrOfThree", RC::BitOr, {I(1), I(4), I(0x100)}, IntCell(0x105)},
                    ScalarCase{"ShiftFillsSign", RC::ShiftRight, {I(-16), I(2)}, IntCell(-4)},
                    ScalarCase{"ShiftModulo32", RC::ShiftRight, {I(0x100), I(36)}, IntCell(0x10)},
                    ScalarCase{"ShiftTopBit", RC::ShiftRight, {I(INT32_MIN), I(4)}, IntCell(static_cast<int32_t>(0xF8000000))},
                    ScalarCase{"ColorRed", RC::MakeColor, {I(255), I(0), I(0)}, IntCell(255)},
                    ScalarCase{"ColorBlue", RC::MakeColor, {I(0), I(0), I(255)}, IntCell(16711680)},
                    ScalarCase{"ColorCutsComponents", RC::MakeColor, {I(0x1FF), I(-1), I(0x100)}, IntCell(0xFFFF)},
                    ScalarCase{"ColorMissingBlue", RC::MakeColor, {I(1), I(2)}, IntCell(0)}),
    Label);

INSTANTIATE_TEST_SUITE_P(
    Values, ScalarCommand,
    testing::Values(ScalarCase{"TextLengthCountsBytes", RC::TextLength, {T("中文ab")}, IntCell(6)},
                    ScalarCase{"TextLengthOfABlock", RC::TextLength, {B("abc")}, IntCell(0)},
                    ScalarCase{"BlockLength", RC::ByteBlockLength, {B(std::string("a\0b", 3))}, IntCell(3)},
                    ScalarCase{"BlockLengthOfEmpty", RC::ByteBlockLength, {B("")}, IntCell(0)},
                    ScalarCase{"ToIntOfBlock", RC::ToInt, {B("12")}, IntCell(0)},
                    ScalarCase{"ToNumberOfText", RC::ToNumber, {T("－４．５ab")}, DoubleCell(-4.5)},
                    ScalarCase{"RandomOfOneValue", RC::Random, {I(7), I(7)}, IntCell(7)},
                    ScalarCase{"RandomNegativeBoundsAreZero", RC::Random, {I(-4), I(-1)}, IntCell(0)},
                    ScalarCase{"SeedRandomGivesNothing", RC::SeedRandom, {I(3)}, ValueCell{}}),
    Label);

// Texts and blocks come back as new heap values; nullopt stands for the null (empty) result.
struct OwnedCase {
  const char* label;
  RuntimeCommand command;
  std::vector<Arg> args;
  uint32_t type;
  std::optional<std::string> bytes;
};
class OwnedResult : public testing::TestWithParam<OwnedCase> {};

TEST_P(OwnedResult, IsANewValueWithExactlyTheseBytes) {
  const ValueCell result = CallSite(GetParam().args).Call(GetParam().command);
  ASSERT_EQ(result.type, GetParam().type);
  const void* payload = CellPointer(result);
  if (!GetParam().bytes) {
    EXPECT_EQ(payload, nullptr);
    return;
  }
  ASSERT_NE(payload, nullptr);
  EXPECT_FALSE(InConstantSegment(payload));
  std::string got;
  if (result.type == TC_TEXT) {
    OwnedText text(static_cast<TextValue>(payload));
    got = text.view();
  } else {
    OwnedBytes block(static_cast<ByteBlock>(payload));
    EXPECT_EQ(block.get()->dimensionCount, 1);
    got.assign(block.bytes().begin(), block.bytes().end());
  }
  EXPECT_EQ(got, *GetParam().bytes);
}

std::string OwnedLabel(const testing::TestParamInfo<OwnedCase>& info) { return info.param.label; }

const std::string kSixBytes = "abcdef";
INSTANTIATE_TEST_SUITE_P(
    Blocks, OwnedResult,
    testing::Values(OwnedCase{"LeftTwo", RC::LeftBytes, {B(kSixBytes), I(2)}, TC_BYTES, "ab"},
                    OwnedCase{"LeftMoreThanThere", RC::LeftBytes, {B(kSixBytes), I(10)}, TC_BYTES, kSixBytes},
                    OwnedCase{"LeftNegative", RC::LeftBytes, {B(kSixBytes), I(-1)}, TC_BYTES, std::nullopt},
                    OwnedCase{"RightTwo", RC::RightBytes, {B(kSixBytes), I(2)}, TC_BYTES, "ef"},
                    OwnedCase{"RightOfEmpty", RC::RightBytes, {B(""), I(2)}, TC_BYTES, std::nullopt},
                    OwnedCase{"MiddleStartZeroIsOne", RC::MiddleBytes, {B(kSixBytes), I(0), I(2)}, TC_BYTES, "ab"},
                    OwnedCase{"MiddleStartNegative", RC::MiddleBytes, {B(kSixBytes), I(-5), I(3)}, TC_BYTES, "abc"},
                    OwnedCase{"MiddleInside", RC::MiddleBytes, {B(kSixBytes), I(3), I(2)}, TC_BYTES, "cd"},
                    OwnedCase{"MiddleCutAtEnd", RC::MiddleBytes, {B(kSixBytes), I(5), I(10)}, TC_BYTES, "ef"},
                    OwnedCase{"MiddleBeyondEnd", RC::MiddleBytes, {B(kSixBytes), I(7), I(1)}, TC_BYTES, std::nullopt},
                    OwnedCase{"MiddleNegativeCount", RC::MiddleBytes, {B(kSixBytes), I(2), I(-1)}, TC_BYTES, std::nullopt},
                    OwnedCase{"ZeroBytes", RC::ZeroBytes, {I(3)}, TC_BYTES, std::string(3, '\0')},
                    OwnedCase{"ZeroBytesOfNone", RC::ZeroBytes, {I(0)}, TC_BYTES, std::nullopt},
                    OwnedCase{"BlockOfText", RC::ToByteBlock, {T("中a")}, TC_BYTES, "中a"},
                    OwnedCase{"BlockOfEmptyText", RC::ToByteBlock, {T("")}, TC_BYTES, std::nullopt},
                    OwnedCase{"BlockOfInt", RC::ToByteBlock, {I(0x04030201)}, TC_BYTES, "\x01\x02\x03\x04"},
                    OwnedCase{"BlockOfShort", RC::ToByteBlock, {S(MakeCell(TC_SHORT, 0xBEEF))}, TC_BYTES, "\xEF\xBE"},
                    OwnedCase{"BlockOfBlockIsACopy", RC::ToByteBlock, {B("xyz")}, TC_BYTES, "xyz"},
                    OwnedCase{"BlockOfWindow", RC::ToByteBlock, {S(MakeCell(TC_WINDOW, 5))}, TC_BYTES, std::nullopt}),
    OwnedLabel);

INSTANTIATE_TEST_SUITE_P(
    Texts, OwnedResult,
    testing::Values(OwnedCase{"TextOfBlockStopsAtNul", RC::ToText, {B(std::string("ab\0cd", 5))}, TC_TEXT, "ab"},
                    OwnedCase{"TextOfInt", RC::ToText, {I(-5)}, TC_TEXT, "-5"},
                    OwnedCase{"TextOfText", RC::ToText, {T("文本")}, TC_TEXT, "文本"},
                    OwnedCase{"TextOfWindow", RC::ToText, {S(MakeCell(TC_WINDOW, 1))}, TC_TEXT, std::nullopt},
                    OwnedCase{"TextOfSubroutine", RC::ToText, {S(MakeCell(TC_SUBPTR, 1))}, TC_TEXT, std::nullopt},
                    OwnedCase{"Spaces", RC::Spaces, {I(3)}, TC_TEXT, "   "},
                    OwnedCase{"SpacesOfNone", RC::Spaces, {I(0)}, TC_TEXT, std::nullopt},
                    OwnedCase{"CopyText", RC::CopyText, {T("副本")}, TC_TEXT, "副本"},
                    OwnedCase{"CopyEmptyText", RC::CopyText, {T("")}, TC_TEXT, std::nullopt},
                    OwnedCase{"UnsetVariable", RC::ReadEnvironment, {T("RUNTIME_COMMANDS_NEVER_SET")}, TC_TEXT,
                              std::nullopt}),
    OwnedLabel);

// Arrays reach ToText and ToByteBlock by reference: their first dimension's element data.
TEST(ArrayArguments, GiveTheirElementDataOrNothing) {
  const int32_t ints[] = {1, 2, 0x64636261, 0x00006665};  // one dimension of two ints
  const ValueCell intArray = PointerCell(TC_BYREF | TC_INT, ints);
  OwnedText text(static_cast<TextValue>(CellPointer(CallRuntimeCommand(RC::ToText, 1, &intArray))));
  EXPECT_EQ(text.view(), "abcdef");
  OwnedBytes block(static_cast<ByteBlock>(CellPointer(CallRuntimeCommand(RC::ToByteBlock, 1, &intArray))));
  EXPECT_EQ(std::string(block.bytes().begin(), block.bytes().end()), std::string("abcdef\0\0", 8));

  const int32_t notNumeric[] = {1, 1, 0};
  const ValueCell textArray = PointerCell(TC_BYREF | TC_TEXT, notNumeric);
  EXPECT_EQ(CellPointer(CallRuntimeCommand(RC::ToByteBlock, 1, &textArray)), nullptr);
  EXPECT_EQ(CellPointer(CallRuntimeCommand(RC::ToText, 1, &textArray)), nullptr);
}

struct DataCase {
  const char* label;
  std::string block;
  int32_t typeNumber;
  std::optional<int32_t> position;  // passed by reference when set
  uint32_t type;
  uint64_t bits;          // scalars
  const char* text;       // texts; null for the null text
  int32_t positionAfter;
};
class GetData : public testing::TestWithParam<DataCase> {};

TEST_P(GetData, ReadsTheValueAndMovesThePosition) {
  const DataCase& c = GetParam();
  OwnedBytes block = NewByteBlock({reinterpret_cast<const unsigned char*>(c.block.data()), c.block.size()});
  int32_t position = c.position.value_or(0x55555555);
  OwnedCell result = Commands::GetDataFromBytes(block.get(), c.typeNumber, c.position ? &position : nullptr);
  ASSERT_EQ(result.get().type, c.type);
  if (c.type == TC_TEXT) {
    const auto text = static_cast<TextValue>(CellPointer(result.get()));
    if (c.text) {
      EXPECT_STREQ(text, c.text);
    } else {
      EXPECT_EQ(text, nullptr);
    }
  } else {
    EXPECT_EQ(CellBits(result.get()), c.bits);
  }
  EXPECT_EQ(position, c.positionAfter);
}

std::string DataLabel(const testing::TestParamInfo<DataCase>& info) { return info.param.label; }

const std::string kEight("\x01\x02\x03\x04\x05\x06\x07\x08", 8);
INSTANTIATE_TEST_SUITE_P(
    Types, GetData,
    testing::Values(DataCase{"IntFromTwoBytes", "\x34\x12", 3, {}, TC_INT, 0x1234, nullptr, 0x55555555},
                    DataCase{"IntAtOneOfFour", std::string("\x01\0\0\x80", 4), 3, 1, TC_INT, 0x80000001, nullptr, -1},
                    DataCase{"IntAtOneOfEight", kEight, 3, 1, TC_INT, 0x04030201, nullptr, 5},
                    DataCase{"ShortAtSeven", kEight, 2, 7, TC_SHORT, 0x0807, nullptr, -1},
                    DataCase{"ByteAtThree", kEight, 1, 3, TC_BYTE, 0x03, nullptr, 4},
                    DataCase{"Int64PartlyBeyond", kEight, 4, 5, TC_INT64, 0x08070605, nullptr, -1},
                    DataCase{"BoolOfHighByte", std::string("\0\0\0\x01", 4), 7, {}, TC_BOOL, 1, nullptr, 0x55555555},
                    DataCase{"SubroutineAddress", kEight, 9, {}, TC_SUBPTR, 0x04030201, nullptr, 0x55555555},
                    DataCase{"PositionZeroReadsNothing", kEight, 3, 0, TC_INT, 0, nullptr, 4},
                    DataCase{"PositionBeyondEnd", kEight, 1, 9, TC_BYTE, 0, nullptr, -1},
                    DataCase{"TextEndedByNul", std::string("ab\0cd", 5), 10, 1, TC_TEXT, 0, "ab", 4},
                    DataCase{"TextToTheEnd", std::string("ab\0cd", 5), 10, 4, TC_TEXT, 0, "cd", -1},
                    DataCase{"TextOfEmptyBlock", "", 10, 1, TC_TEXT, 0, nullptr, -1}),
    DataLabel);

TEST(GetData, PositionByValueIsReadButNotWritten) {
  OwnedBytes block = NewByteBlock({reinterpret_cast<const unsigned char*>(kEight.data()), kEight.size()});
  const ValueCell cells[] = {PointerCell(TC_BYTES, block.get()), IntCell(2), IntCell(3)};
  const ValueCell result = CallRuntimeCommand(RC::GetDataFromBytes, 3, cells);
  EXPECT_EQ(result.type, TC_SHORT);
  EXPECT_EQ(CellBits(result), 0x0403u);
}

TEST(Dispatcher, RunsNothingForBadCallsAndGivesAZeroCell) {
  int32_t position = 1;
  const ValueCell cells[] = {PointerCell(TC_BYTES, &EmptyByteBlock), IntCell(99), PointerCell(TC_BYREF | TC_INT, &position)};
  // Run, each of these would end the process with a bad type number.
  for (const ValueCell result : {CallRuntimeCommand(RC::GetDataFromBytes, -1, cells),
                                 CallRuntimeCommand(RC::GetDataFromBytes, 3, nullptr),
                                 CallRuntimeCommand(RC::Count, 3, cells),
                                 CallRuntimeCommand(static_cast<RuntimeCommand>(-1), 3, cells)}) {
    EXPECT_EQ(result.low, 0u);
    EXPECT_EQ(result.high, 0u);
    EXPECT_EQ(result.type, 0u);
  }
  EXPECT_EQ(position, 1);
  EXPECT_STREQ(RuntimeCommandName(RC::IntDivide), "IntDivide");
  EXPECT_STREQ(RuntimeCommandName(RC::FreeUnitList), "FreeUnitList");
  EXPECT_EQ(RuntimeCommandName(RC::Count), nullptr);
}

struct FatalCase {
  const char* label;
  RuntimeCommand command;
  std::vector<Arg> args;
  const char* message;
};
class FatalCommandDeathTest : public testing::TestWithParam<FatalCase> {};

TEST_P(FatalCommandDeathTest, ReportsTheMessageAndEnds) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string expected = std::string("运行时出错!\r\n\r\n错误信息：") + GetParam().message + "\r\n";
  EXPECT_EXIT(
      {
        SetRuntimeErrorPresenter(ShowOnStderr);
        CallSite(GetParam().args).Call(GetParam().command);
      },
      testing::ExitedWithCode(kRuntimeErrorExit), testing::HasSubstr(expected));
}

std::string FatalLabel(const testing::TestParamInfo<FatalCase>& info) { return info.param.label; }

INSTANTIATE_TEST_SUITE_P(
    Commands, FatalCommandDeathTest,
    testing::Values(FatalCase{"DivideByZero", RC::IntDivide, {D(1), D(0)}, "不能整除于零"},
                    FatalCase{"DivideByZeroLater", RC::IntDivide, {D(8), D(2), I(0)}, "不能整除于零"},
                    FatalCase{"RemainderByZero", RC::Remainder, {D(1), D(-0.0)}, "不能求余数于零"},
                    FatalCase{"DataTypeZero", RC::GetDataFromBytes, {B("abcd"), I(0)}, "“欲取出数据的类型”参数值无效"},
                    FatalCase{"DataTypeEleven", RC::GetDataFromBytes, {B("abcd"), I(11)}, "“欲取出数据的类型”参数值无效"},
                    FatalCase{"DataTypeMissing", RC::GetDataFromBytes, {B("abcd")}, "“欲取出数据的类型”参数值无效"},
                    // The report names the size asked for: the length and its NUL or header.
                    FatalCase{"SpacesBeyondInt32", RC::Spaces, {I(INT32_MAX)}, "分配 2147483648 字节内存失败!"},
                    FatalCase{"ZeroBytesBeyondInt32", RC::ZeroBytes, {I(INT32_MAX)}, "分配 2147483655 字节内存失败!"}),
    FatalLabel);

TEST(Random, SwappedBoundsStayInsideAndReachBothEnds) {
  Commands::SeedRandom(12345);
  std::set<int32_t> seen;
  for (int i = 0; i < 300; ++i) seen.insert(Commands::Random(5, 3));
  EXPECT_EQ(seen, (std::set<int32_t>{3, 4, 5}));
}

// The Windows C library's rand from seed 1: 41, 18467, 6334, 26500.
TEST(Random, FollowsTheCLibrarySequenceFromASeed) {
  Commands::SeedRandom(1);
  EXPECT_EQ(Commands::Random(0, 32767), 41);
  EXPECT_EQ(Commands::Random(0, 32767), 18467);
  EXPECT_EQ(Commands::Random(100, 100 + 9), 100 + 6334 % 10);
  EXPECT_EQ(Commands::Random(), 26500);  // omitted bounds: 0 .. 2147483646 in effect
  Commands::SeedRandom(1);
  EXPECT_EQ(Commands::Random(0, 32767), 41);
}

TEST(Random, ClockSeedingsDiffer) {
  std::vector<int32_t> first, second;
  Commands::SeedRandom();
  for (int i = 0; i < 6; ++i) first.push_back(Commands::Random(0, 32767));
  Commands::SeedRandom();
  for (int i = 0; i < 6; ++i) second.push_back(Commands::Random(0, 32767));
  EXPECT_NE(first, second);
}

TEST(Now, IsTheLocalTimeToTheSecond) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    const std::time_t before = std::time(nullptr);
    const ValueCell now = CallRuntimeCommand(RC::Now, 0, nullptr);
    if (std::time(nullptr) != before) continue;  // the second turned over; try again
    ASSERT_EQ(now.type, TC_DATETIME);
    const double days = CellDouble(now);
    EXPECT_NEAR(days * 86400.0, std::round(days * 86400.0), 1e-3);  // whole seconds
    const std::tm local = *std::localtime(&before);
    const CivilDateTime parts = DateTimeParts(days);
    EXPECT_EQ(parts.year, local.tm_year + 1900);
    EXPECT_EQ(parts.month, local.tm_mon + 1);
    EXPECT_EQ(parts.day, local.tm_mday);
    EXPECT_EQ(parts.hour * 3600 + parts.minute * 60 + parts.second,
              local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
    return;
  }
  FAIL() << "the clock never held still for one call";
}

TEST(ReadEnvironment, MatchesTheNameWithoutRegardToCase) {
#if defined(_WIN32)
  _putenv("RUNTIME_COMMANDS_TEST=数值=1");
#else
  setenv("RUNTIME_COMMANDS_TEST", "数值=1", 1);
#endif
  EXPECT_EQ(Commands::ReadEnvironment("runtime_commands_test").view(), "数值=1");
  EXPECT_EQ(Commands::ReadEnvironment("RUNTIME_COMMANDS_TES").get(), nullptr);
  EXPECT_EQ(Commands::ReadEnvironment("").get(), nullptr);
#if !defined(_WIN32)  // Windows cannot hold a variable set to nothing
  setenv("RUNTIME_COMMANDS_TEST", "", 1);
  EXPECT_EQ(Commands::ReadEnvironment("RUNTIME_COMMANDS_TEST").get(), nullptr);
#endif
}

}  // namespace
