// The program's message loop and the routines it runs while the queue is empty.
#pragma once

#include <windows.h>

#include <cstdint>

// Runs until WM_QUIT, which the runtime posts when the program's last window is destroyed;
// returns at once when no window is loaded. Gives back the code WM_QUIT carried.
int32_t RunMessageLoop();

// Idle routines run, newest first, each time the queue has become empty; an entry whose window
// no longer exists is dropped. Adding the same triple twice keeps one entry.
void AddIdleRoutine(HWND window, void (*routine)(intptr_t argument), intptr_t argument);
void RemoveIdleRoutine(HWND window, void (*routine)(intptr_t argument), intptr_t argument);
