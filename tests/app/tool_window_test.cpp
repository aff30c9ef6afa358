// The real executable end to end: copied into a fresh client folder, started from another
// current directory, its buttons clicked with real mouse input or pressed with real keys, its
// files and its failure box checked, and its window closed. Windows and texts are found and read
// in the wide form, which shows them as the user sees them whatever the ANSI code page is.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/forum_link.h"
#include "resources/embedded_pictures.h"
#include "app/server_profiles.h"
#include "runtime/wide_text.h"
#include "tests/app/client_files.h"
#include "tests/app/running_tool.h"
#include "tests/app/start_window_layout.h"
#include "tests/support/child_process.h"
#include "tests/support/gui_driver.h"
#include "tests/support/registry_value.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/wine_paths.h"

namespace {

constexpr char kTitle[] = "Quorv Varnel1018 支持互转";

TEST(ToolWindow, SwitchesTheFilesBesideTheExecutableAndReportsAFailedSwitch) {
  ScratchFolder client;
  ScratchFolder elsewhere;
  const std::string exe = client.file("racing-switch.exe");
  ASSERT_TRUE(CopyFileA(WinePathOf(TOOL_UNIX_PATH).c_str(), exe.c_str(), FALSE)) << WinePathOf(TOOL_UNIX_PATH);

  RunningTool tool(exe, elsewhere.path());
  ASSERT_NE(tool.window(), nullptr);

  ClickCentre(tool.Button(L"正服转体验服"));
  ASSERT_TRUE(WaitFor([&] { return HoldsProfile(client.widePath(), TestServerProfile); }));
  EXPECT_EQ(elsewhere.Names(), std::set<std::string>{});

  // A read-only VER.ini: nothing changes, and one box says which file could not be written.
  SetReadOnly(client.file("VER.ini"), true);
  ClickCentre(tool.Button(L"体验服转正服"));
  HWND box = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (box = MessageBoxOf(tool.id(), kTitle)) != nullptr; }));
  EXPECT_EQ(TextOf(box), kToolWideTitle);
  EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)),
            L"无法写入“VER.ini”，三个文件都没有改动！\r\n请关闭飞车客户端，确认文件不是只读的，再转换一次。");
  EXPECT_TRUE(HoldsProfile(client.widePath(), TestServerProfile));
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));

  SetReadOnly(client.file("VER.ini"), false);
  ClickCentre(tool.Button(L"体验服转正服"));
  // The wait covers all three files: a switch replaces them one after another.
  ASSERT_TRUE(WaitFor([&] { return HoldsProfile(client.widePath(), LiveServerProfile); }));
  EXPECT_EQ(client.Names(), (std::set<std::string>{"racing-switch.exe", "DirSvrInfo1.ini", "VER.ini", "WorldDef.ini"}));

  EXPECT_EQ(tool.CloseAndWait(), 0u);
}

// A switch killed once it had replaced all three files but before it was complete: the next
// start puts the three files back before its window shows and says so in one box; the start
// after that says nothing.
TEST(ToolWindow, UndoesAKilledSwitchAtStartAndSaysSoOnce) {
  ScratchFolder client;
  const std::string exe = client.file("racing-switch.exe");
  ASSERT_TRUE(CopyFileA(WinePathOf(TOOL_UNIX_PATH).c_str(), exe.c_str(), FALSE));
  const std::set<std::string> names{"racing-switch.exe", "DirSvrInfo1.ini", "VER.ini", "WorldDef.ini"};
  for (const char* name : {"DirSvrInfo1.ini", "VER.ini", "WorldDef.ini"})
    WriteFileBytes(client.file(name), "old " + std::string(name));
  {
    ChildProcess killed(ChildProcess::AnyPath{WideFromGbk(ProgramFolder()) + L"\\switch_kill_child.exe",
                                              client.widePath(), L"CompleteJournal"});
    ASSERT_EQ(killed.AwaitExit(20000), 77u);
  }
  ASSERT_NE(ReadFileBytes(client.file("VER.ini")), "old VER.ini");  // the killed switch had replaced it
  {
    ChildProcess tool("\"" + exe + "\"", client.path());
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = MessageBoxOf(tool.id(), kTitle)) != nullptr; }));
    EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)),
              L"上次转换被中断了，没有做完。三个文件已经恢复成转换前的样子，可以再转换一次。");
    EXPECT_EQ(client.Names(), names);
    for (const char* name : {"DirSvrInfo1.ini", "VER.ini", "WorldDef.ini"})
      EXPECT_EQ(ReadFileBytes(client.file(name)), "old " + std::string(name));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    HWND window = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (window = VisibleWindowOf(tool.id())) != nullptr && window != box; }));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(tool.AwaitExit(10000), 0u);
  }
  RunningTool again(exe, client.path());
  ASSERT_NE(again.window(), nullptr);
  EXPECT_EQ(MessageBoxOf(again.id()), nullptr);
  EXPECT_EQ(again.CloseAndWait(), 0u);
}

