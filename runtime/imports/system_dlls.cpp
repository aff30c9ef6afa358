// Which DLL names are the system's, and loading those from the system folder alone.
#include "runtime/imports/system_dlls.h"

#include "runtime/lazy_procedure.h"

namespace {

// Every DLL that the program's declarations name, and those searched for a declaration without
// a DLL name. A DLL of one of these names beside the program, or in the current folder, is
// somebody else's and is never loaded. No declaration names a DLL of the program's own.
constexpr std::wstring_view systemDlls[] = {
    L"kernel32.dll", L"user32.dll",  L"gdi32.dll",   L"advapi32.dll", L"mpr.dll",     L"shell32.dll",
    L"ole32.dll",    L"comctl32.dll", L"shlwapi.dll", L"msimg32.dll",  L"gdiplus.dll",
};

wchar_t LowerAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + (L'a' - L'A')) : c; }

// The search flags of LoadLibraryExW came with SetDefaultDllDirectories (KB2533623 on Windows 7,
// built into later systems): where one is there, so are the others.
using SetDefaultDllDirectoriesFunction = decltype(&SetDefaultDllDirectories);
SetDefaultDllDirectoriesFunction SearchDirectoriesSetter() {
  static const auto setter =
      LazyProcedure<SetDefaultDllDirectoriesFunction>("kernel32.dll", "SetDefaultDllDirectories");
  return setter;
}

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::wstring(folder, length);
}

}  // namespace

std::wstring SystemDllFileName(std::wstring_view declared) {
  std::wstring name;
  for (wchar_t c : declared) name += LowerAscii(c);
  // LoadLibrary adds ".dll" to a name without an extension.
  if (name.find(L'.') == std::wstring::npos) name += L".dll";
  for (std::wstring_view dll : systemDlls) {
    if (name == dll) return name;
  }
  return {};
}

HMODULE LoadSystemDll(const wchar_t* fileName) {
  if (!fileName || !*fileName) return nullptr;
  if (SearchDirectoriesSetter()) return LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  const std::wstring folder = SystemFolder();
  if (folder.empty()) return nullptr;
  return LoadLibraryW((folder + L'\\' + fileName).c_str());
}

void RestrictDllSearchToSystemFolder() {
  if (const auto setter = SearchDirectoriesSetter()) setter(LOAD_LIBRARY_SEARCH_SYSTEM32);
}
