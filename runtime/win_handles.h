// Owners for the Win32 handles and GDI objects the runtime, its units and the program create: each closes,
// deletes or releases its handle when it goes out of scope.
#pragma once

#include <windows.h>

#include <utility>

// One handle and the function that gives it back. Move-only.
template <class Handle, auto Release>
class OwnedHandle {
 public:
  OwnedHandle() = default;
  explicit OwnedHandle(Handle handle) : handle_(handle) {}
  OwnedHandle(OwnedHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  OwnedHandle& operator=(OwnedHandle&& other) noexcept {
    reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  ~OwnedHandle() { reset(); }

  void reset(Handle handle = nullptr) {
    if (handle_) Release(handle_);
    handle_ = handle;
  }
  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  Handle handle_ = nullptr;
};

inline void DeleteGdiObject(HGDIOBJ object) { DeleteObject(object); }
inline void DestroyIconHandle(HICON icon) { DestroyIcon(icon); }
inline void DeleteMemoryDc(HDC dc) { DeleteDC(dc); }
inline void CloseKernelHandle(HANDLE handle) { CloseHandle(handle); }

using OwnedFont = OwnedHandle<HFONT, &DeleteGdiObject>;
using OwnedBitmap = OwnedHandle<HBITMAP, &DeleteGdiObject>;
using OwnedBrush = OwnedHandle<HBRUSH, &DeleteGdiObject>;
using OwnedIcon = OwnedHandle<HICON, &DestroyIconHandle>;
using OwnedMemoryDc = OwnedHandle<HDC, &DeleteMemoryDc>;
using OwnedKernelHandle = OwnedHandle<HANDLE, &CloseKernelHandle>;  // processes, threads, events

// A window's device context from GetDC, released to that window.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint and EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
  ~PaintDc() { EndPaint(window_, &paint_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// An object selected into a DC for a while; the previous one goes back at the end.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
  ~Selection() {
    if (previous_) SelectObject(dc_, previous_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};
