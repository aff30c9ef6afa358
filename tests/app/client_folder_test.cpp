// The real executable in client folders whose names the ANSI code page cannot spell, or whose
// paths are longer than MAX_PATH: copied into the folder and started from another one, each button
// writes its profile byte for byte into that folder and nothing anywhere else. The program runs
// once under the project's code page 936 and once more, as app_client_folder_test_cp1252, under
// code page 1252.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "app/server_profiles.h"
#include "tests/app/client_files.h"
#include "tests/support/child_process.h"
#include "tests/support/gui_driver.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/wine_paths.h"

namespace {

// The buttons are found by their place in the start window (the centres of their rectangles in
// the client area), not by caption: how a Chinese caption reads back depends on the run's code
// page, and this test is about paths.
struct Button {
  POINT centre;
  const ServerProfile* profile;
};
constexpr Button kToTestServer{{92, 204}, &TestServerProfile};
constexpr Button kToLiveServer{{260, 204}, &LiveServerProfile};

HWND ButtonAt(HWND window, POINT centre) {
  HWND child = ChildWindowFromPointEx(window, centre, CWP_SKIPINVISIBLE);
  wchar_t className[16] = L"";
  GetClassNameW(child, className, 16);
  return child != window && std::wstring(className) == L"Button" ? child : nullptr;
}

struct ClientFolder {
  const char* name;
  std::vector<std::wstring> parts;  // nested folders under the scratch folder
};

class ClientFolderName : public testing::TestWithParam<ClientFolder> {};

TEST_P(ClientFolderName, EachButtonWritesIntoTheToolsFolderAndNowhereElse) {
  ScratchFolder scratch;
  const std::wstring client = scratch.MakeFolders(GetParam().parts);
  ASSERT_FALSE(client.empty());
  const std::wstring elsewhere = scratch.MakeFolders({L"elsewhere"});
  ASSERT_FALSE(elsewhere.empty());
  const std::wstring exe = client + L"\\racing-switch.exe";
  ASSERT_TRUE(CopyFileW(WinePathOf(L"" TOOL_UNIX_PATH).c_str(), LongForm(exe).c_str(), FALSE));

  ChildProcess tool(ChildProcess::AnyPath{exe, elsewhere});
  ASSERT_TRUE(tool.started());
  HWND window = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (window = VisibleWindowOf(tool.id())) != nullptr; }));
  for (const Button& button : {kToTestServer, kToLiveServer}) {
    HWND target = ButtonAt(window, button.centre);
    ASSERT_NE(target, nullptr);
    ClickCentre(target);
    EXPECT_TRUE(WaitFor([&] { return HoldsProfile(client, *button.profile); })) << "button at x = " << button.centre.x;
  }
  EXPECT_EQ(NamesIn(client), (std::set<std::wstring>{L"racing-switch.exe", L"DirSvrInfo1.ini", L"VER.ini",
                                                      L"WorldDef.ini"}));
  EXPECT_EQ(NamesIn(elsewhere), std::set<std::wstring>{});
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(tool.AwaitExit(10000), 0u);
}

// Three folders of about a hundred characters and a Chinese one: a path of some 350 characters.
const std::wstring kHundredLetters(100, L'k');

INSTANTIATE_TEST_SUITE_P(
    Names, ClientFolderName,
    testing::Values(ClientFolder{"Chinese", {L"飞车客户端"}}, ClientFolder{"Korean", {L"클라이언트"}},
                    ClientFolder{"LongerThanMaxPath", {kHundredLetters, kHundredLetters, kHundredLetters, L"飞车客户端"}}),
    [](const testing::TestParamInfo<ClientFolder>& p) { return std::string(p.param.name); });

// Each run is under the code page its CTest entry names (936 unless it names another), so that a
// run meant for code page 1252 cannot pass under 936 unnoticed.
TEST(ClientFolderRun, HasTheExpectedAnsiCodePage) {
  const char* expected = std::getenv("EXPECTED_ANSI_CODE_PAGE");
  EXPECT_EQ(GetACP(), expected ? std::strtoul(expected, nullptr, 10) : 936ul);
}

}  // namespace
