// The entry hook on functions of known prologue: the patch redirects, the trampoline runs the
// function as it was, Remove puts back exactly what was there, a second Install replaces the
// first, and prologues that cannot move are refused with nothing written. Built for x86-64
// Windows (under Wine) and for Linux i386 (under qemu).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>

#include "hook/api_hook.h"
#include "hook/memory_pages.h"

extern "C" {
int HookTargetTriple(int x);
int HookTargetTooShort(int x);
int HookTargetNeighbour(int x);
int HookTargetSelfJump(int x);
#if defined(__x86_64__)
int HookTargetBranchFirst(int x);
int HookTargetRipFirst(int x);
#else
int HookTargetCallFirst(int x);
int HookTargetStub(int x);
int HookTargetStubChain(int x);
int HookTargetStubbed(int x);
#endif
}

namespace {

using IntFunction = int (*)(int);

void* AddressOf(IntFunction function) { return reinterpret_cast<void*>(function); }

// The first bytes of a function, to see what a patch changed.
using CodeBytes = std::array<uint8_t, 16>;
CodeBytes BytesAt(IntFunction function) {
  CodeBytes bytes{};
  std::memcpy(bytes.data(), AddressOf(function), bytes.size());
  return bytes;
}

// Calls through a pointer the compiler cannot see through.
int Call(IntFunction function, int x) {
  IntFunction volatile through = function;
  return through(x);
}

IntFunction tripleTrampoline = nullptr;
int PlusThousand(int x) { return Call(tripleTrampoline, x) + 1000; }
int MinusThousand(int x) { return Call(tripleTrampoline, x) - 1000; }

void* InstallOnTriple(ApiHook& hook, IntFunction replacement) {
  void* trampoline = hook.InstallAt(AddressOf(&HookTargetTriple), reinterpret_cast<const void*>(replacement));
  tripleTrampoline = reinterpret_cast<IntFunction>(trampoline);
  return trampoline;
}

TEST(ApiHook, RedirectsKeepsTheFunctionAsItWasAndRemovesExactly) {
  const CodeBytes before = BytesAt(&HookTargetTriple);
  ApiHook hook;
  void* trampoline = InstallOnTriple(hook, &PlusThousand);
  ASSERT_NE(trampoline, nullptr) << static_cast<int>(hook.status());
  EXPECT_EQ(hook.status(), HookStatus::kInstalled);
  EXPECT_EQ(hook.target(), AddressOf(&HookTargetTriple));
  EXPECT_EQ(BytesAt(&HookTargetTriple)[0], 0xE9);
  // The moved bytes end with whole instructions: the patch covers 5, the rest stays.
  EXPECT_TRUE(std::equal(before.begin() + 5, before.end(), BytesAt(&HookTargetTriple).begin() + 5));

  EXPECT_EQ(Call(&HookTargetTriple, 5), 1015);
  EXPECT_EQ(Call(reinterpret_cast<IntFunction>(trampoline), -7), -21);

  EXPECT_TRUE(hook.Remove());
  EXPECT_EQ(BytesAt(&HookTargetTriple), before);
  EXPECT_EQ(Call(&HookTargetTriple, 5), 15);
  EXPECT_EQ(hook.trampoline(), nullptr);
  // The trampoline outlives the patch: a caller that kept it can still call it.
  EXPECT_EQ(Call(reinterpret_cast<IntFunction>(trampoline), 4), 12);

  EXPECT_FALSE(hook.Remove());
  EXPECT_EQ(hook.status(), HookStatus::kNotInstalled);
  EXPECT_EQ(BytesAt(&HookTargetTriple), before);
}

TEST(ApiHook, InstallingAgainReplacesTheFirstPatchAndTheDestructorRemovesIt) {
  const CodeBytes before = BytesAt(&HookTargetTriple);
  void* first = nullptr;
  {
    ApiHook hook;
    first = InstallOnTriple(hook, &PlusThousand);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(InstallOnTriple(hook, &MinusThousand), nullptr) << static_cast<int>(hook.status());
    // Had the first patch stayed, the second Install would have read its jump as the prologue
    // and refused it as a relative branch.
    EXPECT_EQ(Call(&HookTargetTriple, 5), 15 - 1000);
    EXPECT_EQ(Call(reinterpret_cast<IntFunction>(first), 2), 6);
  }
  EXPECT_EQ(BytesAt(&HookTargetTriple), before);
  EXPECT_EQ(Call(&HookTargetTriple, 5), 15);
  EXPECT_EQ(Call(reinterpret_cast<IntFunction>(first), 3), 9);
}

// Someone who writes over our patch keeps their bytes when we remove ours. (A second hook would
// take our jump for a stub and follow it into the replacement.)
TEST(ApiHook, RemoveLeavesAnotherPatchInPlace) {
  const CodeBytes before = BytesAt(&HookTargetTriple);
  ApiHook hook;
  ASSERT_NE(InstallOnTriple(hook, &PlusThousand), nullptr);
  EXPECT_EQ(Call(&HookTargetTriple, 1), 1003);

  const JumpRel32 theirs = MakeJumpRel32(reinterpret_cast<uintptr_t>(AddressOf(&HookTargetTriple)),
                                         reinterpret_cast<uintptr_t>(AddressOf(&HookTargetNeighbour)));
  ASSERT_TRUE(memory_pages::WriteCode(AddressOf(&HookTargetTriple), &theirs, sizeof theirs));
  EXPECT_FALSE(hook.Remove());
  EXPECT_EQ(hook.status(), HookStatus::kPatchOverwritten);
  EXPECT_EQ(Call(&HookTargetTriple, 8), 7);
  ASSERT_TRUE(memory_pages::WriteCode(AddressOf(&HookTargetTriple), before.data(), kPatchLength));
  EXPECT_EQ(Call(&HookTargetTriple, 8), 24);
}

struct RefusedCase {
  const char* name;
  IntFunction target;
  HookStatus status;
};

class RefusedPrologue : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedPrologue, ReturnsNullAndWritesNothing) {
  const RefusedCase& c = GetParam();
  const CodeBytes before = BytesAt(c.target);
  const CodeBytes neighbour = BytesAt(&HookTargetNeighbour);
  ApiHook hook;
  EXPECT_EQ(hook.InstallAt(AddressOf(c.target), reinterpret_cast<const void*>(&PlusThousand)), nullptr);
  EXPECT_EQ(hook.status(), c.status);
  EXPECT_EQ(hook.target(), nullptr);
  EXPECT_EQ(BytesAt(c.target), before);
  EXPECT_EQ(BytesAt(&HookTargetNeighbour), neighbour);
  EXPECT_FALSE(hook.Remove());
}

