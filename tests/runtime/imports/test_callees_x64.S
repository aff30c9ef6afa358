// x86-64 Windows functions for the tests of the checked call: one that records where each of its
// six arguments arrived, and one that removes stack bytes, which no correct callee does.

  .intel_syntax noprefix
  .text

// Six arguments: stores RCX, RDX, R8, R9, XMM0-XMM3 (low 64 bits) and the fifth and sixth stack
// slots into capturedArguments[0..9]; gives 0x0123456789ABCDEF in RAX.
  .globl CaptureArguments6
  .def CaptureArguments6; .scl 2; .type 32; .endef
CaptureArguments6:
  lea rax, [rip + capturedArguments]
  mov [rax], rcx
  mov [rax + 8], rdx
  mov [rax + 16], r8
  mov [rax + 24], r9
  movq [rax + 32], xmm0
  movq [rax + 40], xmm1
  movq [rax + 48], xmm2
  movq [rax + 56], xmm3
  mov rcx, [rsp + 40]
  mov [rax + 64], rcx
  mov rcx, [rsp + 48]
  mov [rax + 72], rcx
  mov rax, 0x0123456789ABCDEF
  ret

// Three arguments, gives a + 2b + 3c, then removes 8 stack bytes on return.
  .globl OverpoppingWeightedSum3
  .def OverpoppingWeightedSum3; .scl 2; .type 32; .endef
OverpoppingWeightedSum3:
  lea eax, [ecx + edx * 2]
  lea ecx, [r8d + r8d * 2]
  add eax, ecx
  ret 8

// No arguments: gives 0x600D in EAX.
  .globl StdcallNoArguments
  .def StdcallNoArguments; .scl 2; .type 32; .endef
StdcallNoArguments:
  mov eax, 0x600D
  ret
