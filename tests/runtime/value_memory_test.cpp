// The runtime heap, the constant range and the joining helpers: who owns what, and what never
// gets freed or overwritten.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/server_profiles.h"
#include "runtime/constant_segment.h"
#include "runtime/heap.h"
#include "runtime/runtime_error.h"
#include "runtime/value_helpers.h"
#include "tests/support/runtime_error_exit.h"

namespace {

// One array constant of four int elements, as the program's constant arrays are laid out.
struct IntArrayConstant {
  int32_t dimensionCount;
  int32_t size;
  int32_t elements[4];
};
RUNTIME_CONSTANT const IntArrayConstant constantArray = {1, 4, {10, 20, 30, 40}};
RUNTIME_CONSTANT const char literalText[] = "字面文本";

ByteBlock Block(const std::string& bytes, std::string& storage) {
  storage.assign(8, '\0');
  const int32_t header[2] = {1, static_cast<int32_t>(bytes.size())};
  std::memcpy(storage.data(), header, 8);
  storage += bytes;
  return reinterpret_cast<ByteBlock>(storage.data());
}

TEST(ConstantSegment, HoldsLiteralsAndProfilesButNotHeapOrStack) {
  EXPECT_TRUE(InConstantSegment(literalText));
  EXPECT_TRUE(InConstantSegment(&constantArray));
  EXPECT_TRUE(InConstantSegment(TestServerProfile.entries[1].content));
  EXPECT_TRUE(InConstantSegment(LiveServerProfile.entries[0].fileName));
  EXPECT_TRUE(InConstantSegment(&EmptyByteBlock));
  EXPECT_TRUE(InConstantSegment(EmptyText));
  OwnedText heap = NewText("x");
  int onStack = 0;
  EXPECT_FALSE(InConstantSegment(heap.get()));
  EXPECT_FALSE(InConstantSegment(&onStack));
  EXPECT_FALSE(InConstantSegment(nullptr));
  EXPECT_EQ(EmptyByteBlock.dimensionCount, 1);
  EXPECT_EQ(EmptyByteBlock.length, 0);
}

TEST(RuntimeFree, LeavesConstantsAloneAndReadable) {
  ByteBlock content = TestServerProfile.entries[1].content;
  const std::string before(reinterpret_cast<const char*>(ByteBlockData(content)), content->length);
  RuntimeFree(literalText);
  RuntimeFree(content);
  RuntimeFree(nullptr);
  EXPECT_STREQ(literalText, "字面文本");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(ByteBlockData(content)), content->length), before);
  // An owner may hold a constant: replacing it must not free the constant either.
  OwnedText owner(literalText);
  owner.reset(NewText("new").release());
  EXPECT_EQ(owner.view(), "new");
  EXPECT_STREQ(literalText, "字面文本");
}

TEST(RuntimeRealloc, OfAConstantCopiesItToTheHeap) {
  auto* grown = static_cast<IntArrayConstant*>(RuntimeRealloc(&constantArray, 64));
  ASSERT_NE(static_cast<const void*>(grown), static_cast<const void*>(&constantArray));
  EXPECT_FALSE(InConstantSegment(grown));
  EXPECT_EQ(0, std::memcmp(grown, &constantArray, sizeof constantArray));
  grown->elements[0] = 99;
  EXPECT_EQ(constantArray.elements[0], 10);
  RuntimeFree(grown);

  auto* shrunk = static_cast<char*>(RuntimeRealloc(literalText, 4));
  EXPECT_EQ(std::string(shrunk, 4), std::string(literalText, 4));
  RuntimeFree(shrunk);
}

TEST(RuntimeRealloc, NearTheEndOfTheConstantsCopiesOnlyWhatIsThere) {
  const ConstantRange range = ConstantSegment();
  const unsigned char* lastByte = range.start + range.length - 1;
  // Asks for far more than lies between the pointer and the end; the sanitizers catch a read
  // past the constants.
  auto* copy = static_cast<unsigned char*>(RuntimeRealloc(lastByte, 4096));
  EXPECT_EQ(copy[0], *lastByte);
  RuntimeFree(copy);
}

TEST(RuntimeRealloc, OfNullAllocatesAndOfHeapKeepsContent) {
  auto* p = static_cast<char*>(RuntimeRealloc(nullptr, 3));
  std::memcpy(p, "ab", 3);
  p = static_cast<char*>(RuntimeRealloc(p, 4000));
  EXPECT_STREQ(p, "ab");
  RuntimeFree(p);
}

TEST(RuntimeAllocDeathTest, FailureIsAReportedRuntimeError) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string expected = "运行时出错!\r\n\r\n错误信息：分配 -8 字节内存失败!\r\n";
  EXPECT_EXIT(
      {
        SetRuntimeErrorPresenter(ShowOnStderr);
        RuntimeAlloc(-8);
      },
      testing::ExitedWithCode(kRuntimeErrorExit), testing::HasSubstr(expected));
  EXPECT_EXIT(
      {
        SetRuntimeErrorPresenter(ShowOnStderr);
        void* p = RuntimeAlloc(16);
        RuntimeRealloc(p, -1);
      },
      testing::ExitedWithCode(kRuntimeErrorExit), testing::HasSubstr("分配 -1 字节内存失败!"));
}

// Sizes worked out from lengths near 2 GiB: the report names the size asked for, and nothing
// is allocated or copied on the way. The blocks and the array only claim their lengths.
const int32_t hugeBlock[2] = {1, 0x7FFFFFF0};
RUNTIME_CONSTANT const int32_t hugeConstantArray[2] = {1, 0x40000000};

struct HugeCase {
  const char* name;
  void (*ask)();
  const char* message;
};

class HugeAllocationDeathTest : public testing::TestWithParam<HugeCase> {};

