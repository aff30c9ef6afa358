// The runtime's one state object, its start-up (InitialiseRuntime), its hidden window and the
// exit sequence that both the normal end and a runtime error run.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/constant_segment.h"
#include "runtime/frame/events.h"
#include "runtime/imports/import_table.h"
#include "runtime/templates/template_program.h"

// A routine run whenever the message queue is empty, for as long as its window exists.
struct IdleEntry {
  HWND window;
  void (*routine)(intptr_t argument);
  intptr_t argument;
};

struct RuntimeState {
  bool initialised = false;
  HANDLE processHeap = nullptr;
  int32_t runMode = 0;  // 3: runtime errors do not break into a debugger
  bool oleInitialised = false;
  std::wstring programDirectory;  // without the trailing backslash
  std::wstring programFileName;
  std::wstring moduleDirectory;  // with the trailing backslash
  ConstantRange constants{};
  ImportTable* importTable = nullptr;  // the declared functions, all unbound at start-up
  const TemplateProgram* program = nullptr;
  DWORD guiThread = 0;
  HWND hiddenWindow = nullptr;
  HICON defaultIcons[2] = {};  // large, small; made by the runtime, destroyed at exit
  bool inLoop = false;
  bool exiting = false;
  std::vector<IdleEntry> idle;
  EventSource eventSource;
};

RuntimeState& Runtime();

// Start-up, the first act of the program's main routine: heap and run mode, OLE, the current
// directory set to the program's own, the hidden window, the constants, the declared-function
// table, the libraries and their unit types, and the program's window templates with their
// handlers. Unreadable template data is a runtime error. Runs once; later calls do nothing.
void InitialiseRuntime(const TemplateProgram& program);

// The exit sequence. On another thread it hands the work to the user-interface thread (the
// exit request to the hidden window) and returns. Each step runs at most once, so a runtime
// error inside the exit routine still finishes the rest.
void RunExitSequence(int32_t exitCode);

// The program's whole life: its main routine, then the exit sequence. Gives back the exit code
// the message loop ended with (0 when it never ran). After a runtime error it does not return:
// the report ends the process with -1.
int RunProgram(int (*mainRoutine)());

// The code WM_QUIT carried out of the last message loop.
int32_t LastLoopExitCode();
void RecordLoopExitCode(int32_t code);
