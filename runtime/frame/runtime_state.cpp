// Start-up in its fixed order, the hidden window that takes the exit request from other
// threads, and the exit sequence.
#include "runtime/frame/runtime_state.h"

#include <ole2.h>

#include <utility>

#include "runtime/frame/window_registry.h"
#include "runtime/imports/system_dlls.h"
#include "runtime/module_paths.h"
#include "runtime/runtime_error.h"
#include "runtime/startup_trace.h"
#include "runtime/units/unit_types.h"

namespace {

constexpr char kHiddenWindowClass[] = "WTRuntimeHidden";
constexpr int32_t kRunModeNoDebugBreak = 3;

int32_t loopExitCode = 0;

// Which exit steps have run; each runs once however often the sequence is entered.
struct ExitProgress {
  bool librariesNotified = false;
};
ExitProgress exitProgress;

HMODULE RuntimeModule() { return ModuleContaining(reinterpret_cast<const void*>(&Runtime)); }

// The paths come in UTF-16: the ANSI ones hold "?" for every character that the ANSI code page
// lacks, and a folder with "?" in it cannot be made current. The folder is made current as far
// as Windows allows (Windows refuses a current folder of MAX_PATH characters or more); the switch
// does not rely on it, since it names its files by the program's folder.
void RecordProgramPaths(RuntimeState& state) {
  const std::wstring program = ModulePath(nullptr);
  const size_t end = FolderEnd(program);
  state.programDirectory = program.substr(0, end ? end - 1 : 0);
  state.programFileName = program.substr(end);
  const std::wstring module = ModulePath(RuntimeModule());
  state.moduleDirectory = module.substr(0, FolderEnd(module));
  // A folder at the root of a drive keeps its backslash: "C:" alone names the drive's current
  // folder instead.
  std::wstring folder = state.programDirectory;
  if (!folder.empty() && folder.back() == L':') folder += L'\\';
  if (!folder.empty()) SetCurrentDirectoryW(folder.c_str());
}

LRESULT CALLBACK HiddenWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kExitRequestMessage:
      // Another thread ends the process; this thread runs the orderly exit and ends it itself,
      // so that it never goes back into the program's code after the runtime is gone.
      RunExitSequence(static_cast<int32_t>(wParam));
      ExitProcess(static_cast<UINT>(wParam));
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateHiddenWindow() {
  WNDCLASSEXA windowClass{sizeof windowClass};
  windowClass.lpfnWndProc = &HiddenWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  windowClass.lpszClassName = kHiddenWindowClass;
  RegisterClassExA(&windowClass);
  return CreateWindowExA(WS_EX_TOOLWINDOW, kHiddenWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

// The program's first icon group, if it has one, at the large and the small icon size. A name
// given as text lives only during the enumeration, so it is copied.
struct IconGroupName {
  bool found = false;
  WORD number = 0;
  std::string text;
  LPCSTR get() const { return text.empty() ? MAKEINTRESOURCEA(number) : text.c_str(); }
};

BOOL CALLBACK TakeFirstIconGroup(HMODULE, LPCSTR, LPSTR name, LONG_PTR context) {
  auto* group = reinterpret_cast<IconGroupName*>(context);
  group->found = true;
  if (IS_INTRESOURCE(name))
    group->number = static_cast<WORD>(reinterpret_cast<uintptr_t>(name));
  else
    group->text = name;
  return FALSE;
}

void LoadDefaultIcons(RuntimeState& state) {
  HMODULE program = GetModuleHandleA(nullptr);
  IconGroupName group;
  EnumResourceNamesA(program, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */, &TakeFirstIconGroup,
                     reinterpret_cast<LONG_PTR>(&group));
  if (!group.found) return;
  constexpr int kMetrics[2][2] = {{SM_CXICON, SM_CYICON}, {SM_CXSMICON, SM_CYSMICON}};
  for (int i = 0; i < 2; ++i)
    state.defaultIcons[i] = static_cast<HICON>(LoadImageA(program, group.get(), IMAGE_ICON,
                                                          GetSystemMetrics(kMetrics[i][0]),
                                                          GetSystemMetrics(kMetrics[i][1]), 0));
}

// How a runtime error ends things: on this thread the orderly exit; from another thread the
// same call hands it to this one.
void ExitAfterError(int32_t exitCode) { RunExitSequence(exitCode); }

// A runtime error reported on another thread ends the process with -1 once its box is closed.
// Its box may still be open when the program's last window goes: this thread then keeps
// answering its messages (the exit request among them) until the reporting thread ends it.
[[noreturn]] void AwaitTheReportsEnd() {
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
  }
}

}  // namespace

RuntimeState& Runtime() {
  static RuntimeState state;
  return state;
}

int32_t LastLoopExitCode() { return loopExitCode; }
void RecordLoopExitCode(int32_t code) { loopExitCode = code; }

void InitialiseRuntime(const TemplateProgram& program) {
  RuntimeState& state = Runtime();
  if (state.initialised) return;
  state.initialised = true;
  state.processHeap = GetProcessHeap();
  state.runMode = kRunModeNoDebugBreak;
  // ole32 is bound, not imported: the loader takes an imported DLL from the program's folder first
  // unless the system holds it as a known DLL, which Wine, for one, does not.
  const auto oleInitialize = SystemProcedure<decltype(&OleInitialize)>(L"ole32.dll", "OleInitialize");
  state.oleInitialised = oleInitialize && SUCCEEDED(oleInitialize(nullptr));
  StartupMark("OLE initialised");
  RecordProgramPaths(state);
  state.guiThread = GetCurrentThreadId();
  RecordRuntimeThread();
  state.hiddenWindow = CreateHiddenWindow();
  SetOrderlyExit(&ExitAfterError);
  SetExitRequest(&ExitAfterError);
  state.constants = ConstantSegment();
  state.importTable = &DeclaredFunctionTable();
  NotifyRuntimeLibraries(LibraryNotice::Attached);
  LoadDefaultIcons(state);
  state.program = &program;
  StartupMark("runtime initialised");
  if (!ReadProgramTemplates(program)) ReportRuntimeError("载入窗口模板数据段出错!", 0);
  StartupMark("templates read");
}

void RunExitSequence(int32_t exitCode) {
  RuntimeState& state = Runtime();
  if (!state.initialised) return;
  if (GetCurrentThreadId() != state.guiThread) {
    // Synchronous, as the error report expects; the limit keeps a user-interface thread that
    // waits for this one from holding the process forever.
    DWORD_PTR ignored = 0;
    if (state.hiddenWindow)
      SendMessageTimeoutA(state.hiddenWindow, kExitRequestMessage, static_cast<WPARAM>(exitCode), 0, SMTO_NORMAL,
                          10000, &ignored);
    return;
  }
  state.exiting = true;
  state.idle.clear();
  ClearWindowTemplates();
  if (const ExitRoutine routine = TakeExitRoutine()) routine();
  if (!std::exchange(exitProgress.librariesNotified, true)) NotifyRuntimeLibraries(LibraryNotice::Exiting);
  ReleaseDeclaredModules();
  for (HICON& icon : state.defaultIcons)
    if (icon) DestroyIcon(std::exchange(icon, nullptr));
  if (state.hiddenWindow) DestroyWindow(std::exchange(state.hiddenWindow, nullptr));
  if (std::exchange(state.oleInitialised, false)) {
    if (const auto oleUninitialize = SystemProcedure<decltype(&OleUninitialize)>(L"ole32.dll", "OleUninitialize"))
      oleUninitialize();
  }
}

int RunProgram(int (*mainRoutine)()) {
  if (mainRoutine) mainRoutine();
  RunExitSequence(0);
  if (RuntimeErrorCount() > 0) AwaitTheReportsEnd();
  return LastLoopExitCode();
}
