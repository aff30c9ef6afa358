// The instruction length decoder and the prologue plan, over one table of byte patterns for both
// modes: Wine's real GdiTransparentBlt prologues, the prologues compilers emit, and the
// instructions that must not move. Each pattern is given exactly as long as it is, so a read
// past its end shows under AddressSanitizer (host build).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "hook/x86_instruction_length.h"

namespace {

using K = InstructionKind;
using V = PrologueVerdict;
constexpr CodeMode x86 = CodeMode::kX86;
constexpr CodeMode x64 = CodeMode::kX64;

struct PrologueCase {
  const char* name;
  CodeMode mode;
  const char* bytes;  // hexadecimal, space-separated
  size_t firstLength;
  InstructionKind firstKind;
  size_t movedLength;  // for a 5-byte patch
  PrologueVerdict verdict;
};

void PrintTo(const PrologueCase& c, std::ostream* out) { *out << c.name; }

std::vector<uint8_t> Bytes(const char* hex) {
  std::vector<uint8_t> bytes;
  for (char* cursor = const_cast<char*>(hex); *cursor;) bytes.push_back(static_cast<uint8_t>(std::strtoul(cursor, &cursor, 16)));
  return bytes;
}

constexpr PrologueCase kCases[] = {
    // Wine 8's gdi32 GdiTransparentBlt (and msimg32 TransparentBlt, the same code).
    {"WineGdi64", x64, "41 57 41 56 41 55 41 54 55 57 56 53 48 83 EC 68", 2, K::kPlain, 6, V::kMovable},
    {"WineGdi32", x86, "8D 4C 24 04 83 E4 F0 FF 71 FC 55 89 E5", 4, K::kPlain, 7, V::kMovable},
    // x86-64 prologues.
    {"Endbr64", x64, "F3 0F 1E FA 55 48 89 E5", 4, K::kPlain, 5, V::kMovable},
    {"SaveRbxToHome", x64, "48 89 5C 24 08 57 48 83 EC 20", 5, K::kPlain, 5, V::kMovable},
    {"SubRspImm32", x64, "48 81 EC 88 00 00 00 C3", 7, K::kPlain, 7, V::kMovable},
    {"MovR11RspThenStore", x64, "4C 8B DC 49 89 5B 08", 3, K::kPlain, 7, V::kMovable},
    {"MovRaxImm64", x64, "48 B8 88 77 66 55 44 33 22 11", 10, K::kPlain, 10, V::kMovable},
    {"NopWordNine", x64, "66 0F 1F 84 00 00 00 00 00", 9, K::kPlain, 9, V::kMovable},
    {"TestImm8ThenMov", x64, "F6 C1 01 8B C1", 3, K::kPlain, 5, V::kMovable},
    {"CmpImm16", x64, "66 81 F9 34 12", 5, K::kPlain, 5, V::kMovable},
    {"MoffsIs8Bytes", x64, "A1 00 00 00 40 01 00 00 00", 9, K::kPlain, 9, V::kMovable},
    {"SibAbsoluteIsNotRip", x64, "8D 04 85 00 00 00 00", 7, K::kPlain, 7, V::kMovable},
    {"RexPushR12", x64, "41 54 48 83 EC 20", 2, K::kPlain, 6, V::kMovable},
    // x86 prologues.
    {"HotPatchable", x86, "8B FF 55 8B EC", 2, K::kPlain, 5, V::kMovable},
    {"PushMemDisp8", x86, "FF 71 FC 83 EC 18", 3, K::kPlain, 6, V::kMovable},
    {"AbsoluteDisp32", x86, "8B 05 78 56 34 12", 6, K::kPlain, 6, V::kMovable},
    {"IncDecAreNotRex", x86, "41 4A 40 48 90", 1, K::kPlain, 5, V::kMovable},
    {"Enter", x86, "C8 10 00 00 90", 4, K::kPlain, 5, V::kMovable},
    {"FsSegmentMoffs", x86, "64 A1 00 00 00 00", 6, K::kPlain, 6, V::kMovable},
    {"SehFrame", x86, "6A FF 68 10 20 30 40", 2, K::kPlain, 7, V::kMovable},
    {"RetImm16AtFive", x86, "31 C0 C2 08 00", 2, K::kPlain, 5, V::kMovable},
    {"JmpThroughImportSlot", x86, "FF 25 00 10 40 00", 6, K::kEndsFlow, 6, V::kMovable},
    {"FldArgument", x86, "D9 44 24 04 C3", 4, K::kPlain, 5, V::kMovable},
    // Lengths set by the opcode, not by the ModRM alone.
    {"ExtrqTwoImmediates", x64, "66 0F 78 C0 01 02", 6, K::kPlain, 6, V::kMovable},
    {"InsertqTwoImmediates", x86, "F2 0F 78 C1 01 02", 6, K::kPlain, 6, V::kMovable},
    {"MovFromCrIgnoresMod", x86, "0F 20 85 90 90 90 90", 3, K::kPlain, 5, V::kMovable},
    {"MovToDrIgnoresMod", x64, "41 0F 23 04 90 90", 4, K::kPlain, 5, V::kMovable},
    // Relative branches and calls.
    {"CallRel32", x86, "E8 00 00 00 00", 5, K::kRelativeBranch, 0, V::kRelativeBranch},
    {"JmpRel32", x64, "E9 10 00 00 00", 5, K::kRelativeBranch, 0, V::kRelativeBranch},
    {"JmpRel8", x86, "EB 03 90 90 90", 2, K::kRelativeBranch, 0, V::kRelativeBranch},
    {"JccInsidePatch", x64, "85 C9 74 05 8D 41 01 C3", 2, K::kPlain, 0, V::kRelativeBranch},
    {"JccRel32", x86, "0F 84 10 00 00 00", 6, K::kRelativeBranch, 0, V::kRelativeBranch},
    {"Jrcxz", x64, "E3 02", 2, K::kRelativeBranch, 0, V::kRelativeBranch},
    // Operands addressed from RIP.
    {"MovRipRelative", x64, "48 8B 05 10 00 00 00", 7, K::kRipRelative, 0, V::kRipRelative},
    {"LeaRipRelative", x64, "48 8D 0D F9 FF FF FF", 7, K::kRipRelative, 0, V::kRipRelative},
    {"JmpThroughRip", x64, "FF 25 00 00 00 00", 6, K::kRipRelative, 0, V::kRipRelative},
    {"RipAfterPush", x64, "55 8B 05 10 00 00 00", 1, K::kPlain, 0, V::kRipRelative},
    // Functions shorter than the patch.
    {"XorRet", x64, "31 C0 C3 CC CC", 2, K::kPlain, 0, V::kTooShort},
    {"Ret", x86, "C3 90 90 90 90", 1, K::kEndsFlow, 0, V::kTooShort},
    {"JmpRegister", x64, "FF E0 CC CC CC", 2, K::kEndsFlow, 0, V::kTooShort},
    // Traps, unknown opcodes and cut-off bytes.
    {"Int3", x86, "CC 55 89 E5 90", 1, K::kTrap, 0, V::kUnknownInstruction},
    {"Ud2", x64, "0F 0B", 2, K::kTrap, 0, V::kUnknownInstruction},
    {"VexOnX64", x64, "C4 E1 79 6E C0", 0, K::kUnknown, 0, V::kUnknownInstruction},
    {"PushaOnX64", x64, "60 90 90 90 90", 0, K::kUnknown, 0, V::kUnknownInstruction},
    {"AddressSizePrefix", x64, "67 8B 00 90 90", 0, K::kUnknown, 0, V::kUnknownInstruction},
    {"Xbegin", x64, "C7 F8 10 00 00 00", 0, K::kUnknown, 0, V::kUnknownInstruction},
    {"VzeroupperOnX86", x86, "55 8B EC C5 F8 77 83 EC 10", 1, K::kPlain, 0, V::kUnknownInstruction},
    {"EvexOnX86", x86, "62 F1 7C 48 28 C1", 0, K::kUnknown, 0, V::kUnknownInstruction},
    {"XopOnX64", x64, "8F E9 78 C1 C0", 0, K::kUnknown, 0, V::kUnknownInstruction},
    {"ThreeDNow", x86, "0F 0F C1 9E 90", 0, K::kUnknown, 0, V::kUnknownInstruction},
    {"LockedXadd", x64, "F0 0F C1 01 90", 0, K::kUnknown, 0, V::kUnknownInstruction},
    {"LeaRegisterForm", x86, "8D C0 90 90 90", 0, K::kUnknown, 0, V::kUnknownInstruction},
    {"ReservedX87", x86, "D9 D8 90 90 90", 0, K::kUnknown, 0, V::kUnknownInstruction},
    {"CallRel16OnX64", x64, "66 E8 00 00 90", 0, K::kUnknown, 0, V::kUnknownInstruction},
    {"SseSelectorNotLast", x64, "66 64 0F 78 C0 01 02", 0, K::kUnknown, 0, V::kUnknownInstruction},
    {"CutInModRm", x64, "48 83", 0, K::kTruncated, 0, V::kUnknownInstruction},
    {"CutInImmediate", x86, "55 81 EC 00 01", 1, K::kPlain, 0, V::kUnknownInstruction},
};

class PrologueTable : public ::testing::TestWithParam<PrologueCase> {};

TEST_P(PrologueTable, DecodesTheFirstInstructionAndPlansTheMove) {
  const PrologueCase& c = GetParam();
  const std::vector<uint8_t> bytes = Bytes(c.bytes);
  const uint8_t* end = bytes.data() + bytes.size();

  const DecodedInstruction first = DecodeInstruction(bytes.data(), end, c.mode);
  EXPECT_EQ(first.length, c.firstLength);
  EXPECT_EQ(first.kind, c.firstKind);

  const ProloguePlan plan = PlanPrologueMove(bytes.data(), end, c.mode, 5);
  EXPECT_EQ(plan.verdict, c.verdict);
  EXPECT_EQ(plan.length, c.movedLength);
}

INSTANTIATE_TEST_SUITE_P(BothModes, PrologueTable, ::testing::ValuesIn(kCases),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
