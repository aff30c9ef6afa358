// Binding declarations: the order in which DLLs are tried, ordinals, one module reference per
// bound declaration, the runtime error for what cannot be found, and every declaration of the
// program's table bound under Wine.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "runtime/imports/declared_functions.h"
#include "runtime/imports/import_table.h"
#include "runtime/runtime_error.h"
#include "runtime/wide_text.h"
#include "tests/support/runtime_error_exit.h"

namespace {

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

// Every step of the loader, as "load NAME", "no NAME" (did not load), "system NAME" and "no system
// NAME" (from the system folder), "find NAME", "missing NAME" and "free FILE" (the file name of the
// module given back).
std::vector<std::string> events;

std::string FileNameOf(HMODULE module) {
  char path[MAX_PATH] = "?";
  GetModuleFileNameA(module, path, MAX_PATH);
  CharLowerA(path);
  const std::string full = path;
  return full.substr(full.find_last_of('\\') + 1);
}

HMODULE RecordLoad(const wchar_t* path) {
  HMODULE module = LoadLibraryW(path);
  events.push_back((module ? "load " : "no ") + GbkFromWide(path));
  return module;
}

HMODULE RecordSystemLoad(const wchar_t* fileName) {
  HMODULE module = SystemModuleLoader.loadSystem(fileName);
  events.push_back((module ? "system " : "no system ") + GbkFromWide(fileName));
  return module;
}

void* RecordFind(HMODULE module, const char* name) {
  void* address = reinterpret_cast<void*>(GetProcAddress(module, name));
  const std::string shown = IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<uintptr_t>(name)) : name;
  events.push_back((address ? "find " : "missing ") + shown);
  return address;
}

void RecordRelease(HMODULE module) {
  events.push_back("free " + FileNameOf(module));
  FreeLibrary(module);
}

const ModuleLoader recordingLoader = {RecordLoad, RecordSystemLoad, RecordFind, RecordRelease};

// A table of its own over the given names, with the recording loader; its modules are given
// back at the end of the test.
class TableUnderTest {
 public:
  TableUnderTest(std::vector<std::string> dlls, std::vector<std::string> functions)
      : dllTexts_(std::move(dlls)), functionTexts_(std::move(functions)) {
    for (const std::string& s : dllTexts_) dllNames_.push_back(s.c_str());
    for (const std::string& s : functionTexts_) functionNames_.push_back(s.c_str());
    Build(static_cast<int32_t>(dllNames_.size()), dllNames_.data(), functionNames_.data());
  }
  // The program's own declarations, bound afresh.
  TableUnderTest() { Build(kDeclaredFunctionCount, DeclaredDllNames, DeclaredFunctionNames); }
  ~TableUnderTest() { ReleaseImportModules(table); }

  ImportTable table{};
  std::vector<void*> bound;
  std::vector<HMODULE> modules;

 private:
  void Build(int32_t count, const char* const* dlls, const char* const* functions) {
    bound.assign(count, nullptr);
    modules.assign(count, nullptr);
    table = {count, dlls, functions, bound.data(), modules.data(), &recordingLoader};
    events.clear();
  }
  std::vector<std::string> dllTexts_, functionTexts_;
  std::vector<const char*> dllNames_, functionNames_;
};

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

void* ExportOf(const char* dll, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(dll), name));
}

// A declaration with no DLL name tries Kernel32, Gdi32, User32, ... of the system folder and gives
// back each module that lacks the export.
struct SearchCase {
  int32_t k;
  const char* foundIn;
  std::vector<std::string> expectedEvents;
};

class StandardDllSearch : public testing::TestWithParam<SearchCase> {};

TEST_P(StandardDllSearch, StopsAtTheFirstDllThatExportsTheName) {
  TableUnderTest t;
  const SearchCase& c = GetParam();
  void* address = TryBindImport(t.table, c.k);
  EXPECT_THAT(events, ElementsAreArray(c.expectedEvents));
  EXPECT_EQ(address, ExportOf(c.foundIn, DeclaredFunctionNames[c.k]));
  EXPECT_EQ(t.modules[c.k], GetModuleHandleA(c.foundIn));
  EXPECT_EQ(t.bound[c.k], address);
}

INSTANTIATE_TEST_SUITE_P(
    EmptyDllName, StandardDllSearch,
    testing::Values(SearchCase{K_SendMessageA, "user32.dll",
                               {"system Kernel32.dll", "missing SendMessageA", "free kernel32.dll", "system Gdi32.dll",
                                "missing SendMessageA", "free gdi32.dll", "system User32.dll", "find SendMessageA"}},
                    SearchCase{K_GetCurrentProcessId, "kernel32.dll",
                               {"system Kernel32.dll", "find GetCurrentProcessId"}}),
    [](const auto& param) { return std::string(DeclaredFunctionNames[param.param.k]); });

