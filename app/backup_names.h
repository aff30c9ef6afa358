// Names of the backup folders: the date and time a backup was taken, as a player reads them,
// and their order, newest last.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The folder beside the client's files that holds one folder per backup.
inline constexpr wchar_t kBackupFolderName[] = L"转换器备份";

// The backups kept; a new one removes the oldest beyond these.
inline constexpr size_t kBackupsKept = 10;

// Backups taken within one second are numbered; beyond this many the second is full.
inline constexpr unsigned kLargestBackupAttempt = 999;

struct BackupTime {
  unsigned year, month, day, hour, minute, second;
};

// "2024-05-01 12-30-05" for the first backup of that second, "2024-05-01 12-30-05 (2)" for the
// second one, and so on.
std::wstring BackupName(const BackupTime& time, unsigned attempt);

// Where a backup stands among the others: by time, then by attempt.
struct BackupOrder {
  uint64_t stamp;  // yyyymmddhhmmss as a number
  unsigned attempt;
  auto operator<=>(const BackupOrder&) const = default;
};
// Nothing for a name that BackupName does not make: such a folder is not ours and is left alone.
std::optional<BackupOrder> ParseBackupName(std::wstring_view name);
