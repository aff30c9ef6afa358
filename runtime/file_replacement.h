// Replacing files whole. New content is written into a file of our own beside its target,
// flushed, and renamed over the target in one step, so that a target holds its old content or
// the new one, never a part. A set of files is replaced all or nothing: each old file is copied
// aside before the first replacement, and when one replacement fails the targets already replaced
// get their copies back (a target that did not exist is removed again, if it is still the file
// we put there). Should even that fail, the replacement says which targets keep the new content
// and where the old one is. A journalled set also survives the process being killed half-way:
// see replacement_journal.h for what it keeps on disk and how the next start undoes it.
// Paths are UTF-16, of any name and length. The files of our own are named "~sw" and a
// hexadecimal number, ".tmp" for new contents and ".old" for copies of old ones; a name that is
// taken, by anything, is never touched, so that leftovers of a killed run block nothing.
#pragma once

#include <windows.h>

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/file_handle.h"
#include "runtime/replacement_journal.h"
#include "runtime/value.h"

// Every file-system call that a replacement makes, by what it is for, with the error that the
// system gives when such a call fails. This is the seam through which tests make one fail.
#define FILE_CALL_SITES(SITE)                                                                    \
  SITE(ResolveTarget, ERROR_FILENAME_EXCED_RANGE) /* GetFullPathNameW of the target */          \
  SITE(ReadAttributes, ERROR_ACCESS_DENIED)       /* GetFileAttributesW: exists? read-only? */   \
  SITE(ProbeTarget, ERROR_SHARING_VIOLATION)      /* CreateFileW: held open by another process? */ \
  SITE(CreateTemporary, ERROR_ACCESS_DENIED)      /* CreateFileW of a new file beside the target */ \
  SITE(WriteTemporary, ERROR_DISK_FULL)           /* WriteFile, once per block */                \
  SITE(FlushTemporary, ERROR_DISK_FULL)           /* FlushFileBuffers */                         \
  SITE(CloseTemporary, ERROR_DISK_FULL)           /* CloseHandle */                              \
  SITE(CopyOld, ERROR_DISK_FULL)                  /* CopyFileW of the old target to a new name */ \
  SITE(PlaceNew, ERROR_SHARING_VIOLATION)         /* MoveFileExW of the new file over the target */ \
  SITE(RestoreOld, ERROR_SHARING_VIOLATION)       /* roll-back: MoveFileExW of the copy back */  \
  SITE(RemoveCreated, ERROR_ACCESS_DENIED)        /* roll-back: DeleteFileW of a new target */   \
  SITE(RemoveTemporary, ERROR_ACCESS_DENIED)      /* DeleteFileW of a new file not placed */     \
  SITE(RemoveCopy, ERROR_ACCESS_DENIED)           /* DeleteFileW of a copy no longer needed */   \
  SITE(CreateJournal, ERROR_ACCESS_DENIED)        /* CreateFileW of a journal, before any file */ \
  SITE(WriteJournal, ERROR_DISK_FULL)             /* WriteFile and flush of the journal's record */ \
  SITE(CompleteJournal, ERROR_DISK_FULL)          /* WriteFile and flush of its complete mark */  \
  SITE(RemoveJournal, ERROR_ACCESS_DENIED)        /* deletion of the journal, the last call */

enum class FileCall {
#define FILE_CALL_ENUMERATOR(name, error) name,
  FILE_CALL_SITES(FILE_CALL_ENUMERATOR)
#undef FILE_CALL_ENUMERATOR
};

const char* FileCallName(FileCall call);

// What an injected fault does to a call: nothing; the call fails with its site's error (a
// CloseHandle still closes, as one that fails does); or, for a WriteFile, half the block is
// written and reported, as a full disk does.
enum class InjectedFault { None, Fail, ShortWrite };
// Asked before every call; the program has none.
using FaultInjector = std::function<InjectedFault(FileCall call)>;

// Whether a set keeps a journal in its targets' folder (all its targets must then share one).
enum class Journal { None, Kept };

class FileSetReplacement {
 public:
  explicit FileSetReplacement(FaultInjector faults = {}, Journal journal = Journal::None);
  ~FileSetReplacement();
  FileSetReplacement(const FileSetReplacement&) = delete;
  FileSetReplacement& operator=(const FileSetReplacement&) = delete;

  // Writes the blocks (those longer than 0, in order) to a new file beside the target; a relative
  // target is resolved against the current directory. Refuses an empty path, a read-only
  // target, a directory, and a target that any process holds open. On false nothing is left.
  bool Stage(std::wstring_view target, std::span<const ByteBlock> blocks);

  // Moves every staged file over its target. On false every target is as it was before, unless
  // the roll-back itself failed: then Unrestored() names what differs.
  bool Commit();

  // The index, in staging order, of the target that failed; -1 while nothing has.
  int failedIndex() const { return failedIndex_; }

  // After a failed commit, each target that the roll-back could not put back: it holds its new
  // content, and its old content is kept in oldCopy (empty when the target did not exist).
  struct Unrestored {
    int index;
    std::wstring oldCopy;  // as the user knows the path
  };
  std::vector<Unrestored> UnrestoredTargets() const;

 private:
  struct Staged {
    std::wstring target;     // full, in the form the system takes at any length
    std::wstring folder;     // full, with its trailing backslash
    std::wstring temporary;  // the new content's file, until it is placed
    std::wstring oldCopy;    // the old content's copy, while there is one
    FileIdentity identity;   // of the new content's file, taken once it was closed
    bool targetExisted = false;
    bool placed = false;  // the target holds the new content
  };
  bool ReserveJournal(const std::wstring& folder);
  bool WriteJournal(FileCall call, std::span<const unsigned char> bytes);
  std::wstring RunFile(size_t index, bool oldCopy) const;
  bool CheckReplaceable(Staged& s);
  bool WriteTemporary(Staged& s, std::span<const ByteBlock> blocks);
  bool CopyOld(Staged& s);
  void RollBack();

  // The call sites, each through the fault injector.
  bool Faulted(FileCall call, InjectedFault* fault = nullptr) const;
  bool Move(FileCall call, const std::wstring& from, const std::wstring& to) const;
  bool Remove(FileCall call, const std::wstring& path) const;

  FaultInjector faults_;
  const bool journalled_;
  FileHandle journal_;       // held open, unshared, while the run goes on
  std::wstring journalFolder_;
  unsigned journalNumber_ = 0;
  unsigned nextNumber_;  // where the search for a free name of our own starts
  std::vector<Staged> staged_;
  int failedIndex_ = -1;
  bool committed_ = false;
};
