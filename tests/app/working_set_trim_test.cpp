// Working-set trimming as the program does it, in a child program and in the real tool: what gets
// written into the Windows folder, which program runs with which command line, that the Windows
// folder is the system's whatever "windir" says, that one run at a time is waited for and none
// for longer than the bound, and that the trimming thread leaves the caller answering its
// messages. The system's Windows folder is the test prefix's; a test that puts our stand-in there
// gives back what was there before.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "resources/empty_tool.h"
#include "tests/support/child_process.h"
#include "tests/support/environment_variable.h"
#include "tests/support/followed_run.h"
#include "tests/support/gui_driver.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/wine_paths.h"

namespace {

std::string EmbeddedTool() {
  return std::string(reinterpret_cast<const char*>(ByteBlockData(EmptyTool)), static_cast<size_t>(EmptyTool->length));
}

// The child program's command line for a scenario.
std::string ChildLine(const char* scenario) {
  std::string line = "\"";
  return line.append(ProgramFolder()).append("\\trim_child.exe\" ").append(scenario);
}

std::string StandIn() { return ReadFileBytes(ProgramFolder() + "\\trim_standin.exe").value_or(""); }

// Our stand-in as empty.exe in the system's Windows folder for the life of the object.
class StandInAsSystemTool {
 public:
  StandInAsSystemTool() {
    char folder[MAX_PATH] = {};
    const UINT n = GetSystemWindowsDirectoryA(folder, MAX_PATH);
    path_ = std::string(folder, n) + "\\empty.exe";
    previous_ = ReadFileBytes(path_);
    DeleteFileA(log().c_str());
    DeleteFileA(starts().c_str());
    WriteFileBytes(path_, StandIn());
  }
  ~StandInAsSystemTool() {
    // A stand-in may still be ending; its file goes once it has.
    WaitFor([&] { return DeleteFileA(path_.c_str()) != 0; });
    DeleteFileA(log().c_str());
    DeleteFileA(starts().c_str());
    if (previous_) WriteFileBytes(path_, *previous_);
  }
  StandInAsSystemTool(const StandInAsSystemTool&) = delete;
  StandInAsSystemTool& operator=(const StandInAsSystemTool&) = delete;

  const std::string& path() const { return path_; }
  std::string log() const { return path_ + ".log"; }
  std::string starts() const { return path_ + ".started"; }

 private:
  std::string path_;
  std::optional<std::string> previous_;
};

enum class Folder { Missing, Empty, WithStandIn, None };

struct TrimCase {
  const char* name;
  const char* windowsFolder;  // under the scratch folder
  Folder folder;
};

class TrimRuns : public testing::TestWithParam<TrimCase> {};

// The child trims twice in the given Windows folder, as two deactivations would.
TEST_P(TrimRuns, WritesTheToolOnceAndRunsWhatIsThereWithTheProgramsId) {
  ScratchFolder scratch;
  const std::string windows = scratch.file(GetParam().windowsFolder);
  const std::string tool = windows + "\\empty.exe";
  if (GetParam().folder != Folder::Missing && GetParam().folder != Folder::None) {
    ASSERT_TRUE(CreateDirectoryA(windows.c_str(), nullptr));
  }
  if (GetParam().folder == Folder::WithStandIn) WriteFileBytes(tool, StandIn());
  // What the system would run for "<scratch>\My Windows\empty.exe 42" if it took the command line
  // apart itself; it must not run.
  WriteFileBytes(scratch.file("My.exe"), StandIn());
  const char* rootTool = "C:\\empty.exe";
  ASSERT_EQ(GetFileAttributesA(rootTool), INVALID_FILE_ATTRIBUTES);

  const std::string scenario = GetParam().folder == Folder::None ? "twice" : "twice " + windows;
  const FollowedRun run = RunFollowingStartedProcesses(ChildLine(scenario.c_str()), 60000);
  EXPECT_EQ(run.exitCode, 0u);  // no runtime error, nothing shown
  EXPECT_FALSE(ReadFileBytes(scratch.file("My.exe.log")).has_value());
  if (GetParam().folder == Folder::Missing || GetParam().folder == Folder::None) {
    EXPECT_EQ(run.started, std::vector<FollowedProcess>{});
    EXPECT_EQ(scratch.Names(), (std::set<std::string>{"My.exe"}));
    // Without a Windows folder, nothing lands in the root of the current drive.
    EXPECT_EQ(GetFileAttributesA(rootTool), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(rootTool);
    return;
  }
  // Both runs started the file in the Windows folder; each ended with 0, which the real tool
  // does only when it found the process whose id it was given.
  EXPECT_EQ(run.started, (std::vector<FollowedProcess>{{tool, 0}, {tool, 0}}));
  if (GetParam().folder == Folder::Empty) {
    EXPECT_EQ(ReadFileBytes(tool), EmbeddedTool());
    return;
  }
  EXPECT_EQ(ReadFileBytes(tool), StandIn());  // never replaced
  // The command line is the path, unquoted, and the program's id; no console was made.
  const std::string line = tool + " " + std::to_string(run.id) + "|console=0\n";
  EXPECT_EQ(ReadFileBytes(tool + ".log"), line + line);
}

std::string TrimLabel(const testing::TestParamInfo<TrimCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(
    WindowsFolders, TrimRuns,
    testing::Values(TrimCase{"WrittenThenRun", "Windows", Folder::Empty},
                    TrimCase{"BlankInThePath", "My Windows", Folder::Empty},
                    TrimCase{"PresentToolKept", "My Windows", Folder::WithStandIn},
                    TrimCase{"FolderMissing", "Windows", Folder::Missing},
                    TrimCase{"NoFolder", "Windows", Folder::None}),
    TrimLabel);

// The skin's call returns at once: while the tool runs (a stand-in that takes three seconds),
// the caller's window answers every message sent to it.
TEST(TrimThread, LeavesTheCallerAnsweringWhileTheToolRuns) {
  const StandInAsSystemTool systemTool;
  const std::string& tool = systemTool.path();
  EnvironmentVariable sleep("TRIM_STANDIN_SLEEP_MS", "3000");
  ChildProcess child(ChildLine("window"));
  ASSERT_TRUE(child.started());
  HWND window = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (window = FindWindowA("TrimChild", nullptr)) != nullptr; }));