TEST_P(HugeAllocationDeathTest, ReportsTheSizeAskedFor) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        SetRuntimeErrorPresenter(ShowOnStderr);
        GetParam().ask();
      },
      testing::ExitedWithCode(kRuntimeErrorExit), testing::HasSubstr(GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(
    Values, HugeAllocationDeathTest,
    testing::Values(
        HugeCase{"JoinedBlocks",
                 [] {
                   const auto block = reinterpret_cast<ByteBlock>(hugeBlock);
                   (void)JoinByteBlocks({block, block});
                 },
                 "分配 4294967272 字节内存失败!"},
        HugeCase{"BlockWithItsHeader", [] { (void)AllocateByteBlock(INT32_MAX - 4); }, "分配 2147483651 字节内存失败!"},
        HugeCase{"CopiedConstantArray",
                 [] {
                   auto* variable = const_cast<ArrayHeader*>(reinterpret_cast<const ArrayHeader*>(hugeConstantArray));
                   CopyConstantArray(4, &variable);
                 },
                 "分配 4294967304 字节内存失败!"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(JoinByteBlocks, ABlockClaimingANegativeLengthAddsNothing) {
  std::string a, c;
  const int32_t negative[2] = {1, -5};
  OwnedBytes joined = JoinByteBlocks({Block("ab", a), reinterpret_cast<ByteBlock>(negative), Block("c", c)});
  ASSERT_EQ(joined.length(), 3);
  EXPECT_EQ(std::string(joined.bytes().begin(), joined.bytes().end()), "abc");
  EXPECT_EQ(JoinByteBlocks({reinterpret_cast<ByteBlock>(negative)}).get(), nullptr);
}

TEST(RuntimeErrorText, CodeLineOnlyForNumberedErrors) {
  EXPECT_EQ(FormatRuntimeErrorText(RuntimeErrorMessage(ERR_INDEX_BELOW_ONE), ERR_INDEX_BELOW_ONE),
            "运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1\r\n");
  EXPECT_EQ(FormatRuntimeErrorText("不能整除于零", 0), "运行时出错!\r\n\r\n错误信息：不能整除于零\r\n");
  EXPECT_EQ(FormatRuntimeErrorText(nullptr, 0), "运行时出错!\r\n\r\n");
  EXPECT_EQ(RuntimeErrorMessage(0), nullptr);
  EXPECT_EQ(RuntimeErrorMessage(12), nullptr);
  EXPECT_STREQ(RuntimeErrorMessage(ERR_NEGATIVE_DIMENSION),
               "“重定义数组”命令的数组维定义参数值必须大于零或单维时大于等于零");
}

TEST(JoinTexts, AlwaysGivesAHeapTextEvenWhenEmpty) {
  OwnedText empty = JoinTexts({nullptr, EmptyText});
  ASSERT_NE(empty.get(), nullptr);
  EXPECT_FALSE(InConstantSegment(empty.get()));
  EXPECT_EQ(empty.get()[0], '\0');
  OwnedText joined = JoinTexts({"C:\\Windows", nullptr, "\\", literalText});
  EXPECT_EQ(joined.view(), "C:\\Windows\\字面文本");
}

TEST(JoinByteBlocks, EmptyResultIsNullAndDataIsConcatenated) {
  EXPECT_EQ(JoinByteBlocks({nullptr, nullptr}).get(), nullptr);
  EXPECT_EQ(JoinByteBlocks({&EmptyByteBlock, nullptr}).get(), nullptr);
  std::string a, b;
  OwnedBytes joined = JoinByteBlocks({Block("ab", a), nullptr, Block(std::string("\0c", 2), b)});
  ASSERT_NE(joined.get(), nullptr);
  EXPECT_EQ(joined.get()->dimensionCount, 1);
  EXPECT_EQ(std::string(joined.bytes().begin(), joined.bytes().end()), std::string("ab\0c", 4));
}

TEST(NewValues, EmptyInputGivesNull) {
  EXPECT_EQ(NewText("").get(), nullptr);
  EXPECT_EQ(NewByteBlock({}).get(), nullptr);
  EXPECT_EQ(NewText("abc").length(), 3);
}

TEST(CopyConstantArray, CopiesOnlyConstantsAndKeepsElements) {
  ArrayHeader* variable = const_cast<ArrayHeader*>(reinterpret_cast<const ArrayHeader*>(&constantArray));
  CopyConstantArray(4, &variable);
  ASSERT_FALSE(InConstantSegment(variable));
  EXPECT_EQ(ArrayElementCount(variable), 4);
  EXPECT_EQ(0, std::memcmp(variable, &constantArray, sizeof constantArray));
  static_cast<int32_t*>(ArrayElements(variable))[3] = -1;
  EXPECT_EQ(constantArray.elements[3], 40);

  ArrayHeader* heapCopy = variable;
  CopyConstantArray(4, &variable);
  EXPECT_EQ(variable, heapCopy);
  RuntimeFree(variable);

  ArrayHeader* none = nullptr;
  CopyConstantArray(4, &none);
  EXPECT_EQ(none, nullptr);
}

TEST(ArrayElementCount, IsTheProductOfTheSizes) {
  const int32_t twoByThree[] = {2, 2, 3};
  const int32_t noDimensions[] = {0};
  const int32_t negative[] = {1, -5};
  EXPECT_EQ(ArrayElementCount(reinterpret_cast<const ArrayHeader*>(twoByThree)), 6);
  EXPECT_EQ(ArrayElementCount(reinterpret_cast<const ArrayHeader*>(noDimensions)), 0);
  EXPECT_EQ(ArrayElementCount(reinterpret_cast<const ArrayHeader*>(negative)), 0);
}

}  // namespace
