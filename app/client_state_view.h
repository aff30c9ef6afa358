// The client's state in the start window's top label, kept current: at start, after every switch,
// and whenever the client's files change on disk while the tool runs.
#pragma once

#include <windows.h>

#include <string>

// Shows the state of the files in `folder` (a full path) in `label` at once and from then on:
// a watcher thread is told of every change in the folder, and the label is read anew once the
// changes have settled. The label's own text stays for a folder that is not a client's.
void StartClientStateView(HWND label, const std::wstring& folder);

// After a switch of the tool's own: the state read at once, said as done for a while when the
// switch succeeded.
void ShowSwitchResult(bool switched);

// Stops the watcher; the label keeps its last text. At the program's exit.
void StopClientStateView();
