// Replacing files whole. New content is written beside its target, flushed, and renamed over
// the target in one step, so that a target holds its old content or the new one, never a part.
// A set of files is replaced all or nothing: each old file is copied aside just before its
// replacement, and when one replacement fails the targets already replaced get their copies
// back (a target that did not exist is removed again).
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <vector>

#include "runtime/value.h"

using MoveFileFunction = BOOL(WINAPI*)(LPCSTR from, LPCSTR to, DWORD flags);

class FileSetReplacement {
 public:
  // The renames go through `move`; tests hand in one that fails on purpose.
  explicit FileSetReplacement(MoveFileFunction move = MoveFileExA) : move_(move) {}
  ~FileSetReplacement();
  FileSetReplacement(const FileSetReplacement&) = delete;
  FileSetReplacement& operator=(const FileSetReplacement&) = delete;

  // Writes the blocks (those longer than 0, in order) to a new file beside the target. Refuses an
  // empty path, a read-only target, a directory, and a target that any process holds open.
  // On false nothing is left behind.
  bool Stage(TextValue target, std::span<const ByteBlock> blocks);

  // Moves every staged file over its target. On false every target is as it was before.
  bool Commit();

  // The index, in staging order, of the target that failed; -1 while nothing has.
  int failedIndex() const { return failedIndex_; }

 private:
  struct Staged {
    std::string target;
    std::string temporary;
    std::string backup;
    bool targetExisted = false;
    bool backedUp = false;
    bool placed = false;
  };
  void RollBack();

  MoveFileFunction move_;
  std::vector<Staged> staged_;
  int failedIndex_ = -1;
  bool committed_ = false;
};
