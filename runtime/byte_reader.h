// A cursor over a range of bytes. Every read is checked against the end; a read that does not
// fit fails, leaves the cursor where it was, and makes the reader remember the failure.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

class ByteReader {
 public:
  ByteReader() = default;
  explicit ByteReader(std::span<const unsigned char> bytes) : cursor_(bytes.data()), end_(bytes.data() + bytes.size()) {}

  bool ok() const { return ok_; }
  size_t remaining() const { return static_cast<size_t>(end_ - cursor_); }
  const unsigned char* position() const { return cursor_; }

  bool ReadInt32(int32_t& value) {
    if (!Fits(4)) return false;
    std::memcpy(&value, cursor_, 4);
    cursor_ += 4;
    return true;
  }
  bool ReadUInt32(uint32_t& value) {
    int32_t v = 0;
    if (!ReadInt32(v)) return false;
    value = static_cast<uint32_t>(v);
    return true;
  }
  // A count that must be 0 or more and small enough that `elementSize` bytes of each fit.
  bool ReadCount(int32_t& count, size_t elementSize) {
    int32_t n = 0;
    if (!ReadInt32(n)) return false;
    if (n < 0 || (elementSize && static_cast<size_t>(n) > remaining() / elementSize)) return Fail();
    count = n;
    return true;
  }
  bool ReadBytes(size_t n, std::span<const unsigned char>& bytes) {
    if (!Fits(n)) return false;
    bytes = {cursor_, n};
    cursor_ += n;
    return true;
  }
  bool Skip(size_t n) {
    std::span<const unsigned char> ignored;
    return ReadBytes(n, ignored);
  }
  // int32 length, then that many bytes.
  bool ReadSized(std::span<const unsigned char>& bytes) {
    int32_t n = 0;
    return ReadCount(n, 1) && ReadBytes(static_cast<size_t>(n), bytes);
  }
  // int32 length, then that many bytes of text without a NUL.
  bool ReadSizedText(std::string_view& text) {
    std::span<const unsigned char> bytes;
    if (!ReadSized(bytes)) return false;
    text = {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
    return true;
  }
  // NUL-terminated text; the NUL must lie within the range.
  bool ReadText(std::string_view& text) {
    if (!ok_) return false;
    const void* nul = std::memchr(cursor_, 0, remaining());
    if (!nul) return Fail();
    const auto length = static_cast<size_t>(static_cast<const unsigned char*>(nul) - cursor_);
    text = {reinterpret_cast<const char*>(cursor_), length};
    cursor_ += length + 1;
    return true;
  }

 private:
  bool Fits(size_t n) {
    if (!ok_ || n > remaining()) return Fail();
    return true;
  }
  bool Fail() {
    ok_ = false;
    return false;
  }

  const unsigned char* cursor_ = nullptr;
  const unsigned char* end_ = nullptr;
  bool ok_ = true;
};
