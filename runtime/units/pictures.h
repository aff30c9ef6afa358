// Pictures held by units, made into bitmaps: JPEG through libjpeg, and BMP files as they are.
#pragma once

#include <windows.h>

#include <span>

#include "runtime/frame/win_handles.h"

// A DIB section of the picture; empty for bytes that are neither a JPEG nor an uncompressed
// BMP file, or that do not hold what their headers promise.
OwnedBitmap PictureBitmap(std::span<const unsigned char> bytes);

// Width and height of a bitmap; 0, 0 for none.
SIZE BitmapSize(HBITMAP bitmap);