// A system DLL's name, however spelled, is loaded from the system folder alone; any other name
// from the program's folder first, then by the system's search.
struct NamedCase {
  const char* label;
  const char* dll;
  const char* function;
  std::vector<std::string> expectedEvents;  // "<folder>" stands for the program's folder
};

class NamedDll : public testing::TestWithParam<NamedCase> {};

TEST_P(NamedDll, SystemNamesComeFromTheSystemFolderOnly) {
  const NamedCase& c = GetParam();
  TableUnderTest t({c.dll}, {c.function});
  TryBindImport(t.table, 0);
  std::vector<std::string> expected;
  for (std::string event : c.expectedEvents) {
    if (const size_t at = event.find("<folder>"); at != std::string::npos) event.replace(at, 8, ProgramFolder());
    expected.push_back(event);
  }
  EXPECT_THAT(events, ElementsAreArray(expected));
}

INSTANTIATE_TEST_SUITE_P(
    Names, NamedDll,
    testing::Values(NamedCase{"Lower", "gdiplus.dll", "GdipAlloc", {"system gdiplus.dll", "find GdipAlloc"}},
                    NamedCase{"NoExtension", "GdiPlus", "GdipAlloc", {"system gdiplus.dll", "find GdipAlloc"}},
                    NamedCase{"Upper", "COMCTL32.DLL", "ImageList_Destroy",
                              {"system comctl32.dll", "find ImageList_Destroy"}},
                    NamedCase{"NotASystemDll", "no_such_library_7c1.dll", "Anything",
                              {"no <folder>no_such_library_7c1.dll", "no no_such_library_7c1.dll"}},
                    NamedCase{"SystemNameInAFolder", "sub\\user32.dll", "GetDesktopWindow",
                              {"no <folder>sub\\user32.dll", "no sub\\user32.dll"}}),
    [](const auto& param) { return std::string(param.param.label); });

TEST(NamedDll, NameWithAColonIsLoadedByThatPathAlone) {
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  const std::string present = std::string(system) + "\\user32.dll";
  const std::string absent = std::string(system) + "\\no_such_library_7c1.dll";
  TableUnderTest t({present, absent}, {"GetDesktopWindow", "GetDesktopWindow"});
  EXPECT_EQ(TryBindImport(t.table, 0), ExportOf("user32.dll", "GetDesktopWindow"));
  EXPECT_EQ(TryBindImport(t.table, 1), nullptr);
  EXPECT_THAT(events, ElementsAre("load " + present, "find GetDesktopWindow", "no " + absent));
}

// The ordinal under which a module exports a name, read from its export directory.
WORD OrdinalOf(HMODULE module, const char* name) {
  const auto* base = reinterpret_cast<const BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
  const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  const auto* ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    if (std::string(reinterpret_cast<const char*>(base + names[i])) == name) {
      return static_cast<WORD>(exports->Base + ordinals[i]);
    }
  }
  return 0;
}

TEST(Ordinals, HashAndDigitsNameTheExportModulo65536) {
  const WORD ordinal = OrdinalOf(GetModuleHandleA("user32.dll"), "GetDesktopWindow");
  ASSERT_NE(ordinal, 0);
  const std::string n = std::to_string(ordinal);
  TableUnderTest t({"user32.dll", "user32.dll", "user32.dll", "user32.dll", "user32.dll"},
                   {"#" + n, "#" + std::to_string(ordinal + 65536), "#0", "#65536", "#" + n + "x"});
  void* const expected = ExportOf("user32.dll", "GetDesktopWindow");
  EXPECT_EQ(TryBindImport(t.table, 0), expected);
  EXPECT_EQ(TryBindImport(t.table, 1), expected);
  // Ordinal 0 names no export: nothing is loaded for it.
  EXPECT_EQ(TryBindImport(t.table, 2), nullptr);
  EXPECT_EQ(TryBindImport(t.table, 3), nullptr);
  // Not all digits: an ordinary name, which user32 does not export.
  EXPECT_EQ(TryBindImport(t.table, 4), nullptr);
  EXPECT_THAT(events, ElementsAre("system user32.dll", "find #" + n, "system user32.dll", "find #" + n,
                                  "system user32.dll", "missing #" + n + "x", "free user32.dll"));
}

// A declaration loads its module on its first call only; two declarations of one function each
// hold a reference of their own, and each is given back once.
TEST(Binding, OneLoadPerDeclarationAndOneReleaseEach) {
  TableUnderTest t;
  void* first = TryBindImport(t.table, K_LoadIconA);
  EXPECT_EQ(TryBindImport(t.table, K_LoadIconA), first);
  EXPECT_EQ(TryBindImport(t.table, K_LoadIconA_2), first);
  EXPECT_THAT(events, ElementsAre("system user32.dll", "find LoadIconA", "system user32.dll", "find LoadIconA"));
  EXPECT_EQ(t.modules[K_LoadIconA_2], GetModuleHandleA("user32.dll"));
  events.clear();
  ReleaseImportModules(t.table);
  ReleaseImportModules(t.table);
  EXPECT_THAT(events, ElementsAre("free user32.dll", "free user32.dll"));
  EXPECT_EQ(t.bound[K_LoadIconA], nullptr);
  EXPECT_EQ(t.modules[K_LoadIconA_2], nullptr);
}

