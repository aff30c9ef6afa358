// What a journalled replacement of a set of files keeps on disk, so that a run killed half-way
// (process ended, power lost) can be undone at the next start, and the undoing itself.
//
// A run reserves a number N in the targets' folder by creating "~swN.jnl" (hexadecimal N) while no
// other name starts "~swN."; every file it makes there is named from N: "~swN.K.tmp" for the K-th
// target's new content and "~swN.K.old" for the copy of its old one. Before the first target is
// replaced the journal receives one record: for each target its name, whether it existed, and
// the identity of the file that will take its place. After the last one, a mark that the run is
// complete. The run holds the journal open until it has cleared up, so a journal that can be
// opened belongs to a run that is over.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Which file a path names, so that a file put in the place of ours is never taken for it. Under
// Wine the index is the inode number, which a file created right after ours was deleted receives
// again (measured: every time on this machine's file system), so the last write time and the
// size are compared as well; creation times are not, since Windows gives a file created under a
// just-deleted name the deleted file's creation time.
struct FileIdentity {
  uint32_t volume = 0;
  uint64_t index = 0;
  uint64_t lastWrite = 0;
  uint64_t size = 0;
  bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> IdentityOf(HANDLE file);
std::optional<FileIdentity> IdentityAt(const std::wstring& path);

// What is at a path now: the file of that identity, another file or none, or what cannot be told.
enum class Occupant { Ours, Other, Unknown };
Occupant OccupantOf(const std::wstring& path, const FileIdentity& identity);

// Deletes the file at the path only while it is the file of that identity, checked and deleted
// through one handle so that no other file can step into its place in between. False when the
// file is another one (or none) or cannot be deleted; `notOurs` tells the two apart.
bool RemoveIfIdentical(const std::wstring& path, const FileIdentity& identity, bool* notOurs = nullptr);

// Deletes a file through a handle opened with DELETE access.
bool DeleteOpenFile(HANDLE file);

struct JournalEntry {
  std::wstring name;  // the target's name within the journal's folder
  bool existed = false;
  FileIdentity replacement;  // the new content's file, which becomes the target
};

std::vector<unsigned char> EncodeJournalRecord(std::span<const JournalEntry> entries);
// The mark appended after the record once every target holds its new content.
std::span<const unsigned char> JournalCompleteMark();

struct DecodedJournal {
  std::vector<JournalEntry> entries;
  bool complete = false;
};
// Nothing when the bytes hold no whole record: the run ended before it replaced anything.
std::optional<DecodedJournal> DecodeJournal(std::span<const unsigned char> bytes);

// "~sw" and the number in hexadecimal, with which the names of all our files begin.
std::wstring OwnFileStem(unsigned number);
// The names of a run's files (file names, without a folder).
std::wstring JournalName(unsigned number);
std::wstring RunFileName(unsigned number, size_t index, bool oldCopy);

// What the next start did about runs that were killed: each target that one of them had replaced
// and that holds its old state again, and each that could not be put back (its copy and the
// journal are left for the next try).
struct InterruptedRuns {
  int found = 0;  // runs killed before they were complete
  std::vector<std::wstring> restored;  // full paths, as the user knows them
  struct Kept {
    std::wstring target;   // full path, as the user knows it
    std::wstring oldCopy;  // where its old content is; empty when it did not exist
  };
  std::vector<Kept> unrestored;
};

// Undoes every run in the folder (a full path) that was killed before its journal was complete,
// newest first, and clears away what complete ones left behind. A run that is still going on, in
// another process, is left alone.
InterruptedRuns RecoverInterruptedRuns(const std::wstring& folder);
