// The real tool in client folders the tests lay out: the top label's window text says the
// state of the three files at start, after each switch and after another program changes them;
// a switch from files of the player's own backs them up first, the newest ten backups are kept,
// and a backup that cannot be written stops the switch; a folder without rights gets advice of
// its own; a forum address the system cannot open is given to copy.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "app/forum_link.h"
#include "app/server_profiles.h"
#include "runtime/wide_text.h"
#include "tests/app/client_files.h"
#include "tests/app/profile_content.h"
#include "tests/app/running_tool.h"
#include "tests/support/child_process.h"
#include "tests/support/gui_driver.h"
#include "tests/support/registry_value.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/wine_paths.h"

namespace {

constexpr char kTitle[] = "Quorv Varnel1018 支持互转";
constexpr wchar_t kLive[] = L"当前：正服";
constexpr wchar_t kTest[] = L"当前：体验服";
constexpr wchar_t kOther[] = L"当前：其他设置";
constexpr wchar_t kIncomplete[] = L"当前：缺少配置文件";
constexpr wchar_t kAdvice[] = L"先把转换器放到飞车目录里";
constexpr wchar_t kSwitchedToLive[] = L"已转成正服";
constexpr wchar_t kSwitchedToTest[] = L"已转成体验服";
constexpr char kBackups[] = "转换器备份";
const char* const kFileNames[] = {"DirSvrInfo1.ini", "VER.ini", "WorldDef.ini"};
const std::string kUpdatedVer = "[info]\r\nversion=191\r\n";

// A client folder with a copy of the tool in it; the tool is started once the test has laid out
// the files.
class ClientFolder {
 public:
  ClientFolder() : exe_(folder_.file("racing-switch.exe")) {
    CopyFileA(WinePathOf(TOOL_UNIX_PATH).c_str(), exe_.c_str(), FALSE);
  }
  void Write(const char* name, const std::string& bytes) const { WriteFileBytes(folder_.file(name), bytes); }
  void Lay(const ServerProfile& profile) const {
    for (int i = 0; i < 3; ++i) Write(kFileNames[i], ::Content(profile, i));
  }
  // The player's own files: the live profile with the updater's VER.ini.
  void LayOwn() const {
    Lay(LiveServerProfile);
    Write("VER.ini", kUpdatedVer);
  }
  std::vector<std::string> Contents() const {
    std::vector<std::string> contents;
    for (const char* name : kFileNames) contents.push_back(ReadFileBytes(folder_.file(name)).value_or("<none>"));
    return contents;
  }
  std::unique_ptr<RunningTool> Start() const { return std::make_unique<RunningTool>(exe_, folder_.path()); }
  const ScratchFolder& folder() const { return folder_; }
  std::wstring Backups() const { return folder_.widePath() + L"\\" + WideFromGbk(kBackups); }
  std::set<std::wstring> BackupNames() const { return NamesIn(Backups()); }

