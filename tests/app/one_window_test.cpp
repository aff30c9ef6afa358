// One window per client folder, on the real tool: a second start in the folder of a running tool,
// however it names the folder, leaves that one window (restored and in front) and ends with 0; a
// start in another folder opens a window of its own; once the first tool has ended, closed or
// killed, the next start in its folder opens a window again.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/gui_driver.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/wine_paths.h"

namespace {

constexpr wchar_t kTitle[] = L"Quorv Varnel1018 支持互转";

// The tool copied to `exe` (a full path of any length).
bool PlaceTool(const std::wstring& exe) {
  return CopyFileW(WinePathOf(L"" TOOL_UNIX_PATH).c_str(), LongForm(exe).c_str(), FALSE) != 0;
}

// The test's current directory (its scratch folder): a child's current directory is not the
// tool's folder, whose path may be longer than a current directory can be (Wine's process
// parameters overflow with one).
std::wstring CurrentDirectory() {
  std::wstring directory(MAX_PATH, L'\0');
  directory.resize(GetCurrentDirectoryW(MAX_PATH, directory.data()));
  return directory;
}

// A start of the tool, and its shown window once it has one.
struct Start {
  std::unique_ptr<ChildProcess> process;
  HWND window = nullptr;
};

Start StartTool(const std::wstring& exe, bool awaitWindow = true) {
  Start start;
  start.process = std::make_unique<ChildProcess>(ChildProcess::AnyPath{exe, CurrentDirectory()});
  if (start.process->started() && awaitWindow)
    WaitFor([&] { return (start.window = VisibleWindowOf(start.process->id())) != nullptr; });
  return start;
}

BOOL CALLBACK CountToolWindow(HWND window, LPARAM count) {
  wchar_t title[64] = L"";
  GetWindowTextW(window, title, 64);
  if (IsWindowVisible(window) && std::wstring(title) == kTitle) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

int ToolWindows() {
  int count = 0;
  EnumWindows(&CountToolWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

// A window of the test's own in front of the tool.
struct WindowInFront {
  WindowInFront()
      : window(CreateWindowExW(0, L"STATIC", L"in front", WS_POPUP | WS_VISIBLE, 0, 0, 80, 40, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr)) {
    SetForegroundWindow(window);
  }
  ~WindowInFront() { DestroyWindow(window); }
  WindowInFront(const WindowInFront&) = delete;
  WindowInFront& operator=(const WindowInFront&) = delete;
  HWND window;
};

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// ---- A second start in the same folder ------------------------------------------------------

// How the second start names the first one's folder, and what it found the first window doing.
enum class Naming { Same, OtherCase, ShortNames, AnotherCopy };

struct SecondStart {
  const char* name;
  std::vector<std::wstring> folders;  // nested under the scratch folder: the client folder
  Naming naming;
  bool minimised;  // else behind a window of the test
};

class SameFolder : public testing::TestWithParam<SecondStart> {};

std::wstring SecondExe(const SecondStart& c, const std::wstring& client) {
  switch (c.naming) {
    case Naming::Same:
      return client + L"\\racing-switch.exe";
    case Naming::OtherCase: {
      std::wstring upper = client;
      CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
      return upper + L"\\RACING-SWITCH.EXE";
    }
    case Naming::ShortNames: {
      std::wstring shortName(32768, L'\0');
      const DWORD length = GetShortPathNameW(LongForm(client).c_str(), shortName.data(), 32768);
      if (length == 0 || length >= 32768) return {};
      shortName.resize(length);
      if (shortName.starts_with(L"\\\\?\\")) shortName.erase(0, 4);
      return shortName + L"\\racing-switch.exe";
    }
    case Naming::AnotherCopy:
      return client + L"\\racing-switch-x64.exe";
  }
  return {};
}

TEST_P(SameFolder, LeavesTheOneWindowRestoredInFrontAndEndsWithZero) {
  const SecondStart& c = GetParam();
  ScratchFolder scratch;
  const std::wstring client = scratch.MakeFolders(c.folders);
  ASSERT_FALSE(client.empty());
  ASSERT_TRUE(PlaceTool(client + L"\\racing-switch.exe"));
  const std::wstring second = SecondExe(c, client);
  ASSERT_FALSE(second.empty());
  if (c.naming == Naming::AnotherCopy) {
    ASSERT_TRUE(PlaceTool(second));
  }
  if (c.naming == Naming::ShortNames) {
    ASSERT_EQ(second.find(L"Racing Client"), std::wstring::npos) << "no short name";
  }

  const int before = ToolWindows();
  Start first = StartTool(client + L"\\racing-switch.exe");
  ASSERT_NE(first.window, nullptr);
  std::unique_ptr<WindowInFront> inFront;
  if (c.minimised) {
    ShowWindow(first.window, SW_MINIMIZE);
    ASSERT_TRUE(WaitFor([&] { return IsIconic(first.window) != FALSE; }));
  } else {
    inFront = std::make_unique<WindowInFront>();
    ASSERT_TRUE(WaitFor([&] {
      Pump();
      return GetForegroundWindow() == inFront->window;
    }));
  }

  Start again = StartTool(second, false);
  ASSERT_TRUE(again.process->started());
  EXPECT_EQ(again.process->AwaitExit(15000), std::optional<DWORD>(0));
  EXPECT_TRUE(WaitFor([&] {
    Pump();
    return !IsIconic(first.window) && GetForegroundWindow() == first.window;
  })) << "iconic " << IsIconic(first.window) << ", in front " << (GetForegroundWindow() == first.window);
  EXPECT_EQ(ToolWindows(), before + 1);
  EXPECT_TRUE(first.process->running());
  // Back in front, the keys go where they went before: to the button that had the focus.
  GUITHREADINFO info{sizeof info};
  EXPECT_TRUE(WaitFor([&] {
    return GetGUIThreadInfo(GetWindowThreadProcessId(first.window, nullptr), &info) &&
           info.hwndFocus == FindWindowExW(first.window, nullptr, L"Button", L"正服转体验服");
  }));

  PostMessageW(first.window, WM_CLOSE, 0, 0);
  EXPECT_EQ(first.process->AwaitExit(10000), std::optional<DWORD>(0));
}

const std::wstring kHundredLetters(100, L'k');

INSTANTIATE_TEST_SUITE_P(
    Namings, SameFolder,
    testing::Values(SecondStart{"SamePathMinimised", {L"client"}, Naming::Same, true},
                    SecondStart{"SamePathBehindAnother", {L"client"}, Naming::Same, false},
                    SecondStart{"OtherCase", {L"Client"}, Naming::OtherCase, true},
                    SecondStart{"ShortNames", {L"Racing Client Folder"}, Naming::ShortNames, true},
                    SecondStart{"AnotherCopyOfTheTool", {L"client"}, Naming::AnotherCopy, true},
                    SecondStart{"ChineseAndLongerThanMaxPath",
                                {kHundredLetters, kHundredLetters, kHundredLetters, L"飞车客户端"}, Naming::Same, true}),
    [](const testing::TestParamInfo<SecondStart>& p) { return std::string(p.param.name); });

// ---- A start in another folder -------------------------------------------------------------

struct OtherFolder {
  const char* name;
  std::vector<std::wstring> first, second;  // nested under the scratch folder
};

class AnotherFolder : public testing::TestWithParam<OtherFolder> {};

TEST_P(AnotherFolder, OpensASecondWindow) {
  ScratchFolder scratch;
  const std::wstring one = scratch.MakeFolders(GetParam().first), two = scratch.MakeFolders(GetParam().second);
  ASSERT_FALSE(one.empty());
  ASSERT_FALSE(two.empty());
  ASSERT_TRUE(PlaceTool(one + L"\\racing-switch.exe"));
  ASSERT_TRUE(PlaceTool(two + L"\\racing-switch.exe"));
  const int before = ToolWindows();
  Start first = StartTool(one + L"\\racing-switch.exe");
  ASSERT_NE(first.window, nullptr);
  Start second = StartTool(two + L"\\racing-switch.exe");
  EXPECT_NE(second.window, nullptr);
  EXPECT_NE(second.window, first.window);
  EXPECT_EQ(ToolWindows(), before + 2);
  EXPECT_TRUE(first.process->running());
  for (const Start* start : {&second, &first}) {
    if (!start->window) continue;
    PostMessageW(start->window, WM_CLOSE, 0, 0);
    EXPECT_EQ(start->process->AwaitExit(10000), std::optional<DWORD>(0));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Folders, AnotherFolder,
    testing::Values(OtherFolder{"Sibling", {L"client"}, {L"other"}},
                    OtherFolder{"NameThatExtendsTheFirst", {L"client"}, {L"client2"}},
                    OtherFolder{"Nested", {L"client"}, {L"client", L"inner"}},
                    OtherFolder{"LongPathsThatDifferAtTheEnd", {kHundredLetters, kHundredLetters, kHundredLetters, L"a"},
                                {kHundredLetters, kHundredLetters, kHundredLetters, L"b"}}),
    [](const testing::TestParamInfo<OtherFolder>& p) { return std::string(p.param.name); });

// ---- The claim ends with the tool -----------------------------------------------------------

struct Ending {
  const char* name;
  bool killed;  // else closed
};

class AfterTheFirstEnds : public testing::TestWithParam<Ending> {};

TEST_P(AfterTheFirstEnds, TheNextStartInTheFolderOpensAWindow) {
  ScratchFolder scratch;
  const std::wstring client = scratch.MakeFolders({L"client"});
  ASSERT_FALSE(client.empty());
  const std::wstring exe = client + L"\\racing-switch.exe";
  ASSERT_TRUE(PlaceTool(exe));
  {
    Start first = StartTool(exe);
    ASSERT_NE(first.window, nullptr);
    if (GetParam().killed) {
      const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, first.process->id());
      ASSERT_NE(process, nullptr);
      EXPECT_TRUE(TerminateProcess(process, 9));
      CloseHandle(process);
      EXPECT_EQ(first.process->AwaitExit(10000), std::optional<DWORD>(9));
    } else {
      PostMessageW(first.window, WM_CLOSE, 0, 0);
      EXPECT_EQ(first.process->AwaitExit(10000), std::optional<DWORD>(0));
    }
  }
  Start next = StartTool(exe);
  ASSERT_NE(next.window, nullptr);
  PostMessageW(next.window, WM_CLOSE, 0, 0);
  EXPECT_EQ(next.process->AwaitExit(10000), std::optional<DWORD>(0));
}

INSTANTIATE_TEST_SUITE_P(Endings, AfterTheFirstEnds, testing::Values(Ending{"Closed", false}, Ending{"Killed", true}),
                         [](const testing::TestParamInfo<Ending>& p) { return std::string(p.param.name); });

}  // namespace
