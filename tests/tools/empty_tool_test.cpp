// empty.exe on its own, started as the program starts it (by its path, with that path unquoted
// and holding a blank at the head of the command line): the usage line for a missing or bad
// argument, and a running process emptied by its id or by its executable name.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/support/child_process.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/wine_paths.h"

namespace {

constexpr char kUsage[] = "USAGE: empty.exe {pid | task-name}\r\n";

struct ToolOutcome {
  DWORD exitCode = 0xDEAD;
  std::string output;
};

// Runs the tool with the arguments, its standard output going into a file.
ToolOutcome RunTool(const std::string& tool, const std::string& arguments, const std::string& outputFile) {
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE output = CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output;
  startup.hStdError = output;
  PROCESS_INFORMATION process{};
  std::string line = tool;
  if (!arguments.empty()) line.append(" ").append(arguments);
  ToolOutcome outcome;
  if (CreateProcessA(tool.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    WaitForSingleObject(process.hProcess, 30000);
    GetExitCodeProcess(process.hProcess, &outcome.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(output);
  outcome.output = ReadFileBytes(outputFile).value_or("");
  return outcome;
}

struct ArgumentCase {
  const char* name;
  const char* arguments;  // "%pid%" stands for the id of a running process named "Empty Target.exe"
  DWORD exitCode;
  const char* output;
};

class EmptyToolRun : public testing::TestWithParam<ArgumentCase> {};

TEST_P(EmptyToolRun, EmptiesTheNamedProcessOrPrintsTheUsage) {
  ScratchFolder scratch;
  const std::string folder = scratch.file("My Tools");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string tool = folder + "\\empty.exe";
  const std::string built = WinePathOf(EMPTY_TOOL_UNIX_PATH);
  ASSERT_TRUE(CopyFileA(built.c_str(), tool.c_str(), FALSE)) << built;
  const std::string target = scratch.file("Empty Target.exe");
  ASSERT_TRUE(CopyFileA((ProgramFolder() + "\\command_probe.exe").c_str(), target.c_str(), FALSE));
  ChildProcess running("\"" + target + "\" \"" + scratch.file("never.txt") + "\" 60000");
  ASSERT_TRUE(running.started());

  std::string arguments = GetParam().arguments;
  if (const size_t at = arguments.find("%pid%"); at != std::string::npos)
    arguments.replace(at, 5, std::to_string(running.id()));
  const ToolOutcome outcome = RunTool(tool, arguments, scratch.file("output.txt"));
  // Exit code 0 means the process was opened and its working set emptying accepted. Wine accepts
  // it and changes nothing: it reports the Unix process's resident size, before and after alike.
  EXPECT_EQ(outcome.exitCode, GetParam().exitCode);
  EXPECT_EQ(outcome.output, GetParam().output);
  EXPECT_TRUE(running.running());
}

std::string ArgumentLabel(const testing::TestParamInfo<ArgumentCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(
    Arguments, EmptyToolRun,
    testing::Values(ArgumentCase{"ProcessId", "%pid%", 0, ""},
                    ArgumentCase{"TaskNameInAnyCase", "\"empty TARGET.EXE\"", 0, ""},
                    ArgumentCase{"OnlyTheFirstArgumentCounts", "%pid% 0", 0, ""},
                    ArgumentCase{"NoProcessWithThatId", "4294967292", 2, ""},
                    ArgumentCase{"NoProcessWithThatName", "nothing-runs-by-this-name.exe", 2, ""},
                    ArgumentCase{"NoArgument", "", 1, kUsage}, ArgumentCase{"EmptyArgument", "\"\"", 1, kUsage},
                    ArgumentCase{"Option", "/?", 1, kUsage}, ArgumentCase{"IdBeyond32Bits", "4294967300", 1, kUsage},
                    ArgumentCase{"PathNotName", "C:\\target.exe", 1, kUsage}),
    ArgumentLabel);

}  // namespace
