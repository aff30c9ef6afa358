// Working-set trimming: when the program is deactivated, the built-in console tool empty.exe,
// kept in the system's Windows folder, empties the program's working set, on a thread of its own.
#pragma once

#include <windows.h>

#include "runtime/value.h"

// How long one run of the tool is waited for. It takes well under a second; one still running
// after this is left to end by itself.
inline constexpr int32_t kLongestTrimRunMs = 5000;

// Starts a trimming thread and returns at once; the skin calls it each time the program loses
// activation to another application. While one thread is trimming, no second one is started.
void StartWorkingSetTrim();

// The trimming thread's entry: runs TrimWorkingSet and ends.
DWORD WINAPI WorkingSetTrimThread(void* unused);

// TrimWorkingSetIn the system's Windows folder (never one named by the environment, which any
// program of the user can change).
void TrimWorkingSet();

// Writes empty.exe into the folder (GBK) if it is not there yet, runs whatever empty.exe is there
// with this process's id, and waits for it at most kLongestTrimRunMs. Every failure is silent;
// without a folder nothing is done.
void TrimWorkingSetIn(TextValue windowsFolder);
