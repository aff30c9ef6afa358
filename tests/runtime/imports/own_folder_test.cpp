// A DLL in the program's own folder is preferred over the system's DLL of the same name. This
// program lies in a folder of its own beside our msimg32.dll. (Under Wine the program's load order
// must say native first for msimg32, or Wine loads its own built-in DLL whatever the path.)
#include <gtest/gtest.h>

#include <string>

#include "runtime/imports/declared_functions.h"

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

TEST(OwnFolder, DllBesideTheProgramIsBoundBeforeTheSystemOne) {
  const BOOL result = Declared::TransparentBlt(nullptr, 1, 2, 3, 4, nullptr, 5, 6, 7, 8, 9);
  EXPECT_EQ(result, 0x7E570000 + 1 + 4 + 9 + 16 + 25 + 36 + 49 + 64 + 81);
  const std::string program = FileOf(nullptr);
  const std::string expected = program.substr(0, program.find_last_of('\\') + 1) + "msimg32.dll";
  EXPECT_EQ(FileOf(DeclaredFunctionTable().moduleHandles[K_TransparentBlt]), expected);
}

}  // namespace
