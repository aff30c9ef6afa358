// A DLL of ours under the name of a system DLL that the tool uses, planted beside the tool in the
// tests: once loaded into a process, it leaves "<its own path>.loaded" behind. Its one export is
// there for rundll32, with which the tests show that Wine does load such a file by its path.
#include <windows.h>

extern "C" __declspec(dllexport) void CALLBACK Mark(HWND, HINSTANCE, LPSTR, int) {}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, void*) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t path[MAX_PATH + 8];
  const DWORD n = GetModuleFileNameW(self, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return TRUE;
  lstrcpyW(path + n, L".loaded");
  HANDLE mark = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
  return TRUE;
}
