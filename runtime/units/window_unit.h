// The window kind as the loader sees it: how a loaded window is first shown.
#pragma once

#include <span>

// The ShowWindow command for the first showing of a window with this property block: maximised
// for start position 3 on a sizable frame, minimised for 2, else normal; a modal load always
// shows it normally.
int FirstShowCommand(std::span<const unsigned char> properties, bool modal);
