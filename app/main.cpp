// The program's entry: the runtime's start-up, the start window, the message loop, and the exit.
#include <windows.h>

#include "app/start_window_handlers.h"
#include "runtime/frame/message_loop.h"
#include "runtime/frame/runtime_service.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/frame/window_loader.h"
#include "runtime/runtime_error.h"
#include "runtime/templates/template_program.h"

extern const TemplateProgram StartWindowTemplates;

namespace {

constexpr uint32_t kStartWindowId = 0x52010001;

// Run once by the runtime's orderly exit; the skin's objects will be released here.
void ProgramExit() {}

int MainRoutine() {
  RuntimeService(SERVICE_INITIALISE, reinterpret_cast<intptr_t>(&StartWindowTemplates), 0);
  RuntimeService(SERVICE_SET_EXIT_ROUTINE, reinterpret_cast<intptr_t>(&ProgramExit), 0);
  LoadStartWindow(kStartWindowId);
  RunMessageLoop();
  return 0;
}

}  // namespace

// The skin dresses the window here, while it is still hidden.
void StartWindowSetUp() {}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return RunProgram(MainRoutine); }
