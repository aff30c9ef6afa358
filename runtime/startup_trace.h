// Marks along the way from process start to the first painted window, for the start-up
// benchmark. The shipped program installs no recorder, so every mark is one test of a null
// pointer; bench/startup builds the tool once more with a recorder that writes them to a file.
#pragma once

// Called with a step's name (a literal) when the step is done; "painted" ends each WM_PAINT
// of the skinned window, and the first of them ends the trace.
using StartupRecorder = void (*)(const char* step);

inline StartupRecorder startupRecorder = nullptr;

inline void StartupMark(const char* step) {
  if (startupRecorder) startupRecorder(step);
}
