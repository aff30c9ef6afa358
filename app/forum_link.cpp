// OpenForumPage: hands the forum address to the runtime's OpenWebPage command.
#include "app/forum_link.h"

#include "app/server_settings.h"
#include "runtime/commands/commands.h"
#include "runtime/constant_segment.h"

RUNTIME_CONSTANT const char ForumAddress[] = "http://" FORUM_HOST "/forum.php";

void OpenForumPage() { Commands::OpenWebPage(ForumAddress); }
