// The GdiTransparentBlt filter, installed as start-up installs it, in a child program of its own
// (the patch is process-wide): a copy to a 16 x 16 destination succeeds and draws nothing, through
// gdi32 and through msimg32 alike; other sizes draw; copies late in shutdown are safe, with the
// hook object still there and after it is gone.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/child_process.h"
#include "tests/support/scratch_folder.h"

namespace {

std::string RunChild(const std::string& scenario, DWORD& exitCode) {
  ScratchFolder folder;
  const std::string log = folder.file("log.txt");
  std::string command = "\"";
  command += ProgramFolder() + "\\transparent_blt_child.exe\" " + scenario + " \"" + log + "\"";
  ChildProcess child(command);
  exitCode = child.started() ? child.AwaitExit(20000).value_or(0xDEAD) : 0xBAD;
  return ReadFileBytes(log).value_or("");
}

struct ShutdownCase {
  const char* scenario;
  const char* log;
};

class TransparentBltFilterChild : public ::testing::TestWithParam<ShutdownCase> {};

TEST_P(TransparentBltFilterChild, DropsSixteenBySixteenAndStaysSafeInShutdown) {
  DWORD exitCode = 0;
  const std::string log = RunChild(GetParam().scenario, exitCode);
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(log, GetParam().log);
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, TransparentBltFilterChild,
    ::testing::Values(
        // The hook object lives to the end: the atexit handler runs before it is destroyed and
        // its 16 x 16 copy is still dropped.
        ShutdownCase{"installed",
                     "installed\n"
                     "gdi 16x16 result=1 changed=0\n"
                     "msimg 16x16 result=1 changed=0\n"
                     "gdi 16x17 result=1 changed=1\n"
                     "msimg 16x17 result=1 changed=1\n"
                     "gdi 17x16 result=1 changed=1\n"
                     "msimg 17x16 result=1 changed=1\n"
                     "atexit-gdi 16x16 result=1 changed=0\n"
                     "atexit-gdi 16x17 result=1 changed=1\n"},
        // Destroying the hook object removes the patch: gdi32 draws every size again, and the
        // filter's trampoline, never freed, still reaches the function.
        ShutdownCase{"destroyed",
                     "installed\n"
                     "gdi 16x16 result=1 changed=1\n"
                     "filter 16x17 result=1 changed=1\n"
                     "atexit-gdi 16x16 result=1 changed=1\n"
                     "atexit-gdi 16x17 result=1 changed=1\n"}),
    [](const auto& p) { return std::string(p.param.scenario); });

}  // namespace
