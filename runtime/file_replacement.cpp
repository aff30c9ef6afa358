// Whole-file replacement through a temporary file and renames, for one file or a set.
#include "runtime/file_replacement.h"

#include <utility>

#include "runtime/module_paths.h"

namespace {

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

std::string FullPath(TextValue path) {
  char buffer[MAX_PATH * 2];
  const DWORD n = GetFullPathNameA(path, sizeof buffer, buffer, nullptr);
  if (n == 0 || n >= sizeof buffer) return {};
  return std::string(buffer, n);
}

// Whether the target may be replaced, and whether it exists. Windows refuses to replace a
// read-only file; Wine running as root does not, so the attribute is checked here. Opening
// the target without sharing fails while any process has it open.
bool CheckReplaceable(const std::string& target, bool& exists) {
  const DWORD attributes = GetFileAttributesA(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    exists = false;
    return GetLastError() == ERROR_FILE_NOT_FOUND;
  }
  exists = true;
  if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return false;
  FileHandle probe(CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  return probe.valid();
}

std::string FolderOf(const std::string& path) {
  const size_t end = FolderEnd(path);
  return end ? path.substr(0, end) : std::string(".");
}

bool WriteAll(HANDLE file, std::span<const ByteBlock> blocks) {
  for (ByteBlock block : blocks) {
    const int32_t length = ByteBlockLengthOf(block);
    if (length <= 0) continue;
    DWORD written = 0;
    if (!WriteFile(file, ByteBlockData(block), static_cast<DWORD>(length), &written, nullptr) ||
        written != static_cast<DWORD>(length))
      return false;
  }
  return FlushFileBuffers(file) != FALSE;
}

}  // namespace

FileSetReplacement::~FileSetReplacement() {
  // A copy of an old file goes only when its target no longer needs it: after a commit, or when
  // the target was never replaced. When a roll-back could not put an old file back, its copy is
  // the one left of it.
  for (const Staged& s : staged_) {
    if (!s.placed) DeleteFileA(s.temporary.c_str());
    if (s.backedUp && (committed_ || !s.placed)) DeleteFileA(s.backup.c_str());
  }
}

bool FileSetReplacement::Stage(TextValue target, std::span<const ByteBlock> blocks) {
  const int index = static_cast<int>(staged_.size());
  auto fail = [&] {
    if (failedIndex_ < 0) failedIndex_ = index;
    return false;
  };
  if (!target || !*target) return fail();
  Staged s;
  s.target = FullPath(target);
  if (s.target.empty() || !CheckReplaceable(s.target, s.targetExisted)) return fail();

  char temporary[MAX_PATH];
  if (!GetTempFileNameA(FolderOf(s.target).c_str(), "~sw", 0, temporary)) return fail();
  s.temporary = temporary;
  s.backup = s.temporary + ".old";
  FileHandle file(CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  const bool written = file.valid() && WriteAll(file.get(), blocks);
  if (!file.Close() || !written) {
    DeleteFileA(temporary);
    return fail();
  }
  staged_.push_back(std::move(s));
  return true;
}

bool FileSetReplacement::Commit() {
  if (failedIndex_ >= 0) return false;
  for (size_t i = 0; i < staged_.size(); ++i) {
    Staged& s = staged_[i];
    if (s.targetExisted) {
      if (!CopyFileA(s.target.c_str(), s.backup.c_str(), TRUE)) {
        failedIndex_ = static_cast<int>(i);
        break;
      }
      s.backedUp = true;
    }
    // The rename also fails while another process holds the target open (on Windows unless it
    // shares delete access; under Wine always).
    if (!move_(s.temporary.c_str(), s.target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      failedIndex_ = static_cast<int>(i);
      break;
    }
    s.placed = true;
  }
  if (failedIndex_ < 0) {
    committed_ = true;
    return true;
  }
  RollBack();
  return false;
}

void FileSetReplacement::RollBack() {
  for (auto it = staged_.rbegin(); it != staged_.rend(); ++it) {
    Staged& s = *it;
    if (!s.placed) continue;
    const bool restored =
        s.targetExisted
            ? move_(s.backup.c_str(), s.target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE
            : DeleteFileA(s.target.c_str()) != FALSE;
    if (!restored) continue;
    s.placed = false;
    s.backedUp = false;
  }
}
