// The report of a fatal runtime error, the table of numbered messages, and the exit routine and
// runtime thread that the report consults on its way out.
#include "runtime/runtime_error.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#if defined(_WIN32)
#include <windows.h>

#include "runtime/system_text.h"
#else
#include <pthread.h>
#endif

namespace {

constexpr const char* numberedMessages[] = {
    "数组成员引用下标超出定义范围",
    "未得到所需要的数值型数据",
    "引用数组成员时维数不为1且不等于该数组目前所具有的维数",
    "数组成员引用下标必须大于等于1",
    "数据或数组类型不匹配",
    "调用DLL命令后发现堆栈错误",
    "子语句参数未返回数据或者返回了非系统基本类型或数组型数据",
    "被比较数据只能使用等于或不等于命令比较",
    "“多项选择”命令的索引值参数小于零或超出了所提供参数表范围",
    "“重定义数组”命令的数组维定义参数值必须大于零或单维时大于等于零",
    "所提供参数的数据类型不符合要求",
};

void ShowErrorBox(const std::string& text) {
#if defined(_WIN32)
  ShowMessageBox(nullptr, text, "错误", MB_OK | MB_ICONHAND);
#else
  std::fputs(text.c_str(), stderr);
#endif
}

// A number for the calling thread; never 0, which stands for "no thread recorded".
uint64_t CurrentThreadKey() {
#if defined(_WIN32)
  return GetCurrentThreadId();
#else
  return static_cast<uint64_t>(pthread_self());
#endif
}

// Reports may come from any thread, so everything the report touches is atomic.
std::atomic<int32_t> errorCount{0};
std::atomic<RuntimeErrorPresenter> presenter{ShowErrorBox};
std::atomic<ExitRoutine> exitRoutine{nullptr};
std::atomic<uint64_t> runtimeThread{0};
std::atomic<ExitHandler> orderlyExit{nullptr};
std::atomic<ExitHandler> exitRequest{nullptr};

[[noreturn]] void EndProcessAfterError() {
  const ExitHandler handler = OnRuntimeThread() ? orderlyExit.load() : exitRequest.load();
  if (handler) handler(kRuntimeErrorExitCode);
#if defined(_WIN32)
  ExitProcess(static_cast<UINT>(kRuntimeErrorExitCode));
#else
  std::_Exit(kRuntimeErrorExitCode);
#endif
}

}  // namespace

const char* RuntimeErrorMessage(int32_t code) {
  if (code < 1 || code > static_cast<int32_t>(std::size(numberedMessages))) return nullptr;
  return numberedMessages[code - 1];
}

std::string FormatRuntimeErrorText(const char* message, int32_t code) {
  std::string text = "运行时出错!\r\n\r\n";
  if (code != 0) text += "错误代码：" + std::to_string(code) + "\r\n\r\n";
  if (message && *message) text += std::string("错误信息：") + message + "\r\n";
  return text;
}

void RaiseRuntimeError(int32_t code) { ReportRuntimeError(RuntimeErrorMessage(code), code); }

void ReportRuntimeError(const char* message, int32_t code) {
  ++errorCount;
  // Dropped before the box: while a box of another thread is open, the user can still close the
  // program's window, and the exit that follows must not run the routine.
  exitRoutine.store(nullptr);
  presenter.load()(FormatRuntimeErrorText(message, code));
  EndProcessAfterError();
}

int32_t RuntimeErrorCount() { return errorCount.load(); }

RuntimeErrorPresenter SetRuntimeErrorPresenter(RuntimeErrorPresenter replacement) {
  return presenter.exchange(replacement ? replacement : ShowErrorBox);
}

void SetExitRoutine(ExitRoutine routine) { exitRoutine.store(routine); }

ExitRoutine TakeExitRoutine() { return exitRoutine.exchange(nullptr); }

void RecordRuntimeThread() { runtimeThread.store(CurrentThreadKey()); }

bool OnRuntimeThread() {
  const uint64_t recorded = runtimeThread.load();
  return recorded == 0 || recorded == CurrentThreadKey();
}

ExitHandler SetOrderlyExit(ExitHandler handler) { return orderlyExit.exchange(handler); }

ExitHandler SetExitRequest(ExitHandler handler) { return exitRequest.exchange(handler); }
