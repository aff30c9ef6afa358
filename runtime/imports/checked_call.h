// Calls a function at a bound address the way the operating system expects and checks afterwards
// that the callee removed exactly the argument bytes that were pushed (runtime error 6 if not).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#if defined(__i386__)
#define CHECKED_CALL_ABI __attribute__((cdecl))
#elif defined(__x86_64__) && defined(_WIN32)
#define CHECKED_CALL_ABI
#else
#error "the checked call exists for x86 and for x86-64 Windows only"
#endif

extern "C" {
// The machine-code half (checked_call_x86.S, checked_call_x64.S). slots[0] is the first argument.
//   x86:    notes ESP, pushes slots[count-1] .. slots[0], calls target, compares ESP with the noted
//           value; gives EDX:EAX.
//   x86-64: reserves the outgoing area (never less than the four-slot home space), copies the
//           slots into it, loads slots 0-3 into RCX, RDX, R8, R9 and into XMM0-XMM3 alike, notes
//           RSP, calls target, compares RSP with the noted value; gives RAX.
// On a mismatch it puts the noted stack pointer back and calls DeclaredCallStackImbalance.
uint64_t CHECKED_CALL_ABI CallWithStackCheckRaw(const void* target, const uintptr_t* slots,
                                                uintptr_t count);
// Raises runtime error 6; never returns.
[[noreturn]] void DeclaredCallStackImbalance();
}

namespace checked_call {

// A reference parameter travels as the address of its referent, as the callee expects.
template <class T>
using Passed = std::conditional_t<std::is_reference_v<T>, std::add_pointer_t<std::remove_reference_t<T>>,
                                  std::decay_t<T>>;

// Integers, enumerations, pointers and floats, each in one stack slot (two for 8-byte values on
// x86). Structures by value and long double are not passed.
template <class T>
constexpr bool kPassable = (std::is_integral_v<Passed<T>> || std::is_enum_v<Passed<T>> ||
                            std::is_pointer_v<Passed<T>> || std::is_same_v<Passed<T>, float> ||
                            std::is_same_v<Passed<T>, double>);

// The result comes back in EDX:EAX or RAX; a function that returns a float (in ST0 or XMM0)
// cannot be called this way.
template <class T>
constexpr bool IsReturnable() {
  if constexpr (std::is_void_v<T>) {
    return true;
  } else {
    return (std::is_integral_v<T> || std::is_enum_v<T> || std::is_pointer_v<T>) && sizeof(T) <= 8;
  }
}

template <class T>
constexpr size_t kSlotsOf = (sizeof(Passed<T>) + sizeof(uintptr_t) - 1) / sizeof(uintptr_t);

template <class A>
void StoreSlot(uintptr_t*& next, std::type_identity_t<A> argument) {
  Passed<A> passed;
  if constexpr (std::is_reference_v<A>) {
    passed = &argument;
  } else {
    passed = argument;
  }
  std::memcpy(next, &passed, sizeof passed);
  next += kSlotsOf<A>;
}

}  // namespace checked_call

// Calls target as R(A...) in the standard Windows calling convention (the callee removes its
// arguments) and raises runtime error 6 when the stack pointer differs afterwards.
template <class R, class... A>
R CallWithStackCheck(const void* target, std::type_identity_t<A>... arguments) {
  using namespace checked_call;
  static_assert((kPassable<A> && ...), "a parameter type that cannot travel in stack slots");
  static_assert(IsReturnable<R>(), "a result type that does not come back in EDX:EAX or RAX");
  constexpr size_t count = (size_t{0} + ... + kSlotsOf<A>);
  uintptr_t slots[count > 0 ? count : 1] = {};
  uintptr_t* next = slots;
  (StoreSlot<A>(next, arguments), ...);
  (void)next;
  const uint64_t bits = CallWithStackCheckRaw(target, slots, count);
  if constexpr (!std::is_void_v<R>) {
    R result{};
    std::memcpy(&result, &bits, sizeof result);
    return result;
  } else {
    (void)bits;
  }
}
