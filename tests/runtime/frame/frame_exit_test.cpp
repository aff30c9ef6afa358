// The ends of a process over the runtime, in a child program (frame_child.exe): the last window
// closed ends the loop and the exit routine runs once; a runtime error ends the process with
// -1 without the exit routine, runs no handler while its box is open, and, raised on another
// thread, has the user-interface thread run the orderly exit. And its start: the program's folder
// made current, whatever its name.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/wide_text.h"
#include "tests/support/child_process.h"
#include "tests/support/gui_driver.h"
#include "tests/support/scratch_folder.h"

namespace {

std::string ChildPath() { return ProgramFolder() + "\\frame_child.exe"; }

// The frame's child program running one scenario, logging into a file.
class Child : public ChildProcess {
 public:
  Child(const std::string& scenario, const std::string& log, const std::string& program = ChildPath())
      : ChildProcess("\"" + program + "\" " + scenario + " \"" + log + "\"") {}
  // The exit code, or 0xDEAD when the child did not end in time.
  DWORD Wait(DWORD milliseconds = 20000) const { return AwaitExit(milliseconds).value_or(0xDEAD); }
};

std::string Log(const ScratchFolder& folder) { return ReadFileBytes(folder.file("log.txt")).value_or(""); }

TEST(ProcessEnd, ClosingTheLastWindowEndsTheLoopAndRunsTheExitRoutineOnce) {
  ScratchFolder folder;
  Child child("normal", folder.file("log.txt"));
  ASSERT_TRUE(child.started());
  EXPECT_EQ(child.Wait(), 0u);
  EXPECT_EQ(Log(folder), "created\nloop 0\nexit routine\n");
}

// Where a program lies, relative to the scratch folder: folders to make, and its file name.
struct ProgramPlace {
  const char* name;
  std::vector<std::wstring> folders;
  std::wstring file;
};

class StartUpFolder : public ::testing::TestWithParam<ProgramPlace> {};

std::string Utf8(const std::wstring& text) {
  std::string bytes(text.size() * 3, '\0');
  bytes.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                       bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr)));
  return bytes;
}

// Started from another folder, the program records its folder and file name and makes the folder
// current, whatever the folder's name or length.
TEST_P(StartUpFolder, IsSplitByCharactersAndMadeCurrent) {
  ScratchFolder scratch;
  const std::wstring folder = scratch.MakeFolders(GetParam().folders);
  ASSERT_FALSE(folder.empty());
  const std::wstring program = folder + L"\\" + GetParam().file;
  ASSERT_TRUE(CopyFileW(WideFromGbk(ChildPath()).c_str(), LongForm(program).c_str(), FALSE));
  const ChildProcess child(
      ChildProcess::AnyPath{program, WideFromGbk(ProgramFolder()), L"folder \"" + scratch.widePath() + L"\\log.txt\""});
  ASSERT_TRUE(child.started());
  EXPECT_EQ(child.AwaitExit(20000), 0u);
  EXPECT_EQ(Log(scratch), Utf8(folder) + "|" + Utf8(folder) + "|" + Utf8(GetParam().file) + "\nexit routine\n");
}

// The second byte of "淺" in GBK is 0x5C, a backslash when read byte by byte; Korean has no GBK
// spelling at all; three folders of a hundred letters make a path longer than MAX_PATH.
const std::wstring kHundredLetters(100, L'k');
INSTANTIATE_TEST_SUITE_P(
    Places, StartUpFolder,
    testing::Values(ProgramPlace{"BackslashByteInItsName", {}, L"frame_淺.exe"},
                    ProgramPlace{"Korean", {L"클라이언트"}, L"frame_child.exe"},
                    ProgramPlace{"LongerThanMaxPath", {kHundredLetters, kHundredLetters, kHundredLetters},
                                 L"frame_child.exe"}),
    [](const testing::TestParamInfo<ProgramPlace>& p) { return std::string(p.param.name); });

struct ErrorCase {
  const char* scenario;
  const char* message;
  const char* before;  // what the log holds before the report
};

