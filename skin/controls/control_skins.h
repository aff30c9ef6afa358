// What the skinned-control files share: the replacement procedures they install, the integer
// window properties that link a control to its records, and the index checks on them.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "skin/controls/control_records.h"
#include "skin/skin_properties.h"

LRESULT CALLBACK SkinnedButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SkinnedStaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SkinnedContainerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

int32_t IntProperty(HWND window, const char* name);
void SetIntProperty(HWND window, const char* name, intptr_t value);

// A 1-based index into a list of `count`: below 1 is runtime error 4, above the count error 1.
void CheckListIndex(int32_t index, size_t count);

// The properties a skinned button carries.
inline constexpr const char* kButtonProperties[] = {kPreviousProcProperty, kWindowIndexProperty,
                                                    kParentIndexProperty, nullptr};

// Takes the skin's procedure and properties off a control that is going (or outlives the skin).
void UnhookControl(HWND control, WNDPROC own, WNDPROC previous, const char* const* properties);
