// hook_stub_library.dll: exports that are jump stubs, as 64-bit Windows gdi32's are. StubbedTriple
// jumps through a pointer slot (FF 25, RIP-relative) to RealTriple, which returns 3x; StubChain
// jumps (E9) to StubbedTriple. One int32 argument in ECX.

  .intel_syntax noprefix
  .text

#define FUNCTION(name) .globl name; .def name; .scl 2; .type 32; .endef; name:

FUNCTION(StubChain)
  .byte 0xE9
  .long StubbedTriple - . - 4
  int3
  int3
  int3

FUNCTION(StubbedTriple)
  jmp qword ptr [rip + real_triple_slot]
  int3
  int3

// Moved: push r12; sub rsp, 0x20 (41 54 48 83 EC 20, 6 bytes).
FUNCTION(RealTriple)
  push r12
  sub rsp, 0x20
  lea eax, [rcx + rcx * 2]
  add rsp, 0x20
  pop r12
  ret

  .data
  .balign 8
real_triple_slot:
  .quad RealTriple

  .section .drectve
  .ascii " -export:StubChain -export:StubbedTriple -export:RealTriple"