  const std::string expected = tool + " " + std::to_string(child.id()) + "|console=0\n";
  int answered = 0;
  std::optional<std::string> log;
  while (!(log = ReadFileBytes(systemTool.log())) || !log->ends_with('\n')) {
    DWORD_PTR reply = 0;
    ASSERT_NE(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 500, &reply), 0)
        << "unanswered after " << answered;
    ++answered;
    ASSERT_LT(answered, 1000) << "the tool never ran";
    Sleep(50);
  }
  EXPECT_EQ(log, expected);
  EXPECT_GE(answered, 20);  // about three seconds of answers
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(child.AwaitExit(10000), 0u);
}

// Deactivations in quick succession while the tool hangs (a stand-in that sleeps far longer than
// the bound) start one run, not one each; once the bound has passed, the waiting thread has
// ended and the next deactivation starts the next run. Each run notes its start.
TEST(TrimThread, OneRunAtATimeAndNoneWaitedForPastTheBound) {
  const StandInAsSystemTool tool;
  EnvironmentVariable sleep("TRIM_STANDIN_SLEEP_MS", "30000");
  // The child ends after about ten seconds; the hanging runs are ended when the time is up.
  const FollowedRun run = RunFollowingStartedProcesses(ChildLine("burst"), 13000);
  EXPECT_EQ(run.exitCode, 0u);
  const std::string line = tool.path() + " " + std::to_string(run.id) + "\n";
  EXPECT_EQ(ReadFileBytes(tool.starts()), line + line);
}

// The real tool trims itself each time it loses activation to another program's window: the
// stand-in in the system's Windows folder runs once per deactivation with the tool's id, stays as
// it was, and the tool goes on to close normally without one more run. The empty.exe in the
// folder that "windir" names (which any program of the user can set) never runs.
TEST(RealTool, RunsTheSystemFoldersTrimmerOnEveryDeactivation) {
  const StandInAsSystemTool systemTool;
  const std::string& tool = systemTool.path();
  ScratchFolder planted;
  WriteFileBytes(planted.file("empty.exe"), StandIn());
  EnvironmentVariable windir("windir", planted.path().c_str());
  // The other program's window is made first: a window that appears takes the activation.
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                               nullptr);
  ASSERT_NE(other, nullptr);
  ChildProcess program("\"" + WinePathOf(TOOL_UNIX_PATH) + "\"");
  ASSERT_TRUE(program.started());
  HWND toolWindow = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (toolWindow = VisibleWindowOf(program.id())) != nullptr; }));
  const std::string line = tool + " " + std::to_string(program.id()) + "|console=0\n";
  std::string expected;
  // This thread owns a window, so it handles its messages while it waits: activation sends
  // messages between the two threads, and one left unhandled here keeps the switch from being
  // complete (then a later SetForegroundWindow(other) finds `other` still active and does nothing).
  const auto waitHandlingMessages = [](auto done) {
    return WaitFor([&] {
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
      return done();
    });
  };
  const DWORD toolThread = GetWindowThreadProcessId(toolWindow, nullptr);
  const auto toolActive = [&] {
    GUITHREADINFO info{.cbSize = sizeof info};
    return GetGUIThreadInfo(toolThread, &info) && info.hwndActive == toolWindow && GetActiveWindow() == nullptr;
  };
  for (int deactivation = 1; deactivation <= 2; ++deactivation) {
    SetForegroundWindow(toolWindow);
    ASSERT_TRUE(waitHandlingMessages(toolActive)) << "activation " << deactivation;
    SetForegroundWindow(other);
    expected += line;
    EXPECT_TRUE(waitHandlingMessages([&] { return ReadFileBytes(systemTool.log()) == expected; }))
        << "deactivation " << deactivation;
  }
  EXPECT_EQ(ReadFileBytes(tool), StandIn());
  // Closing the active tool deactivates it as well, but a program that is ending is not trimmed.
  SetForegroundWindow(toolWindow);
  ASSERT_TRUE(waitHandlingMessages(toolActive));
  PostMessageA(toolWindow, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.AwaitExit(10000), 0u);
  DestroyWindow(other);
  Sleep(500);  // a run started while closing would have written its line by now
  EXPECT_EQ(ReadFileBytes(systemTool.log()), expected);
  EXPECT_EQ(planted.Names(), std::set<std::string>{"empty.exe"});
}

}  // namespace
