// Which declarations of the table become wrapper methods of which class. A declaration belongs to
// the class of native type N when its first parameter is N* (a method on the object), or when its
// last parameter is N** (a create method writing into the object's own handle). The functions that
// release an object are reached only through Delete, so they are left out here, and so is the one
// function whose N** is a list of objects to fill.
#pragma once

#include <cstddef>
#include <tuple>
#include <type_traits>

#include "runtime/imports/declared_functions.h"

namespace flat_methods {

template <class F>
struct Parameters;
template <class R, class... P>
struct Parameters<R(P...)> {
  using Result = R;
  using List = std::tuple<P...>;
  static constexpr size_t count = sizeof...(P);
};

template <int32_t K>
using ParametersOf = Parameters<typename declared_types::Signature<K>::Function>;

// The releasing functions, each the Delete of its class.
inline constexpr int32_t kReleasingRows[] = {
    K_GdipDeleteGraphics, K_GdipDeleteGraphics_2, K_GdipDeletePath,         K_GdipDeleteBrush,
    K_GdipDeletePen,      K_GdipDeleteFont,       K_GdipDeleteFontFamily,   K_GdipDeleteStringFormat,
    K_GdipDeleteRegion,   K_GdipDisposeImage,     K_GdipDisposeImage_2,     K_GdipDeleteMatrix,
};

// Functions whose last parameter is a list of existing objects to fill, not an object they make.
inline constexpr int32_t kObjectListRows[] = {K_GdipMeasureCharacterRanges};

template <size_t N>
constexpr bool IsIn(const int32_t (&rows)[N], int32_t k) {
  for (int32_t row : rows) {
    if (row == k) return true;
  }
  return false;
}

template <class T, class N>
constexpr bool kIsObjectPointer =
    std::is_pointer_v<T> && std::is_same_v<std::remove_cv_t<std::remove_pointer_t<T>>, N>;

template <int32_t K>
constexpr bool ReturnsStatus() {
  return std::is_same_v<typename ParametersOf<K>::Result, Gdiplus::Status>;
}

// Declaration K is a method on an object of native type N.
template <int32_t K, class N>
constexpr bool ActsOn() {
  using P = ParametersOf<K>;
  if constexpr (P::count == 0 || !ReturnsStatus<K>()) {
    return false;
  } else {
    return kIsObjectPointer<std::tuple_element_t<0, typename P::List>, N> && !IsIn(kReleasingRows, K);
  }
}

// Declaration K makes an object of native type N into its last parameter.
template <int32_t K, class N>
constexpr bool Makes() {
  using P = ParametersOf<K>;
  if constexpr (P::count == 0 || !ReturnsStatus<K>()) {
    return false;
  } else {
    return std::is_same_v<std::tuple_element_t<P::count - 1, typename P::List>, N**> && !ActsOn<K, N>() &&
           !IsIn(kObjectListRows, K);
  }
}

template <int32_t K, class N, class... A>
concept ForwardsTo = ActsOn<K, N>() && std::is_invocable_v<DeclaredFunction<K>, N*, A...>;

template <int32_t K, class N, class... A>
concept CreatesInto = Makes<K, N>() && std::is_invocable_v<DeclaredFunction<K>, A..., N**>;

}  // namespace flat_methods
