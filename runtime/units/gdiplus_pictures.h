// Pictures that libjpeg and the runtime's BMP reader do not read (PNG, GIF, ICO and whatever
// else GDI+ decodes), decoded through GDI+'s flat functions in the declared-function table.
// The runtime calls GDI+ directly here rather than through the graphics wrappers, which stand
// on the runtime (values, heap, declared functions) and belong to the skin above it: a unit must
// show its picture in any program over the runtime, whether or not that program draws with
// GDI+ itself.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

#include "runtime/win_handles.h"

// One frame of a picture, composed over the background colour, and how long it stays.
struct PictureFrame {
  OwnedBitmap bitmap;
  uint32_t milliseconds = 0;
};

// Frames shorter than this (a GIF's 0 or 1 hundredths, "as fast as possible") are shown this
// long, as browsers do.
constexpr uint32_t kShortestFrame = 100;

// The most frames kept of an animated picture; a longer one is cut short, not refused. Every frame
// is a GDI bitmap of its own and a process has 10,000 GDI objects by default: a GIF of thousands
// of tiny frames would otherwise take them all, and every later bitmap, brush or font of the
// program would fail. 256 frames are over ten seconds of even a fast (25 a second) animation.
constexpr UINT kMaxPictureFrames = 256;

// Every frame of the picture in time order (a GIF's), at most kMaxPictureFrames of them and no
// more than kMaxPicturePixels pixels in all; a single one for a still picture or a picture of
// pages or sizes (an ICO's first image). Empty when GDI+ cannot read the bytes or one frame alone
// holds more than kMaxPicturePixels pixels. GDI+ runs for the call only.
std::vector<PictureFrame> DecodeWithGdiPlus(std::span<const unsigned char> bytes, COLORREF background);