class RuntimeErrorEnd : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(RuntimeErrorEnd, ReportsEndsWithMinusOneAndSkipsTheExitRoutine) {
  const ErrorCase& c = GetParam();
  ScratchFolder folder;
  Child child(c.scenario, folder.file("log.txt"));
  ASSERT_TRUE(child.started());
  EXPECT_EQ(child.Wait(), 0xFFFFFFFFu);
  EXPECT_EQ(Log(folder), std::string(c.before) + "box:运行时出错!\r\n\r\n错误信息：" + c.message + "\r\n\n");
}

INSTANTIATE_TEST_SUITE_P(
    Child, RuntimeErrorEnd,
    ::testing::Values(ErrorCase{"bad-templates", "载入窗口模板数据段出错!", ""},
                      ErrorCase{"unknown-handlers", "载入窗口模板数据段出错!", ""},
                      ErrorCase{"bad-start", "载入启动窗口失败", ""},
                      ErrorCase{"event-window", "未找到引发事件的窗口", ""},
                      ErrorCase{"event-unit", "未找到引发事件的窗口组件", "created\n"},
                      ErrorCase{"event-type", "引发事件的窗口组件无效", "created\n"},
                      ErrorCase{"property-window", "未载入欲访问窗口组件所在的窗口", ""},
                      ErrorCase{"property-type", "指定窗口尚未载入", "created\n"},
                      ErrorCase{"unit-handle", "指定窗口或窗口组件不存在或尚未载入", ""}),
    [](const auto& p) {
      std::string name = p.param.scenario;
      std::erase(name, '-');
      return name;
    });

TEST(ProcessEnd, ErrorOnAnotherThreadHasTheInterfaceThreadRunTheExit) {
  ScratchFolder folder;
  Child child("thread", folder.file("log.txt"));
  ASSERT_TRUE(child.started());
  EXPECT_EQ(child.Wait(), 0xFFFFFFFFu);
  EXPECT_EQ(Log(folder), "created\nbox:运行时出错!\r\n\r\n错误信息：线程里出错\r\n\ndestroyed on the gui thread\n");
}

// The user closes the window while a report from another thread is still open: the exit routine
// must not run, and the process still ends with -1 once the box is closed.
TEST(ProcessEnd, WindowClosedWhileAnotherThreadsBoxIsOpenStillEndsWithMinusOne) {
  ScratchFolder folder;
  Child child("thread-close", folder.file("log.txt"));
  ASSERT_TRUE(child.started());
  EXPECT_EQ(child.Wait(), 0xFFFFFFFFu);
  EXPECT_EQ(Log(folder),
            "created\nbox:运行时出错!\r\n\r\n错误信息：线程里出错\r\n\ndestroyed on the gui thread\nloop 0\n");
}

HWND FocusOf(DWORD thread) {
  GUITHREADINFO info{sizeof info};
  return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}


TEST(ProcessEnd, NoHandlerRunsWhileTheErrorBoxIsOpen) {
  ScratchFolder folder;
  Child child("error-box", folder.file("log.txt"));
  ASSERT_TRUE(child.started());
  HWND window = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (window = FindWindowA("WTWindow", "子程序窗口")) && IsWindowVisible(window); }));
  const HWND failing = FindWindowExA(window, nullptr, "Button", "出错");
  const HWND logging = FindWindowExA(window, nullptr, "Button", "记录");
  ASSERT_TRUE(failing && logging);
  ClickCentre(failing);
  HWND box = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (box = MessageBoxOf(child.id(), "错误")) != nullptr; }));

  // With the box open the window still takes input: the press moves the focus to the button,
  // yet neither its click handler nor the window's left-button handler runs.
  ClickCentre(logging);
  EXPECT_TRUE(WaitFor([&] { return FocusOf(child.thread()) == logging; }, 5000));
  PostMessageA(window, WM_LBUTTONDOWN, 0, MAKELPARAM(200, 100));
  PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(200, 100));
  Sleep(300);
  EXPECT_TRUE(IsWindowVisible(box));
  char text[256] = "";
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  EXPECT_STREQ(text, "运行时出错!\r\n\r\n错误代码：5\r\n\r\n错误信息：数据或数组类型不匹配\r\n");

  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(child.Wait(), 0xFFFFFFFFu);
  EXPECT_EQ(Log(folder), "created\n");
}

}  // namespace
