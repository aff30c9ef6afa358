// Calls through the program's own table, written as ordinary calls: integers, texts, floats in
// registers and on the stack, references, and the release of the bound modules at exit.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "runtime/constant_segment.h"
#include "runtime/imports/declared_functions.h"

namespace {

TEST(DeclaredTable, NamesLieInTheConstantRange) {
  EXPECT_TRUE(InConstantSegment(DeclaredDllNames));
  EXPECT_TRUE(InConstantSegment(DeclaredFunctionNames));
  for (int32_t k = 0; k < kDeclaredFunctionCount; ++k) {
    ASSERT_TRUE(InConstantSegment(DeclaredDllNames[k])) << k;
    ASSERT_TRUE(InConstantSegment(DeclaredFunctionNames[k])) << k;
  }
  EXPECT_STREQ(DeclaredDllNames[K_SendMessageA], "");
  EXPECT_STREQ(DeclaredFunctionNames[K_lstrcpyn], "lstrcpyn");
  EXPECT_STREQ(DeclaredDllNames[K_GdiplusStartup], "Gdiplus.dll");
}

TEST(DeclaredCalls, KernelFunctionsThroughNamedAndSearchedDeclarations) {
  EXPECT_EQ(Declared::GetCurrentProcessId(), GetCurrentProcessId());
  EXPECT_EQ(DeclaredFunctionTable().moduleHandles[K_GetCurrentProcessId], GetModuleHandleA("kernel32.dll"));
  EXPECT_EQ(Declared::GetModuleHandleA(nullptr), GetModuleHandleA(nullptr));
  EXPECT_EQ(Declared::GetModuleHandleA_2("kernel32.dll"), GetModuleHandleA("kernel32.dll"));
  EXPECT_EQ(Declared::lstrlenW(L"声明函数"), 4);

  // Six arguments: two of them beyond the four register slots on x86-64.
  wchar_t wide[8] = {L'#', L'#', L'#', L'#', L'#', L'#', L'#', L'#'};
  EXPECT_EQ(Declared::MultiByteToWideChar(936, 0, "中文", -1, wide, 8), 3);
  EXPECT_EQ(std::wstring(wide), L"中文");
  EXPECT_EQ(wide[3], L'#');

  char copy[8] = "#######";
  EXPECT_EQ(CallDeclared<K_lstrcpyn>(copy, "abcdef", 4), copy);
  EXPECT_STREQ(copy, "abc");
  EXPECT_EQ(copy[4], '#');
  (Declared::RtlMoveMemory_2)(copy, "XY", 2);
  EXPECT_STREQ(copy, "XYc");
}

TEST(DeclaredCalls, ReferenceParametersTravelAsAddresses) {
  const GUID guid = {0x12345678, 0x9ABC, 0xDEF0, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};
  wchar_t text[64] = {};
  EXPECT_EQ(Declared::StringFromGUID2(guid, text, 64), 39);
  EXPECT_EQ(std::wstring(text), L"{12345678-9ABC-DEF0-0123-456789ABCDEF}");
  CLSID back = {};
  EXPECT_EQ(Declared::CLSIDFromString(text, &back), S_OK);
  EXPECT_EQ(std::memcmp(&back, &guid, sizeof guid), 0);
}

// REAL arguments in XMM registers and stack slots, read back through the same table.
TEST(DeclaredCalls, GdiplusFloatArgumentsArriveIntact) {
  using namespace Gdiplus;
  ULONG_PTR token = 0;
  GdiplusStartupInput input;
  ASSERT_EQ(Declared::GdiplusStartup(&token, &input, nullptr), Ok);

  GpPen* pen = nullptr;
  ASSERT_EQ(Declared::GdipCreatePen1(0xFF102030, 2.5f, UnitPixel, &pen), Ok);
  REAL width = -1;
  ARGB color = 0;
  EXPECT_EQ(Declared::GdipGetPenWidth(pen, &width), Ok);
  EXPECT_EQ(Declared::GdipGetPenColor(pen, &color), Ok);
  EXPECT_EQ(width, 2.5f);
  EXPECT_EQ(color, 0xFF102030u);
  EXPECT_EQ(Declared::GdipDeletePen(pen), Ok);

  // Slots 1-3 in XMM1-XMM3, the last on the stack.
  GpPath* path = nullptr;
  ASSERT_EQ(Declared::GdipCreatePath(FillModeAlternate, &path), Ok);
  EXPECT_EQ(Declared::GdipAddPathLine(path, 1.5f, 2.5f, 30.0f, 40.25f), Ok);
  GpPointF points[3] = {{-1, -1}, {-1, -1}, {-1, -1}};
  INT count = 0;
  EXPECT_EQ(Declared::GdipGetPointCount(path, &count), Ok);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(Declared::GdipGetPathPoints(path, points, count), Ok);
  EXPECT_EQ(points[0].X, 1.5f);
  EXPECT_EQ(points[0].Y, 2.5f);
  EXPECT_EQ(points[1].X, 30.0f);
  EXPECT_EQ(points[1].Y, 40.25f);
  EXPECT_EQ(points[2].X, -1.0f);
  EXPECT_EQ(Declared::GdipDeletePath(path), Ok);
  Declared::GdiplusShutdown(token);
}

TEST(DeclaredCalls, ReleaseGivesBackEveryModuleAndLaterCallsBindAgain) {
  EXPECT_EQ(Declared::GetParent(nullptr), nullptr);
  ImportTable& table = DeclaredFunctionTable();
  ASSERT_EQ(table.moduleHandles[K_GetParent], GetModuleHandleA("user32.dll"));
  ReleaseDeclaredModules();
  for (int32_t k = 0; k < table.count; ++k) {
    ASSERT_EQ(table.boundAddresses[k], nullptr) << k;
    ASSERT_EQ(table.moduleHandles[k], nullptr) << k;
  }
  EXPECT_EQ(Declared::GetCurrentProcessId(), GetCurrentProcessId());
  EXPECT_NE(table.boundAddresses[K_GetCurrentProcessId], nullptr);
  ReleaseDeclaredModules();
}

}  // namespace
