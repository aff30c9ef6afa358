// DLLs named like the system DLLs that the tool uses, dropped beside the real tool, never run in
// it: the tool starts, shows its window and ends as usual, and none of them leaves its mark. Wine
// prefers its built-in DLLs even for a path, so the load order of the tool (and of rundll32) says
// native first for these names, as Windows always does; rundll32 given each file by its path
// shows that Wine then loads it. Measured under Wine 8: WINEDLLOVERRIDES in the Windows
// environment of a program started from a Windows program has no effect (only the Unix one of
// the first does), so the setting is made in the prefix for the two programs by name. Wine's
// rundll32 does not take a quoted DLL path.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/gui_driver.h"
#include "tests/support/registry_value.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/wine_paths.h"

namespace {

constexpr const char* plantedNames[] = {"gdiplus", "msimg32", "shlwapi", "ole32", "comctl32"};
constexpr const char* nativeFirstFor[] = {"racing-switch.exe", "rundll32.exe"};

// Native first for every planted name in the two programs' load order, while the object lives.
std::vector<std::unique_ptr<RegistryValue>> NativeFirst() {
  std::vector<std::unique_ptr<RegistryValue>> values;
  for (const char* program : nativeFirstFor) {
    const std::string key = std::string("Software\\Wine\\AppDefaults\\") + program + "\\DllOverrides";
    for (const char* dll : plantedNames) {
      values.push_back(std::make_unique<RegistryValue>(key.c_str(), dll, "native,builtin"));
    }
  }
  return values;
}

std::string Dll(const ScratchFolder& folder, const char* name) { return folder.file(name) + ".dll"; }
std::string Mark(const std::string& dll) { return dll + ".loaded"; }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TEST(PlantedDlls, NoneBesideTheToolIsLoadedAndTheToolRuns) {
  ScratchFolder folder;
  const std::string exe = folder.file("racing-switch.exe");
  ASSERT_TRUE(CopyFileA(WinePathOf(TOOL_UNIX_PATH).c_str(), exe.c_str(), FALSE));
  const std::string plants = WinePathOf(PLANTED_DLLS_UNIX_FOLDER);
  for (const char* name : plantedNames) {
    ASSERT_TRUE(CopyFileA((plants + "\\" + name + ".dll").c_str(), Dll(folder, name).c_str(), FALSE)) << name;
  }
  const auto nativeFirst = NativeFirst();

  // Loaded by its path, each file does run and leave its mark.
  for (const char* name : plantedNames) {
    ChildProcess rundll("rundll32.exe " + Dll(folder, name) + ",Mark");
    ASSERT_TRUE(rundll.started());
    EXPECT_TRUE(rundll.AwaitExit(20000).has_value());
    EXPECT_TRUE(Exists(Mark(Dll(folder, name)))) << name;
    DeleteFileA(Mark(Dll(folder, name)).c_str());
  }

  ChildProcess tool("\"" + exe + "\"", folder.path());
  ASSERT_TRUE(tool.started());
  HWND window = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (window = VisibleWindowOf(tool.id())) != nullptr; }));
  // Another program's window takes the activation: the tool binds and starts its trimming.
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                               nullptr);
  ASSERT_NE(other, nullptr);
  DWORD_PTR reply = 0;
  EXPECT_NE(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &reply), 0);
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(tool.AwaitExit(10000), 0u);
  DestroyWindow(other);
  for (const char* name : plantedNames) EXPECT_FALSE(Exists(Mark(Dll(folder, name)))) << name;
}

}  // namespace
