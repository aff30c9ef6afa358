// session_keeper READY_FILE: stays alive for the whole Wine test session, so that Wine's helper
// processes start once, with our output redirected, and are not restarted between tests. It
// also proves that windows can be made in this session: it creates a hidden window first and
// writes READY_FILE only when that worked (exit code 3 when it did not).
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  HWND probe = CreateWindowExA(0, "STATIC", "session probe", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!probe) return 3;
  FILE* ready = std::fopen(argv[1], "w");
  if (!ready) return 4;
  std::fclose(ready);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
