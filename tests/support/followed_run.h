// Runs a program as a debuggee, following every process it starts, until it ends: which programs
// it started and how each ended, even programs that leave no trace of their own.
#pragma once

#include <windows.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

struct FollowedProcess {
  std::string image;  // the program file's full path
  DWORD exitCode;
  bool operator==(const FollowedProcess&) const = default;
  friend std::ostream& operator<<(std::ostream& out, const FollowedProcess& p) {
    return out << p.image << " exit " << p.exitCode;
  }
};

struct FollowedRun {
  DWORD id = 0;                     // the program's process id
  std::optional<DWORD> exitCode;    // nothing when it could not start or was ended
  std::vector<FollowedProcess> started;  // in the order they ended; Wine's console hosts left out
};

// The program runs without a console. Waits until it and everything it started have ended; what has not ended within the
// time is ended, and the run then has no exit code.
FollowedRun RunFollowingStartedProcesses(std::string commandLine, DWORD milliseconds);
