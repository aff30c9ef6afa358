// Whole-file replacement through a file of our own and renames, for one file or a set.
#include "runtime/file_replacement.h"

#include <utility>

#include "runtime/folder_entries.h"
#include "runtime/module_paths.h"

namespace {

constexpr const char* kCallNames[] = {
#define FILE_CALL_NAME(name, error) #name,
    FILE_CALL_SITES(FILE_CALL_NAME)
#undef FILE_CALL_NAME
};

constexpr DWORD kCallErrors[] = {
#define FILE_CALL_ERROR(name, error) error,
    FILE_CALL_SITES(FILE_CALL_ERROR)
#undef FILE_CALL_ERROR
};

// Makes a file of our own in the folder: tries "~sw" + number + extension, the numbers counted
// on from `next`, until `create` makes a file under one, and leaves `next` after that number. A
// name that is taken is passed over and left alone. Gives the path created, or nothing when
// creating fails for another reason or every number is taken.
template <class Create>
std::wstring CreateUnderFreeName(const std::wstring& folder, const wchar_t* extension, unsigned& next,
                                 Create create) {
  for (unsigned i = 0; i <= 0xFFFF; ++i) {
    const unsigned number = (next + i) & 0xFFFF;
    const std::wstring path = LongFormOfFullPath(folder + OwnFileStem(number) + extension);
    if (create(path, number)) {
      next = number + 1;
      return path;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return {};
  }
  return {};
}

// Whether anything but the journal itself is named "~swN." in the folder.
bool OthersShareNumber(const std::wstring& folder, unsigned number) {
  bool others = false;
  ForEachFolderEntry(LongFormOfFullPath(folder + OwnFileStem(number) + L".*"), [&](const WIN32_FIND_DATAW& entry) {
    others = others || std::wstring_view(entry.cFileName) != JournalName(number);
  });
  return others;
}

}  // namespace

const char* FileCallName(FileCall call) { return kCallNames[static_cast<size_t>(call)]; }

// The numbers start from the millisecond clock, as the system's temporary names do, so that two
// programs writing into one folder rarely try the same names; within a replacement they go on
// from one file to the next.
FileSetReplacement::FileSetReplacement(FaultInjector faults, Journal journal)
    : faults_(std::move(faults)), journalled_(journal == Journal::Kept), nextNumber_(GetTickCount()) {}

FileSetReplacement::~FileSetReplacement() {
  // A copy of an old file goes when its target no longer needs it: after a commit, or when the
  // target does not hold the new content. When a roll-back could not put an old file back, its
  // copy is the one left of it. The journal goes last, so that a run killed while clearing up
  // still has it.
  for (const Staged& s : staged_) {
    if (!s.temporary.empty()) Remove(FileCall::RemoveTemporary, s.temporary);
    if (!s.oldCopy.empty() && (committed_ || !s.placed)) Remove(FileCall::RemoveCopy, s.oldCopy);
  }
  if (journal_.valid() && !Faulted(FileCall::RemoveJournal)) DeleteOpenFile(journal_.get());
}

bool FileSetReplacement::Faulted(FileCall call, InjectedFault* fault) const {
  const InjectedFault injected = faults_ ? faults_(call) : InjectedFault::None;
  if (fault) *fault = injected;
  if (injected == InjectedFault::None) return false;
  SetLastError(kCallErrors[static_cast<size_t>(call)]);
  return true;
}

bool FileSetReplacement::Move(FileCall call, const std::wstring& from, const std::wstring& to) const {
  return !Faulted(call) && MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool FileSetReplacement::Remove(FileCall call, const std::wstring& path) const {
  return !Faulted(call) && DeleteFileW(path.c_str());
}

// The journal is opened for writing and deletion and shares only reading, so that a start of the
// program that looks for killed runs meanwhile cannot take this one for one. Its number is only
// ours while no other file bears it: a journal that finds one gives the number up.
bool FileSetReplacement::ReserveJournal(const std::wstring& folder) {
  journalFolder_ = folder;
  const std::wstring path =
      CreateUnderFreeName(folder, L".jnl", nextNumber_, [&](const std::wstring& candidate, unsigned number) {
        if (Faulted(FileCall::CreateJournal)) return false;
        FileHandle created(CreateFileW(candidate.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                                       CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!created.valid()) return false;
        if (OthersShareNumber(folder, number)) {
          DeleteOpenFile(created.get());
          SetLastError(ERROR_FILE_EXISTS);
          return false;
        }
        journal_ = std::move(created);
        journalNumber_ = number;
        return true;
      });
  return !path.empty();
}

bool FileSetReplacement::WriteJournal(FileCall call, std::span<const unsigned char> bytes) {
  if (Faulted(call)) return false;
  DWORD done = 0;
  return WriteFile(journal_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
         done == bytes.size() && FlushFileBuffers(journal_.get());
}

std::wstring FileSetReplacement::RunFile(size_t index, bool oldCopy) const {
  return LongFormOfFullPath(journalFolder_ + RunFileName(journalNumber_, index, oldCopy));
}

// Whether the target may be replaced, and whether it exists. Windows refuses to replace a
// read-only file; Wine running as root does not, so the attribute is checked here. Opening the
// target without sharing fails while any process has it open.
bool FileSetReplacement::CheckReplaceable(Staged& s) {
  const DWORD attributes =
      Faulted(FileCall::ReadAttributes) ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(s.target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND;
  s.targetExisted = true;
  if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return false;
  if (Faulted(FileCall::ProbeTarget)) return false;
  const FileHandle probe(CreateFileW(s.target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
  return probe.valid();
}

// The identity is taken after closing: NTFS may set the last write time as the handle closes.
bool FileSetReplacement::WriteTemporary(Staged& s, std::span<const ByteBlock> blocks) {
  HANDLE created = INVALID_HANDLE_VALUE;
  auto create = [&](const std::wstring& path, unsigned) {
    if (Faulted(FileCall::CreateTemporary)) return false;
    created = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    return created != INVALID_HANDLE_VALUE;
  };
  if (journalled_) {
    const std::wstring path = RunFile(staged_.size(), false);
    if (create(path, journalNumber_)) s.temporary = path;
  } else {
    s.temporary = CreateUnderFreeName(s.folder, L".tmp", nextNumber_, create);
  }
  if (s.temporary.empty()) return false;
  FileHandle file(created);
  bool written = true;
  for (ByteBlock block : blocks) {
    const int32_t length = ByteBlockLengthOf(block);
    if (length <= 0) continue;
    InjectedFault fault;
    DWORD asked = static_cast<DWORD>(length);
    if (Faulted(FileCall::WriteTemporary, &fault)) {
      if (fault != InjectedFault::ShortWrite) {
        written = false;
        break;
      }
      asked /= 2;
    }
    DWORD done = 0;
    if (!WriteFile(file.get(), ByteBlockData(block), asked, &done, nullptr) || done != static_cast<DWORD>(length)) {
      written = false;
      break;
    }
  }
  written = written && !Faulted(FileCall::FlushTemporary) && FlushFileBuffers(file.get());
  const bool closeFails = Faulted(FileCall::CloseTemporary);
  const bool closed = file.Close() && !closeFails;
  const auto identity = written && closed ? IdentityAt(s.temporary) : std::nullopt;
  if (identity) {
    s.identity = *identity;
    return true;
  }
  Remove(FileCall::RemoveTemporary, s.temporary);
  s.temporary.clear();
  return false;
}

bool FileSetReplacement::CopyOld(Staged& s) {
  auto copy = [&](const std::wstring& path, unsigned) {
    return !Faulted(FileCall::CopyOld) && CopyFileW(s.target.c_str(), path.c_str(), TRUE);
  };
  if (journalled_) {
    const std::wstring path = RunFile(static_cast<size_t>(&s - staged_.data()), true);
    if (copy(path, journalNumber_)) s.oldCopy = path;
  } else {
    s.oldCopy = CreateUnderFreeName(s.folder, L".old", nextNumber_, copy);
  }
  return !s.oldCopy.empty();
}

bool FileSetReplacement::Stage(std::wstring_view target, std::span<const ByteBlock> blocks) {
  const int index = static_cast<int>(staged_.size());
  auto fail = [&] {
    if (failedIndex_ < 0) failedIndex_ = index;
    return false;
  };
  if (target.empty()) return fail();
  const std::wstring full = Faulted(FileCall::ResolveTarget) ? std::wstring() : FullPath(target);
  if (full.empty()) return fail();
  Staged s;
  s.folder = full.substr(0, FolderEnd(full));
  s.target = LongFormOfFullPath(full);
  if (journalled_ && (index == 0 ? !ReserveJournal(s.folder) : s.folder != journalFolder_)) return fail();
  if (!CheckReplaceable(s) || !WriteTemporary(s, blocks)) return fail();
  staged_.push_back(std::move(s));
  return true;
}

// The old files are all copied before the first rename, and a journal gets its record then, so
// that from the first rename on, every old state is on disk and named.
bool FileSetReplacement::Commit() {
  if (failedIndex_ >= 0) return false;
  for (size_t i = 0; i < staged_.size(); ++i) {
    if (staged_[i].targetExisted && !CopyOld(staged_[i])) {
      failedIndex_ = static_cast<int>(i);
      return false;
    }
  }
  if (journalled_) {
    std::vector<JournalEntry> entries;
    for (const Staged& s : staged_)
      entries.push_back({s.target.substr(FolderEnd(s.target)), s.targetExisted, s.identity});
    if (!WriteJournal(FileCall::WriteJournal, EncodeJournalRecord(entries))) {
      failedIndex_ = 0;
      return false;
    }
  }
  for (size_t i = 0; i < staged_.size(); ++i) {
    Staged& s = staged_[i];
    // The rename also fails while another process holds the target open (on Windows unless it
    // shares delete access; under Wine always). Where there was no target, a file that another
    // program has put there since is not replaced.
    const bool placed = s.targetExisted ? Move(FileCall::PlaceNew, s.temporary, s.target)
                                        : !Faulted(FileCall::PlaceNew) &&
                                              MoveFileExW(s.temporary.c_str(), s.target.c_str(), MOVEFILE_WRITE_THROUGH);
    if (!placed) {
      failedIndex_ = static_cast<int>(i);
      RollBack();
      return false;
    }
    s.placed = true;
    s.temporary.clear();
  }
  // Without the complete mark the next start would undo a switch the user was not told failed.
  if (journalled_ && !WriteJournal(FileCall::CompleteJournal, JournalCompleteMark())) {
    failedIndex_ = static_cast<int>(staged_.size()) - 1;
    RollBack();
    return false;
  }
  committed_ = true;
  return true;
}

// Only files that are still the ones we placed are put back: one that another program has put in
// a target's place since is its file, and stays.
void FileSetReplacement::RollBack() {
  for (auto it = staged_.rbegin(); it != staged_.rend(); ++it) {
    Staged& s = *it;
    if (!s.placed) continue;
    if (OccupantOf(s.target, s.identity) == Occupant::Other) {
      s.placed = false;
      continue;
    }
    bool notOurs = false;
    const bool restored = s.targetExisted
                              ? Move(FileCall::RestoreOld, s.oldCopy, s.target)
                              : !Faulted(FileCall::RemoveCreated) && RemoveIfIdentical(s.target, s.identity, &notOurs);
    if (!restored && !notOurs) continue;
    s.placed = false;
    if (restored && s.targetExisted) s.oldCopy.clear();  // moved back onto the target
  }
}

std::vector<FileSetReplacement::Unrestored> FileSetReplacement::UnrestoredTargets() const {
  std::vector<Unrestored> unrestored;
  if (committed_) return unrestored;
  for (size_t i = 0; i < staged_.size(); ++i)
    if (staged_[i].placed) unrestored.push_back({static_cast<int>(i), ShownPath(staged_[i].oldCopy)});
  return unrestored;
}
