// ApiHook: plan the move, build the trampoline in executable memory, patch, and undo the patch.
#include "hook/api_hook.h"

#include <cstring>

#include "hook/executable_memory.h"
#include "hook/jump_stubs.h"
#include "hook/memory_pages.h"

namespace {

HookStatus StatusOf(PrologueVerdict verdict) {
  switch (verdict) {
    case PrologueVerdict::kRelativeBranch: return HookStatus::kBranchInPrologue;
    case PrologueVerdict::kRipRelative: return HookStatus::kRipRelativePrologue;
    case PrologueVerdict::kTooShort: return HookStatus::kFunctionTooShort;
    case PrologueVerdict::kMovable:
    case PrologueVerdict::kUnknownInstruction: break;
  }
  return HookStatus::kUnknownInstruction;
}

HookStatus StatusOf(CodeMemoryStatus status) {
  switch (status) {
    case CodeMemoryStatus::kNoMemoryNearTarget: return HookStatus::kNoMemoryNearTarget;
    case CodeMemoryStatus::kProtectFailed: return HookStatus::kProtectFailed;
    default: return HookStatus::kNoExecutableMemory;
  }
}

}  // namespace

ApiHook::~ApiHook() { Remove(); }

void* ApiHook::Fail(HookStatus status) {
  status_ = status;
  return nullptr;
}

void* ApiHook::Install(const char* library, const char* function, const void* replacement) {
  if (target_ && !Remove()) return nullptr;
  void* target = library && function ? memory_pages::FindExport(library, function) : nullptr;
  return InstallAt(target, replacement);
}

void* ApiHook::InstallAt(void* target, const void* replacement) {
  if (target_ && !Remove()) return nullptr;
  if (!target) return Fail(HookStatus::kFunctionNotFound);
  if (!replacement) return Fail(HookStatus::kNoReplacement);
  const JumpStubTarget function = FollowJumpStubs(target);
  if (function.walk == JumpStubWalk::kTooManyHops) return Fail(HookStatus::kStubChainTooLong);
  if (function.walk == JumpStubWalk::kNullDestination) return Fail(HookStatus::kStubLeadsToNull);
  target = function.function;

  // The decoder reads only as far as the instructions it needs, never the whole window.
  const uint8_t* prologue = static_cast<const uint8_t*>(target);
  const ProloguePlan plan = PlanPrologueMove(prologue, prologue + kLongestMovedPrologue, kNativeCodeMode, kPatchLength);
  if (plan.verdict != PrologueVerdict::kMovable) return Fail(StatusOf(plan.verdict));

  ExecutableMemory block;
  CodeMemoryStatus memory = block.Allocate(kHookCodeSize, target);
  if (memory != CodeMemoryStatus::kOk) return Fail(StatusOf(memory));
  HookCode code{};
  if (!BuildHookCode(prologue, plan.length, reinterpret_cast<uintptr_t>(target),
                     reinterpret_cast<uintptr_t>(replacement), reinterpret_cast<uintptr_t>(block.data()),
                     kNativeCodeMode, code))
    return Fail(HookStatus::kNoMemoryNearTarget);
  memory = block.Write(0, code.block.data(), code.blockLength);
  if (memory == CodeMemoryStatus::kOk) memory = block.Seal();
  if (memory != CodeMemoryStatus::kOk) return Fail(StatusOf(memory));

  std::memcpy(original_.data(), prologue, kPatchLength);
  // Nothing points at the block until the patch is written; if that fails the block goes.
  if (!memory_pages::WriteCode(target, &code.patch, sizeof code.patch)) return Fail(HookStatus::kPatchWriteFailed);
  target_ = target;
  trampoline_ = block.Leak();
  patch_ = code.patch;
  status_ = HookStatus::kInstalled;
  return trampoline_;
}

bool ApiHook::Remove() {
  if (!target_) return false;
  if (std::memcmp(target_, &patch_, sizeof patch_) != 0) {
    // Another patch sits there now; ours is gone, and writing our bytes would cut that one.
    target_ = nullptr;
    trampoline_ = nullptr;
    status_ = HookStatus::kPatchOverwritten;
    return false;
  }
  if (!memory_pages::WriteCode(target_, original_.data(), original_.size())) {
    status_ = HookStatus::kRestoreWriteFailed;
    return false;
  }
  target_ = nullptr;
  trampoline_ = nullptr;
  status_ = HookStatus::kNotInstalled;
  return true;
}
