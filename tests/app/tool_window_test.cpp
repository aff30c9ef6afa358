// The real executable end to end: copied into a fresh client folder, started from another
// current directory, its buttons clicked with real mouse input, its files and its failure box
// checked, and its window closed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/server_profiles.h"
#include "tests/support/scratch_folder.h"

namespace {

constexpr char kTitle[] = "Quorv Varnel1018 支持互转";

std::string ToolPath() {
  std::string path = "Z:" TOOL_UNIX_PATH;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

template <class Predicate>
bool WaitFor(Predicate done, int milliseconds = 10000) {
  for (int waited = 0; waited < milliseconds; waited += 50) {
    if (done()) return true;
    Sleep(50);
  }
  return done();
}

std::string Content(const ServerProfile& profile, int index) {
  ByteBlock block = profile.entries[static_cast<size_t>(index)].content;
  return std::string(reinterpret_cast<const char*>(ByteBlockData(block)), static_cast<size_t>(block->length));
}

void Click(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, inputs, sizeof(INPUT));
}

struct BoxSearch {
  DWORD process;
  HWND box;
};
BOOL CALLBACK FindBox(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<BoxSearch*>(context);
  char className[32] = "";
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  GetClassNameA(window, className, sizeof className);
  if (owner == search->process && std::string(className) == "#32770" && IsWindowVisible(window)) {
    search->box = window;
    return FALSE;
  }
  return TRUE;
}

HWND MessageBoxOf(DWORD process) {
  BoxSearch search{process, nullptr};
  EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
  return search.box;
}

class RunningTool {
 public:
  explicit RunningTool(const std::string& exe, const std::string& currentDirectory) {
    std::string line = "\"" + exe + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    started_ = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, currentDirectory.c_str(),
                              &startup, &process_) != FALSE;
    if (!started_) return;
    CloseHandle(process_.hThread);
    WaitFor([&] { return (window_ = FindWindowA(nullptr, kTitle)) != nullptr && IsWindowVisible(window_); });
  }
  ~RunningTool() {
    if (!started_) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hProcess);
  }
  HWND window() const { return window_; }
  DWORD id() const { return process_.dwProcessId; }
  HWND Button(const char* caption) const { return FindWindowExA(window_, nullptr, "Button", caption); }
  DWORD CloseAndWait() {
    PostMessageA(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) return 0xDEAD;
    DWORD code = 0xDEAD;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }

 private:
  PROCESS_INFORMATION process_{};
  bool started_ = false;
  HWND window_ = nullptr;
};

TEST(ToolWindow, SwitchesTheFilesBesideTheExecutableAndReportsAFailedSwitch) {
  ScratchFolder client;
  ScratchFolder elsewhere;
  const std::string exe = client.file("racing-switch.exe");
  ASSERT_TRUE(CopyFileA(ToolPath().c_str(), exe.c_str(), FALSE)) << ToolPath();

  RunningTool tool(exe, elsewhere.path());
  ASSERT_NE(tool.window(), nullptr);

  Click(tool.Button("正服转体验服"));
  ASSERT_TRUE(WaitFor([&] { return ReadFileBytes(client.file("WorldDef.ini")) == Content(TestServerProfile, 2); }));
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(ReadFileBytes(client.file(TestServerProfile.entries[static_cast<size_t>(i)].fileName)),
              Content(TestServerProfile, i));
  EXPECT_EQ(elsewhere.Names(), std::set<std::string>{});

  // A read-only VER.ini: nothing changes, and one box says which file could not be written.
  SetReadOnly(client.file("VER.ini"), true);
  Click(tool.Button("体验服转正服"));
  HWND box = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (box = MessageBoxOf(tool.id())) != nullptr; }));
  char caption[64] = "";
  GetWindowTextA(box, caption, sizeof caption);
  EXPECT_STREQ(caption, kTitle);
  char text[256] = "";
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  EXPECT_STREQ(text, "无法写入“VER.ini”，三个文件都没有改动！\r\n请关闭飞车客户端，确认文件不是只读的，再转换一次。");
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(ReadFileBytes(client.file(TestServerProfile.entries[static_cast<size_t>(i)].fileName)),
              Content(TestServerProfile, i));
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));

  SetReadOnly(client.file("VER.ini"), false);
  Click(tool.Button("体验服转正服"));
  ASSERT_TRUE(WaitFor([&] { return ReadFileBytes(client.file("VER.ini")) == Content(LiveServerProfile, 1); }));
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(ReadFileBytes(client.file(LiveServerProfile.entries[static_cast<size_t>(i)].fileName)),
              Content(LiveServerProfile, i));
  EXPECT_EQ(client.Names(), (std::set<std::string>{"racing-switch.exe", "DirSvrInfo1.ini", "VER.ini", "WorldDef.ini"}));

  EXPECT_EQ(tool.CloseAndWait(), 0u);
}

}  // namespace