 private:
  ScratchFolder folder_;
  std::string exe_;
};

HWND StateLabel(const RunningTool& tool) { return FindWindowExW(tool.window(), nullptr, L"TransLabel", nullptr); }

bool Shows(const RunningTool& tool, const std::wstring& text, int milliseconds = 10000) {
  return WaitFor([&] { return TextOf(StateLabel(tool)) == text; }, milliseconds);
}

HWND AwaitBox(const RunningTool& tool) {
  HWND box = nullptr;
  WaitFor([&] { return (box = MessageBoxOf(tool.id(), kTitle)) != nullptr; });
  return box;
}

void CloseBox(HWND box) {
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  WaitFor([&] { return !IsWindow(box); });
}

struct Layout {
  const char* name;
  int files;  // how many of the three, from the first
  const ServerProfile* profile;  // null: the player's own VER.ini
  const wchar_t* shown;
};

class StateAtStart : public testing::TestWithParam<Layout> {};

TEST_P(StateAtStart, IsTheLabelsText) {
  ClientFolder client;
  const Layout& layout = GetParam();
  if (layout.profile) client.Lay(*layout.profile); else client.LayOwn();
  for (int i = layout.files; i < 3; ++i) DeleteFileA(client.folder().file(kFileNames[i]).c_str());
  const auto tool = client.Start();
  ASSERT_NE(tool->window(), nullptr);
  EXPECT_EQ(TextOf(StateLabel(*tool)), layout.shown);
  EXPECT_EQ(tool->CloseAndWait(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Folders, StateAtStart,
                         testing::Values(Layout{"Live", 3, &LiveServerProfile, kLive},
                                         Layout{"Test", 3, &TestServerProfile, kTest},
                                         Layout{"Other", 3, nullptr, kOther},
                                         Layout{"Incomplete", 2, &TestServerProfile, kIncomplete},
                                         Layout{"NotAClientFolder", 0, &LiveServerProfile, kAdvice}),
                         [](const testing::TestParamInfo<Layout>& p) { return std::string(p.param.name); });

// Each switch is said as done, then the label says the state plainly; switches from nothing,
// from live and from test back nothing up.
TEST(ClientStateTool, SaysEachSwitchAndMakesNoBackupOfProfiles) {
  ClientFolder client;
  const auto tool = client.Start();
  ASSERT_TRUE(Shows(*tool, kAdvice));
  ClickCentre(tool->Button(L"体验服转正服"));
  ASSERT_TRUE(Shows(*tool, kSwitchedToLive));
  EXPECT_TRUE(HoldsProfile(client.folder().widePath(), LiveServerProfile));
  EXPECT_TRUE(Shows(*tool, kLive));
  ClickCentre(tool->Button(L"正服转体验服"));
  ASSERT_TRUE(Shows(*tool, kSwitchedToTest));
  EXPECT_TRUE(Shows(*tool, kTest));
  ClickCentre(tool->Button(L"体验服转正服"));
  ASSERT_TRUE(Shows(*tool, kSwitchedToLive));
  EXPECT_EQ(client.folder().Names(), (std::set<std::string>{"racing-switch.exe", "DirSvrInfo1.ini", "VER.ini", "WorldDef.ini"}));
  EXPECT_EQ(MessageBoxOf(tool->id()), nullptr);
  EXPECT_EQ(tool->CloseAndWait(), 0u);
}

// Another program changes the files while the tool runs: the label follows within two seconds.
TEST(ClientStateTool, FollowsChangesByAnotherProgram) {
  ClientFolder client;
  client.Lay(LiveServerProfile);
  const auto tool = client.Start();
  ASSERT_TRUE(Shows(*tool, kLive));
  client.Write("VER.ini", kUpdatedVer);
  EXPECT_TRUE(Shows(*tool, kOther, 2000));
  DeleteFileA(client.folder().file("WorldDef.ini").c_str());
  EXPECT_TRUE(Shows(*tool, kIncomplete, 2000));
  client.Lay(TestServerProfile);
  EXPECT_TRUE(Shows(*tool, kTest, 2000));
  for (const char* name : kFileNames) DeleteFileA(client.folder().file(name).c_str());
  EXPECT_TRUE(Shows(*tool, kAdvice, 2000));
  EXPECT_EQ(tool->CloseAndWait(), 0u);
}

// A switch from the player's own files: first a dated backup holding the three old files byte
// for byte, then the switch; the box of a later failed switch names that backup.
TEST(ClientStateTool, BacksUpThePlayersOwnFilesBeforeTheSwitch) {
  ClientFolder client;
  client.LayOwn();
  const std::vector<std::string> own = client.Contents();
  const auto tool = client.Start();
  ASSERT_TRUE(Shows(*tool, kOther));
  ClickCentre(tool->Button(L"正服转体验服"));
  ASSERT_TRUE(Shows(*tool, kSwitchedToTest));
  const std::set<std::wstring> backups = client.BackupNames();
  ASSERT_EQ(backups.size(), 1u);
  const std::wstring backup = client.Backups() + L"\\" + *backups.begin();
  EXPECT_EQ(NamesIn(backup), (std::set<std::wstring>{L"DirSvrInfo1.ini", L"VER.ini", L"WorldDef.ini"}));
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(ReadFileBytes(backup + L"\\" + WideFromGbk(kFileNames[i])), own[static_cast<size_t>(i)]) << kFileNames[i];
  EXPECT_TRUE(HoldsProfile(client.folder().widePath(), TestServerProfile));

  // A later switch that fails names the backup in its box.
  SetReadOnly(client.folder().file("VER.ini"), true);
  ClickCentre(tool->Button(L"体验服转正服"));
  HWND box = AwaitBox(*tool);
  ASSERT_NE(box, nullptr);
  const std::wstring named = L"最近一次备份的文件在“" + WideFromGbk(kBackups) + L"\\" + *backups.begin() + L"”文件夹里。";
  EXPECT_NE(TextOf(GetDlgItem(box, 0xFFFF)).find(named), std::wstring::npos) << GbkFromWide(TextOf(GetDlgItem(box, 0xFFFF)));
  CloseBox(box);
  SetReadOnly(client.folder().file("VER.ini"), false);
  EXPECT_EQ(client.BackupNames().size(), 1u);
  EXPECT_EQ(tool->CloseAndWait(), 0u);
}

// Ten backups there already, and a folder of the player's in among them: the eleventh removes the
// oldest backup and nothing else.
TEST(ClientStateTool, KeepsTheNewestTenBackups) {
  ClientFolder client;
  client.LayOwn();
  const std::wstring backups = client.Backups();
  ASSERT_TRUE(CreateDirectoryW(backups.c_str(), nullptr));
  std::set<std::wstring> earlier;
  for (int i = 0; i < 10; ++i) {
    const std::wstring name = L"2020-01-0" + std::to_wstring(i / 5 + 1) + L" 00-00-0" + std::to_wstring(i % 5);
    ASSERT_TRUE(CreateDirectoryW((backups + L"\\" + name).c_str(), nullptr));
    for (const char* file : kFileNames) WriteFileBytes(GbkFromWide(backups + L"\\" + name) + "\\" + file, "earlier");
    earlier.insert(name);
  }
  ASSERT_TRUE(CreateDirectoryW((backups + L"\\我的备份").c_str(), nullptr));
  const auto tool = client.Start();
  ASSERT_TRUE(Shows(*tool, kOther));
  ClickCentre(tool->Button(L"体验服转正服"));
  ASSERT_TRUE(Shows(*tool, kSwitchedToLive));
  std::set<std::wstring> now = client.BackupNames();
  EXPECT_EQ(now.size(), 11u);  // ten backups and the player's folder
  EXPECT_EQ(now.count(L"2020-01-01 00-00-00"), 0u);
  EXPECT_EQ(now.count(L"我的备份"), 1u);
  earlier.erase(L"2020-01-01 00-00-00");
  for (const std::wstring& name : earlier) EXPECT_EQ(now.count(name), 1u) << GbkFromWide(name);
  EXPECT_EQ(tool->CloseAndWait(), 0u);
}

// A file stands where the backups go: no backup, so no switch, and a box that says why.
TEST(ClientStateTool, StopsTheSwitchWhenTheBackupCannotBeWritten) {
  ClientFolder client;
  client.LayOwn();
  const std::vector<std::string> own = client.Contents();
  client.Write(kBackups, "a file in the way");
  const auto tool = client.Start();
  ASSERT_TRUE(Shows(*tool, kOther));
  ClickCentre(tool->Button(L"正服转体验服"));
  HWND box = AwaitBox(*tool);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)),
            L"转换前要先把你自己的配置文件备份到“转换器备份”文件夹，但备份文件夹建不起来，所以没有转换，"
            L"三个文件都没有改动。\r\n“转换器备份”这个名字被一个文件占着，请把它改名或移走。");
  EXPECT_EQ(client.Contents(), own);
  CloseBox(box);
  EXPECT_EQ(TextOf(StateLabel(*tool)), kOther);
  EXPECT_EQ(tool->CloseAndWait(), 0u);
}