TEST(Binding, MissingDllOrExportGivesNullAndKeepsNoModule) {
  TableUnderTest t({"no_such_library_7c1.dll", "user32.dll", "", "user32.dll"},
                   {"NoSuchFunction", "NoSuchFunction", "NoSuchFunction", ""});
  EXPECT_EQ(TryBindImport(t.table, 0), nullptr);
  EXPECT_EQ(TryBindImport(t.table, 1), nullptr);
  EXPECT_EQ(TryBindImport(t.table, 2), nullptr);
  EXPECT_EQ(TryBindImport(t.table, 3), nullptr);  // no name: nothing is loaded
  EXPECT_EQ(TryBindImport(t.table, 4), nullptr);
  EXPECT_EQ(TryBindImport(t.table, -1), nullptr);
  EXPECT_THAT(t.modules, ElementsAre(nullptr, nullptr, nullptr, nullptr));
  const std::string folder = ProgramFolder();
  EXPECT_THAT(events, ElementsAre("no " + folder + "no_such_library_7c1.dll", "no no_such_library_7c1.dll",
                                  "system user32.dll", "missing NoSuchFunction", "free user32.dll",
                                  "system Kernel32.dll", "missing NoSuchFunction", "free kernel32.dll",
                                  "system Gdi32.dll", "missing NoSuchFunction", "free gdi32.dll",
                                  "system User32.dll", "missing NoSuchFunction", "free user32.dll",
                                  "system Advapi32.dll", "missing NoSuchFunction", "free advapi32.dll",
                                  "system Mpr.dll", "missing NoSuchFunction", "free mpr.dll",
                                  "system Shell32.dll", "missing NoSuchFunction", "free shell32.dll"));
}

struct UnboundCase {
  const char* name;
  int32_t k;
  std::string expectedText;
};

class BindingDeathTest : public testing::TestWithParam<UnboundCase> {};

// The declarations before it bind and run; the one that cannot be bound ends the process with
// its report when it is first asked for.
TEST_P(BindingDeathTest, UnboundDeclarationIsReportedWhenFirstCalled) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const UnboundCase& c = GetParam();
  EXPECT_EXIT(
      {
        SetRuntimeErrorPresenter(ShowOnStderr);
        TableUnderTest t({"user32.dll", "no_such_library_7c1.dll", "", "user32.dll"},
                         {"GetDesktopWindow", "NoSuchFunction", "NoSuchFunction", "NoSuchExport"});
        auto desktop = reinterpret_cast<HWND(WINAPI*)()>(BindImport(t.table, 0));
        if (desktop() == GetDesktopWindow()) std::fputs("[bound first]", stderr);
        BindImport(t.table, c.k);
        std::fputs("returned", stderr);
      },
      testing::ExitedWithCode(-1), testing::StrEq("[bound first]" + c.expectedText));
}

INSTANTIATE_TEST_SUITE_P(
    Report, BindingDeathTest,
    testing::Values(
        UnboundCase{"MissingDll", 1, "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“no_such_library_7c1.dll”中的输出命令“NoSuchFunction”\r\n"},
        UnboundCase{"EmptyDllName", 2, "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件中的输出命令“NoSuchFunction”\r\n"},
        UnboundCase{"MissingExport", 3, "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“user32.dll”中的输出命令“NoSuchExport”\r\n"},
        UnboundCase{"IndexAboveCount", 4, "运行时出错!\r\n\r\n错误代码：1\r\n\r\n错误信息：数组成员引用下标超出定义范围\r\n"},
        UnboundCase{"IndexBelowZero", -1, "运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1\r\n"}),
    [](const auto& param) { return std::string(param.param.name); });

// Every declaration of the program binds under Wine: the list of those that do not is pinned
// here. Only bound, never called: some GDI+ exports of Wine end the process when called.
TEST(ProgramTable, EveryDeclarationBindsUnderWine) {
  TableUnderTest t;
  std::vector<std::string> unbound;
  for (int32_t k = 0; k < kDeclaredFunctionCount; ++k) {
    if (!TryBindImport(t.table, k)) unbound.push_back(std::to_string(k) + " " + DeclaredFunctionNames[k]);
  }
  EXPECT_THAT(unbound, IsEmpty());
  int32_t modulesHeld = 0;
  for (HMODULE module : t.modules) modulesHeld += module ? 1 : 0;
  EXPECT_EQ(modulesHeld, kDeclaredFunctionCount);
}

}  // namespace
