// A program that a test starts and owns: ended by force if it is still running when the object
// goes, so that no test leaves a process behind.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

class ChildProcess {
 public:
  // Starts the command line; an empty current directory means the test's own. Narrow texts are
  // GBK, as the tests' literals are, whatever the ANSI code page of the run.
  explicit ChildProcess(const std::string& commandLine, const std::string& currentDirectory = {});
  // A program at a full path of any name and length.
  struct AnyPath {
    std::wstring program;
    std::wstring currentDirectory;
    std::wstring arguments = {};
  };
  explicit ChildProcess(const AnyPath& start);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return started_; }
  DWORD id() const { return process_.dwProcessId; }
  DWORD thread() const { return process_.dwThreadId; }
  bool running() const;
  // The exit code once the process has ended within the time; nothing if it has not.
  std::optional<DWORD> AwaitExit(DWORD milliseconds) const;

 private:
  PROCESS_INFORMATION process_{};
  bool started_ = false;
};