INSTANTIATE_TEST_SUITE_P(
    KnownPrologues, RefusedPrologue,
    ::testing::Values(
#if defined(__x86_64__)
        RefusedCase{"BranchInPrologue", &HookTargetBranchFirst, HookStatus::kBranchInPrologue},
        RefusedCase{"RipRelative", &HookTargetRipFirst, HookStatus::kRipRelativePrologue},
#else
        RefusedCase{"CallFirst", &HookTargetCallFirst, HookStatus::kBranchInPrologue},
#endif
        RefusedCase{"TooShort", &HookTargetTooShort, HookStatus::kFunctionTooShort},
        RefusedCase{"JumpsToItself", &HookTargetSelfJump, HookStatus::kStubChainTooLong}),
    [](const auto& p) { return std::string(p.param.name); });

// Exports that are jump stubs to the function doing the work: a DLL of ours on x86-64 Windows
// (its stub jumps through a RIP-relative pointer slot, as gdi32's exports do on 64-bit Windows),
// machine code in this program on x86 (through an absolute slot, as import thunks do).
#if defined(_WIN32) && defined(__x86_64__)
constexpr char kStubLibrary[] = "hook_stub_library.dll";
constexpr char kStubbedFunction[] = "RealTriple";
IntFunction StubFunction(const char* name) {
  return reinterpret_cast<IntFunction>(memory_pages::FindExport(kStubLibrary, name));
}
void* InstallOnStub(ApiHook& hook, const char* name) {
  return hook.Install(kStubLibrary, name, reinterpret_cast<const void*>(&PlusThousand));
}
#else
constexpr char kStubbedFunction[] = "HookTargetStubbed";
IntFunction StubFunction(const char* name) {
  const std::string wanted = name;
  return wanted == "StubbedTriple" ? &HookTargetStub : wanted == "StubChain" ? &HookTargetStubChain
                                                     : wanted == kStubbedFunction ? &HookTargetStubbed : nullptr;
}
void* InstallOnStub(ApiHook& hook, const char* name) {
  return hook.InstallAt(AddressOf(StubFunction(name)), reinterpret_cast<const void*>(&PlusThousand));
}
#endif

class JumpStubExport : public ::testing::TestWithParam<const char*> {};

TEST_P(JumpStubExport, PatchesTheFunctionTheStubsLeadToAndLeavesThemAlone) {
  const IntFunction stub = StubFunction(GetParam());
  const IntFunction stubbed = StubFunction(kStubbedFunction);
  ASSERT_NE(stub, nullptr);
  ASSERT_NE(stubbed, nullptr);
  const CodeBytes stubBefore = BytesAt(stub);
  const CodeBytes stubbedBefore = BytesAt(stubbed);

  ApiHook hook;
  void* trampoline = InstallOnStub(hook, GetParam());
  tripleTrampoline = reinterpret_cast<IntFunction>(trampoline);
  ASSERT_NE(trampoline, nullptr) << static_cast<int>(hook.status());
  EXPECT_EQ(hook.target(), AddressOf(stubbed));
  EXPECT_TRUE(std::equal(stubBefore.begin(), stubBefore.begin() + kPatchLength, BytesAt(stub).begin()));
  EXPECT_EQ(BytesAt(stubbed)[0], 0xE9);
  EXPECT_EQ(Call(stub, 5), 1015);
  EXPECT_EQ(Call(stubbed, 6), 1018);
  EXPECT_EQ(Call(reinterpret_cast<IntFunction>(trampoline), -7), -21);

  EXPECT_TRUE(hook.Remove());
  EXPECT_EQ(BytesAt(stubbed), stubbedBefore);
  EXPECT_EQ(Call(stub, 5), 15);
}

INSTANTIATE_TEST_SUITE_P(Stubs, JumpStubExport, ::testing::Values("StubbedTriple", "StubChain"),
                         [](const auto& p) { return std::string(p.param); });

#if defined(_WIN32)
TEST(ApiHook, MissingLibraryOrExportIsNotFound) {
  const char* const names[][2] = {{"gdi32", "NoSuchExport"}, {"no_such_library_7.dll", "GdiTransparentBlt"}};
  for (const auto& [library, function] : names) {
    ApiHook hook;
    EXPECT_EQ(hook.Install(library, function, reinterpret_cast<const void*>(&PlusThousand)), nullptr) << library;
    EXPECT_EQ(hook.status(), HookStatus::kFunctionNotFound) << library;
  }
}
#endif

}  // namespace
