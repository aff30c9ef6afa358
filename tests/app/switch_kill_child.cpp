// A switch to the test server profile in the current directory that ends its own process just
// before one of its file-system calls, as a kill or a power loss would: no roll-back, no clearing
// up. The one argument is the call's number (1 the first), or a call site's name for the first
// call there. Exit code 0 when the switch completed without reaching that call.
#include <windows.h>

#include <cwchar>
#include <string>

#include "app/switch_actions.h"

constexpr UINT kKilled = 77;

int main() {
  const wchar_t* argument = std::wcsrchr(GetCommandLineW(), L' ');
  if (!argument) return 2;
  const long killAt = std::wcstol(argument + 1, nullptr, 10);
  std::string site;
  for (const wchar_t* c = argument + 1; *c; ++c) site.push_back(static_cast<char>(*c));
  wchar_t folder[1024];
  const DWORD length = GetCurrentDirectoryW(1024, folder);
  if (length == 0 || length >= 1024) return 2;
  long calls = 0;
  auto killer = [&](FileCall call) {
    if (++calls == killAt || site == FileCallName(call)) TerminateProcess(GetCurrentProcess(), kKilled);
    return InjectedFault::None;
  };
  return ApplyServerProfile(TestServerProfile, folder, killer).switched ? 0 : 1;
}
