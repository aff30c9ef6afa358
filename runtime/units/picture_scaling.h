// Decoded pictures scaled to the size they are shown at, by bilinear interpolation.
#pragma once

#include <cstdint>

#include "runtime/units/jpeg_decoder.h"

// `picture` resampled to width by height. Each target pixel's centre is mapped onto the picture
// and the four source pixels around it are blended by distance, the edge pixels repeated beyond
// the edges: a picture shown at its own size comes back unchanged, and one pixel of a picture
// halved is the even blend of two. Each byte of a pixel is blended alone, so any layout of the
// 32-bit words scales alike. An empty picture for an empty picture or size, or a size above
// kMaxPicturePixels.
DecodedPicture ScaledPicture(const DecodedPicture& picture, int32_t width, int32_t height);
