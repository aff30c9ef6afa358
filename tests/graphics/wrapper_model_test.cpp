// The wrapper model under Wine: starting and stopping GDI+, the handle discipline of the wrappers,
// optional arguments, and the GBK <-> UTF-16 conversions.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/fonts.h"
#include "graphics/paths_pens_brushes.h"
#include "tests/graphics/graphics_test_support.h"

namespace {

using testing::ElementsAre;

// --- Start-up and shut-down ---

std::vector<ULONG_PTR> shutdowns;
VOID WINAPI RecordShutdown(ULONG_PTR token) { shutdowns.push_back(token); }

struct StartupSeen {
  UINT32 version;
  bool callback;
  BOOL suppressBackgroundThread;
  BOOL suppressExternalCodecs;
  bool output;
};
std::vector<StartupSeen> startups;
const StandIn* startupStandIn = nullptr;
Gdiplus::Status WINAPI RecordStartup(ULONG_PTR* token, const Gdiplus::GdiplusStartupInput* input,
                                     Gdiplus::GdiplusStartupOutput* output) {
  startups.push_back({input->GdiplusVersion, input->DebugEventCallback != nullptr, input->SuppressBackgroundThread,
                      input->SuppressExternalCodecs, output != nullptr});
  using Startup = decltype(&RecordStartup);
  return startupStandIn->Original<Startup>()(token, input, output);
}

// Real start-ups balanced by real shut-downs, whatever the wrappers under test pass on.
class GdiPlusStartup : public testing::Test {
 protected:
  void SetUp() override {
    shutdowns.clear();
    startups.clear();
  }
  void TearDown() override { startedToken = 0; }
  static void EndForReal(uintptr_t token) {
    if (token) Declared::GdiplusShutdown(token);
  }
};

TEST_F(GdiPlusStartup, ShutdownWithoutTokenEndsTheStartedOneOnce) {
  const uintptr_t token = StartGdiPlus();
  ASSERT_NE(token, 0u);
  EXPECT_EQ(startedToken, token);
  {
    StandIn recorder(K_GdiplusShutdown, reinterpret_cast<void*>(&RecordShutdown));
    ShutdownGdiPlus();
    EXPECT_EQ(startedToken, 0u);
    ShutdownGdiPlus();
  }
  EXPECT_THAT(shutdowns, ElementsAre(token));
  EndForReal(token);
}

// A given token is shut down as it is; the started one is forgotten only when it is that token.
TEST_F(GdiPlusStartup, GivenTokensAreShutDownAsGiven) {
  const uintptr_t token = StartGdiPlus();
  {
    StandIn recorder(K_GdiplusShutdown, reinterpret_cast<void*>(&RecordShutdown));
    ShutdownGdiPlus(uintptr_t{0x1234});
    EXPECT_EQ(startedToken, token);
    ShutdownGdiPlus(uintptr_t{0});
    ShutdownGdiPlus(token);
    EXPECT_EQ(startedToken, 0u);
    ShutdownGdiPlus();
  }
  EXPECT_THAT(shutdowns, ElementsAre(0x1234u, token));
  EndForReal(token);
}

TEST_F(GdiPlusStartup, VersionIsOneUnlessGivenAndNothingElseIsAsked) {
  std::vector<uintptr_t> tokens;
  {
    StandIn recorder(K_GdiplusStartup, reinterpret_cast<void*>(&RecordStartup));
    startupStandIn = &recorder;
    tokens.push_back(StartGdiPlus());
    tokens.push_back(StartGdiPlus(2u));
    tokens.push_back(StartGdiPlus(OptionalArg<uint32_t>::NotGiven(2)));
    startupStandIn = nullptr;
  }
  ASSERT_EQ(startups.size(), 3u);
  const UINT32 versions[] = {1, 2, 1};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(startups[i].version, versions[i]) << "start-up " << i;
    EXPECT_FALSE(startups[i].callback);
    EXPECT_EQ(startups[i].suppressBackgroundThread, FALSE);
    EXPECT_EQ(startups[i].suppressExternalCodecs, FALSE);
    EXPECT_FALSE(startups[i].output);
    EXPECT_NE(tokens[i], 0u);
  }
  EXPECT_EQ(startedToken, tokens[2]);
  for (uintptr_t token : tokens) EndForReal(token);
}

