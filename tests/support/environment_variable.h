// An environment variable of the test process, and so of the programs it starts, for the life of
// the object; null removes it. The old value (or its absence) comes back afterwards.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

class EnvironmentVariable {
 public:
  EnvironmentVariable(const char* name, const char* value) : name_(name) {
    char old[MAX_PATH];
    const DWORD n = GetEnvironmentVariableA(name, old, MAX_PATH);
    if (n > 0 && n < MAX_PATH) old_ = std::string(old, n);
    SetEnvironmentVariableA(name, value);
  }
  ~EnvironmentVariable() { SetEnvironmentVariableA(name_, old_ ? old_->c_str() : nullptr); }
  EnvironmentVariable(const EnvironmentVariable&) = delete;
  EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};
