// Fatal runtime errors: one message box that says what went wrong, then the process ends with
// exit code -1. There is no recovery. Also the program's exit routine and the runtime's thread,
// which decide what that ending runs.
#pragma once

#include <cstdint>
#include <string>

// The numbered errors the program's own code raises (index out of range, wrong type, ...).
enum RuntimeErrorCode : int32_t {
  ERR_INDEX_ABOVE_COUNT = 1,
  ERR_NOT_NUMERIC = 2,
  ERR_DIMENSION_MISMATCH = 3,
  ERR_INDEX_BELOW_ONE = 4,
  ERR_TYPE_MISMATCH = 5,
  ERR_STACK_IMBALANCE = 6,
  ERR_NO_RESULT = 7,
  ERR_COMPARE_EQUALITY_ONLY = 8,
  ERR_CHOICE_INDEX = 9,
  ERR_NEGATIVE_DIMENSION = 10,
  ERR_ARGUMENT_TYPE = 11,
};

// The message of a numbered error; null for a code outside the table.
const char* RuntimeErrorMessage(int32_t code);

// The box's text: the heading, then the code line (when code is not 0) and the message line
// (when there is a message), each ended by CR LF as the box shows them.
std::string FormatRuntimeErrorText(const char* message, int32_t code);

[[noreturn]] void RaiseRuntimeError(int32_t code);
[[noreturn]] void ReportRuntimeError(const char* message, int32_t code);

// How many errors were reported; at least 1 means no further event handler may run.
int32_t RuntimeErrorCount();

// The program's exit routine, run once by the runtime's orderly exit. A runtime error drops it
// as soon as it is reported, before its box shows, so that it does not run then.
using ExitRoutine = void (*)();
void SetExitRoutine(ExitRoutine routine);
// Hands the routine over and forgets it, so that it runs at most once; null when none is set.
ExitRoutine TakeExitRoutine();

// The thread that initialised the runtime: the user-interface thread, the one that owns the
// runtime's windows. Until one is recorded, every thread counts as that thread.
void RecordRuntimeThread();
bool OnRuntimeThread();

// How a report ends the process beside ExitProcess(-1), which follows in every case. On the
// runtime's thread the orderly exit runs (windows cleared, libraries released); on any other
// thread the exit request is sent instead, so that the runtime's thread runs the orderly exit.
// The runtime's hidden window sets the request to a synchronous SendMessage of
// kExitRequestMessage with the exit code as wParam. Both are optional; each setter gives back
// the one it replaces.
constexpr uint32_t kExitRequestMessage = 0x83E7;  // WM_APP + 999
constexpr int32_t kRuntimeErrorExitCode = -1;
using ExitHandler = void (*)(int32_t exitCode);
ExitHandler SetOrderlyExit(ExitHandler handler);
ExitHandler SetExitRequest(ExitHandler handler);

// Shows the report. The default shows the message box and waits for the user; the process exit
// that follows is not the presenter's business.
using RuntimeErrorPresenter = void (*)(const std::string& text);
RuntimeErrorPresenter SetRuntimeErrorPresenter(RuntimeErrorPresenter presenter);
