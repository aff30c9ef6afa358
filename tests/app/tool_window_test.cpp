// The real executable end to end: copied into a fresh client folder, started from another
// current directory, its buttons clicked with real mouse input or pressed with real keys, its
// files and its failure box checked, and its window closed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/forum_link.h"
#include "app/server_profiles.h"
#include "tests/app/profile_content.h"
#include "tests/support/child_process.h"
#include "tests/support/gui_driver.h"
#include "tests/support/registry_value.h"
#include "tests/support/scratch_folder.h"

namespace {

constexpr char kTitle[] = "Quorv Varnel1018 支持互转";

std::string ToolPath() {
  std::string path = "Z:" TOOL_UNIX_PATH;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// Whether the folder holds the profile's three files, byte for byte.
bool HoldsProfile(const ScratchFolder& folder, const ServerProfile& profile) {
  for (int i = 0; i < 3; ++i)
    if (ReadFileBytes(folder.file(profile.entries[static_cast<size_t>(i)].fileName)) != Content(profile, i))
      return false;
  return true;
}

// The tool started from a folder of the test's choosing, with its start window once shown.
class RunningTool {
 public:
  RunningTool(const std::string& exe, const std::string& currentDirectory)
      : process_("\"" + exe + "\"", currentDirectory) {
    if (!process_.started()) return;
    WaitFor([&] { return (window_ = FindWindowA(nullptr, kTitle)) != nullptr && IsWindowVisible(window_); });
  }
  HWND window() const { return window_; }
  DWORD id() const { return process_.id(); }
  HWND Button(const char* caption) const { return FindWindowExA(window_, nullptr, "Button", caption); }
  DWORD CloseAndWait() {
    PostMessageA(window_, WM_CLOSE, 0, 0);
    return process_.AwaitExit(10000).value_or(0xDEAD);
  }

 private:
  ChildProcess process_;
  HWND window_ = nullptr;
};

TEST(ToolWindow, SwitchesTheFilesBesideTheExecutableAndReportsAFailedSwitch) {
  ScratchFolder client;
  ScratchFolder elsewhere;
  const std::string exe = client.file("racing-switch.exe");
  ASSERT_TRUE(CopyFileA(ToolPath().c_str(), exe.c_str(), FALSE)) << ToolPath();

  RunningTool tool(exe, elsewhere.path());
  ASSERT_NE(tool.window(), nullptr);

  ClickCentre(tool.Button("正服转体验服"));
  ASSERT_TRUE(WaitFor([&] { return HoldsProfile(client, TestServerProfile); }));
  EXPECT_EQ(elsewhere.Names(), std::set<std::string>{});

  // A read-only VER.ini: nothing changes, and one box says which file could not be written.
  SetReadOnly(client.file("VER.ini"), true);
  ClickCentre(tool.Button("体验服转正服"));
  HWND box = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (box = MessageBoxOf(tool.id(), kTitle)) != nullptr; }));
  char caption[64] = "";
  GetWindowTextA(box, caption, sizeof caption);
  EXPECT_STREQ(caption, kTitle);
  char text[256] = "";
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  EXPECT_STREQ(text, "无法写入“VER.ini”，三个文件都没有改动！\r\n请关闭飞车客户端，确认文件不是只读的，再转换一次。");
  EXPECT_TRUE(HoldsProfile(client, TestServerProfile));
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));

  SetReadOnly(client.file("VER.ini"), false);
  ClickCentre(tool.Button("体验服转正服"));
  // The wait covers all three files: a switch replaces them one after another.
  ASSERT_TRUE(WaitFor([&] { return HoldsProfile(client, LiveServerProfile); }));
  EXPECT_EQ(client.Names(), (std::set<std::string>{"racing-switch.exe", "DirSvrInfo1.ini", "VER.ini", "WorldDef.ini"}));

  EXPECT_EQ(tool.CloseAndWait(), 0u);
}

// The window of the tool's thread that has the keyboard focus.
HWND FocusIn(const RunningTool& tool) {
  GUITHREADINFO info{sizeof info};
  return GetGUIThreadInfo(GetWindowThreadProcessId(tool.window(), nullptr), &info) ? info.hwndFocus : nullptr;
}

// The keyboard alone: Tab reaches a switch button (the forum button comes first) and Enter
// switches; Tab again and Space switch back.
TEST(ToolWindow, SwitchesWithTheKeyboard) {
  ScratchFolder client;
  const std::string exe = client.file("racing-switch.exe");
  ASSERT_TRUE(CopyFileA(ToolPath().c_str(), exe.c_str(), FALSE));
  RunningTool tool(exe, client.path());
  ASSERT_NE(tool.window(), nullptr);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == tool.window(); }));

  PressKey(VK_TAB);
  PressKey(VK_TAB);
  ASSERT_TRUE(WaitFor([&] { return FocusIn(tool) == tool.Button("体验服转正服"); }));
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitFor([&] { return HoldsProfile(client, LiveServerProfile); }));

  PressKey(VK_TAB);
  ASSERT_TRUE(WaitFor([&] { return FocusIn(tool) == tool.Button("正服转体验服"); }));
  PressKey(VK_SPACE);
  ASSERT_TRUE(WaitFor([&] { return HoldsProfile(client, TestServerProfile); }));
  EXPECT_EQ(tool.CloseAndWait(), 0u);
}

