// The handlers that the start window's template binds to its events.
#pragma once

#include "app/forum_link.h"
#include "app/switch_actions.h"

// Event 0 of the start window: runs after the window and its units exist, before it is shown.
void StartWindowSetUp();
