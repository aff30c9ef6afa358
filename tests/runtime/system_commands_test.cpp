// The Windows commands under Wine: file tests, running programs, the screen, the system colour,
// opening a web page, and that Random draws what the C library's rand draws.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "runtime/commands/commands.h"
#include "runtime/value_helpers.h"
#include "tests/support/gui_driver.h"
#include "tests/support/registry_value.h"
#include "tests/support/scratch_folder.h"

namespace {

// Waits up to `seconds` for a file to appear; its content, or nothing.
std::optional<std::string> AwaitFile(const std::string& path, int seconds) {
  std::optional<std::string> content;
  WaitFor([&] { return (content = ReadFileBytes(path)).has_value(); }, seconds * 1000);
  return content;
}

std::string ProbeLine(const std::string& record, int sleepMs) {
  std::string line = "\"";
  line.append(ProgramFolder()).append("\\command_probe.exe\" \"").append(record).append("\" ");
  return line.append(std::to_string(sleepMs));
}

struct ExistsCase {
  const char* path;
  bool exists;
};
class FileExistsTest : public testing::TestWithParam<ExistsCase> {};

TEST_P(FileExistsTest, FindsFilesDirectoriesAndWildcardMatches) {
  ScratchFolder folder;
  WriteFileBytes(folder.file("VER.ini"), "x");
  CreateDirectoryA(folder.file("sub").c_str(), nullptr);
  EXPECT_EQ(Commands::FileExists(GetParam().path), GetParam().exists);
}

INSTANTIATE_TEST_SUITE_P(Paths, FileExistsTest,
                         testing::Values(ExistsCase{"VER.ini", true}, ExistsCase{"sub", true},
                                         ExistsCase{"*.ini", true}, ExistsCase{"s?b", true},
                                         ExistsCase{"*.txt", false}, ExistsCase{"missing.ini", false},
                                         ExistsCase{"sub\\VER.ini", false}, ExistsCase{"", false}));

struct ShowCase {
  std::optional<int32_t> mode;
  unsigned showState;
};
class RunCommandLineMode : public testing::TestWithParam<ShowCase> {};

TEST_P(RunCommandLineMode, WaitsAndStartsTheProgramInTheShowState) {
  ScratchFolder folder;
  const std::string record = folder.file("shown.txt");
  ASSERT_TRUE(Commands::RunCommandLine(ProbeLine(record, 0).c_str(), true, GetParam().mode));
  // Waited for: the record is there the moment the command returns.
  EXPECT_EQ(ReadFileBytes(record), "flags=1 show=" + std::to_string(GetParam().showState));
}

INSTANTIATE_TEST_SUITE_P(Modes, RunCommandLineMode,
                         testing::Values(ShowCase{std::nullopt, SW_SHOWNORMAL}, ShowCase{-3, SW_HIDE},
                                         ShowCase{0, SW_HIDE}, ShowCase{1, SW_HIDE}, ShowCase{2, SW_SHOWNORMAL},
                                         ShowCase{3, SW_SHOWMINIMIZED}, ShowCase{4, SW_SHOWMAXIMIZED},
                                         ShowCase{5, SW_SHOWNOACTIVATE}, ShowCase{6, SW_MINIMIZE},
                                         ShowCase{9, SW_MINIMIZE}));

TEST(RunCommandLine, WaitingLastsUntilTheProgramHasEnded) {
  ScratchFolder folder;
  const std::string record = folder.file("late.txt");
  const DWORD start = GetTickCount();
  ASSERT_TRUE(Commands::RunCommandLine(ProbeLine(record, 1500).c_str(), true, 1));
  EXPECT_GE(GetTickCount() - start, 1400u);
  EXPECT_EQ(ReadFileBytes(record), "flags=1 show=0");
}

TEST(RunCommandLine, WaitingStopsAtTheLongestWaitAndTheProgramRunsOn) {
  ScratchFolder folder;
  const std::string record = folder.file("bounded.txt");
  const DWORD start = GetTickCount();
  ASSERT_TRUE(Commands::RunCommandLine(ProbeLine(record, 4000).c_str(), true, 1, std::nullopt, 500));
  EXPECT_LT(GetTickCount() - start, 3000u);
  EXPECT_FALSE(ReadFileBytes(record).has_value());
  EXPECT_EQ(AwaitFile(record, 30), "flags=1 show=0");
}

TEST(RunCommandLine, WithoutWaitingReturnsWhileTheProgramRuns) {
  ScratchFolder folder;
  const std::string record = folder.file("later.txt");
  ASSERT_TRUE(Commands::RunCommandLine(ProbeLine(record, 4000).c_str(), false, 1));
  EXPECT_FALSE(ReadFileBytes(record).has_value());
  EXPECT_EQ(AwaitFile(record, 30), "flags=1 show=0");  // and it did run
}

// A process's start-up block holds a current folder of under MAX_PATH characters; the program
// started from a longer one still works in the same folder (the probe writes its record there).
TEST(RunCommandLine, FromAFolderLongerThanMaxPathTheProgramWorksInTheSameFolder) {
  ScratchFolder scratch;
  const std::wstring hundred(100, L'k');
  const std::wstring folder = scratch.MakeFolders({hundred, hundred, hundred, L"飞车客户端"});
  ASSERT_FALSE(folder.empty());
  ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
  EXPECT_TRUE(Commands::RunCommandLine(ProbeLine("shown.txt", 0).c_str(), true, 1));
  EXPECT_EQ(ReadFileBytes(folder + L"\\shown.txt"), "flags=1 show=0");
}

TEST(RunCommandLine, AMissingProgramFailsAtOnce) {
  ScratchFolder folder;
  const DWORD start = GetTickCount();
  EXPECT_FALSE(Commands::RunCommandLine("no_such_program_here.exe 1", true, 1));
  EXPECT_FALSE(Commands::RunCommandLine((folder.path() + "\\absent.exe").c_str(), true));
  EXPECT_FALSE(Commands::RunCommandLine("", true));
  EXPECT_LT(GetTickCount() - start, 3000u);
}

TEST(WriteBytesToFile, RunsThroughTheTable) {
  ScratchFolder folder;
  OwnedText first = NewText("[Dir]\r\n");
  OwnedBytes block = Commands::ToByteBlock(PointerCell(TC_TEXT, first.get()));
  EXPECT_TRUE(Commands::WriteBytesToFile("DirSvrInfo1.ini", {block.get(), nullptr, block.get()}));
  EXPECT_EQ(ReadFileBytes(folder.file("DirSvrInfo1.ini")), "[Dir]\r\n[Dir]\r\n");
  EXPECT_FALSE(Commands::WriteBytesToFile(nullptr, {block.get()}));
}

// The test session's screen is 1024 by 768.
TEST(Screen, SizeAndButtonFaceColour) {
  EXPECT_EQ(Commands::ScreenWidth(), 1024);
  EXPECT_EQ(Commands::ScreenHeight(), 768);
  const int element = COLOR_BTNFACE;
  const COLORREF before = GetSysColor(COLOR_BTNFACE);
  const COLORREF marked = 0x00123456;
  ASSERT_TRUE(SetSysColors(1, &element, &marked));
  const int32_t seen = Commands::DefaultBackColor();
  SetSysColors(1, &element, &before);
  EXPECT_EQ(seen, 0x00123456);
}

// The recorder script writes the address it is given next to itself; Wine's browser launcher
// runs it as the browser.

TEST(OpenWebPage, HandsTheAddressToTheBrowser) {
  const std::string record = ProgramFolder() + "\\opened-url.txt";
  DeleteFileA(record.c_str());
  RegistryValue browser("Software\\Wine\\WineBrowser", "Browsers", URL_RECORDER);
  Commands::OpenWebPage("http://forum.racing.example/forum.php");
  EXPECT_EQ(AwaitFile(record, 30), "http://forum.racing.example/forum.php");
  DeleteFileA(record.c_str());
}

class RandomSeed : public testing::TestWithParam<int32_t> {};

TEST_P(RandomSeed, DrawsWhatTheCLibraryDraws) {
  std::srand(static_cast<unsigned>(GetParam()));
  Commands::SeedRandom(GetParam());
  for (int i = 0; i < 50; ++i) ASSERT_EQ(Commands::Random(0, 32767), std::rand()) << "draw " << i;
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomSeed, testing::Values(0, 1, 7, 12345, -1, INT32_MAX, 45000));

}  // namespace
