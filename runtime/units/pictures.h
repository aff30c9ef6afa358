// Pictures held by units, made into bitmaps: JPEG through libjpeg, BMP files as they are, plain
// PNG files through the runtime's own decoder, and everything else (other PNG, GIF, ICO ...)
// through GDI+, frame by frame.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

#include "runtime/win_handles.h"
#include "runtime/units/gdiplus_pictures.h"

// The picture's frames: one for a JPEG, BMP or plain PNG file, as GDI+ finds them for other
// files, with transparent parts over the background colour. Empty for bytes that hold no readable picture;
// a JPEG or BMP file that does not hold what its headers promise is not handed on to GDI+.
std::vector<PictureFrame> PictureFrames(std::span<const unsigned char> bytes, COLORREF background);

// The first frame over the button face colour; empty as PictureFrames.
OwnedBitmap PictureBitmap(std::span<const unsigned char> bytes);

// The description of a 32-bit DIB of width by height, top row first.
BITMAPINFO TopDownDibInfo(int32_t width, int32_t height);

// Width and height of a bitmap; 0, 0 for none.
SIZE BitmapSize(HBITMAP bitmap);