// The window of the tool's thread that has the keyboard focus.
HWND FocusIn(const RunningTool& tool) {
  GUITHREADINFO info{sizeof info};
  return GetGUIThreadInfo(GetWindowThreadProcessId(tool.window(), nullptr), &info) ? info.hwndFocus : nullptr;
}

// The keyboard alone, in reading order: the focus starts on 正服转体验服, Tab walks on to
// 体验服转正服 and 打开Dostren论坛 and round, Shift+Tab walks back; Enter and Space press the
// focused switch button.
TEST(ToolWindow, TakesKeysInReadingOrder) {
  ScratchFolder client;
  const std::string exe = client.file("racing-switch.exe");
  ASSERT_TRUE(CopyFileA(WinePathOf(TOOL_UNIX_PATH).c_str(), exe.c_str(), FALSE));
  RunningTool tool(exe, client.path());
  ASSERT_NE(tool.window(), nullptr);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == tool.window(); }));
  EXPECT_TRUE(WaitFor([&] { return FocusIn(tool) == tool.Button(L"正服转体验服"); }));

  struct Step {
    bool backwards;
    const wchar_t* focused;
  };
  constexpr Step kWalk[] = {{false, L"体验服转正服"}, {false, L"打开Dostren论坛"}, {false, L"正服转体验服"},
                            {true, L"打开Dostren论坛"}, {true, L"体验服转正服"}};
  for (size_t i = 0; i < std::size(kWalk); ++i) {
    PressKey(VK_TAB, kWalk[i].backwards);
    EXPECT_TRUE(WaitFor([&] { return FocusIn(tool) == tool.Button(kWalk[i].focused); }, 3000)) << "step " << i;
  }
  ASSERT_EQ(FocusIn(tool), tool.Button(L"体验服转正服"));
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitFor([&] { return HoldsProfile(client.widePath(), LiveServerProfile); }));

  PressKey(VK_TAB, true);
  ASSERT_TRUE(WaitFor([&] { return FocusIn(tool) == tool.Button(L"正服转体验服"); }));
  PressKey(VK_SPACE);
  ASSERT_TRUE(WaitFor([&] { return HoldsProfile(client.widePath(), TestServerProfile); }));
  EXPECT_EQ(tool.CloseAndWait(), 0u);
}

// The look of 正服转体验服 in a shot of the window.
PixelGrid ButtonLook(const RunningTool& tool, HWND button) {
  const PixelGrid shot = tool.Shot();
  const RECT place = tool.PlaceOf(button);
  PixelGrid look;
  look.width = place.right - place.left;
  for (int y = place.top; y < place.bottom; ++y)
    for (int x = place.left; x < place.right; ++x) look.pixels.push_back(shot.at(x, y));
  return look;
}

// Tinted towards the theme colour, RGB(34, 202, 221): green and blue well above red.
bool ThemeTinted(uint32_t pixel) {
  const int red = Channel(pixel, 16), green = Channel(pixel, 8), blue = Channel(pixel, 0);
  return green - red > 40 && blue - red > 40;
}

