// The machine code of an entry hook: the jump patched over the target's first bytes, and the
// code block that holds the trampoline (the moved instructions and a jump back) and, on x86-64,
// the relay that carries the patch's short jump on to a replacement anywhere in memory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "hook/x86_instruction_length.h"

#pragma pack(push, 1)
// E9 xx xx xx xx: JMP rel32, measured from the end of the instruction.
struct JumpRel32 {
  uint8_t opcode;
  int32_t displacement;
};
// FF 25 00 00 00 00 / 8 bytes: JMP [RIP+0], to the absolute address stored right behind it.
struct JumpAbsolute64 {
  uint8_t opcode;
  uint8_t modRm;
  int32_t displacement;
  uint64_t address;
};
#pragma pack(pop)
static_assert(sizeof(JumpRel32) == 5 && sizeof(JumpAbsolute64) == 14);

inline constexpr size_t kPatchLength = sizeof(JumpRel32);
// Whole instructions moved for a 5-byte patch: the last one starts at most 4 bytes in and is at
// most 15 long. The decoder reads no further than the instructions it needs.
inline constexpr size_t kLongestMovedPrologue = kPatchLength - 1 + 15;
// The trampoline (moved bytes, jump back) first, the relay behind it.
inline constexpr size_t kRelayOffset = 32;
inline constexpr size_t kHookCodeSize = kRelayOffset + sizeof(JumpAbsolute64);
static_assert(kLongestMovedPrologue + sizeof(JumpRel32) <= kRelayOffset);

// Whether a rel32 jump at `from` (the address of its opcode) reaches `to`. On x86 the addresses
// wrap around at 4 GB, so every target is in reach.
bool Rel32Reaches(uintptr_t from, uintptr_t to, CodeMode mode);
// The JMP rel32 placed at `from` that lands on `to` (call Rel32Reaches first on x86-64).
JumpRel32 MakeJumpRel32(uintptr_t from, uintptr_t to);

struct HookCode {
  std::array<uint8_t, kHookCodeSize> block;  // to be written at the block's address
  size_t blockLength;                        // bytes of `block` in use
  JumpRel32 patch;                           // to be written over the target's first bytes
};

// The code for hooking `target` (whose first `movedLength` bytes, a movable plan, are in
// `prologue`) with `replacement`, for a block at `blockAddress`; the trampoline is the block's
// first byte. False when a jump cannot reach: on x86-64 the block must lie near the target.
bool BuildHookCode(const uint8_t* prologue, size_t movedLength, uintptr_t target, uintptr_t replacement,
                   uintptr_t blockAddress, CodeMode mode, HookCode& code);
