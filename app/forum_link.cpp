// OpenForumPage: hands the forum address to the runtime's OpenWebPage command, and gives the
// address to copy when the system cannot open it.
#include "app/forum_link.h"

#include <windows.h>

#include <string>

#include "app/server_settings.h"
#include "app/tool_title.h"
#include "runtime/commands/commands.h"
#include "runtime/constant_segment.h"
#include "runtime/wide_text.h"

RUNTIME_CONSTANT const char ForumAddress[] = "http://" FORUM_HOST "/forum.php";

std::wstring ForumFailureText() {
  return L"打不开论坛网页：这台电脑没有能打开网址的浏览器。\r\n请把下面的网址复制到浏览器里打开"
         L"（按 Ctrl+C 可以复制这个提示）：\r\n" +
         WideFromGbk(ForumAddress);
}

void OpenForumPage() {
  if (Commands::OpenWebPage(ForumAddress)) return;
  MessageBoxW(GetActiveWindow(), ForumFailureText().c_str(), WideFromGbk(kToolTitle).c_str(), MB_OK | MB_ICONINFORMATION);
}