int Brightness(uint32_t pixel) { return Channel(pixel, 16) + Channel(pixel, 8) + Channel(pixel, 0); }

// The focused button and the button under the mouse look different: the mouse's mark is the
// theme colour along the edge; the focus's is a dotted dark ring inside the edge, without the
// theme colour. Sampled on one button in the three looks, down its left side, clear of the
// rounded corners.
TEST(ToolWindow, TheFocusLookIsNotTheHoverLook) {
  ScratchFolder client;
  const std::string exe = client.file("racing-switch.exe");
  ASSERT_TRUE(CopyFileA(WinePathOf(TOOL_UNIX_PATH).c_str(), exe.c_str(), FALSE));
  MouseAt({2, 2});  // off the window
  RunningTool tool(exe, client.path());
  ASSERT_NE(tool.window(), nullptr);
  const HWND button = tool.Button(L"正服转体验服");
  ASSERT_TRUE(WaitFor([&] { return FocusIn(tool) == button; }));

  PixelGrid focused;
  // The look settles once the first paint and the focus have both come.
  ASSERT_TRUE(WaitFor([&] {
    const PixelGrid before = ButtonLook(tool, button);
    Sleep(100);
    focused = ButtonLook(tool, button);
    return focused.pixels == before.pixels;
  }));
  PressKey(VK_TAB);
  ASSERT_TRUE(WaitFor([&] { return FocusIn(tool) == tool.Button(L"体验服转正服"); }));
  PixelGrid plain;
  ASSERT_TRUE(WaitFor([&] { return (plain = ButtonLook(tool, button)).pixels != focused.pixels; }));
  RECT r;
  GetWindowRect(button, &r);
  MouseAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  PixelGrid hovered;
  ASSERT_TRUE(WaitFor([&] { return (hovered = ButtonLook(tool, button)).pixels != plain.pixels; }));

  const int height = focused.height();
  int edgeTintedHovered = 0, edgeTintedFocused = 0, ringDark = 0, ringSamples = 0;
  for (int y = 10; y < height - 10; ++y) {
    edgeTintedHovered += ThemeTinted(hovered.at(0, y));
    edgeTintedFocused += ThemeTinted(focused.at(0, y)) + ThemeTinted(focused.at(1, y));
    ++ringSamples;
    ringDark += Brightness(focused.at(3, y)) < Brightness(plain.at(3, y)) - 90;
  }
  EXPECT_GT(edgeTintedHovered, ringSamples * 9 / 10) << "the hover look's edge is the theme colour";
  EXPECT_EQ(edgeTintedFocused, 0) << "the focus look has no theme colour at the edge";
  EXPECT_GT(ringDark, ringSamples / 3) << "the focus look's dotted ring, 3 pixels in";
  EXPECT_LT(ringDark, ringSamples) << "dotted, not solid";
  EXPECT_EQ(tool.CloseAndWait(), 0u);
}

