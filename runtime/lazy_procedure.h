// Functions of system DLLs that most runs never call (a window's sound, opening a web page),
// found on first use so that start-up does not load their DLLs. The DLL then stays loaded.
#pragma once

#include <windows.h>

template <class Function>
Function LazyProcedure(const char* dll, const char* name) {
  HMODULE module = LoadLibraryA(dll);
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}
