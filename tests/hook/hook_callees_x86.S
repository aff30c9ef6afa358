// x86 functions with known prologues for the entry-hook tests (cdecl, one int32 argument). Each
// is followed by the next one, so a patch that wrote past a short function would show.
#define CONCAT_(a, b) a##b
#define CONCAT(a, b) CONCAT_(a, b)
#define SYMBOL(name) CONCAT(__USER_LABEL_PREFIX__, name)

#if defined(__ELF__)
#define FUNCTION(name) .globl SYMBOL(name); .type SYMBOL(name), @function; SYMBOL(name):
#else
#define FUNCTION(name) .globl SYMBOL(name); SYMBOL(name):
#endif

  .intel_syntax noprefix
  .text

// 3x. Moved: push ebp; mov ebp, esp; mov eax, [ebp + 8] (55 89 E5 8B 45 08, 6 bytes).
FUNCTION(HookTargetTriple)
  push ebp
  mov ebp, esp
  mov eax, [ebp + 8]
  lea eax, [eax + eax * 2]
  pop ebp
  ret

// x + 1, after a call to a local routine that gives its own return address, as
// position-independent x86 code opens (E8 rel32 first): cannot be moved.
FUNCTION(HookTargetCallFirst)
  call 1f
  mov eax, [esp + 4]
  inc eax
  ret
1:
  mov ecx, [esp]
  ret

// 0: xor eax, eax; ret (31 C0 C3), shorter than the patch.
FUNCTION(HookTargetTooShort)
  xor eax, eax
  ret

// x - 1, right behind the short one.
FUNCTION(HookTargetNeighbour)
  mov eax, [esp + 4]
  dec eax
  ret

// jmp $ (EB FE): a jump stub that leads only to itself.
FUNCTION(HookTargetSelfJump)
  .byte 0xEB, 0xFE

// A jump stub, as x86 import thunks are: jmp [slot] (FF 25 abs32) to HookTargetStubbed.
FUNCTION(HookTargetStub)
  jmp dword ptr [hook_stub_slot]
  int3
  int3

// A jump (E9 rel32) to the stub above: two hops to HookTargetStubbed.
FUNCTION(HookTargetStubChain)
  .byte 0xE9
  .long SYMBOL(HookTargetStub) - . - 4
  int3
  int3
  int3

// 3x, behind the stubs. Moved: push ebp; mov ebp, esp; mov eax, [ebp + 8] (6 bytes).
FUNCTION(HookTargetStubbed)
  push ebp
  mov ebp, esp
  mov eax, [ebp + 8]
  lea eax, [eax + eax * 2]
  pop ebp
  ret

  .data
  .balign 4
hook_stub_slot:
  .long SYMBOL(HookTargetStubbed)

#if defined(__ELF__)
  .section .note.GNU-stack, "", @progbits
#endif
