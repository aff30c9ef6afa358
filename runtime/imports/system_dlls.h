// The system DLLs that the program names, loaded from the system folder only, never from the
// program's own folder or the current one; and the process-wide search restricted the same way.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The file name that LoadLibrary makes of a declared DLL name ("GdiPlus" and "gdiplus.dll" are
// both "gdiplus.dll") when it is one of the system DLLs the program uses; empty for any other
// name, which is looked for where the program's own DLLs would be.
std::wstring SystemDllFileName(std::wstring_view declared);

// A system DLL by its file name, from the system folder alone; null when it cannot be loaded.
HMODULE LoadSystemDll(const wchar_t* fileName);

// A function of a system DLL from the system folder, for what the program would otherwise import
// and so have the loader look for beside the program; null when the DLL or the export is missing.
// The DLL then stays loaded.
template <class Function>
Function SystemProcedure(const wchar_t* fileName, const char* name) {
  HMODULE module = LoadSystemDll(fileName);
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// From here on, DLLs loaded by name, also those the system loads on the program's behalf, come
// from the system folder only. Where the system cannot do that (Windows 7 without KB2533623,
// older systems) nothing changes, and LoadSystemDll loads by the system folder's full path.
void RestrictDllSearchToSystemFolder();
