// The client's files read, compared and backed up.
#include "app/client_files.h"

#include <algorithm>
#include <optional>
#include <span>
#include <vector>

#include "app/backup_names.h"
#include "runtime/file_handle.h"
#include "runtime/folder_entries.h"
#include "runtime/module_paths.h"
#include "runtime/wide_text.h"

namespace {

// A backup of a file this large is refused: no configuration file of the client comes near it.
constexpr DWORD kLargestBackedUpFile = 16 * 1024 * 1024;

// Paths are kept as the user knows them and given to the system in its form for any length.
std::wstring InFolder(const std::wstring& folder, std::wstring_view name) { return folder + L"\\" + std::wstring(name); }
std::wstring Sys(const std::wstring& path) { return LongFormOfFullPath(path); }

std::wstring ProfileFileName(size_t index) { return WideFromGbk(LiveServerProfile.entries[index].fileName); }

struct FileRead {
  enum Kind { Missing, Read, Failed } kind = Failed;
  std::vector<unsigned char> bytes;
  bool longer = false;  // the file goes on beyond the limit
  DWORD error = 0;
};

// At most `limit` bytes of the file. It is opened sharing everything, so that the reading hinders
// no other program that opens it meanwhile (the game, its updater).
FileRead ReadUpTo(const std::wstring& path, DWORD limit) {
  FileRead read;
  const FileHandle file(CreateFileW(Sys(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    read.error = GetLastError();
    read.kind = read.error == ERROR_FILE_NOT_FOUND || read.error == ERROR_PATH_NOT_FOUND ? FileRead::Missing
                                                                                          : FileRead::Failed;
    return read;
  }
  read.bytes.resize(static_cast<size_t>(limit) + 1);
  DWORD total = 0;
  for (DWORD got = 1; got && total < read.bytes.size(); total += got) {
    if (!ReadFile(file.get(), read.bytes.data() + total, static_cast<DWORD>(read.bytes.size()) - total, &got, nullptr)) {
      read.error = GetLastError();
      return read;
    }
  }
  read.longer = total > limit;
  read.bytes.resize(std::min<size_t>(total, limit));
  read.kind = FileRead::Read;
  return read;
}

// A new file holding the bytes, flushed to the disk before it is closed.
bool WriteNewFile(const std::wstring& path, std::span<const unsigned char> bytes) {
  FileHandle file(CreateFileW(Sys(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  DWORD written = 0;
  const bool whole = bytes.empty() || (WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                                 nullptr) && written == bytes.size());
  return whole && FlushFileBuffers(file.get()) && file.Close();
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(Sys(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The backup root: made when missing; a file of that name is no root.
bool MakeRoot(const std::wstring& root) {
  if (CreateDirectoryW(Sys(root).c_str(), nullptr)) return true;
  const DWORD error = GetLastError();
  if (IsFolder(root)) return true;
  SetLastError(error == ERROR_ALREADY_EXISTS ? ERROR_DIRECTORY : error);
  return false;
}

// A new, empty backup folder under the root named for now; its name, or empty.
std::wstring MakeBackupFolder(const std::wstring& root) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const BackupTime time{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
  for (unsigned attempt = 1; attempt <= kLargestBackupAttempt; ++attempt) {
    const std::wstring name = BackupName(time, attempt);
    if (CreateDirectoryW(Sys(root + L"\\" + name).c_str(), nullptr)) return name;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
  }
  return {};
}

// The backup folders under the root, oldest first.
struct Backup {
  BackupOrder order;
  std::wstring name;
};
std::vector<Backup> BackupsUnder(const std::wstring& root) {
  std::vector<Backup> backups;
  ForEachFolderEntry(Sys(root + L"\\*"), [&](const WIN32_FIND_DATAW& entry) {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    if (const std::optional<BackupOrder> order = ParseBackupName(entry.cFileName)) backups.push_back({*order, entry.cFileName});
  });
  std::ranges::sort(backups, {}, &Backup::order);
  return backups;
}

// Removes the backup's files of our names, then the folder: a folder that holds anything else
// stays, with that thing in it.
void RemoveBackup(const std::wstring& path) {
  for (size_t i = 0; i < LiveServerProfile.entries.size(); ++i) DeleteFileW(Sys(path + L"\\" + ProfileFileName(i)).c_str());
  RemoveDirectoryW(Sys(path).c_str());
}

}  // namespace

FolderComparison CompareClientFolder(const std::wstring& folder) {
  FolderComparison files;
  const DWORD limit = static_cast<DWORD>(LongestProfileFile());
  for (size_t i = 0; i < files.size(); ++i) {
    const FileRead read = ReadUpTo(InFolder(folder, ProfileFileName(i)), limit);
    if (read.kind == FileRead::Missing) continue;
    if (read.kind == FileRead::Failed || read.longer) {
      files[i] = {true, false, false};
      continue;
    }
    files[i] = CompareFile(i, std::span<const unsigned char>(read.bytes));
  }
  return files;
}

BackupOutcome BackUpOwnFiles(const std::wstring& folder) {
  BackupOutcome outcome;
  const FolderComparison files = CompareClientFolder(folder);
  if (!NeedsBackup(files)) return outcome;
  auto fail = [&](DWORD error, std::wstring file) {
    outcome.failed = true;
    outcome.error = error;
    outcome.failedFile = std::move(file);
    return outcome;
  };
  // Read first: a file that cannot be read leaves no folder behind.
  std::vector<std::pair<size_t, std::vector<unsigned char>>> contents;
  for (size_t i = 0; i < files.size(); ++i) {
    if (!files[i].present) continue;
    FileRead read = ReadUpTo(InFolder(folder, ProfileFileName(i)), kLargestBackedUpFile);
    if (read.kind == FileRead::Missing) continue;  // gone since: nothing of it to lose
    if (read.kind == FileRead::Failed) return fail(read.error, ProfileFileName(i));
    if (read.longer) return fail(ERROR_FILE_TOO_LARGE, ProfileFileName(i));
    contents.emplace_back(i, std::move(read.bytes));
  }
  const std::wstring root = InFolder(folder, kBackupFolderName);
  if (!MakeRoot(root)) return fail(GetLastError(), {});
  const std::wstring name = MakeBackupFolder(root);
  if (name.empty()) return fail(GetLastError(), {});
  const std::wstring backup = root + L"\\" + name;
  for (const auto& [index, bytes] : contents) {
    if (WriteNewFile(backup + L"\\" + ProfileFileName(index), bytes)) continue;
    const DWORD error = GetLastError();
    RemoveBackup(backup);
    return fail(error, ProfileFileName(index));
  }
  outcome.written = true;
  outcome.shownName = std::wstring(kBackupFolderName) + L"\\" + name;
  const std::vector<Backup> backups = BackupsUnder(root);
  for (size_t i = 0; i + kBackupsKept < backups.size(); ++i) RemoveBackup(root + L"\\" + backups[i].name);
  return outcome;
}

std::wstring LatestBackup(const std::wstring& folder) {
  const std::vector<Backup> backups = BackupsUnder(InFolder(folder, kBackupFolderName));
  if (backups.empty()) return {};
  return std::wstring(kBackupFolderName) + L"\\" + backups.back().name;
}

bool FolderRefusesNewFiles(const std::wstring& folder) {
  const std::wstring probe = Sys(InFolder(folder, L"~sw-probe-" + std::to_wstring(GetTickCount()) + L".tmp"));
  const FileHandle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (file.valid()) return false;
  const DWORD error = GetLastError();
  return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT || error == ERROR_PRIVILEGE_NOT_HELD;
}
