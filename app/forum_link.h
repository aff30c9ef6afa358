// The link to the maker's forum, opened by the forum button and by a press on the banner.
#pragma once

#include <string>

#include "runtime/value.h"

// "http://" + the configured forum host + "/forum.php", a constant.
extern const char ForumAddress[];

// Opens the forum page in the default browser. When the system cannot open it (no browser, no
// handler for web addresses), one box gives the address to copy.
void OpenForumPage();

// That box's text.
std::wstring ForumFailureText();
