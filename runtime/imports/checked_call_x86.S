// The x86 call with the stack check: cdecl
//   uint64_t CallWithStackCheckRaw(const void* target, const uintptr_t* slots, uintptr_t count)
// Assembled for i686 Windows and, for the tests, for Linux i386.
#define CONCAT_(a, b) a##b
#define CONCAT(a, b) CONCAT_(a, b)
#define SYMBOL(name) CONCAT(__USER_LABEL_PREFIX__, name)

  .intel_syntax noprefix
  .text
  .p2align 4
  .globl SYMBOL(CallWithStackCheckRaw)
#if defined(__ELF__)
  .type SYMBOL(CallWithStackCheckRaw), @function
#endif
SYMBOL(CallWithStackCheckRaw):
  push ebp
  mov ebp, esp
  push ebx
  push esi
  push edi
  mov esi, [ebp + 12]              // slots
  mov ecx, [ebp + 16]              // count
  // Pad so that the call happens on a 16-byte boundary, whatever the argument count.
  lea eax, [ecx * 4]
  mov edx, esp
  sub edx, eax
  and edx, 15
  sub esp, edx
  mov edi, esp                     // the stack pointer before the arguments are pushed
1:
  test ecx, ecx
  jz 2f
  push dword ptr [esi + ecx * 4 - 4]   // last argument first
  dec ecx
  jmp 1b
2:
  call dword ptr [ebp + 8]         // EBP and EDI survive the callee: they are callee-saved
  cmp esp, edi
  jne 3f
  lea esp, [ebp - 12]
  pop edi
  pop esi
  pop ebx
  pop ebp
  ret                              // EDX:EAX as the callee left them
3:
  mov esp, edi                     // the callee removed more or fewer bytes than were pushed
  and esp, -16
  call SYMBOL(DeclaredCallStackImbalance)
  ud2
#if defined(__ELF__)
  .size SYMBOL(CallWithStackCheckRaw), . - SYMBOL(CallWithStackCheckRaw)
  .section .note.GNU-stack, "", @progbits
#endif
