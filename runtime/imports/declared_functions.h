// Typed calls of the declared functions. Declared::LoadIconA(instance, name) reads like a direct
// call, yet it binds and calls declaration K_LoadIconA (index 1) of the table, stack check and all.
//   - A declaration that names a function a second time has a suffix: Declared::LoadIconA_2.
//   - RtlMoveMemory is a function-like macro of the Windows headers and lstrcpyn an object-like
//     one: call them as (Declared::RtlMoveMemory)(to, from, n) and CallDeclared<K_lstrcpyn>(...).
#pragma once

#include <windows.h>
#include <objbase.h>
#include <commctrl.h>
#include <gdiplus.h>

#include <cstdint>
#include <utility>

#include "runtime/imports/checked_call.h"
#include "runtime/imports/import_table.h"

// The C type of every declaration, written with the Windows and GDI+ type names.
namespace declared_types {
using namespace Gdiplus;

template <int32_t K>
struct Signature;

#define DECLARATION(k, dll, name, suffix, result, parameters) \
  template <>                                                 \
  struct Signature<k> {                                       \
    using Function = result parameters;                       \
    using Pointer = result(WINAPI*) parameters;               \
  };
#include "runtime/imports/declarations.inc"
#undef DECLARATION
}  // namespace declared_types

enum DeclarationIndex : int32_t {
#define DECLARATION(k, dll, name, suffix, result, parameters) K_##name##suffix = k,
#include "runtime/imports/declarations.inc"
#undef DECLARATION
};

template <int32_t K, class F = typename declared_types::Signature<K>::Function>
struct DeclaredFunction;

// Binds declaration K on its first call, then calls it with exactly its parameter types.
template <int32_t K, class R, class... A>
struct DeclaredFunction<K, R(A...)> {
  R operator()(A... arguments) const {
    return CallWithStackCheck<R, A...>(BindDeclaredFunction(K), arguments...);
  }
};

template <int32_t K, class... T>
decltype(auto) CallDeclared(T&&... arguments) {
  return DeclaredFunction<K>{}(std::forward<T>(arguments)...);
}

namespace Declared {
#pragma push_macro("lstrcpyn")
#undef lstrcpyn
#define DECLARATION(k, dll, name, suffix, result, parameters) inline constexpr DeclaredFunction<k> name##suffix{};
#include "runtime/imports/declarations.inc"
#undef DECLARATION
#pragma pop_macro("lstrcpyn")
}  // namespace Declared
