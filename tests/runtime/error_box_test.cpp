// The runtime error report as the user meets it: error_box_probe is started, its real message
// box is found on the screen and read in the wide form (so that it reads as the user sees it
// whatever the ANSI code page is), then dismissed as a user would; the process must then end
// with -1, and the program's exit routine must not have run.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/gui_driver.h"
#include "tests/support/scratch_folder.h"

namespace {

// The process's dialog box captioned "错误", once it is on the screen.
HWND AwaitErrorBox(DWORD processId, int seconds) {
  HWND box = nullptr;
  WaitFor([&] { return (box = MessageBoxOf(processId, "错误")) != nullptr; }, seconds * 1000);
  return box;
}

// The probe's command line: the case and the folder for its markers.
std::string ProbeCommandLine(const char* probeCase, const std::string& folder) {
  std::string line = "\"";
  line.append(ProgramFolder()).append("\\error_box_probe.exe\" ").append(probeCase).append(" \"").append(folder).append("\"");
  return line;
}

struct BoxCase {
  const char* probeCase;
  const wchar_t* boxText;     // exactly as the box's text control holds it
  const char* exitRequest;    // what the hidden window was told, or null when it was not asked
  const char* orderlyExit;    // where the orderly exit ran
};
class ErrorBox : public testing::TestWithParam<BoxCase> {};

TEST_P(ErrorBox, ShowsTheReportThenEndsWithMinusOneWithoutTheExitRoutine) {
  ScratchFolder folder;
  ChildProcess probe(ProbeCommandLine(GetParam().probeCase, folder.path()));
  ASSERT_TRUE(probe.started());

  const HWND box = AwaitErrorBox(probe.id(), 30);
  ASSERT_NE(box, nullptr) << "no error box appeared";
  EXPECT_TRUE(probe.running()) << "the report must wait for the user";
  EXPECT_EQ(TextOf(box), L"错误");
  EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)), GetParam().boxText);
  EXPECT_EQ(GetWindowLongA(box, GWL_STYLE) & WS_VISIBLE, WS_VISIBLE);

  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(probe.AwaitExit(30000), 0xFFFFFFFFu);
  EXPECT_EQ(ReadFileBytes(folder.file("exit-routine.txt")), std::nullopt);
  EXPECT_EQ(ReadFileBytes(folder.file("orderly-exit.txt")), GetParam().orderlyExit);
  if (GetParam().exitRequest) {
    EXPECT_EQ(ReadFileBytes(folder.file("exit-request.txt")), GetParam().exitRequest);
  } else {
    EXPECT_EQ(ReadFileBytes(folder.file("exit-request.txt")), std::nullopt);
  }
}

constexpr char kOnRuntimeThread[] = "code=-1 on the runtime thread";

std::string BoxLabel(const testing::TestParamInfo<BoxCase>& info) { return info.param.probeCase; }

INSTANTIATE_TEST_SUITE_P(
    Reports, ErrorBox,
    testing::Values(
        BoxCase{"numbered",
                L"运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1\r\n", nullptr,
                kOnRuntimeThread},
        BoxCase{"divide", L"运行时出错!\r\n\r\n错误信息：不能整除于零\r\n", nullptr, kOnRuntimeThread},
        BoxCase{"remainder", L"运行时出错!\r\n\r\n错误信息：不能求余数于零\r\n", nullptr, kOnRuntimeThread},
        BoxCase{"datatype", L"运行时出错!\r\n\r\n错误信息：“欲取出数据的类型”参数值无效\r\n", nullptr, kOnRuntimeThread},
        BoxCase{"thread", L"运行时出错!\r\n\r\n错误信息：未找到引发事件的窗口组件\r\n",
                kOnRuntimeThread, kOnRuntimeThread}),
    BoxLabel);

// The markers would show an exit routine that ran: an orderly exit without an error runs it.
TEST(ErrorBox, TheExitRoutineMarkerAppearsWhenTheRoutineRuns) {
  ScratchFolder folder;
  ChildProcess probe(ProbeCommandLine("normal", folder.path()));
  ASSERT_TRUE(probe.started());
  EXPECT_EQ(probe.AwaitExit(30000), 0u);
  EXPECT_EQ(ReadFileBytes(folder.file("exit-routine.txt")), "ran");
  EXPECT_EQ(ReadFileBytes(folder.file("orderly-exit.txt")), "code=0 on the runtime thread");
}

}  // namespace
