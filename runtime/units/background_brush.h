// The brush a unit paints its background with, from the colour value of its property block.
#pragma once

#include <windows.h>

#include <cstdint>

#include "runtime/win_handles.h"
#include "runtime/templates/property_blocks.h"

// The colour a colour value of a property block stands for.
inline COLORREF BackgroundColour(uint32_t colour) {
  return colour == kSystemButtonFace ? GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(colour);
}

// A solid brush of its own for a colour, the system's button-face brush for kSystemButtonFace
// (a system brush is never deleted).
class BackgroundBrush {
 public:
  explicit BackgroundBrush(uint32_t colour) {
    if (colour != kSystemButtonFace) own_.reset(CreateSolidBrush(colour));
  }
  HBRUSH get() const { return own_ ? own_.get() : GetSysColorBrush(COLOR_BTNFACE); }

 private:
  OwnedBrush own_;
};
