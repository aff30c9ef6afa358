// A switch to the test server profile in the current directory that ends its own process just
// before its Nth file-system call (N is the one argument), as a kill or a power loss would: no
// roll-back, no clearing up. Exit code 0 when the switch completed before the Nth call.
#include <windows.h>

#include <cwchar>

#include "app/switch_actions.h"

constexpr UINT kKilled = 77;

int main() {
  const wchar_t* argument = std::wcsrchr(GetCommandLineW(), L' ');
  const long killAt = argument ? std::wcstol(argument + 1, nullptr, 10) : 0;
  if (killAt <= 0) return 2;
  wchar_t folder[1024];
  const DWORD length = GetCurrentDirectoryW(1024, folder);
  if (length == 0 || length >= 1024) return 2;
  long calls = 0;
  auto killer = [&](FileCall) {
    if (++calls == killAt) TerminateProcess(GetCurrentProcess(), kKilled);
    return InjectedFault::None;
  };
  return ApplyServerProfile(TestServerProfile, folder, killer).switched ? 0 : 1;
}
