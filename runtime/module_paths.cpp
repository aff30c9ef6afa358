// Module paths, read whole, and their folders found by characters.
#include "runtime/module_paths.h"

std::string ModulePath(HMODULE module) {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

size_t FolderEnd(std::string_view path) {
  size_t end = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '\\')
      end = i + 1;
    else if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size())
      ++i;
  }
  return end;
}

HMODULE ModuleContaining(const void* address) {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     static_cast<const char*>(address), &module);
  return module;
}
