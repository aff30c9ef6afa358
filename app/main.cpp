// The program's entry: the runtime's start-up, the start window, the message loop, and the exit.
#include <windows.h>

#include <memory>

#include "app/client_state_view.h"
#include "app/one_window_per_folder.h"
#include "app/skin_setup.h"
#include "app/switch_actions.h"
#include "app/transparent_blt_filter.h"
#include "app/working_set_trim.h"
#include "hook/api_hook.h"
#include "app/start_window_handlers.h"
#include "resources/embedded_pictures.h"
#include "runtime/commands/commands.h"
#include "runtime/frame/message_loop.h"
#include "runtime/frame/runtime_service.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/frame/window_loader.h"
#include "runtime/frame/window_registry.h"
#include "runtime/imports/system_dlls.h"
#include "runtime/runtime_error.h"
#include "runtime/startup_trace.h"
#include "runtime/templates/template_program.h"
#include "runtime/units/unit_types.h"

extern const TemplateProgram StartWindowTemplates;

namespace {

constexpr uint32_t kStartWindowId = 0x52010001;
constexpr uint32_t kStartWindowUnitId = 0x06010000;
constexpr uint32_t kStateLabelUnitId = 0x160100A1;  // the top label, "透明标签4"
constexpr int32_t kControlWashAlpha = 300;

// The program-wide objects. The exit routine releases them while the system libraries they use
// are still loaded; after a runtime error the process ends without them being released.
std::unique_ptr<ApiHook> hook;
std::unique_ptr<SkinEngine> engine;

// Run once by the runtime's orderly exit.
void ProgramExit() {
  StopClientStateView();
  hook.reset();
  engine.reset();
}

int MainRoutine() {
  RuntimeService(SERVICE_INITIALISE, reinterpret_cast<intptr_t>(&StartWindowTemplates), 0);
  // A tool already open in this folder comes to the front instead of a second window; it alone
  // touches the folder's files.
  FolderClaim folder(Runtime().programDirectory);
  if (folder.start() == FolderStart::Leave) return 0;
  // The files are settled before anything else runs, and the box is a plain one.
  RecoverInterruptedSwitch();
  hook = std::make_unique<ApiHook>();
  engine = std::make_unique<SkinEngine>();
  RuntimeService(SERVICE_SET_EXIT_ROUTINE, reinterpret_cast<intptr_t>(&ProgramExit), 0);
  InitProgramGlobals(*engine);
  engine->SetDeactivationRoutine(StartWorkingSetTrim);
  LoadStartWindow(kStartWindowId);
  StartupMark("shown");
  if (const LoadedWindow* start = FindLoadedWindow(kStartWindowId)) folder.Publish(start->hwnd());
  RunMessageLoop();
  return 0;
}

}  // namespace

// The skin dresses the window here, while it is still hidden.
void StartWindowSetUp() {
  if (!engine || !hook) return;
  StartupMark("units created");
  InstallTransparentBltFilter(*hook);
  StartupMark("hook installed");
  SkinWindowUnits(*engine, UnitReference{TC_WINDOW, kStartWindowId, kStartWindowUnitId}, SkinBackgroundJpeg,
                  kControlWashAlpha);
  StartClientStateView(Commands::GetUnitHandle(UnitReference{UNIT_TRANS_LABEL, kStartWindowId, kStateLabelUnitId}),
                       Runtime().programDirectory);
}

// Before anything loads a DLL by name: the program's folder is where a user puts the tool (the
// game's folder), and a DLL of a system name dropped there must not run in it.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictDllSearchToSystemFolder();
  return RunProgram(MainRoutine);
}
