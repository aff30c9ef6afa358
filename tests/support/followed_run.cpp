// The debugger loop behind RunFollowingStartedProcesses.
#include "tests/support/followed_run.h"

#include <map>

namespace {

std::string ImagePath(HANDLE process) {
  char path[MAX_PATH] = "";
  DWORD n = MAX_PATH;
  return QueryFullProcessImageNameA(process, 0, path, &n) ? std::string(path, n) : std::string();
}

// Wine starts conhost.exe for console programs; it is no program of the debuggee's choosing.
bool IsConsoleHost(const std::string& image) {
  const size_t name = image.find_last_of('\\') + 1;
  return lstrcmpiA(image.c_str() + name, "conhost.exe") == 0;
}

}  // namespace

FollowedRun RunFollowingStartedProcesses(std::string commandLine, DWORD milliseconds) {
  FollowedRun run;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  // Without a console, as when started from the desktop: a console program it starts then gets a
  // console of its own unless it is started without one.
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, DEBUG_PROCESS | DETACHED_PROCESS, nullptr,
                      nullptr, &startup, &process))
    return run;
  run.id = process.dwProcessId;
  // Until every followed process has ended, so that none is left attached to this thread.
  std::map<DWORD, std::string> running;
  bool late = false;
  const DWORD deadline = GetTickCount() + milliseconds;
  do {
    DEBUG_EVENT event{};
    const DWORD now = GetTickCount();
    if (!WaitForDebugEvent(&event, now < deadline ? deadline - now : 0)) {
      late = true;
      for (const auto& [id, image] : running) {
        if (HANDLE stuck = OpenProcess(PROCESS_TERMINATE, FALSE, id)) {
          TerminateProcess(stuck, 99);
          CloseHandle(stuck);
        }
      }
      continue;
    }
    DWORD continuation = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT:
        running[event.dwProcessId] = ImagePath(event.u.CreateProcessInfo.hProcess);
        CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        CloseHandle(event.u.LoadDll.hFile);
        break;
      case EXCEPTION_DEBUG_EVENT:
        // Each process stops once at its loader's breakpoint; everything else is the debuggee's own.
        if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
          continuation = DBG_EXCEPTION_NOT_HANDLED;
        break;
      case EXIT_PROCESS_DEBUG_EVENT: {
        const std::string image = running[event.dwProcessId];
        running.erase(event.dwProcessId);
        if (late) break;
        if (event.dwProcessId == run.id) {
          run.exitCode = event.u.ExitProcess.dwExitCode;
        } else if (!IsConsoleHost(image)) {
          run.started.push_back({image, event.u.ExitProcess.dwExitCode});
        }
        break;
      }
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, continuation);
  } while (!running.empty());
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return run;
}