// --- Handle discipline ---

template <class W>
class EmptyWrapper : public testing::Test {};
using AllWrappers = testing::Types<Graphics, GraphicsPath, Pen, SolidBrush, LinearGradientBrush, PathGradientBrush,
                                   Font, FontFamily, StringFormat, Region, Image, Bitmap>;
TYPED_TEST_SUITE(EmptyWrapper, AllWrappers);

TYPED_TEST(EmptyWrapper, DeleteReturnsFalseAndLeavesTheStatusAlone) {
  TypeParam wrapper;
  EXPECT_EQ(wrapper.GetHandle(), nullptr);
  lastStatus = 4242;
  EXPECT_FALSE(wrapper.Delete());
  EXPECT_EQ(lastStatus, 4242);
}

// How each brush kind is made for the handle checks.
bool MakeBrush(SolidBrush& brush) { return brush.Create(kRed); }
bool MakeBrush(LinearGradientBrush& brush) { return brush.Create({0, 0}, {0, 10}, kRed, kBlue); }
bool MakeBrush(PathGradientBrush& brush) {
  const Gdiplus::PointF triangle[] = {{0, 0}, {10, 0}, {0, 10}};
  return brush.CreateFromPoints(triangle);
}

template <class B>
class BrushHandles : public testing::Test {
 protected:
  static void ExpectAllCopies(const B& brush, void* expected) {
    EXPECT_EQ(brush.GetHandle(), expected);
    EXPECT_EQ(brush.BrushHandle(), expected);
    EXPECT_EQ(static_cast<void*>(brush.OwnHandle()), expected);
  }
};
using BrushKinds = testing::Types<SolidBrush, LinearGradientBrush, PathGradientBrush>;
TYPED_TEST_SUITE(BrushHandles, BrushKinds);

TYPED_TEST(BrushHandles, StayEqualThroughCreateSetHandleAndDelete) {
  TypeParam brush;
  ASSERT_TRUE(MakeBrush(brush));
  void* native = brush.GetHandle();
  ASSERT_NE(native, nullptr);
  this->ExpectAllCopies(brush, native);
  brush.SetHandle(nullptr);
  this->ExpectAllCopies(brush, nullptr);
  brush.SetHandle(native);
  this->ExpectAllCopies(brush, native);
  EXPECT_TRUE(brush.Delete());
  EXPECT_EQ(lastStatus, Gdiplus::Ok);
  this->ExpectAllCopies(brush, nullptr);
}

TEST(FailedCreation, LeavesEveryHandleZeroAndLaterCallsFail) {
  LinearGradientBrush brush;
  EXPECT_FALSE(brush.Create({5, 5}, {5, 5}, kRed, kBlue));
  EXPECT_NE(lastStatus, Gdiplus::Ok);
  EXPECT_EQ(brush.GetHandle(), nullptr);
  EXPECT_EQ(brush.BrushHandle(), nullptr);
  EXPECT_EQ(brush.OwnHandle(), nullptr);
  Canvas canvas(4, 4);
  EXPECT_FALSE(canvas.surface.FillRectangle(brush, 0, 0, 4, 4));
  EXPECT_EQ(lastStatus, Gdiplus::InvalidParameter);
  EXPECT_EQ(canvas.At(1, 1), kWhite);
}

