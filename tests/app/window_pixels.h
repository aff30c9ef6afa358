// Reading a captured window: its pixels as a grid, how far two pixels lie apart, and where the ink
// of a text or a drawing lies in an area.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include <windows.h>

// Pixels row by row from the top, 0x00RRGGBB.
struct PixelGrid {
  std::vector<uint32_t> pixels;
  int width = 0;
  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
  int height() const { return width ? static_cast<int>(pixels.size()) / width : 0; }
};

inline int Channel(uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }

// The largest difference of one colour channel between two pixels.
inline int ChannelDistance(uint32_t a, uint32_t b) {
  int largest = 0;
  for (int shift = 0; shift < 24; shift += 8) largest = std::max(largest, std::abs(Channel(a, shift) - Channel(b, shift)));
  return largest;
}

// The pixels of an area for which a test holds: how many, and the smallest rectangle holding
// them (empty when there are none).
struct InkExtent {
  int count = 0;
  RECT box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  int width() const { return count ? box.right - box.left : 0; }
  int height() const { return count ? box.bottom - box.top : 0; }
};

template <class IsInk>
InkExtent InkIn(const RECT& area, IsInk isInk) {
  InkExtent ink;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) {
      if (!isInk(x, y)) continue;
      ++ink.count;
      ink.box = RECT{std::min<LONG>(ink.box.left, x), std::min<LONG>(ink.box.top, y), std::max<LONG>(ink.box.right, x + 1),
                     std::max<LONG>(ink.box.bottom, y + 1)};
    }
  return ink;
}

// How many pixels of `area` differ clearly from the plain background: something is drawn there.
inline int Drawn(const PixelGrid& shot, const PixelGrid& background, const RECT& area) {
  return InkIn(area, [&](int x, int y) { return ChannelDistance(shot.at(x, y), background.at(x, y)) > 60; }).count;
}
