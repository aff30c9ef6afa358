// Module paths read whole, their folders, and the long-path form.
#include "runtime/module_paths.h"

namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kLongNetworkPrefix = L"\\\\?\\UNC\\";
constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";
constexpr size_t kLongestPath = 32768;  // in characters, with the prefix

}  // namespace

std::wstring ModulePath(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    if (path.size() >= kLongestPath) return {};
    path.resize(path.size() * 2);
  }
}

size_t FolderEnd(std::wstring_view path) {
  const size_t last = path.find_last_of(L'\\');
  return last == std::wstring_view::npos ? 0 : last + 1;
}

HMODULE ModuleContaining(const void* address) {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     static_cast<const wchar_t*>(address), &module);
  return module;
}

std::wstring FullPath(std::wstring_view path) {
  const std::wstring given(path);
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length > kLongestPath) return {};
    // Too small a buffer gives the size needed with the terminating NUL; enough gives the length.
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    full.resize(length);
  }
}

std::wstring LongFormOfFullPath(std::wstring_view fullPath) {
  if (fullPath.size() < MAX_PATH || fullPath.starts_with(kLongPrefix) || fullPath.starts_with(kDevicePrefix))
    return std::wstring(fullPath);
  if (fullPath.starts_with(L"\\\\")) return std::wstring(kLongNetworkPrefix) + std::wstring(fullPath.substr(2));
  return std::wstring(kLongPrefix) + std::wstring(fullPath);
}

std::wstring LongPathForm(std::wstring_view path) {
  const std::wstring full = FullPath(path);
  return full.size() < MAX_PATH ? std::wstring(path) : LongFormOfFullPath(full);
}

std::wstring ShownPath(std::wstring_view path) {
  if (path.starts_with(kLongNetworkPrefix)) return L"\\\\" + std::wstring(path.substr(kLongNetworkPrefix.size()));
  if (path.starts_with(kLongPrefix)) return std::wstring(path.substr(kLongPrefix.size()));
  return std::wstring(path);
}
