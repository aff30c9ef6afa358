// The mouse cursor a unit shows over itself, named by its cursor bytes: an int32 cursor number,
// for the system cursor of that resource number (IDC_HAND is 32649, for instance), or -1
// followed by a cursor (.cur) file. Other numbers, and fewer than four bytes, name none: the
// window class's cursor shows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

#include "runtime/win_handles.h"

constexpr int32_t kCursorFromFile = -1;

// Made again only when the bytes change, so that a cursor file is not read on every mouse move.
class UnitCursor {
 public:
  // The cursor the bytes name; null for none.
  HCURSOR For(std::span<const unsigned char> bytes);

 private:
  std::vector<unsigned char> bytes_;
  HCURSOR cursor_ = nullptr;
  OwnedIcon own_;  // a cursor made from a file; system cursors are shared and never destroyed
};
