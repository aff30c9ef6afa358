// What a program hands the runtime about its windows: the template table, and the table that
// turns the handler offsets stored in unit records into the program's handlers. Both come from
// the generator under tools/window_templates.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <tuple>
#include <type_traits>

// A handler's answer: whether it gave a value, and the value.
struct HandlerResult {
  bool given = false;
  int32_t value = 0;
};

// Handlers take the event's int32 arguments; missing ones read as 0, extra ones are ignored.
using EventHandler = HandlerResult (*)(std::span<const int32_t> arguments);

struct EventHandlerEntry {
  int32_t offset;
  const char* name;
  EventHandler handler;
};

struct TemplateProgram {
  std::span<const unsigned char> table;
  std::span<const EventHandlerEntry> handlers;
};

// The handler stored at `offset`; null for -1 and for offsets the program does not know.
EventHandler HandlerAtOffset(const TemplateProgram& program, int32_t offset);

namespace handler_detail {
template <class F>
struct Signature;
template <class R, class... A>
struct Signature<R (*)(A...)> {
  using Result = R;
  static constexpr size_t arity = sizeof...(A);
};
template <class R, class... A>
struct Signature<R (*)(A...) noexcept> : Signature<R (*)(A...)> {};

template <auto F, size_t... I>
decltype(auto) Call(std::span<const int32_t> arguments, std::index_sequence<I...>) {
  return F((I < arguments.size() ? arguments[I] : 0)...);
}
}  // namespace handler_detail

// Adapts a plain function to the handler form. It may take up to as many int32 parameters as
// the event has and return nothing (no value given), an int32 (given), or an optional int32.
template <auto F>
HandlerResult InvokeHandler(std::span<const int32_t> arguments) {
  using Sig = handler_detail::Signature<decltype(F)>;
  using Result = typename Sig::Result;
  constexpr auto indices = std::make_index_sequence<Sig::arity>();
  if constexpr (std::is_void_v<Result>) {
    handler_detail::Call<F>(arguments, indices);
    return {};
  } else if constexpr (std::is_same_v<Result, std::optional<int32_t>>) {
    const std::optional<int32_t> r = handler_detail::Call<F>(arguments, indices);
    return r ? HandlerResult{true, *r} : HandlerResult{};
  } else {
    return {true, static_cast<int32_t>(handler_detail::Call<F>(arguments, indices))};
  }
}
