// The client's three files beside the program as they are on disk: compared with the profiles,
// and copied into a dated backup folder before a switch replaces files of the player's own.
#pragma once

#include <windows.h>

#include <string>

#include "app/client_state.h"

// Each of the three files in `folder` (a full path) read and compared. A file that is there but
// cannot be read counts as one of the player's own.
FolderComparison CompareClientFolder(const std::wstring& folder);

struct BackupOutcome {
  bool written = false;     // a backup was needed and is on disk, flushed
  bool failed = false;      // one was needed and could not be written; nothing is left of it
  std::wstring shownName;   // the backup folder, relative to the client's: "转换器备份\<date time>"
  std::wstring failedFile;  // when failed: the file that could not be read or written, if any
  DWORD error = 0;          // when failed: the system's error
};

// Before a switch: when the files hold content of the player's own (NeedsBackup), copies every
// one of the three that is there into a new folder under "转换器备份", written and flushed, and
// then removes the oldest backups beyond the newest ten. Reads the files anew.
BackupOutcome BackUpOwnFiles(const std::wstring& folder);

// The newest backup folder, relative to the client's folder; empty when there is none.
std::wstring LatestBackup(const std::wstring& folder);

// Whether the folder refuses a new file of ours for want of rights (a client under Program
// Files started without them, a write-protected folder), as opposed to one file being in use.
bool FolderRefusesNewFiles(const std::wstring& folder);
