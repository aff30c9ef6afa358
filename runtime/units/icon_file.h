// Icons made from the bytes of a Windows icon (.ico) file.
#pragma once

#include <windows.h>

#include <span>

#include "runtime/frame/win_handles.h"

// The file's image that suits a size x size icon best, made into an icon of that size. Empty
// when the bytes are no icon file or name an image outside themselves.
OwnedIcon IconFromFile(std::span<const unsigned char> file, int size);
