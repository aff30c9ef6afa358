// The program's built-in pictures, each a complete image file held as a constant byte block.
// The table below is the one list of them: tools/pictures draws from it, the build embeds from it.
#pragma once

#include "runtime/value.h"

// One row per picture: C++ name, file under resources/, width, height, role. Keep one row per
// line in this exact form: the generator and resources/CMakeLists.txt read the rows as text.
#define EMBEDDED_PICTURES(X)                                                                        \
  X(HelpButtonPng, "help_button.png", 26, 18, "caption button: help (speech bubble)")               \
  X(MenuButtonPng, "menu_button.png", 26, 18, "caption button: menu (window with pointer)")         \
  X(MinimizeButtonPng, "minimize_button.png", 26, 18, "caption button: minimize (bar)")             \
  X(MaximizeButtonPng, "maximize_button.png", 26, 18, "caption button: maximize (rectangle)")       \
  X(RestoreButtonPng, "restore_button.png", 26, 18, "caption button: restore (two rectangles)")     \
  X(CloseButtonPng, "close_button.png", 38, 18, "caption button: close (cross)")                    \
  X(CheckBoxPng, "check_box.png", 13, 13, "check box, empty")                                       \
  X(CheckBoxCheckedPng, "check_box_checked.png", 13, 13, "check box, with check mark")              \
  X(ArrowDownPng, "arrow_down.png", 7, 4, "arrow down (combo box, up-down control)")                \
  X(ArrowUpPng, "arrow_up.png", 7, 4, "arrow up (up-down control)")                                 \
  X(ArrowLeftPng, "arrow_left.png", 4, 7, "arrow left (up-down control)")                           \
  X(ArrowRightPng, "arrow_right.png", 4, 7, "arrow right (up-down control)")                        \
  X(SkinBackgroundJpeg, "skin_background.jpg", 500, 500, "skin background, stretched over windows") \
  X(BannerJpeg, "banner.jpg", 246, 81, "banner of the start window's picture box")                  \
  X(WindowIcon, "window_icon.ico", 128, 128, "window icon, also the DEFAULT_ICON resource")

#define DECLARE_EMBEDDED_PICTURE(name, file, width, height, role) extern const ByteBlock name;
EMBEDDED_PICTURES(DECLARE_EMBEDDED_PICTURE)
#undef DECLARE_EMBEDDED_PICTURE
