// frame_child SCENARIO LOG: a program over the runtime for the tests that end a process: the
// normal end through the message loop, and runtime errors (with the real message box, or with
// the report written to LOG instead). Every handler and the exit routine write to LOG.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "runtime/frame/events.h"
#include "runtime/frame/message_loop.h"
#include "runtime/frame/runtime_service.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/frame/unit_commands.h"
#include "runtime/frame/unit_properties.h"
#include "runtime/frame/window_loader.h"
#include "runtime/runtime_error.h"
#include "tests/runtime/frame/frame_child_handlers.h"

extern const TemplateProgram FrameChildTemplates;

namespace {

constexpr uint32_t kChildWindow = 0x52020001;
std::string logPath;
std::string scenario;

void Log(const std::string& line) {
  if (FILE* file = std::fopen(logPath.c_str(), "ab")) {
    std::fputs((line + "\n").c_str(), file);
    std::fclose(file);
  }
}

// Paths are logged in UTF-8, which spells every folder name.
std::string Utf8(const std::wstring& text) {
  std::string bytes(text.size() * 3, '\0');
  bytes.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                       bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr)));
  return bytes;
}

void LogReport(const std::string& text) { Log("box:" + text); }
void LogExitRoutine() { Log("exit routine"); }

HWND ChildWindow() {
  const ValueCell unit{kChildWindow, 0, TC_WINDOW};
  ValueCell result{};
  CommandForms::GetUnitHandle(&result, 1, &unit);
  return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(result.low)));
}

void CALLBACK CloseSoon(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  PostMessageA(ChildWindow(), WM_CLOSE, 0, 0);
}

// Notes on which thread the window is destroyed.
WNDPROC unitProcedure = nullptr;
HWND workerTarget = nullptr;  // the window, as the failing worker thread knows it
LRESULT CALLBACK WatchDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY)
    Log(GetCurrentThreadId() == Runtime().guiThread ? "destroyed on the gui thread" : "destroyed elsewhere");
  return CallWindowProcA(unitProcedure, window, message, wParam, lParam);
}

DWORD WINAPI FailOnWorker(void*) {
  Sleep(200);
  ReportRuntimeError("线程里出错", 0);
}

// A report whose box stays open while the user closes the window: it returns only once the
// interface thread's message loop has ended and had time to finish the program.
void LogReportAndCloseTheWindow(const std::string& text) {
  LogReport(text);
  PostMessageA(workerTarget, WM_CLOSE, 0, 0);
  for (int waited = 0; waited < 10000; waited += 20) {
    FILE* file = std::fopen(logPath.c_str(), "rb");
    char content[512] = "";
    if (file) {
      content[std::fread(content, 1, sizeof content - 1, file)] = '\0';
      std::fclose(file);
    }
    if (std::strstr(content, "loop ")) break;
    Sleep(20);
  }
  Sleep(500);
}

const unsigned char brokenTable[] = {8, 0, 0, 0, 1, 0, 1, 0x52};
const TemplateProgram brokenProgram{brokenTable, {}};

const TemplateProgram& ProgramOf(const std::string& name) {
  // The child's own table with the handler table left out: every stored offset names nothing.
  static const TemplateProgram handlerlessProgram{FrameChildTemplates.table, {}};
  if (name == "bad-templates") return brokenProgram;
  if (name == "unknown-handlers") return handlerlessProgram;
  return FrameChildTemplates;
}

int MainRoutine() {
  RuntimeService(SERVICE_INITIALISE, reinterpret_cast<intptr_t>(&ProgramOf(scenario)), 0);
  RuntimeService(SERVICE_SET_EXIT_ROUTINE, reinterpret_cast<intptr_t>(&LogExitRoutine), 0);
  if (scenario == "folder") {
    std::wstring folder(32768, L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    Log(Utf8(folder) + "|" + Utf8(Runtime().programDirectory) + "|" + Utf8(Runtime().programFileName));
    return 0;
  }
  if (scenario == "bad-start") LoadStartWindow(0x5202FFFF);
  if (scenario == "event-window") {
    EventRecord record{0x5202FFFF, 0, 0};
    FireEvent(record);
  }
  if (scenario == "property-window") ReadUnitProperty(kChildWindow, 0, PROPERTY_LEFT);
  if (scenario == "unit-handle") ChildWindow();
  LoadStartWindow(kChildWindow);
  if (scenario == "event-unit") {
    EventRecord record{kChildWindow, 0x1606FFFF, 0};
    FireEvent(record);
  }
  if (scenario == "event-type") {
    EventRecord record{kChildWindow, 0x16060003, -1};
    FireEvent(record);
  }
  if (scenario == "property-type") ReadUnitProperty(kChildWindow, 0x16060004, 8);
  if (scenario == "thread" || scenario == "thread-close") {
    workerTarget = ChildWindow();
    unitProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(workerTarget, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchDestroy)));
    CloseHandle(CreateThread(nullptr, 0, &FailOnWorker, nullptr, 0, nullptr));
  }
  Log("loop " + std::to_string(RunMessageLoop()));
  return 0;
}

}  // namespace

void ChildCreated() {
  Log("created");
  if (scenario == "normal") SetTimer(nullptr, 0, 200, &CloseSoon);
}
void ChildLeftDown() { Log("left down"); }
void RaiseErrorOnClick() { RaiseRuntimeError(ERR_TYPE_MISMATCH); }
void LogClick() { Log("click"); }

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  scenario = argv[1];
  logPath = argv[2];
  // The box itself only where the test clicks it; elsewhere the report goes to the log.
  if (scenario == "thread-close") SetRuntimeErrorPresenter(&LogReportAndCloseTheWindow);
  else if (scenario != "error-box") SetRuntimeErrorPresenter(&LogReport);
  return RunProgram(&MainRoutine);
}
