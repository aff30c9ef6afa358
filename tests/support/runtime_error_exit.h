// What a death test of a runtime error expects: the report on standard error instead of in a
// box, and the status the process ends with.
#pragma once

#include <cstdio>
#include <string>

#if defined(_WIN32)
constexpr int kRuntimeErrorExit = -1;  // GetExitCodeProcess reports 0xFFFFFFFF
#else
constexpr int kRuntimeErrorExit = 255;  // a POSIX exit status keeps the low byte of -1
#endif

// A presenter for SetRuntimeErrorPresenter that writes the report where the death test reads it.
inline void ShowOnStderr(const std::string& text) { std::fputs(text.c_str(), stderr); }
