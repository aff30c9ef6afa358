// hold_file PATH READY RELEASE: opens PATH for reading and writing without sharing, signals the
// inherited event READY, and keeps the file open until the inherited event RELEASE is set.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  auto ready = reinterpret_cast<HANDLE>(std::strtoull(argv[2], nullptr, 10));
  auto release = reinterpret_cast<HANDLE>(std::strtoull(argv[3], nullptr, 10));
  SetEvent(ready);
  WaitForSingleObject(release, 60000);
  CloseHandle(file);
  return 0;
}
