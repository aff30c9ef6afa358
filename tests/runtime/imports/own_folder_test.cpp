// Where a named DLL is loaded from when a file of that name lies beside the program: a system
// DLL's name binds the system folder's DLL and never the file beside the program; any other name
// binds the file beside the program. This program lies in a folder of its own beside our
// msimg32.dll and own_blend.dll, two copies of one DLL. (Under Wine the program's load order says
// native first for msimg32, or Wine would load its own built-in DLL whatever the path.)
#include <gtest/gtest.h>

#include <string>

#include "runtime/imports/import_table.h"

namespace {

std::string LowerCase(std::string text) {
  CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

std::string FileOf(HMODULE module) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(module, path, MAX_PATH);
  return LowerCase(path);
}

std::string ProgramFolder() {
  const std::string program = FileOf(nullptr);
  return program.substr(0, program.find_last_of('\\') + 1);
}

std::string SystemFolder() {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  return LowerCase(folder) + "\\";
}

// What our DLL's TransparentBlt gives for the arguments passed below.
constexpr int kOurs = 0x7E570000 + 1 + 4 + 9 + 16 + 25 + 36 + 49 + 64 + 81;

struct PlacementCase {
  const char* label;
  const char* dll;          // as declared
  const char* boundFile;    // the file name of the module bound
  bool fromProgramFolder;   // else from the system folder
};

class OwnFolder : public testing::TestWithParam<PlacementCase> {};

TEST_P(OwnFolder, SystemNamesBindTheSystemFolderAndOthersTheProgramFolder) {
  const PlacementCase& c = GetParam();
  const char* dlls[] = {c.dll};
  const char* functions[] = {"TransparentBlt"};
  void* bound[1] = {};
  HMODULE modules[1] = {};
  ImportTable table = {1, dlls, functions, bound, modules, &SystemModuleLoader};
  auto transparentBlt =
      reinterpret_cast<BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, UINT)>(TryBindImport(table, 0));
  ASSERT_NE(transparentBlt, nullptr);
  const std::string folder = c.fromProgramFolder ? ProgramFolder() : SystemFolder();
  EXPECT_EQ(FileOf(modules[0]), folder + c.boundFile);
  EXPECT_EQ(transparentBlt(nullptr, 1, 2, 3, 4, nullptr, 5, 6, 7, 8, 9) == kOurs, c.fromProgramFolder);
  // Nor was the file beside the program loaded on the way.
  if (!c.fromProgramFolder) {
    EXPECT_EQ(GetModuleHandleA((ProgramFolder() + "msimg32.dll").c_str()), nullptr);
  }
  ReleaseImportModules(table);
}

INSTANTIATE_TEST_SUITE_P(Names, OwnFolder,
                         testing::Values(PlacementCase{"SystemName", "msimg32.dll", "msimg32.dll", false},
                                         PlacementCase{"SystemNameOtherwiseSpelled", "MSIMG32", "msimg32.dll", false},
                                         PlacementCase{"OwnName", "own_blend.dll", "own_blend.dll", true}),
                         [](const auto& param) { return std::string(param.param.label); });

}  // namespace
