// The two switch actions: each writes one server profile over the client's three configuration
// files in the current directory, all three or none.
#pragma once

#include <string>

#include "app/server_profiles.h"
#include "runtime/file_replacement.h"

struct SwitchOutcome {
  bool switched;
  TextValue failedFile;  // the file that could not be written; null after a switch
};

// Replaces the three files with the profile's contents. On failure all three hold what they
// held before, and a file that did not exist still does not.
SwitchOutcome ApplyServerProfile(const ServerProfile& profile, MoveFileFunction move = MoveFileExA);

// What the user is told when a switch failed: the file, and that nothing changed.
std::string SwitchFailureText(TextValue fileName);

// Button handlers. A switch that succeeds is silent; one that fails says so in one box.
void SwitchToLiveServer();
void SwitchToTestServer();
