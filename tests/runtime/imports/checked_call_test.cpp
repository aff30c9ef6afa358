// The checked call: arguments arrive where the callee's convention puts them, results come back
// whole, and a callee that removes more or fewer argument bytes than were pushed is runtime
// error 6. Built for x86-64 Windows (under Wine) and for Linux i386 (under qemu).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <ostream>
#include <string>

#include "runtime/imports/checked_call.h"
#include "runtime/runtime_error.h"
#include "tests/support/runtime_error_exit.h"

extern "C" {
int32_t OverpoppingWeightedSum3(int32_t a, int32_t b, int32_t c);
int32_t StdcallNoArguments();
#if defined(__i386__)
int32_t StdcallWeightedSum3(int32_t a, int32_t b, int32_t c);
int32_t CdeclWeightedSum3(int32_t a, int32_t b, int32_t c);
uint64_t CaptureStackArguments16(void* out, ...);
#else
uint64_t CaptureArguments6(...);
uint64_t capturedArguments[10];
#endif
}

namespace {

const std::string kStackErrorText = "运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n";

void PrepareDeathTest() {
#if defined(_WIN32)
  GTEST_FLAG_SET(death_test_style, "threadsafe");
#else
  GTEST_FLAG_SET(death_test_style, "fast");  // qemu cannot run the program again by exec
#endif
}

template <class T>
uint64_t BitsOf(T value) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof value);
  return bits;
}

int32_t CallWeightedSum3(const void* callee, int32_t a, int32_t b, int32_t c) {
  return CallWithStackCheck<int32_t, int32_t, int32_t, int32_t>(callee, a, b, c);
}

TEST(CheckedCall, NoArgumentsAtAll) {
  EXPECT_EQ((CallWithStackCheck<int32_t>(reinterpret_cast<const void*>(&StdcallNoArguments))), 0x600D);
}

#if defined(__i386__)

TEST(CheckedCall, StdcallCalleeKeepsArgumentOrderAndBalance) {
  const void* callee = reinterpret_cast<const void*>(&StdcallWeightedSum3);
  EXPECT_EQ(CallWeightedSum3(callee, 1, 2, 3), 1 + 4 + 9);
  EXPECT_EQ(CallWeightedSum3(callee, -7, 100, 0), -7 + 200);
}

// Each argument takes as many 4-byte slots as its size needs, lowest address first, exactly as
// a compiler pushes them; the 64-bit result comes back whole from EDX:EAX.
TEST(CheckedCall, X86ArgumentsLieOnTheStackAsPushed) {
  const void* callee = reinterpret_cast<const void*>(&CaptureStackArguments16);
  uint32_t captured[4] = {0xDEADBEEF, 0xDEADBEEF, 0xDEADBEEF, 0xDEADBEEF};

  const uint64_t result = CallWithStackCheck<uint64_t, void*, int8_t, float, double>(callee, captured, -2, 1.5f, -0.25);
  EXPECT_EQ(result, 0x0123456789ABCDEFu);
  EXPECT_EQ(captured[0] & 0xFFu, 0xFEu);
  EXPECT_EQ(captured[1], static_cast<uint32_t>(BitsOf(1.5f)));
  EXPECT_EQ(captured[2], static_cast<uint32_t>(BitsOf(-0.25)));
  EXPECT_EQ(captured[3], static_cast<uint32_t>(BitsOf(-0.25) >> 32));

  const int32_t& referent = 77;
  CallWithStackCheck<uint64_t, void*, int64_t, const int32_t&, uint16_t>(callee, captured, 0x1122334455667788,
                                                                          referent, 0xBEEF);
  EXPECT_EQ(captured[0], 0x55667788u);
  EXPECT_EQ(captured[1], 0x11223344u);
  EXPECT_EQ(captured[2], static_cast<uint32_t>(reinterpret_cast<uintptr_t>(&referent)));
  EXPECT_EQ(captured[3] & 0xFFFFu, 0xBEEFu);
}

struct WrongDeclaration {
  const char* name;
  int32_t (*callee)(int32_t, int32_t, int32_t);
};
void PrintTo(const WrongDeclaration& wrong, std::ostream* out) { *out << wrong.name; }

class CheckedCallDeathTest : public testing::TestWithParam<WrongDeclaration> {};

TEST_P(CheckedCallDeathTest, CalleeThatRemovesOtherByteCountIsRuntimeError6) {
  PrepareDeathTest();
  const void* callee = reinterpret_cast<const void*>(GetParam().callee);
  EXPECT_EXIT(
      {
        SetRuntimeErrorPresenter(ShowOnStderr);
        CallWeightedSum3(callee, 1, 2, 3);
        std::fputs("returned", stderr);
      },
      testing::ExitedWithCode(kRuntimeErrorExit), testing::HasSubstr(kStackErrorText));
}

INSTANTIATE_TEST_SUITE_P(X86, CheckedCallDeathTest,
                         testing::Values(WrongDeclaration{"CdeclLeavesItsArguments", &CdeclWeightedSum3},
                                         WrongDeclaration{"Removes16Of12Bytes", &OverpoppingWeightedSum3}),
                         [](const auto& param) { return std::string(param.param.name); });

#else

// Slots 0-3 travel in RCX, RDX, R8, R9 and in XMM0-XMM3 alike, so that the callee finds an
// integer or a float wherever its parameter type says; slots 4 and 5 lie above the home space.
TEST(CheckedCall, X64ArgumentsArriveInRegistersAndAboveTheHomeSpace) {
  std::fill(std::begin(capturedArguments), std::end(capturedArguments), 0xDEADBEEFDEADBEEFu);
  const int32_t& referent = 77;
  const uint64_t result = CallWithStackCheck<uint64_t, int32_t, float, double, const int32_t&, int64_t, float>(
      reinterpret_cast<const void*>(&CaptureArguments6), -2, 1.5f, -0.25, referent, 0x1122334455667788, 3.0f);
  EXPECT_EQ(result, 0x0123456789ABCDEFu);
  EXPECT_EQ(static_cast<uint32_t>(capturedArguments[0]), 0xFFFFFFFEu);              // RCX
  EXPECT_EQ(static_cast<uint32_t>(capturedArguments[5]), BitsOf(1.5f));             // XMM1
  EXPECT_EQ(capturedArguments[6], BitsOf(-0.25));                                   // XMM2
  EXPECT_EQ(capturedArguments[3], reinterpret_cast<uintptr_t>(&referent));          // R9
  EXPECT_EQ(capturedArguments[8], 0x1122334455667788u);                             // slot 4
  EXPECT_EQ(static_cast<uint32_t>(capturedArguments[9]), BitsOf(3.0f));             // slot 5
}

TEST(CheckedCallDeathTest, X64CalleeThatRemovesStackBytesIsRuntimeError6) {
  PrepareDeathTest();
  const void* callee = reinterpret_cast<const void*>(&OverpoppingWeightedSum3);
  EXPECT_EXIT(
      {
        SetRuntimeErrorPresenter(ShowOnStderr);
        CallWeightedSum3(callee, 1, 2, 3);
        std::fputs("returned", stderr);
      },
      testing::ExitedWithCode(kRuntimeErrorExit), testing::HasSubstr(kStackErrorText));
}

#endif

}  // namespace
