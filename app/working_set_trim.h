// Working-set trimming: when the program is deactivated, the built-in console tool empty.exe,
// kept in the Windows folder, empties the program's working set, on a thread of its own.
#pragma once

#include <windows.h>

// Starts one trimming thread and returns at once; the skin calls it each time the program loses
// activation to another application.
void StartWorkingSetTrim();

// The trimming thread's entry: runs TrimWorkingSet and ends.
DWORD WINAPI WorkingSetTrimThread(void* unused);

// Writes empty.exe into the Windows folder if it is not there yet, runs whatever empty.exe is
// there with this process's id, and waits for it. Every failure is silent.
void TrimWorkingSet();