struct UnitPlace {
  const char* text;  // window text, or the class for the picture box
  RECT rect;         // left, top, right, bottom in the window's client area
};

// Template order is stacking order: the first unit lies on top.
constexpr UnitPlace kUnitsTopToBottom[] = {
    {"打开Dostren论坛", {216, 240, 344, 304}},
    {nullptr, {8, 240, 216, 304}},
    {"体验服转正服", {176, 176, 344, 232}},
    {"正服转体验服", {8, 176, 176, 232}},
    {"先把转换器放到飞车目录里", {56, 32, 328, 64}},
    {"转换前 请先到官网下载最新的飞车版本！！再转换！！~~(本来想12月后更新的，但是...还是定期更吧)，如果是已是最新版本，直接使用！",
     {24, 64, 328, 192}},
};

TEST(ToolWindow, IsCentredFramelessAndHoldsItsUnitsInTemplateOrder) {
  ScratchFolder client;
  const std::string exe = client.file("racing-switch.exe");
  ASSERT_TRUE(CopyFileA(ToolPath().c_str(), exe.c_str(), FALSE));
  RunningTool tool(exe, client.path());
  ASSERT_NE(tool.window(), nullptr);

  RECT outer;
  GetWindowRect(tool.window(), &outer);
  EXPECT_EQ((std::vector<LONG>{outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top}),
            (std::vector<LONG>{331, 225, 361, 318}));
  RECT client_area;
  GetClientRect(tool.window(), &client_area);
  EXPECT_EQ(client_area.right, 361);
  EXPECT_EQ(client_area.bottom, 318);
  EXPECT_EQ(GetWindowLongA(tool.window(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);

  std::vector<HWND> children;
  for (HWND child = GetWindow(tool.window(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  ASSERT_EQ(children.size(), std::size(kUnitsTopToBottom));
  for (size_t i = 0; i < children.size(); ++i) {
    const UnitPlace& expected = kUnitsTopToBottom[i];
    RECT r;
    GetWindowRect(children[i], &r);
    MapWindowPoints(nullptr, tool.window(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}),
              (std::vector<LONG>{expected.rect.left, expected.rect.top, expected.rect.right, expected.rect.bottom}))
        << i;
    if (expected.text) {
      char text[256] = "";
      GetWindowTextA(children[i], text, sizeof text);
      EXPECT_STREQ(text, expected.text) << i;
    }
    EXPECT_TRUE(IsWindowVisible(children[i])) << i;
  }
  EXPECT_EQ(tool.CloseAndWait(), 0u);
}

// Lines that the stand-in browser has appended, one per opened address.
std::vector<std::string> OpenedAddresses(const std::string& record) {
  std::vector<std::string> lines;
  const std::string text = ReadFileBytes(record).value_or("");
  size_t start = 0;
  for (size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// The forum opens once per left press on the button or the banner (a double click on the
// banner counts once), and not for a right click. The launch is asynchronous: the record is
// polled, and a quiet second afterwards shows that nothing more arrives.
TEST(ToolWindow, OpensTheForumFromTheButtonAndTheBanner) {
  ScratchFolder client;
  const std::string exe = client.file("racing-switch.exe");
  ASSERT_TRUE(CopyFileA(ToolPath().c_str(), exe.c_str(), FALSE));
  const std::string record = std::string(TOOL_TEST_FOLDER) + "\\opened-urls.txt";
  DeleteFileA(record.c_str());
  RegistryValue browser("Software\\Wine\\WineBrowser", "Browsers", URL_APPENDER);
  RunningTool tool(exe, client.path());
  ASSERT_NE(tool.window(), nullptr);
  HWND banner = FindWindowExA(tool.window(), nullptr, nullptr, "");
  while (banner && GetDlgCtrlID(banner) == 0) banner = FindWindowExA(tool.window(), banner, nullptr, "");
  ASSERT_NE(banner, nullptr);

  auto expectOpened = [&](size_t count) {
    EXPECT_TRUE(WaitFor([&] { return OpenedAddresses(record).size() >= count; }, 30000)) << count;
    Sleep(1000);
    const std::vector<std::string> opened = OpenedAddresses(record);
    EXPECT_EQ(opened.size(), count);
    for (const std::string& address : opened) EXPECT_EQ(address, ForumAddress);
  };
  ClickCentre(tool.Button("打开Dostren论坛"));
  expectOpened(1);
  ClickCentre(banner);
  expectOpened(2);
  PressCentre(banner, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
  expectOpened(3);
  PressCentre(banner, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  Sleep(1500);
  EXPECT_EQ(OpenedAddresses(record).size(), 3u);
  EXPECT_EQ(tool.CloseAndWait(), 0u);
  DeleteFileA(record.c_str());
}

}  // namespace