// A client folder that takes no new file, as one under Program Files without rights: Linux's
// immutable flag, which even root cannot pass, set by tests/app/locked_folders.sh between two runs
// of this program. The first run lays out the folders, the second switches in them; without the
// script (LOCKED_CLIENTS unset) both are skipped. Folder "profile" holds the live profile, so the
// switch itself is refused; folder "own" holds files of the player's own, so the backup is.
const char* const kLockedFolders[] = {"profile", "own"};

std::string LockedFolder(const char* name) {
  const char* root = std::getenv("LOCKED_CLIENTS");
  return root ? std::string(root) + "\\" + name : std::string();
}

TEST(LockedClient, LayOut) {
  if (!std::getenv("LOCKED_CLIENTS")) GTEST_SKIP() << "run by locked_folders.sh";
  for (const char* name : kLockedFolders) {
    const std::string folder = LockedFolder(name);
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
    ASSERT_TRUE(CopyFileA(WinePathOf(TOOL_UNIX_PATH).c_str(), (folder + "\\racing-switch.exe").c_str(), FALSE));
    for (int i = 0; i < 3; ++i) WriteFileBytes(folder + "\\" + kFileNames[i], ::Content(LiveServerProfile, i));
    if (std::string(name) == "own") WriteFileBytes(folder + "\\VER.ini", kUpdatedVer);
  }
}

