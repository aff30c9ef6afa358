// ApiHook: redirects one function (an export of a system library, or any function by address) to
// a replacement, and keeps a trampoline through which the function still runs as it was.
//
// A target that is a jump stub (jmp rel32, jmp rel8, jmp through a pointer slot: the exports of
// 64-bit Windows gdi32 that forward to the DLL doing the work) is followed, a few hops at most,
// and the function it leads to is patched; the stub stays as it was.
//
// The first whole instructions of the target (at least 5 bytes) move into the trampoline, which
// then jumps back behind them; a 5-byte relative jump takes their place. A prologue that cannot
// run elsewhere unchanged (relative branches, RIP-relative operands, a function shorter than the
// patch, an instruction the decoder does not know) is refused and nothing is written. On x86-64
// the short jump goes to a relay within 2 GB of the target that jumps on to the replacement.
// Install and Remove write over code that any thread may run: call them while no other thread
// of the process can enter the target.
#pragma once

#include <array>
#include <cstdint>

#include "hook/hook_code.h"

enum class HookStatus : uint8_t {
  kNotInstalled,          // nothing installed yet, or removed
  kInstalled,
  kFunctionNotFound,      // the library or its export is missing, or the target is null
  kNoReplacement,         // the replacement address is null
  kBranchInPrologue,      // a relative jump or call lies within the bytes to move
  kRipRelativePrologue,   // an operand addressed from RIP lies within the bytes to move
  kFunctionTooShort,      // the function returns or jumps away before 5 bytes
  kUnknownInstruction,    // the prologue holds an instruction the decoder does not know
  kStubChainTooLong,      // still a jump stub after kMaxJumpStubHops hops (a loop, most likely)
  kStubLeadsToNull,       // a jump stub on the way jumps through a null pointer
  kNoMemoryNearTarget,    // no free pages within 2 GB of the target (x86-64)
  kNoExecutableMemory,    // no pages at all for the trampoline
  kProtectFailed,         // the trampoline's pages could not be made executable
  kPatchWriteFailed,      // the jump could not be written over the target
  kRestoreWriteFailed,    // Remove could not write the original bytes back
  kPatchOverwritten,      // Remove found other bytes than the patch: someone wrote there since
};

class ApiHook {
 public:
  ApiHook() = default;
  // Removes the patch if it is still installed. The trampoline stays (see Install).
  ~ApiHook();
  ApiHook(const ApiHook&) = delete;
  ApiHook& operator=(const ApiHook&) = delete;

  // Patches export `function` of `library` (loaded if needed) to jump to `replacement`. Gives
  // the trampoline, or null with status() telling why; on failure nothing is patched. A hook
  // still installed is removed first. The trampoline is never freed, not by Remove and not by
  // the destructor: a thread may still be inside it, and callers keep its address for calls
  // during shutdown; so it stays callable until the process ends.
  void* Install(const char* library, const char* function, const void* replacement);
  // As Install, for a function given by its address.
  void* InstallAt(void* target, const void* replacement);
  // Writes the target's original bytes back. False when nothing is installed (nothing is
  // written then), or when the restore fails or finds the patch overwritten.
  bool Remove();

  HookStatus status() const { return status_; }
  // The patched function: where the jump stubs at the given target lead.
  void* target() const { return target_; }
  void* trampoline() const { return trampoline_; }

 private:
  void* Fail(HookStatus status);

  void* target_ = nullptr;
  void* trampoline_ = nullptr;
  JumpRel32 patch_{};
  std::array<uint8_t, kPatchLength> original_{};
  HookStatus status_ = HookStatus::kNotInstalled;
};
