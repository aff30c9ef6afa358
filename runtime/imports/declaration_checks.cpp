// Compile-time checks of the declaration table: every declared type is the one the Windows and
// GDI+ headers give the function, and every declaration can travel through the checked call.
#include <shlwapi.h>

#include <type_traits>

#include "runtime/imports/declared_functions.h"

namespace gdiplus_headers {
using namespace Gdiplus;
using namespace Gdiplus::DllExports;
}  // namespace gdiplus_headers

#define DECL_SYSTEM(k, dll, name, suffix, result, parameters)                                  \
  static_assert(std::is_same_v<decltype(&::name), declared_types::Signature<k>::Pointer>,     \
                "declaration " #k " (" #name ") differs from the Windows headers");            \
  template struct DeclaredFunction<k>;
#define DECL_GDIPLUS(k, dll, name, suffix, result, parameters)                                          \
  static_assert(std::is_same_v<decltype(&gdiplus_headers::name), declared_types::Signature<k>::Pointer>, \
                "declaration " #k " (" #name ") differs from the GDI+ headers");                        \
  template struct DeclaredFunction<k>;
#define DECL_DOCUMENTED(k, dll, name, suffix, result, parameters) template struct DeclaredFunction<k>;
#include "runtime/imports/declarations.inc"
