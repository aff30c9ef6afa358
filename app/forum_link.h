// The link to the maker's forum, opened by the forum button and by a press on the banner.
#pragma once

#include "runtime/value.h"

// "http://" + the configured forum host + "/forum.php", a constant.
extern const char ForumAddress[];

// Opens the forum page in the default browser; the outcome is not examined.
void OpenForumPage();
