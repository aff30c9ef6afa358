// Binding declarations by name on first use: the search of the standard DLLs for an empty DLL
// name, the system folder for a system DLL and the program's own folder for any other named one,
// and the runtime error when a function cannot be found.
#include "runtime/imports/import_table.h"

#include <string>

#include "runtime/imports/system_dlls.h"
#include "runtime/module_paths.h"
#include "runtime/runtime_error.h"
#include "runtime/wide_text.h"

namespace {

HMODULE LoadFromSystem(const wchar_t* path) { return LoadLibraryW(path); }
HMODULE LoadFromSystemFolder(const wchar_t* fileName) { return LoadSystemDll(fileName); }
void* FindExport(HMODULE module, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(module, name));
}
void ReleaseToSystem(HMODULE module) { FreeLibrary(module); }

// Searched in this order, in the system folder, for a declaration without a DLL name.
constexpr const wchar_t* standardDlls[] = {L"Kernel32.dll", L"Gdi32.dll", L"User32.dll",
                                           L"Advapi32.dll", L"Mpr.dll",   L"Shell32.dll"};

// How the export is asked for: by name, or by ordinal for "#" followed by decimal digits (taken
// modulo 65536). Ordinal 0 names no export; it is kept apart rather than passed on as a null name.
struct ExportQuery {
  const char* name;
  bool valid;
};

ExportQuery QueryFor(const char* functionName) {
  if (functionName[0] != '#' || functionName[1] == '\0') return {functionName, true};
  uint32_t ordinal = 0;
  for (const char* p = functionName + 1; *p; ++p) {
    if (*p < '0' || *p > '9') return {functionName, true};
    ordinal = (ordinal * 10 + static_cast<uint32_t>(*p - '0')) % 65536;
  }
  return {MAKEINTRESOURCEA(ordinal), ordinal != 0};
}

// The folder of a module's file, with its trailing backslash; empty if it cannot be had.
std::wstring FolderOf(HMODULE module) {
  const std::wstring path = ModulePath(module);
  return path.substr(0, FolderEnd(path));
}

HMODULE RuntimeModule() { return ModuleContaining(reinterpret_cast<const void*>(&BindImport)); }

// A named DLL: by its path alone when it has a ':'; a system DLL from the system folder alone, so
// that a file of its name dropped beside the program never runs in it; any other from the
// program's folder, the runtime module's folder (skipped when it is the same folder) and then
// the system's search order; the first that loads is the one. The name is GBK text; the folders
// are taken in UTF-16, so that a folder of any name is searched.
HMODULE LoadNamedDll(const ModuleLoader& loader, const char* dll) {
  const std::wstring name = WideFromGbk(dll);
  if (name.find(L':') != std::wstring::npos) return loader.load(name.c_str());
  const std::wstring systemDll = SystemDllFileName(name);
  if (!systemDll.empty()) return loader.loadSystem(systemDll.c_str());
  const std::wstring programFolder = FolderOf(nullptr);
  if (!programFolder.empty()) {
    if (HMODULE module = loader.load((programFolder + name).c_str())) return module;
  }
  const std::wstring runtimeFolder = FolderOf(RuntimeModule());
  if (!runtimeFolder.empty() && runtimeFolder != programFolder) {
    if (HMODULE module = loader.load((runtimeFolder + name).c_str())) return module;
  }
  return loader.load(name.c_str());
}

struct Binding {
  void* address = nullptr;
  HMODULE module = nullptr;
};

Binding SearchStandardDlls(const ModuleLoader& loader, const char* name) {
  for (const wchar_t* dll : standardDlls) {
    HMODULE module = loader.loadSystem(dll);
    if (!module) continue;
    if (void* address = loader.find(module, name)) return {address, module};
    loader.release(module);
  }
  return {};
}

Binding BindNamedDll(const ModuleLoader& loader, const char* dll, const char* name) {
  HMODULE module = LoadNamedDll(loader, dll);
  if (!module) return {};
  if (void* address = loader.find(module, name)) return {address, module};
  loader.release(module);
  return {};
}

[[noreturn]] void ReportUnbound(const char* dll, const char* functionName) {
  if (!functionName) functionName = "";
  const std::string message =
      (dll && *dll) ? std::string("无法找到指定DLL库文件“") + dll + "”中的输出命令“" + functionName + "”"
                    : std::string("无法找到指定DLL库文件中的输出命令“") + functionName + "”";
  ReportRuntimeError(message.c_str(), 0);
}

void* boundAddresses[kDeclaredFunctionCount];
HMODULE moduleHandles[kDeclaredFunctionCount];
ImportTable declaredFunctions = {kDeclaredFunctionCount, DeclaredDllNames, DeclaredFunctionNames,
                                 boundAddresses,        moduleHandles,    &SystemModuleLoader};

}  // namespace

const ModuleLoader SystemModuleLoader = {LoadFromSystem, LoadFromSystemFolder, FindExport, ReleaseToSystem};

void* TryBindImport(ImportTable& table, int32_t k) {
  if (k < 0 || k >= table.count) return nullptr;
  if (void* address = __atomic_load_n(&table.boundAddresses[k], __ATOMIC_ACQUIRE)) return address;

  const char* dll = table.dllNames[k];
  const char* functionName = table.functionNames[k];
  if (!functionName || !*functionName) return nullptr;
  const ExportQuery query = QueryFor(functionName);
  if (!query.valid) return nullptr;
  const ModuleLoader& loader = *table.loader;
  const Binding binding = (dll && *dll) ? BindNamedDll(loader, dll, query.name)
                                        : SearchStandardDlls(loader, query.name);
  if (!binding.address) return nullptr;

  // Two threads may bind the same declaration at once; the first to publish keeps its module and
  // the other gives its reference back.
  void* expected = nullptr;
  if (!__atomic_compare_exchange_n(&table.boundAddresses[k], &expected, binding.address, false,
                                   __ATOMIC_ACQ_REL, __ATOMIC_ACQUIRE)) {
    loader.release(binding.module);
    return expected;
  }
  table.moduleHandles[k] = binding.module;
  return binding.address;
}

void* BindImport(ImportTable& table, int32_t k) {
  if (k < 0) RaiseRuntimeError(ERR_INDEX_BELOW_ONE);
  if (k >= table.count) RaiseRuntimeError(ERR_INDEX_ABOVE_COUNT);
  if (void* address = TryBindImport(table, k)) return address;
  ReportUnbound(table.dllNames[k], table.functionNames[k]);
}

void ReleaseImportModules(ImportTable& table) {
  for (int32_t k = 0; k < table.count; ++k) {
    __atomic_store_n(&table.boundAddresses[k], nullptr, __ATOMIC_RELEASE);
    if (HMODULE module = table.moduleHandles[k]) {
      table.moduleHandles[k] = nullptr;
      table.loader->release(module);
    }
  }
}

ImportTable& DeclaredFunctionTable() { return declaredFunctions; }

void* BindDeclaredFunction(int32_t k) { return BindImport(declaredFunctions, k); }

void ReleaseDeclaredModules() { ReleaseImportModules(declaredFunctions); }
