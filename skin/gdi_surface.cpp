// Off-screen surfaces through the declared GDI functions.
#include "skin/gdi_surface.h"

#include "runtime/imports/declared_functions.h"

bool GdiSurface::Make(HDC reference, int width, int height) {
  Release();
  if (width <= 0 || height <= 0) return false;
  HDC screen = reference ? nullptr : Declared::GetDC(nullptr);
  HDC compatibleWith = reference ? reference : screen;
  dc_ = Declared::CreateCompatibleDC(compatibleWith);
  bitmap_ = dc_ ? Declared::CreateCompatibleBitmap(compatibleWith, width, height) : nullptr;
  if (screen) Declared::ReleaseDC(nullptr, screen);
  if (!bitmap_) {
    Release();
    return false;
  }
  previous_ = Declared::SelectObject(dc_, bitmap_);
  width_ = width;
  height_ = height;
  return true;
}

void GdiSurface::Release() {
  if (dc_ && previous_) Declared::SelectObject(dc_, previous_);
  if (bitmap_) Declared::DeleteObject(bitmap_);
  if (dc_) Declared::DeleteDC(dc_);
  dc_ = nullptr;
  bitmap_ = nullptr;
  previous_ = nullptr;
  width_ = height_ = 0;
}

HBITMAP GdiSurface::TakeBitmap() {
  if (dc_ && previous_) Declared::SelectObject(dc_, previous_);
  previous_ = nullptr;
  HBITMAP bitmap = bitmap_;
  bitmap_ = nullptr;
  Release();
  return bitmap;
}
