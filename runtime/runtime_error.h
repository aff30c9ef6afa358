// Fatal runtime errors: one message box that says what went wrong, then the process ends with
// exit code -1. There is no recovery.
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

// Shows the report. The default shows the message box and waits for the user; the process exit
// that follows is not the presenter's business.
using RuntimeErrorPresenter = void (*)(const std::string& text);
RuntimeErrorPresenter SetRuntimeErrorPresenter(RuntimeErrorPresenter presenter);
