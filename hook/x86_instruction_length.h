// Lengths of the x86 and x86-64 instructions that open functions, and whether each may be moved
// to another address unchanged; and how many whole instructions an entry patch displaces.
#pragma once

#include <cstddef>
#include <cstdint>

enum class CodeMode : uint8_t { kX86, kX64 };
inline constexpr CodeMode kNativeCodeMode = sizeof(void*) == 8 ? CodeMode::kX64 : CodeMode::kX86;

enum class InstructionKind : uint8_t {
  kPlain,           // runs the same at any address and falls through to the next instruction
  kEndsFlow,        // runs the same at any address but never falls through (ret, indirect jmp)
  kRelativeBranch,  // jmp, call, jcc, loop or jcxz with a displacement from its own address
  kRipRelative,     // x86-64 memory operand addressed from the next instruction
  kTrap,            // int3, int n, hlt, ud2...: a breakpoint, padding or a deliberate fault
  kUnknown,         // not in the decoder's tables, invalid in this mode, or not sized alike by
                    // every processor and reader (VEX, EVEX, XOP, 3DNow!, lock, ...)
  kTruncated,       // the bytes end inside the instruction
};

struct DecodedInstruction {
  size_t length;  // 0 for kUnknown and kTruncated
  InstructionKind kind;
};

// Decodes the one instruction at cursor, reading no byte at or past end and none beyond the
// instruction itself.
DecodedInstruction DecodeInstruction(const uint8_t* cursor, const uint8_t* end, CodeMode mode);

enum class PrologueVerdict : uint8_t {
  kMovable,             // `length` bytes of whole instructions may run elsewhere
  kRelativeBranch,      // a relative jump or call lies within the bytes to move
  kRipRelative,         // an operand addressed from RIP lies within the bytes to move
  kTooShort,            // the function ends (ret, jmp) before `minimum` bytes
  kUnknownInstruction,  // an instruction the decoder does not know, a trap, or a cut one
};

struct ProloguePlan {
  size_t length;  // bytes of whole instructions to move; 0 unless kMovable
  PrologueVerdict verdict;
};

// The whole instructions at the start of code that cover at least `minimum` bytes, and whether
// they can be moved: none may be relative, and none before the last may end the function.
ProloguePlan PlanPrologueMove(const uint8_t* code, const uint8_t* end, CodeMode mode, size_t minimum);
