// Which server the client's three configuration files point at: each file compared byte for byte
// with both built-in profiles, the folder's state from the three, and the words the window uses.
#pragma once

#include <array>
#include <optional>
#include <span>

#include "app/server_profiles.h"

enum class ClientState {
  Live,             // all three files equal the live profile's
  Test,             // all three equal the test profile's
  Other,            // all three there, the set equal to neither profile (an updater's VER.ini, a player's list)
  Incomplete,       // one or two of them missing
  NotClientFolder,  // none of them there
};

// What one of the three files holds, compared with the same file of each profile.
struct FileComparison {
  bool present = false;
  bool equalsLive = false;
  bool equalsTest = false;
  // Something the tool could not write again: a file that equals neither profile's.
  bool OwnContent() const { return present && !equalsLive && !equalsTest; }
};
// In the profiles' file order: DirSvrInfo1.ini, VER.ini, WorldDef.ini.
using FolderComparison = std::array<FileComparison, 3>;

// The file at `index` of the profiles' order, with `content` (nothing: the file is not there).
FileComparison CompareFile(size_t index, std::optional<std::span<const unsigned char>> content);

ClientState StateOf(const FolderComparison& files);

// Whether a switch must first copy the files aside: a set of the state "other" is kept whole, and
// any file the tool could not write again is kept, even in an incomplete set.
bool NeedsBackup(const FolderComparison& files);

// The top label's text for the state (GBK); null for a folder that is not a client's, where the
// label keeps its own advice. Right after a switch of the tool's own, the state it switched to
// is said as done.
TextValue StateLabelText(ClientState state, bool justSwitched);

// The longest file any profile holds: a file longer than this equals neither.
size_t LongestProfileFile();
