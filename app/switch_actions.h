// The two switch actions: each writes one server profile over the client's three configuration
// files beside the program, all three or none, even when the program is killed half-way.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/client_files.h"
#include "app/server_profiles.h"
#include "runtime/file_replacement.h"

struct SwitchOutcome {
  bool switched;
  TextValue failedFile;  // the file that could not be written; null after a switch, or when no folder was given
  // After a failed switch, the files that could not be put back: they hold the new profile.
  std::vector<FileSetReplacement::Unrestored> unrestored = {};
  // The folder itself takes no new file (no rights in it): no file of the client is to blame.
  bool folderRefused = false;
};

// Replaces the three files in the folder (a full path, of any name and length) with the profile's
// contents. On failure all three hold what they held before, and a file that did not exist
// still does not. Without a folder nothing is written anywhere.
SwitchOutcome ApplyServerProfile(const ServerProfile& profile, std::wstring_view folder, FaultInjector faults = {});

// What the user is told when a switch of the profile failed: the file, and that nothing changed;
// or, when something could not be put back, which file holds the profile now and where its old
// content is kept. The advice fits the cause: a folder without rights, or a file in use.
std::wstring SwitchFailureText(const SwitchOutcome& outcome, const ServerProfile& profile);

// What the user is told when the files of their own could not be backed up, so that nothing was
// switched: which file or folder, why, and what helps.
std::wstring BackupFailureText(const BackupOutcome& backup, bool folderRefused);

// What the user is told at start-up about switches that were killed half-way: that the three
// files are as before, or which ones could not be put back and where their old contents are.
// Nothing when no switch was interrupted.
std::wstring InterruptedSwitchText(const InterruptedRuns& runs);

// At start-up, before the window: undoes a switch that was killed half-way beside the program,
// and says so in one box.
void RecoverInterruptedSwitch();

// Button handlers: the files beside the program, whichever folder is current. Files of the
// player's own are backed up first, and a backup that cannot be written stops the switch. A
// switch that succeeds shows in the top label; one that fails says so in one box.
void SwitchToLiveServer();
void SwitchToTestServer();
