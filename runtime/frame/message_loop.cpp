// The message loop: idle routines once each time the queue runs dry, then messages until it is
// dry again, until WM_QUIT. Messages are fetched and dispatched in the wide form: the ANSI form
// would pass every typed character through the ANSI code page on its way to the Unicode unit
// windows ("?" for a Chinese character under code page 1252).
#include "runtime/frame/message_loop.h"

#include <algorithm>

#include "runtime/frame/runtime_state.h"
#include "runtime/frame/window_registry.h"

namespace {

bool SameEntry(const IdleEntry& entry, HWND window, void (*routine)(intptr_t), intptr_t argument) {
  return entry.window == window && entry.routine == routine && entry.argument == argument;
}

// Newest first. A routine may add or remove entries, so the walk goes by copy.
void RunIdleRoutines() {
  std::vector<IdleEntry>& idle = Runtime().idle;
  std::erase_if(idle, [](const IdleEntry& entry) { return !IsWindow(entry.window); });
  const std::vector<IdleEntry> snapshot = idle;
  for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
    const bool stillListed = std::any_of(idle.begin(), idle.end(), [&](const IdleEntry& entry) {
      return SameEntry(entry, it->window, it->routine, it->argument);
    });
    if (stillListed && IsWindow(it->window)) it->routine(it->argument);
  }
}

}  // namespace

int32_t RunMessageLoop() {
  RuntimeState& state = Runtime();
  state.inLoop = true;
  if (!AnyLoadedWindow()) {
    state.inLoop = false;
    return 0;
  }
  MSG message;
  for (;;) {
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) RunIdleRoutines();
    do {
      const BOOL got = GetMessageW(&message, nullptr, 0, 0);
      if (got == 0 || got == -1) {
        state.inLoop = false;
        const auto code = got == 0 ? static_cast<int32_t>(message.wParam) : -1;
        RecordLoopExitCode(code);
        return code;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    } while (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE));
  }
}

void AddIdleRoutine(HWND window, void (*routine)(intptr_t), intptr_t argument) {
  if (!routine || !IsWindow(window)) return;
  std::vector<IdleEntry>& idle = Runtime().idle;
  for (const IdleEntry& entry : idle)
    if (SameEntry(entry, window, routine, argument)) return;
  idle.push_back({window, routine, argument});
}

void RemoveIdleRoutine(HWND window, void (*routine)(intptr_t), intptr_t argument) {
  std::erase_if(Runtime().idle,
                [&](const IdleEntry& entry) { return SameEntry(entry, window, routine, argument); });
}
