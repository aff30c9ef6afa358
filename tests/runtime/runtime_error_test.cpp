// How a runtime error ends the process: the count, the dropped exit routine, and which of the
// orderly exit and the exit request runs, by the thread that reports.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "runtime/runtime_error.h"
#include "tests/support/runtime_error_exit.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <thread>
#endif

namespace {

#if defined(_WIN32)
DWORD WINAPI RunBody(void* body) {
  reinterpret_cast<void (*)()>(body)();
  return 0;
}
#endif

void RunOnAnotherThread(void (*body)()) {
#if defined(_WIN32)
  HANDLE thread = CreateThread(nullptr, 0, RunBody, reinterpret_cast<void*>(body), 0, nullptr);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
#else
  std::thread(body).join();
#endif
}

void ShowWithCount(const std::string& text) {
  std::fprintf(stderr, "%scount=%d\n", text.c_str(), RuntimeErrorCount());
}
void ExitRoutineRan() { std::fputs("exit routine ran\n", stderr); }
void OrderlyExit(int32_t code) {
  std::fprintf(stderr, "orderly exit %d on %s thread, routine %s\n", code, OnRuntimeThread() ? "runtime" : "other",
               TakeExitRoutine() ? "kept" : "dropped");
}
void ExitRequest(int32_t code) {
  std::fprintf(stderr, "exit request %d on %s thread, routine %s\n", code, OnRuntimeThread() ? "runtime" : "other",
               TakeExitRoutine() ? "kept" : "dropped");
}

// Everything a report consults, set up as the runtime's start-up does.
void PrepareRuntime() {
  SetRuntimeErrorPresenter(ShowWithCount);
  SetExitRoutine(ExitRoutineRan);
  SetOrderlyExit(OrderlyExit);
  SetExitRequest(ExitRequest);
  RecordRuntimeThread();
}

TEST(ExitRoutine, IsHandedOverOnce) {
  EXPECT_EQ(TakeExitRoutine(), nullptr);
  SetExitRoutine(ExitRoutineRan);
  EXPECT_EQ(TakeExitRoutine(), &ExitRoutineRan);
  EXPECT_EQ(TakeExitRoutine(), nullptr);
}

TEST(RuntimeThread, IsTheOneThatRecordedItself) {
  RecordRuntimeThread();
  EXPECT_TRUE(OnRuntimeThread());
  static bool onOther = true;
  RunOnAnotherThread([] { onOther = OnRuntimeThread(); });
  EXPECT_FALSE(onOther);
}

TEST(RuntimeErrorDeathTest, OnTheRuntimeThreadRunsTheOrderlyExitWithoutTheExitRoutine) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        PrepareRuntime();
        RaiseRuntimeError(ERR_TYPE_MISMATCH);
      },
      testing::ExitedWithCode(kRuntimeErrorExit),
      testing::AllOf(testing::HasSubstr("运行时出错!\r\n\r\n错误代码：5\r\n\r\n错误信息：数据或数组类型不匹配\r\n"
                                        "count=1\norderly exit -1 on runtime thread, routine dropped\n"),
                     testing::Not(testing::HasSubstr("exit request")),
                     testing::Not(testing::HasSubstr("exit routine ran"))));
}

TEST(RuntimeErrorDeathTest, OnAnotherThreadSendsTheExitRequestAndStillEnds) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        PrepareRuntime();
        RunOnAnotherThread([] { ReportRuntimeError("未找到引发事件的窗口", 0); });
        std::fputs("the report returned\n", stderr);
      },
      testing::ExitedWithCode(kRuntimeErrorExit),
      testing::AllOf(testing::HasSubstr("运行时出错!\r\n\r\n错误信息：未找到引发事件的窗口\r\n"
                                        "count=1\nexit request -1 on other thread, routine dropped\n"),
                     testing::Not(testing::HasSubstr("orderly exit")),
                     testing::Not(testing::HasSubstr("the report returned"))));
}

TEST(RuntimeErrorDeathTest, WithoutExitHandlersStillEndsWithMinusOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        PrepareRuntime();
        SetOrderlyExit(nullptr);
        SetExitRequest(nullptr);
        RunOnAnotherThread([] { ReportRuntimeError(nullptr, 0); });
      },
      testing::ExitedWithCode(kRuntimeErrorExit), testing::EndsWith("运行时出错!\r\n\r\ncount=1\n"));
}

}  // namespace