TEST(OptionalArguments, PathFillModeIsAlternateUnlessGiven) {
  struct Case {
    OptionalArg<Gdiplus::FillMode> mode;
    Gdiplus::FillMode expected;
  } cases[] = {
      {{}, Gdiplus::FillModeAlternate},
      {OptionalArg<Gdiplus::FillMode>::NotGiven(Gdiplus::FillModeWinding), Gdiplus::FillModeAlternate},
      {Gdiplus::FillModeWinding, Gdiplus::FillModeWinding},
  };
  for (const Case& c : cases) {
    GraphicsPath path;
    ASSERT_TRUE(path.Create(c.mode));
    auto mode = static_cast<Gdiplus::FillMode>(-1);
    EXPECT_TRUE(path.GdipGetPathFillMode(&mode));
    EXPECT_EQ(mode, c.expected);
  }
}

std::vector<void*> deletedFamilies;
const StandIn* familyDeleteStandIn = nullptr;
Gdiplus::Status WINAPI RecordFamilyDelete(Gdiplus::GpFontFamily* family) {
  deletedFamilies.push_back(family);
  return familyDeleteStandIn->Original<decltype(&RecordFamilyDelete)>()(family);
}

TEST(FontFamilyLifetime, DestroyingTheWrapperReleasesNothingAndDeleteDoes) {
  StandIn recorder(K_GdipDeleteFontFamily, reinterpret_cast<void*>(&RecordFamilyDelete));
  familyDeleteStandIn = &recorder;
  deletedFamilies.clear();
  const FontCollection installed;
  void* left = nullptr;
  {
    FontFamily family;
    ASSERT_TRUE(family.CreateFromName("宋体", installed));
    left = family.GetHandle();
  }
  EXPECT_TRUE(deletedFamilies.empty());
  FontFamily family;
  family.SetHandle(left);
  EXPECT_TRUE(family.Delete());
  EXPECT_THAT(deletedFamilies, ElementsAre(left));
  EXPECT_EQ(family.GetHandle(), nullptr);
  familyDeleteStandIn = nullptr;
}

// --- Text conversions ---

std::vector<unsigned char> BytesOf(const OwnedBytes& block) { return {block.bytes().begin(), block.bytes().end()}; }

TEST(TextConversion, EmptyTextIsOneTerminator) {
  for (TextValue empty : {static_cast<TextValue>(nullptr), ""}) {
    const OwnedBytes wide = ToWideText(empty);
    EXPECT_THAT(BytesOf(wide), ElementsAre(0, 0));
  }
  EXPECT_EQ(FromWideText(nullptr).get(), nullptr);
  EXPECT_EQ(FromWideText(L"").get(), nullptr);
}

TEST(TextConversion, ChineseTextIsOneUnitPerCharacterPlusTerminator) {
  const OwnedBytes wide = ToWideText("体验服");
  EXPECT_THAT(BytesOf(wide), ElementsAre(0x53, 0x4F, 0x8C, 0x9A, 0x0D, 0x67, 0, 0));
}

// GBK both ways, whatever the ANSI code page of the process (this runs under 936 and 1252).
struct ConversionCase {
  const char* gbk;
  const wchar_t* wide;
};

class TextConversionCase : public testing::TestWithParam<ConversionCase> {};

TEST_P(TextConversionCase, GbkAndUtf16ConvertIntoEachOther) {
  const OwnedBytes wide = ToWideText(GetParam().gbk);
  EXPECT_EQ(std::wstring(WideChars(wide)), GetParam().wide);
  EXPECT_EQ(FromWideText(GetParam().wide).view(), GetParam().gbk);
}

INSTANTIATE_TEST_SUITE_P(Texts, TextConversionCase,
                         testing::Values(ConversionCase{"正服转体验服", L"正服转体验服"},
                                         ConversionCase{"体验服转正服 v1.0", L"体验服转正服 v1.0"},
                                         ConversionCase{"楷体 and 宋体", L"楷体 and 宋体"},
                                         ConversionCase{"A", L"A"}));

TEST(TextConversion, CharactersGbkLacksBecomeQuestionMarks) {
  const wchar_t withHangul[] = L"服\uD55C";
  EXPECT_EQ(FromWideText(withHangul).view(), "服?");
}

}  // namespace
