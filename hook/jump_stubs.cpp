// Following jump stubs: decoding the three jump forms a stub is made of, one hop at a time.
#include "hook/jump_stubs.h"

#include <cstring>

#include "hook/x86_instruction_length.h"

namespace {

int32_t Read32(const uint8_t* bytes) {
  int32_t value = 0;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

// The displacement of a jump added to the address of the next instruction, wrapping as the
// processor does.
uintptr_t Behind(const uint8_t* next, int32_t displacement) {
  return reinterpret_cast<uintptr_t>(next) + static_cast<uintptr_t>(static_cast<intptr_t>(displacement));
}

}  // namespace

uintptr_t JumpStubDestination(const uint8_t* code, bool& nullSlot) {
  nullSlot = false;
  switch (code[0]) {
    case 0xE9: return Behind(code + 5, Read32(code + 1));
    case 0xEB: return Behind(code + 2, static_cast<int8_t>(code[1]));
    case 0x48:  // REX.W, which MSVC puts on the jumps of x86-64 import thunks
      if (kNativeCodeMode != CodeMode::kX64 || code[1] != 0xFF) return 0;
      ++code;
      break;
    case 0xFF: break;
    default: return 0;
  }
  if (code[1] != 0x25) return 0;  // FF /4 with mod 00, rm 101: jmp [rip+disp32], or jmp [disp32] on x86
  const int32_t displacement = Read32(code + 2);
  const uintptr_t slot = kNativeCodeMode == CodeMode::kX64 ? Behind(code + 6, displacement)
                                                           : static_cast<uintptr_t>(static_cast<uint32_t>(displacement));
  uintptr_t destination = 0;
  std::memcpy(&destination, reinterpret_cast<const void*>(slot), sizeof destination);
  nullSlot = destination == 0;
  return destination;
}

JumpStubTarget FollowJumpStubs(void* code) {
  for (size_t hop = 0; hop <= kMaxJumpStubHops; ++hop) {
    bool nullSlot = false;
    const uintptr_t destination = JumpStubDestination(static_cast<const uint8_t*>(code), nullSlot);
    if (nullSlot) return {code, JumpStubWalk::kNullDestination};
    if (!destination) return {code, JumpStubWalk::kReachedFunction};
    if (hop == kMaxJumpStubHops) break;
    code = reinterpret_cast<void*>(destination);
  }
  return {code, JumpStubWalk::kTooManyHops};
}
