// The x86-64 Windows call with the stack check (Microsoft x64 convention):
//   uint64_t CallWithStackCheckRaw(const void* target, const uintptr_t* slots, uintptr_t count)
// The callee never removes arguments in this convention, so only a faulty callee trips the check.

  .intel_syntax noprefix
  .text
  .p2align 4
  .globl CallWithStackCheckRaw
  .def CallWithStackCheckRaw; .scl 2; .type 32; .endef
  .seh_proc CallWithStackCheckRaw
CallWithStackCheckRaw:
  push rbp
  .seh_pushreg rbp
  push rbx
  .seh_pushreg rbx
  push rsi
  .seh_pushreg rsi
  push rdi
  .seh_pushreg rdi
  sub rsp, 8                       // RSP is 16-byte aligned from here
  .seh_stackalloc 8
  mov rbp, rsp
  .seh_setframe rbp, 0
  .seh_endprologue
  mov r10, rcx                     // target
  mov rsi, rdx                     // slots
  mov rdi, r8                      // count
  // The outgoing area: count slots, at least the four of the home space, rounded up to 16 bytes.
  mov rax, rdi
  cmp rax, 4
  jae 1f
  mov eax, 4
1:
  lea rax, [rax * 8 + 15]
  and rax, -16
  sub rsp, rax
  xor ecx, ecx
2:
  cmp rcx, rdi
  jae 3f
  mov rdx, [rsi + rcx * 8]
  mov [rsp + rcx * 8], rdx
  inc rcx
  jmp 2b
3:
  // Slot i of the first four goes in the i-th integer register and the i-th XMM register: the
  // callee takes it from whichever its parameter type names.
  mov rcx, [rsp]
  mov rdx, [rsp + 8]
  mov r8, [rsp + 16]
  mov r9, [rsp + 24]
  movq xmm0, rcx
  movq xmm1, rdx
  movq xmm2, r8
  movq xmm3, r9
  mov rbx, rsp                     // the stack pointer before the call; RBX is callee-saved
  call r10
  cmp rsp, rbx
  jne 4f
  lea rsp, [rbp + 8]
  pop rdi
  pop rsi
  pop rbx
  pop rbp
  ret                              // RAX as the callee left it
4:
  mov rsp, rbx                     // a callee that removed bytes it was not given
  and rsp, -16
  sub rsp, 32
  call DeclaredCallStackImbalance
  ud2
  .seh_endproc