TEST(ToolWindow, IsCentredFramelessAndHoldsItsUnitsInTemplateOrder) {
  ScratchFolder client;
  const std::string exe = client.file("racing-switch.exe");
  ASSERT_TRUE(CopyFileA(WinePathOf(TOOL_UNIX_PATH).c_str(), exe.c_str(), FALSE));
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
  EXPECT_EQ(TextOf(tool.window()), kToolWideTitle);

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
      EXPECT_EQ(TextOf(children[i]), expected.text) << i;
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
  ASSERT_TRUE(CopyFileA(WinePathOf(TOOL_UNIX_PATH).c_str(), exe.c_str(), FALSE));
  const std::string record = std::string(TOOL_TEST_FOLDER) + "\\opened-urls.txt";
  DeleteFileA(record.c_str());
  RegistryValue browser("Software\\Wine\\WineBrowser", "Browsers", URL_APPENDER);
  RunningTool tool(exe, client.path());
  ASSERT_NE(tool.window(), nullptr);
  HWND banner = FindWindowExW(tool.window(), nullptr, nullptr, L"");
  while (banner && GetDlgCtrlID(banner) == 0) banner = FindWindowExW(tool.window(), banner, nullptr, L"");
  ASSERT_NE(banner, nullptr);

  auto expectOpened = [&](size_t count) {
    EXPECT_TRUE(WaitFor([&] { return OpenedAddresses(record).size() >= count; }, 30000)) << count;
    Sleep(1000);
    const std::vector<std::string> opened = OpenedAddresses(record);
    EXPECT_EQ(opened.size(), count);
    for (const std::string& address : opened) EXPECT_EQ(address, ForumAddress);
  };
  ClickCentre(tool.Button(L"打开Dostren论坛"));
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

// The skin draws the three buttons (owner-drawn) and keys the banner; a real double click on a
// switch button switches once, and no failure box shows.
TEST(ToolWindow, SkinsItsButtonsAndBannerAndADoubleClickSwitchesOnce) {
  ScratchFolder client;
  const std::string exe = client.file("racing-switch.exe");
  ASSERT_TRUE(CopyFileA(WinePathOf(TOOL_UNIX_PATH).c_str(), exe.c_str(), FALSE));
  RunningTool tool(exe, client.path());
  ASSERT_NE(tool.window(), nullptr);
  for (const wchar_t* caption : {L"正服转体验服", L"体验服转正服", L"打开Dostren论坛"}) {
    ASSERT_NE(tool.Button(caption), nullptr);
    EXPECT_EQ(GetWindowLongA(tool.Button(caption), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(GetPropA(tool.Button(caption), "Hw_FuID"), reinterpret_cast<HANDLE>(1));
  }
  HWND banner = FindWindowExA(tool.window(), nullptr, nullptr, "");
  while (banner && GetDlgCtrlID(banner) == 0) banner = FindWindowExA(tool.window(), banner, nullptr, "");
  ASSERT_NE(banner, nullptr);
  EXPECT_EQ(GetPropA(banner, "Kj_FuID"), reinterpret_cast<HANDLE>(1));

  // Each switch puts VER.ini in place anew (made or renamed into place): counted from the
  // folder's change records until a second passes without one.
  HANDLE folder = CreateFileA(client.path().c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
  ASSERT_NE(folder, INVALID_HANDLE_VALUE);
  HANDLE changed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  alignas(DWORD) static char records[64 * 1024];
  OVERLAPPED pending{};
  auto watch = [&] {
    ResetEvent(changed);
    pending = OVERLAPPED{};
    pending.hEvent = changed;
    return ReadDirectoryChangesW(folder, records, sizeof records, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME, nullptr, &pending,
                                 nullptr);
  };
  ASSERT_TRUE(watch());
  PressCentre(tool.Button(L"正服转体验服"), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
  int verPlaced = 0;
  while (WaitForSingleObject(changed, verPlaced ? 1000 : 10000) == WAIT_OBJECT_0) {
    DWORD length = 0;
    if (!GetOverlappedResult(folder, &pending, &length, FALSE)) break;
    for (DWORD offset = 0; length && offset < length;) {
      const auto* record = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(records + offset);
      const std::wstring name(record->FileName, record->FileNameLength / sizeof(wchar_t));
      if (name == L"VER.ini" && (record->Action == FILE_ACTION_ADDED || record->Action == FILE_ACTION_RENAMED_NEW_NAME))
        ++verPlaced;
      if (!record->NextEntryOffset) break;
      offset += record->NextEntryOffset;
    }
    if (!watch()) break;
  }
  CancelIoEx(folder, &pending);
  DWORD ignored = 0;
  GetOverlappedResult(folder, &pending, &ignored, TRUE);
  CloseHandle(changed);
  CloseHandle(folder);
  EXPECT_EQ(verPlaced, 1);
  EXPECT_TRUE(HoldsProfile(client.widePath(), TestServerProfile));
  EXPECT_EQ(MessageBoxOf(tool.id()), nullptr);
  EXPECT_EQ(tool.CloseAndWait(), 0u);
}

}  // namespace
