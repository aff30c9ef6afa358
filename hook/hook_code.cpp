// Building the entry hook's jumps and code block for a known block address.
#include "hook/hook_code.h"

#include <cstring>

bool Rel32Reaches(uintptr_t from, uintptr_t to, CodeMode mode) {
  if (mode == CodeMode::kX86) return true;
  const int64_t distance = static_cast<int64_t>(to - (from + sizeof(JumpRel32)));
  return distance >= INT32_MIN && distance <= INT32_MAX;
}

JumpRel32 MakeJumpRel32(uintptr_t from, uintptr_t to) {
  // Two's complement truncation: exact when the distance fits, and the wrap-around x86 relies on.
  const uint32_t bits = static_cast<uint32_t>(to - (from + sizeof(JumpRel32)));
  int32_t displacement = 0;
  std::memcpy(&displacement, &bits, sizeof displacement);
  return {0xE9, displacement};
}

bool BuildHookCode(const uint8_t* prologue, size_t movedLength, uintptr_t target, uintptr_t replacement,
                   uintptr_t blockAddress, CodeMode mode, HookCode& code) {
  if (!prologue || movedLength < kPatchLength || movedLength > kLongestMovedPrologue) return false;
  code = {};
  code.block.fill(0xCC);  // int3 between the trampoline and the relay
  const uintptr_t jumpBack = blockAddress + movedLength;
  const uintptr_t resume = target + movedLength;
  if (!Rel32Reaches(jumpBack, resume, mode)) return false;
  std::memcpy(code.block.data(), prologue, movedLength);
  const JumpRel32 back = MakeJumpRel32(jumpBack, resume);
  std::memcpy(code.block.data() + movedLength, &back, sizeof back);
  code.blockLength = movedLength + sizeof back;

  if (mode == CodeMode::kX86) {
    code.patch = MakeJumpRel32(target, replacement);
    return true;
  }
  // x86-64: the replacement may lie anywhere; the short jump goes to the relay in the block.
  const uintptr_t relay = blockAddress + kRelayOffset;
  if (!Rel32Reaches(target, relay, mode)) return false;
  const JumpAbsolute64 relayJump{0xFF, 0x25, 0, static_cast<uint64_t>(replacement)};
  std::memcpy(code.block.data() + kRelayOffset, &relayJump, sizeof relayJump);
  code.blockLength = kHookCodeSize;
  code.patch = MakeJumpRel32(target, relay);
  return true;
}
