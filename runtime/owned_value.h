// Owners of runtime values. A value held by an owner belongs to it: giving the owner a new value
// or letting it go out of scope frees the old one with RuntimeFree, which leaves constants alone.
#pragma once

#include <span>
#include <string_view>
#include <utility>

#include "runtime/heap.h"
#include "runtime/value.h"

template <class Pointer>
class RuntimeOwner {
 public:
  RuntimeOwner() = default;
  explicit RuntimeOwner(Pointer p) : p_(p) {}
  RuntimeOwner(RuntimeOwner&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  RuntimeOwner& operator=(RuntimeOwner&& other) noexcept {
    reset(std::exchange(other.p_, nullptr));
    return *this;
  }
  RuntimeOwner(const RuntimeOwner&) = delete;
  RuntimeOwner& operator=(const RuntimeOwner&) = delete;
  ~RuntimeOwner() { RuntimeFree(p_); }

  void reset(Pointer p = nullptr) {
    if (p == p_) return;
    RuntimeFree(std::exchange(p_, p));
  }
  [[nodiscard]] Pointer release() { return std::exchange(p_, nullptr); }
  Pointer get() const { return p_; }
  bool empty() const { return p_ == nullptr; }

 private:
  Pointer p_ = nullptr;
};

class OwnedText : public RuntimeOwner<TextValue> {
 public:
  using RuntimeOwner::RuntimeOwner;
  int32_t length() const { return TextLengthOf(get()); }
  std::string_view view() const { return get() ? std::string_view(get()) : std::string_view(); }
};

class OwnedBytes : public RuntimeOwner<ByteBlock> {
 public:
  using RuntimeOwner::RuntimeOwner;
  int32_t length() const { return ByteBlockLengthOf(get()); }
  std::span<const unsigned char> bytes() const {
    return get() ? std::span(ByteBlockData(get()), static_cast<size_t>(get()->length))
                 : std::span<const unsigned char>();
  }
};

class OwnedArray : public RuntimeOwner<ArrayHeader*> {
 public:
  using RuntimeOwner::RuntimeOwner;
};
