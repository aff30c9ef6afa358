// Starting, awaiting and cleaning up the programs that tests run.
#include "tests/support/child_process.h"

ChildProcess::ChildProcess(std::string commandLine, const std::string& currentDirectory) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  started_ = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &startup, &process_) != FALSE;
  if (started_) CloseHandle(process_.hThread);
}

ChildProcess::~ChildProcess() {
  if (!started_) return;
  if (running()) TerminateProcess(process_.hProcess, 99);
  CloseHandle(process_.hProcess);
}

bool ChildProcess::running() const {
  return started_ && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> ChildProcess::AwaitExit(DWORD milliseconds) const {
  if (!started_ || WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return code;
}
