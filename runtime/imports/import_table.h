// Tables of functions bound by DLL name and exported name on first use, and the program's own
// table of declared operating-system functions (the ImportTable).
#pragma once

#include <windows.h>

#include <cstdint>

// How a table reaches the module loader. The program uses the system's; tests put an observer
// in between.
struct ModuleLoader {
  // A DLL by the path or name given, in the system's search order.
  HMODULE (*load)(const wchar_t* path);
  // A system DLL by its file name, from the system folder alone.
  HMODULE (*loadSystem)(const wchar_t* fileName);
  // name is an exported name, or an ordinal made with MAKEINTRESOURCEA.
  void* (*find)(HMODULE module, const char* name);
  void (*release)(HMODULE module);
};
extern const ModuleLoader SystemModuleLoader;

// count declarations; boundAddresses and moduleHandles hold count entries each, all zero until a
// declaration is bound.
struct ImportTable {
  int32_t count;
  const char* const* dllNames;       // "" = search the standard system DLLs
  const char* const* functionNames;  // "#" and decimal digits = the export with that ordinal
  void** boundAddresses;
  HMODULE* moduleHandles;
  const ModuleLoader* loader;
};

// The address of declaration k, binding it on first use; null when the DLL cannot be loaded, the
// export is missing or k is outside the table. Nothing is reported.
void* TryBindImport(ImportTable& table, int32_t k);
// As TryBindImport, but a failure is a runtime error that ends the process: the caller never
// sees a null address.
void* BindImport(ImportTable& table, int32_t k);
// FreeLibrary once per bound declaration, and every entry back to unbound.
void ReleaseImportModules(ImportTable& table);

// The program's table: as many declarations as the table has rows, its two constant arrays (in
// the constant range) and its run-time arrays.
inline constexpr int32_t kDeclaredFunctionCount = 0
#define DECLARATION(k, dll, name, suffix, result, parameters) +1
#include "runtime/imports/declarations.inc"
#undef DECLARATION
    ;
extern const char* const DeclaredDllNames[kDeclaredFunctionCount];
extern const char* const DeclaredFunctionNames[kDeclaredFunctionCount];
ImportTable& DeclaredFunctionTable();

void* BindDeclaredFunction(int32_t k);
// Called by the exit sequence.
void ReleaseDeclaredModules();
