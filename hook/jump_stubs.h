// Jump stubs: functions that are one jump to the function doing the work (import thunks,
// forwarding exports such as 64-bit Windows gdi32's, incremental-link thunks), and the function a
// chain of them leads to.
#pragma once

#include <cstddef>
#include <cstdint>

// Hops followed before a chain counts as endless (a loop, or something that is not a stub).
inline constexpr size_t kMaxJumpStubHops = 4;

enum class JumpStubWalk : uint8_t {
  kReachedFunction,  // `function` starts with something other than a jump stub
  kTooManyHops,      // still a stub after kMaxJumpStubHops hops
  kNullDestination,  // a pointer slot on the way holds null
};

struct JumpStubTarget {
  void* function;  // where the chain ends; the last stub reached when the walk failed
  JumpStubWalk walk;
};

// Where the jump stub at `code` leads, or null when `code` does not start with one: jmp rel32
// (E9), jmp rel8 (EB), and the jump through a pointer slot (FF 25, with REX.W too, addressed from
// RIP on x86-64 and absolute on x86). Reads the pointer slot, as the jump itself would; reads no
// more code bytes than the jump has. For code of this process's own mode.
uintptr_t JumpStubDestination(const uint8_t* code, bool& nullSlot);

// Follows the jump stubs from `code` to the function they lead to.
JumpStubTarget FollowJumpStubs(void* code);