// The box says the folder takes no file and what helps, not to close the client, whether the
// switch itself or the backup before it is refused; the files stay as they were.
TEST(LockedClient, AdvisesRightsNotClosingTheClient) {
  if (!std::getenv("LOCKED_CLIENTS")) GTEST_SKIP() << "run by locked_folders.sh";
  for (const char* name : kLockedFolders) {
    const std::string folder = LockedFolder(name);
    std::vector<std::string> before;
    for (const char* file : kFileNames) before.push_back(ReadFileBytes(folder + "\\" + file).value_or("<none>"));
    RunningTool tool(folder + "\\racing-switch.exe", folder);
    ASSERT_TRUE(Shows(tool, std::string(name) == "own" ? kOther : kLive)) << name;
    ClickCentre(tool.Button(L"正服转体验服"));
    HWND box = AwaitBox(tool);
    ASSERT_NE(box, nullptr) << name;
    const std::wstring text = TextOf(GetDlgItem(box, 0xFFFF));
    EXPECT_NE(text.find(L"转换器所在的文件夹不允许写入"), std::wstring::npos) << GbkFromWide(text);
    EXPECT_NE(text.find(L"以管理员身份运行"), std::wstring::npos) << GbkFromWide(text);
    EXPECT_EQ(text.find(L"请关闭飞车客户端"), std::wstring::npos) << GbkFromWide(text);
    CloseBox(box);
    EXPECT_EQ(tool.CloseAndWait(), 0u);
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(ReadFileBytes(folder + "\\" + kFileNames[i]).value_or("<none>"), before[static_cast<size_t>(i)])
          << name << " " << kFileNames[i];
  }
}

// The handler of web addresses cannot be started: the forum button's box gives the address to
// copy. (Wine's shell reads the handler from the machine's classes only.)
TEST(ClientStateTool, GivesTheForumAddressWhenNothingOpensIt) {
  ClientFolder client;
  RegistryValue noHandler("Software\\Classes\\http\\shell\\open\\command", "",
                          "\"C:\\no-such-browser\\browser.exe\" \"%1\"", HKEY_LOCAL_MACHINE);
  const auto tool = client.Start();
  ASSERT_NE(tool->window(), nullptr);
  ClickCentre(tool->Button(L"打开Dostren论坛"));
  HWND box = AwaitBox(*tool);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)), ForumFailureText());
  EXPECT_NE(ForumFailureText().find(WideFromGbk(ForumAddress)), std::wstring::npos);
  CloseBox(box);
  EXPECT_EQ(tool->CloseAndWait(), 0u);
}

}  // namespace
