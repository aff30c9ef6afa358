// Whole-file replacement through a file of our own and renames, for one file or a set.
#include "runtime/file_replacement.h"

#include <utility>

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

class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : h_(h) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() { Close(); }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  bool Close() {
    if (!valid()) return true;
    return CloseHandle(std::exchange(h_, INVALID_HANDLE_VALUE)) != FALSE;
  }

 private:
  HANDLE h_;
};

std::wstring Hexadecimal(unsigned number) {
  std::wstring digits;
  do {
    digits.insert(digits.begin(), L"0123456789ABCDEF"[number % 16]);
    number /= 16;
  } while (number);
  return digits;
}

// Makes a file of our own in the folder: tries "~sw" + number + extension, the numbers counted
// on from `next`, until `create` makes a file under one, and leaves `next` after that number. A
// name that is taken is passed over and left alone. Gives the path created, or nothing when
// creating fails for another reason or every number is taken.
template <class Create>
std::wstring CreateUnderFreeName(const std::wstring& folder, const wchar_t* extension, unsigned& next,
                                 Create create) {
  for (unsigned i = 0; i <= 0xFFFF; ++i) {
    const unsigned number = (next + i) & 0xFFFF;
    const std::wstring path = LongFormOfFullPath(folder + L"~sw" + Hexadecimal(number) + extension);
    if (create(path)) {
      next = number + 1;
      return path;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return {};
  }
  return {};
}

}  // namespace

const char* FileCallName(FileCall call) { return kCallNames[static_cast<size_t>(call)]; }

// The numbers start from the millisecond clock, as the system's temporary names do, so that two
// programs writing into one folder rarely try the same names; within a replacement they go on
// from one file to the next.
FileSetReplacement::FileSetReplacement(FaultInjector faults)
    : faults_(std::move(faults)), nextNumber_(GetTickCount()) {}

FileSetReplacement::~FileSetReplacement() {
  // A copy of an old file goes when its target no longer needs it: after a commit, or when the
  // target does not hold the new content. When a roll-back could not put an old file back, its
  // copy is the one left of it.
  for (const Staged& s : staged_) {
    if (!s.temporary.empty()) Remove(FileCall::RemoveTemporary, s.temporary);
    if (!s.oldCopy.empty() && (committed_ || !s.placed)) Remove(FileCall::RemoveCopy, s.oldCopy);
  }
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

bool FileSetReplacement::WriteTemporary(Staged& s, std::span<const ByteBlock> blocks) {
  HANDLE created = INVALID_HANDLE_VALUE;
  s.temporary = CreateUnderFreeName(s.folder, L".tmp", nextNumber_, [&](const std::wstring& path) {
    if (Faulted(FileCall::CreateTemporary)) return false;
    created = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    return created != INVALID_HANDLE_VALUE;
  });
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
  if (written && closed) return true;
  Remove(FileCall::RemoveTemporary, s.temporary);
  s.temporary.clear();
  return false;
}

bool FileSetReplacement::CopyOld(Staged& s) {
  s.oldCopy = CreateUnderFreeName(s.folder, L".old", nextNumber_, [&](const std::wstring& path) {
    return !Faulted(FileCall::CopyOld) && CopyFileW(s.target.c_str(), path.c_str(), TRUE);
  });
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
  if (!CheckReplaceable(s) || !WriteTemporary(s, blocks)) return fail();
  staged_.push_back(std::move(s));
  return true;
}

bool FileSetReplacement::Commit() {
  if (failedIndex_ >= 0) return false;
  for (size_t i = 0; i < staged_.size(); ++i) {
    Staged& s = staged_[i];
    // The rename also fails while another process holds the target open (on Windows unless it
    // shares delete access; under Wine always).
    if ((s.targetExisted && !CopyOld(s)) || !Move(FileCall::PlaceNew, s.temporary, s.target)) {
      failedIndex_ = static_cast<int>(i);
      RollBack();
      return false;
    }
    s.placed = true;
    s.temporary.clear();
  }
  committed_ = true;
  return true;
}

void FileSetReplacement::RollBack() {
  for (auto it = staged_.rbegin(); it != staged_.rend(); ++it) {
    Staged& s = *it;
    if (!s.placed) continue;
    const bool restored = s.targetExisted ? Move(FileCall::RestoreOld, s.oldCopy, s.target)
                                          : Remove(FileCall::RemoveCreated, s.target);
    if (!restored) continue;
    s.placed = false;
    s.oldCopy.clear();  // moved back onto the target
  }
}

std::vector<FileSetReplacement::Unrestored> FileSetReplacement::UnrestoredTargets() const {
  std::vector<Unrestored> unrestored;
  if (committed_) return unrestored;
  for (size_t i = 0; i < staged_.size(); ++i)
    if (staged_[i].placed) unrestored.push_back({static_cast<int>(i), ShownPath(staged_[i].oldCopy)});
  return unrestored;
}
