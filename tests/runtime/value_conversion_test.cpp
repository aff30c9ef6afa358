// Values to bytes and back, values to text, and texts to numbers.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>

#include "runtime/value_helpers.h"
#include "runtime/value_text.h"

namespace {

const unsigned char* Bytes(const char* s) { return reinterpret_cast<const unsigned char*>(s); }

TEST(SourceCharset, NarrowLiteralsAreGbk) {
  EXPECT_EQ(std::string("电信体验区"), "\xB5\xE7\xD0\xC5\xCC\xE5\xD1\xE9\xC7\xF8");
}

TEST(ValueFromBytes, TextStopsAtTheFirstNulAndCountsIt) {
  DecodedValue ab = ValueFromBytes(TC_TEXT, Bytes("AB\0C"), 4);
  OwnedText abText(static_cast<TextValue>(CellPointer(ab.value)));
  EXPECT_EQ(ab.value.type, TC_TEXT);
  EXPECT_EQ(abText.view(), "AB");
  EXPECT_EQ(ab.consumed, 3);

  // No NUL within the n bytes: all of them, and nothing beyond (the sanitizers watch the read).
  const char unterminated[4] = {'A', 'B', 'C', 'D'};
  DecodedValue abcd = ValueFromBytes(TC_TEXT, Bytes(unterminated), 4);
  OwnedText abcdText(static_cast<TextValue>(CellPointer(abcd.value)));
  EXPECT_EQ(abcdText.view(), "ABCD");
  EXPECT_EQ(abcd.consumed, 4);

  DecodedValue empty = ValueFromBytes(TC_TEXT, Bytes("x"), 0);
  EXPECT_EQ(CellPointer(empty.value), nullptr);
  DecodedValue leadingNul = ValueFromBytes(TC_TEXT, Bytes("\0x"), 2);
  EXPECT_EQ(CellPointer(leadingNul.value), nullptr);
  EXPECT_EQ(leadingNul.consumed, 1);
}

TEST(ValueFromBytes, ShortInputReadsZeroForMissingBytes) {
  const unsigned char two[2] = {0x34, 0x12};
  DecodedValue v = ValueFromBytes(TC_INT, two, 2);
  EXPECT_EQ(CellInt(v.value), 0x1234);
  EXPECT_EQ(v.consumed, 4);
  const unsigned char one[1] = {0xFF};
  EXPECT_EQ(ConvertToInt(ValueFromBytes(TC_SHORT, one, 1).value), 0xFF);
  EXPECT_EQ(ConvertToInt(ValueFromBytes(TC_BYTE, one, 1).value), 255);
}

TEST(ValueFromBytes, BooleanIsAnyNonZeroOfFourBytes) {
  const unsigned char high[4] = {0, 0, 0, 0x80};
  const unsigned char zero[8] = {0, 0, 0, 0, 1, 1, 1, 1};
  EXPECT_TRUE(CellBool(ValueFromBytes(TC_BOOL, high, 4).value));
  EXPECT_FALSE(CellBool(ValueFromBytes(TC_BOOL, zero, 8).value));
  EXPECT_EQ(ValueFromBytes(TC_BOOL, zero, 8).value.low, 0u);
}

TEST(ValueFromBytes, BytesOfZeroLengthAreNull) {
  EXPECT_EQ(CellPointer(ValueFromBytes(TC_BYTES, Bytes("abc"), 0).value), nullptr);
  DecodedValue block = ValueFromBytes(TC_BYTES, Bytes("a\0c"), 3);
  OwnedBytes owned(static_cast<ByteBlock>(CellPointer(block.value)));
  EXPECT_EQ(std::string(owned.bytes().begin(), owned.bytes().end()), std::string("a\0c", 3));
}

struct DateCase {
  double stored;
  double read;
};
class DateClamp : public testing::TestWithParam<DateCase> {};

TEST_P(DateClamp, StaysWithinYears100To9999) {
  unsigned char raw[8];
  std::memcpy(raw, &GetParam().stored, 8);
  DecodedValue v = ValueFromBytes(TC_DATETIME, raw, 8);
  EXPECT_EQ(v.value.type, TC_DATETIME);
  EXPECT_EQ(CellDouble(v.value), GetParam().read);
  EXPECT_EQ(v.consumed, 8);
}

INSTANTIATE_TEST_SUITE_P(Values, DateClamp,
                         testing::Values(DateCase{3000000.0, 2958465.0}, DateCase{-1e9, -657434.0},
                                         DateCase{45000.25, 45000.25},
                                         DateCase{std::numeric_limits<double>::quiet_NaN(), 0.0},
                                         DateCase{std::numeric_limits<double>::infinity(), 2958465.0}));

TEST(ValueBytes, TextKeepsItsNulAndScalarsTheirSize) {
  ValueCell text = PointerCell(TC_TEXT, "ab");
  EXPECT_EQ(ValueBytes(text).size(), 3u);
  EXPECT_EQ(ValueBytes(MakeCell(TC_SHORT, 0x1234)).size(), 2u);
  EXPECT_EQ(ValueBytes(MakeCell(TC_BYTE, 7)).size(), 1u);
  EXPECT_EQ(ValueBytes(DoubleCell(1.0, TC_DATETIME)).size(), 8u);
  EXPECT_EQ(ValueBytes(MakeCell(TC_WINDOW, 5)).size(), 0u);
  EXPECT_EQ(ValueBytes(PointerCell(TC_BYTES, nullptr)).size(), 0u);
}

struct FormatCase {
  ValueCell cell;
  const char* text;
};
class FormatValue : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatValue, GivesTheTextForm) {
  OwnedText text = FormatValueAsText(GetParam().cell);
  EXPECT_EQ(text.view(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Scalars, FormatValue,
    testing::Values(FormatCase{MakeCell(TC_BYTE, 0xFF), "255"}, FormatCase{MakeCell(TC_SHORT, 0xFFFE), "-2"},
                    FormatCase{IntCell(INT32_MIN), "-2147483648"},
                    FormatCase{Int64Cell(-9007199254740993LL), "-9007199254740993"},
                    FormatCase{FloatCell(0.1f), "0.1"}, FormatCase{DoubleCell(1.0 / 3.0), "0.3333333333333"},
                    FormatCase{DoubleCell(1e20), "1e+20"}, FormatCase{BoolCell(true), "真"},
                    FormatCase{BoolCell(false), "假"}, FormatCase{MakeCell(TC_WINDOW, 1), ""},
                    FormatCase{PointerCell(TC_TEXT, "文本"), "文本"}));

INSTANTIATE_TEST_SUITE_P(
    Dates, FormatValue,
    testing::Values(FormatCase{DoubleCell(0.0, TC_DATETIME), "1899年12月30日"},
                    FormatCase{DoubleCell(45000.5, TC_DATETIME), "2023年3月15日12时"},
                    FormatCase{DoubleCell(45000.0 + 750.0 / 1440.0, TC_DATETIME), "2023年3月15日12时30分"},
                    FormatCase{DoubleCell(45000.0 + 45005.0 / 86400.0, TC_DATETIME), "2023年3月15日12时30分5秒"},
                    // A negative date counts its time forward from the start of its day.
                    FormatCase{DoubleCell(-1.25, TC_DATETIME), "1899年12月29日6时"},
                    FormatCase{DoubleCell(2958465.0, TC_DATETIME), "9999年12月31日"},
                    FormatCase{DoubleCell(-657434.0, TC_DATETIME), "100年1月1日"},
                    // Within half a second of midnight rounds into the next day.
                    FormatCase{DoubleCell(1.0 - 0.2 / 86400.0, TC_DATETIME), "1899年12月31日"}));

struct NumberCase {
  const char* text;
  int32_t asInt;
  double asNumber;
};
class TextToNumbers : public testing::TestWithParam<NumberCase> {};

TEST_P(TextToNumbers, FoldsFullWidthThenReadsTheLeadingNumber) {
  EXPECT_EQ(TextToInt(GetParam().text), GetParam().asInt);
  EXPECT_DOUBLE_EQ(TextToNumber(GetParam().text), GetParam().asNumber);
  EXPECT_EQ(ConvertToInt(PointerCell(TC_TEXT, GetParam().text)), GetParam().asInt);
}

INSTANTIATE_TEST_SUITE_P(Texts, TextToNumbers,
                         testing::Values(NumberCase{"１２３", 123, 123.0}, NumberCase{"12abc", 12, 12.0},
                                         NumberCase{"abc", 0, 0.0}, NumberCase{"－４．５", -4, -4.5},
                                         NumberCase{"　＋７", 7, 7.0}, NumberCase{"", 0, 0.0},
                                         NumberCase{"99999999999", INT32_MAX, 99999999999.0},
                                         NumberCase{"-99999999999", INT32_MIN, -99999999999.0},
                                         NumberCase{"1e3", 1, 1000.0}));

TEST(FoldFullWidth, FoldsOnlyTheListedCharacters) {
  EXPECT_EQ(FoldFullWidth("ＡＢｃ"), "ABc");
  EXPECT_EQ(FoldFullWidth("　～＊"), " ~*");  // A1A1, A1AB, A1EF
  EXPECT_EQ(FoldFullWidth("\xA1\xEE"), "*");
  EXPECT_EQ(FoldFullWidth("电信"), "电信");
  EXPECT_EQ(FoldFullWidth("1\xA3"), "1\xA3");  // a lead byte at the end stays as it is
  EXPECT_EQ(FoldFullWidth(nullptr), "");
}

struct ConversionCase {
  ValueCell cell;
  int32_t asInt;
  double asNumber;
};
class ScalarConversion : public testing::TestWithParam<ConversionCase> {};

TEST_P(ScalarConversion, ConvertsToIntAndNumber) {
  EXPECT_EQ(ConvertToInt(GetParam().cell), GetParam().asInt);
  EXPECT_DOUBLE_EQ(ConvertToNumber(GetParam().cell), GetParam().asNumber);
}

INSTANTIATE_TEST_SUITE_P(
    Scalars, ScalarConversion,
    testing::Values(ConversionCase{MakeCell(TC_BYTE, 0xFF), 255, 255.0},
                    ConversionCase{MakeCell(TC_SHORT, 0xFFFF), -1, -1.0},
                    ConversionCase{Int64Cell(0x100000005LL), 5, 4294967301.0},
                    ConversionCase{MakeCell(TC_SUBPTR, 0xFFFFFFFFu), -1, 4294967295.0},
                    ConversionCase{DoubleCell(-2.7), -2, -2.7}, ConversionCase{FloatCell(2.5f), 2, 2.5},
                    ConversionCase{DoubleCell(1e12), INT32_MIN, 1e12},
                    ConversionCase{BoolCell(true), 1, 1.0}, ConversionCase{MakeCell(TC_WINDOW, 9), 0, 0.0},
                    ConversionCase{DoubleCell(5.0, TC_DATETIME), 0, 0.0}));

TEST(TypeCodes, ClassesAndNumericSizes) {
  EXPECT_EQ(TypeClassOf(0), TypeClass::None);
  EXPECT_EQ(TypeClassOf(TC_TEXT), TypeClass::Basic);
  EXPECT_EQ(TypeClassOf(0x00020005), TypeClass::Library);
  EXPECT_EQ(TypeClassOf(0x40000001), TypeClass::Record);
  EXPECT_EQ(TypeClassOf(0xC0000000), TypeClass::Record);
  EXPECT_EQ(LibraryOfType(0x00020005), 2u);
  EXPECT_EQ(TypeNumberInLibrary(TC_WINDOW), 1u);
  const uint32_t numeric[] = {TC_BYTE, TC_SHORT, TC_INT, TC_INT64, TC_FLOAT, TC_DOUBLE};
  const int32_t sizes[] = {1, 2, 4, 8, 4, 8};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(NumericElementSize(numeric[i]), sizes[i]) << i;
  EXPECT_EQ(NumericElementSize(TC_BOOL), 0);
  EXPECT_EQ(NumericElementSize(0x80000701), 0);
  EXPECT_EQ(ElementTypeOf(TC_BYREF | TC_INT), TC_INT);
}

}  // namespace
