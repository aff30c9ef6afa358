// An off-screen GDI surface: a memory DC with a bitmap of a given size selected into it, owned
// together and released together.
#pragma once

#include <windows.h>

class GdiSurface {
 public:
  GdiSurface() = default;
  ~GdiSurface() { Release(); }
  GdiSurface(const GdiSurface&) = delete;
  GdiSurface& operator=(const GdiSurface&) = delete;

  // A surface compatible with `reference` (the screen when null) of width by height; the old one
  // goes first. False, with nothing held, when the DC or the bitmap cannot be made.
  bool Make(HDC reference, int width, int height);
  void Release();
  // Hands the bitmap to the caller (deselected) and releases the rest.
  HBITMAP TakeBitmap();

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  int width() const { return width_; }
  int height() const { return height_; }
  bool Matches(int width, int height) const { return dc_ && width_ == width && height_ == height; }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  int width_ = 0, height_ = 0;
};
