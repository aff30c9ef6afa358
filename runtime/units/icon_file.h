// Icons and cursors made from the bytes of Windows icon (.ico) and cursor (.cur) files.
#pragma once

#include <windows.h>

#include <span>

#include "runtime/win_handles.h"

// The file's image that suits a size x size icon best, made into an icon of that size. Empty
// when the bytes are no icon file or name an image outside themselves.
OwnedIcon IconFromFile(std::span<const unsigned char> file, int size);
// The file's image nearest the system's cursor size, made into a cursor at its own size with
// the file's hot spot. Empty when the bytes are no cursor file or name an image outside
// themselves.
OwnedIcon CursorFromFile(std::span<const unsigned char> file);
