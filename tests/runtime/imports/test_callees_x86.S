// x86 functions for the tests of the checked call: one that removes its arguments as declared and
// two that remove too few or too many bytes, as a wrong declaration would make them.
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

// a + 2b + 3c of three int32 arguments, so that their order shows in the result.
#define WEIGHTED_SUM         \
  mov eax, [esp + 4];        \
  mov ecx, [esp + 8];        \
  lea eax, [eax + ecx * 2];  \
  mov ecx, [esp + 12];       \
  lea ecx, [ecx + ecx * 2];  \
  add eax, ecx

FUNCTION(StdcallWeightedSum3)
  WEIGHTED_SUM
  ret 12
FUNCTION(CdeclWeightedSum3)          // leaves its 12 argument bytes on the stack
  WEIGHTED_SUM
  ret
FUNCTION(OverpoppingWeightedSum3)    // removes 16 bytes where 12 were pushed
  WEIGHTED_SUM
  ret 16

// (void* out, 16 argument bytes): copies the 16 bytes as they lie on the stack to out and gives
// 0x0123456789ABCDEF in EDX:EAX.
FUNCTION(CaptureStackArguments16)
  mov ecx, [esp + 4]
  mov eax, [esp + 8]
  mov [ecx], eax
  mov eax, [esp + 12]
  mov [ecx + 4], eax
  mov eax, [esp + 16]
  mov [ecx + 8], eax
  mov eax, [esp + 20]
  mov [ecx + 12], eax
  mov eax, 0x89ABCDEF
  mov edx, 0x01234567
  ret 20

// No arguments: gives 0x600D in EAX.
FUNCTION(StdcallNoArguments)
  mov eax, 0x600D
  ret

#if defined(__ELF__)
  .section .note.GNU-stack, "", @progbits
#endif
