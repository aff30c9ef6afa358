// error_box_probe CASE FOLDER: a program that sets up the runtime's error handling as the real
// program does (runtime thread, exit routine, an orderly exit that runs the exit routine if it
// is still there, a hidden window that receives the exit request) and then meets the runtime
// error named by CASE, shown with the real message box. Each of them leaves a marker file in
// FOLDER, so that the test sees what ran.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "runtime/commands/commands.h"
#include "runtime/runtime_error.h"

namespace {

std::string folder;
DWORD runtimeThreadId = 0;
HWND hiddenWindow = nullptr;

void WriteMarker(const char* name, const std::string& content) {
  FILE* out = std::fopen((folder + "\\" + name).c_str(), "wb");
  if (!out) return;
  std::fputs(content.c_str(), out);
  std::fclose(out);
}

void WriteExitRoutineMarker() { WriteMarker("exit-routine.txt", "ran"); }

std::string OnWhichThread() {
  return GetCurrentThreadId() == runtimeThreadId ? " on the runtime thread" : " on another thread";
}

// As the runtime's exit sequence does: the exit routine runs once, if it is still recorded.
void OrderlyExit(int32_t exitCode) {
  WriteMarker("orderly-exit.txt", "code=" + std::to_string(exitCode) + OnWhichThread());
  if (ExitRoutine routine = TakeExitRoutine()) routine();
}

LRESULT CALLBACK HiddenWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kExitRequestMessage) {
    WriteMarker("exit-request.txt", "code=" + std::to_string(static_cast<int32_t>(wParam)) + OnWhichThread());
    OrderlyExit(static_cast<int32_t>(wParam));
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void SendExitRequest(int32_t exitCode) {
  SendMessageA(hiddenWindow, kExitRequestMessage, static_cast<WPARAM>(exitCode), 0);
}

void CreateHiddenWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = HiddenWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "ErrorProbeHidden";
  RegisterClassA(&windowClass);
  hiddenWindow = CreateWindowExA(WS_EX_TOOLWINDOW, "ErrorProbeHidden", "", 0, 0, 0, 0, 0, nullptr, nullptr,
                                 windowClass.hInstance, nullptr);
  SetExitRequest(SendExitRequest);
}

DWORD WINAPI ReportFromAnotherThread(void*) {
  ReportRuntimeError("未找到引发事件的窗口组件", 0);
}

// The cases. Each ends the process through a runtime error, except "normal", which runs the
// orderly exit and returns 0.
int RunCase(const std::string& name) {
  if (name == "numbered") RaiseRuntimeError(ERR_INDEX_BELOW_ONE);
  if (name == "divide") Commands::IntDivide(1.0, {0.0});
  if (name == "remainder") Commands::Remainder(5.0, {2.0, 0.0});
  if (name == "datatype") Commands::GetDataFromBytes(nullptr, 11);
  if (name == "thread") {
    CreateHiddenWindow();
    CloseHandle(CreateThread(nullptr, 0, ReportFromAnotherThread, nullptr, 0, nullptr));
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 3;  // the loop never ends: the report ends the process
  }
  if (name == "normal") {
    OrderlyExit(0);
    return 0;
  }
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  folder = argv[2];
  runtimeThreadId = GetCurrentThreadId();
  RecordRuntimeThread();
  SetExitRoutine(WriteExitRoutineMarker);
  SetOrderlyExit(OrderlyExit);
  return RunCase(argv[1]);
}
