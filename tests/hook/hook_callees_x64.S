// x86-64 Windows functions with known prologues for the entry-hook tests (one int32 argument in
// ECX). Each is followed by the next one, so a patch that wrote past a short function would show.

  .intel_syntax noprefix
  .text

#define FUNCTION(name) .globl name; .def name; .scl 2; .type 32; .endef; name:

// 3x. Moved: push r12; sub rsp, 0x20 (41 54 48 83 EC 20, 6 bytes).
FUNCTION(HookTargetTriple)
  push r12
  sub rsp, 0x20
  lea eax, [rcx + rcx * 2]
  add rsp, 0x20
  pop r12
  ret

// x + 1 if x is not 0, else 0: test ecx, ecx; jz (85 C9 74 xx), a branch within the patch.
FUNCTION(HookTargetBranchFirst)
  test ecx, ecx
  jz 1f
  lea eax, [rcx + 1]
  ret
1:
  xor eax, eax
  ret

// The value stored behind the function, read RIP-relative (8B 05 disp32).
FUNCTION(HookTargetRipFirst)
  mov eax, [rip + 2f]
  add eax, ecx
  ret
2:
  .long 40

// 0: xor eax, eax; ret (31 C0 C3), shorter than the patch.
FUNCTION(HookTargetTooShort)
  xor eax, eax
  ret

// x - 1, right behind the short one.
FUNCTION(HookTargetNeighbour)
  lea eax, [rcx - 1]
  ret

// jmp $ (EB FE): a jump stub that leads only to itself.
FUNCTION(HookTargetSelfJump)
  .byte 0xEB, 0xFE
