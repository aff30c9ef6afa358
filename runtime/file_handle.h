// An owner for a handle from CreateFileW, whose failure value is INVALID_HANDLE_VALUE, and whose
// closing can fail and be told.
#pragma once

#include <windows.h>

#include <utility>

class FileHandle {
 public:
  explicit FileHandle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
  FileHandle(FileHandle&& other) noexcept : h_(std::exchange(other.h_, INVALID_HANDLE_VALUE)) {}
  FileHandle& operator=(FileHandle&& other) noexcept {
    Close();
    h_ = std::exchange(other.h_, INVALID_HANDLE_VALUE);
    return *this;
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() { Close(); }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE get() const { return h_; }
  bool Close() {
    if (!valid()) return true;
    return CloseHandle(std::exchange(h_, INVALID_HANDLE_VALUE)) != FALSE;
  }

 private:
  HANDLE h_;
};
