// The journal of a replacement run: file identities, the record's bytes, and undoing killed runs.
#include "runtime/replacement_journal.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "runtime/byte_reader.h"
#include "runtime/file_handle.h"
#include "runtime/folder_entries.h"
#include "runtime/module_paths.h"

namespace {

// Record: magic, entry count, the entries, then a checksum of everything before it, so that a
// record cut short by a power loss is seen as no record. Each entry: existed, the identity as
// eight 32-bit halves, the name's length in UTF-16 units and the units. All little-endian.
constexpr uint32_t kRecordMagic = 0x314A5753;  // "SWJ1"
constexpr unsigned char kCompleteMark[] = {'D', 'O', 'N', 'E'};
constexpr size_t kLargestJournal = 64 * 1024;
constexpr int32_t kMostEntries = 64;
constexpr int32_t kLongestName = 260;

uint64_t Join(DWORD high, DWORD low) { return (static_cast<uint64_t>(high) << 32) | low; }

uint32_t Checksum(std::span<const unsigned char> bytes) {
  uint32_t hash = 2166136261u;  // FNV-1a
  for (unsigned char b : bytes) hash = (hash ^ b) * 16777619u;
  return hash;
}

void Put32(std::vector<unsigned char>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}
void Put64(std::vector<unsigned char>& out, uint64_t value) {
  Put32(out, static_cast<uint32_t>(value));
  Put32(out, static_cast<uint32_t>(value >> 32));
}
bool Read64(ByteReader& reader, uint64_t& value) {
  uint32_t low = 0, high = 0;
  if (!reader.ReadUInt32(low) || !reader.ReadUInt32(high)) return false;
  value = Join(high, low);
  return true;
}

// A name that stays inside the journal's folder.
bool IsPlainName(std::wstring_view name) {
  return !name.empty() && name != L"." && name != L".." && name.find_first_of(L"\\/:") == std::wstring_view::npos;
}

// "~sw" + our hexadecimal form of a number up to FFFF + the suffix: the number, or nothing.
std::optional<unsigned> NumberOf(std::wstring_view name, std::wstring_view suffix) {
  if (!name.starts_with(L"~sw") || !name.ends_with(suffix)) return std::nullopt;
  const std::wstring_view digits = name.substr(3, name.size() - 3 - suffix.size());
  if (digits.empty() || digits.size() > 4) return std::nullopt;
  unsigned number = 0;
  for (wchar_t c : digits) {
    const wchar_t* at = std::wcschr(L"0123456789ABCDEF", c);
    if (!at || !c) return std::nullopt;
    number = number * 16 + static_cast<unsigned>(at - L"0123456789ABCDEF");
  }
  if (OwnFileStem(number).substr(3) != digits) return std::nullopt;  // no leading zeros: one name per number
  return number;
}

struct FoundJournal {
  unsigned number;
  uint64_t lastWrite;
};

std::vector<FoundJournal> JournalsIn(const std::wstring& folder) {
  std::vector<FoundJournal> found;
  ForEachFolderEntry(LongFormOfFullPath(folder + L"\\~sw*.jnl"), [&](const WIN32_FIND_DATAW& entry) {
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return;
    if (const auto number = NumberOf(entry.cFileName, L".jnl"))
      found.push_back({*number, Join(entry.ftLastWriteTime.dwHighDateTime, entry.ftLastWriteTime.dwLowDateTime)});
  });
  std::sort(found.begin(), found.end(), [](const FoundJournal& a, const FoundJournal& b) { return a.lastWrite > b.lastWrite; });
  return found;
}

// Removes the run's files ("~swN.K.tmp", "~swN.K.old") but the copies it is told to keep.
void ClearRunFiles(const std::wstring& folder, unsigned number, const std::set<std::wstring>& keep) {
  const std::wstring prefix = OwnFileStem(number) + L".";
  std::vector<std::wstring> names;
  ForEachFolderEntry(LongFormOfFullPath(folder + L"\\" + prefix + L"*"), [&](const WIN32_FIND_DATAW& entry) {
    const std::wstring_view name = entry.cFileName;
    if (!name.starts_with(prefix) || keep.count(std::wstring(name))) return;
    std::wstring_view rest = name.substr(prefix.size());
    if (!rest.ends_with(L".tmp") && !rest.ends_with(L".old")) return;
    rest.remove_suffix(4);
    if (!rest.empty() && rest.size() <= 2 && std::all_of(rest.begin(), rest.end(), iswdigit)) names.emplace_back(name);
  });
  for (const std::wstring& name : names) DeleteFileW(LongFormOfFullPath(folder + L"\\" + name).c_str());
}

std::optional<std::vector<unsigned char>> ReadWhole(HANDLE file) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size) || size.QuadPart < 0 || static_cast<uint64_t>(size.QuadPart) > kLargestJournal)
    return std::nullopt;
  std::vector<unsigned char> bytes(static_cast<size_t>(size.QuadPart));
  DWORD done = 0;
  if (!bytes.empty() && (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) ||
                         done != bytes.size()))
    return std::nullopt;
  return bytes;
}

// Puts one target of a killed run back, if the run had replaced it: the target is then still the
// file the run placed there. Anything else in its place is left as it is.
enum class Undo { NotReplaced, Restored, Failed };
Undo UndoTarget(const std::wstring& target, const std::wstring& oldCopy, const JournalEntry& entry) {
  switch (OccupantOf(target, entry.replacement)) {
    case Occupant::Ours:
      break;
    case Occupant::Other:
      return Undo::NotReplaced;
    case Occupant::Unknown:
      return Undo::Failed;
  }
  if (entry.existed)
    return MoveFileExW(oldCopy.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? Undo::Restored
               : Undo::Failed;
  bool notOurs = false;
  if (RemoveIfIdentical(target, entry.replacement, &notOurs)) return Undo::Restored;
  return notOurs ? Undo::NotReplaced : Undo::Failed;
}

}  // namespace

std::wstring OwnFileStem(unsigned number) {
  std::wstring digits;
  do {
    digits.insert(digits.begin(), L"0123456789ABCDEF"[number % 16]);
    number /= 16;
  } while (number);
  return L"~sw" + digits;
}

bool DeleteOpenFile(HANDLE file) {
  FILE_DISPOSITION_INFO disposition{TRUE};
  return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

std::optional<FileIdentity> IdentityOf(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file, &info)) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber, Join(info.nFileIndexHigh, info.nFileIndexLow),
                      Join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime),
                      Join(info.nFileSizeHigh, info.nFileSizeLow)};
}

std::optional<FileIdentity> IdentityAt(const std::wstring& path) {
  const FileHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return std::nullopt;
  return IdentityOf(file.get());
}

Occupant OccupantOf(const std::wstring& path, const FileIdentity& identity) {
  const auto now = IdentityAt(path);
  if (now) return *now == identity ? Occupant::Ours : Occupant::Other;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Occupant::Other : Occupant::Unknown;
}

// Shares as DeleteFileW does, so it fails where that fails: while another process holds the file
// open without sharing deletion.
bool RemoveIfIdentical(const std::wstring& path, const FileIdentity& identity, bool* notOurs) {
  if (notOurs) *notOurs = false;
  const FileHandle file(CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    const DWORD error = GetLastError();
    if (notOurs) *notOurs = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return false;
  }
  if (IdentityOf(file.get()) != identity) {
    if (notOurs) *notOurs = true;
    return false;
  }
  return DeleteOpenFile(file.get());
}

std::vector<unsigned char> EncodeJournalRecord(std::span<const JournalEntry> entries) {
  std::vector<unsigned char> out;
  Put32(out, kRecordMagic);
  Put32(out, static_cast<uint32_t>(entries.size()));
  for (const JournalEntry& e : entries) {
    Put32(out, e.existed ? 1 : 0);
    Put64(out, e.replacement.volume);
    Put64(out, e.replacement.index);
    Put64(out, e.replacement.lastWrite);
    Put64(out, e.replacement.size);
    Put32(out, static_cast<uint32_t>(e.name.size()));
    for (wchar_t c : e.name) {
      out.push_back(static_cast<unsigned char>(c));
      out.push_back(static_cast<unsigned char>(c >> 8));
    }
  }
  Put32(out, Checksum(out));
  return out;
}

std::span<const unsigned char> JournalCompleteMark() { return kCompleteMark; }

std::optional<DecodedJournal> DecodeJournal(std::span<const unsigned char> bytes) {
  ByteReader reader(bytes);
  uint32_t magic = 0;
  int32_t count = 0;
  if (!reader.ReadUInt32(magic) || magic != kRecordMagic || !reader.ReadCount(count, 40) || count > kMostEntries)
    return std::nullopt;
  DecodedJournal journal;
  for (int32_t i = 0; i < count; ++i) {
    JournalEntry e;
    uint32_t existed = 0;
    uint64_t volume = 0;
    int32_t length = 0;
    std::span<const unsigned char> units;
    if (!reader.ReadUInt32(existed) || existed > 1 || !Read64(reader, volume) || volume > UINT32_MAX ||
        !Read64(reader, e.replacement.index) || !Read64(reader, e.replacement.lastWrite) ||
        !Read64(reader, e.replacement.size) || !reader.ReadCount(length, 2) || length > kLongestName ||
        !reader.ReadBytes(static_cast<size_t>(length) * 2, units))
      return std::nullopt;
    e.existed = existed == 1;
    e.replacement.volume = static_cast<uint32_t>(volume);
    for (size_t k = 0; k < units.size(); k += 2) e.name.push_back(static_cast<wchar_t>(units[k] | units[k + 1] << 8));
    if (!IsPlainName(e.name)) return std::nullopt;
    journal.entries.push_back(std::move(e));
  }
  const size_t recordLength = bytes.size() - reader.remaining();
  uint32_t checksum = 0;
  if (!reader.ReadUInt32(checksum) || checksum != Checksum(bytes.first(recordLength))) return std::nullopt;
  std::span<const unsigned char> mark;
  journal.complete = reader.remaining() == sizeof kCompleteMark && reader.ReadBytes(sizeof kCompleteMark, mark) &&
                     std::memcmp(mark.data(), kCompleteMark, sizeof kCompleteMark) == 0;
  return journal;
}

std::wstring JournalName(unsigned number) { return OwnFileStem(number) + L".jnl"; }

std::wstring RunFileName(unsigned number, size_t index, bool oldCopy) {
  return OwnFileStem(number) + L"." + std::to_wstring(index) + (oldCopy ? L".old" : L".tmp");
}

InterruptedRuns RecoverInterruptedRuns(const std::wstring& folder) {
  InterruptedRuns runs;
  for (const FoundJournal& found : JournalsIn(folder)) {
    // Without sharing writes or deletion: a run still going on holds its journal open for writing.
    const FileHandle journal(CreateFileW(LongFormOfFullPath(folder + L"\\" + JournalName(found.number)).c_str(),
                                         GENERIC_READ | DELETE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!journal.valid()) continue;
    const auto bytes = ReadWhole(journal.get());
    if (!bytes) continue;
    const auto decoded = DecodeJournal(*bytes);
    std::set<std::wstring> keep;
    bool settled = true;
    if (!decoded || !decoded->complete) {
      ++runs.found;
      for (size_t k = 0; decoded && k < decoded->entries.size(); ++k) {
        const JournalEntry& entry = decoded->entries[k];
        const std::wstring target = LongFormOfFullPath(folder + L"\\" + entry.name);
        const std::wstring copyName = RunFileName(found.number, k, true);
        const std::wstring oldCopy = LongFormOfFullPath(folder + L"\\" + copyName);
        switch (UndoTarget(target, oldCopy, entry)) {
          case Undo::NotReplaced:
            break;
          case Undo::Restored:
            runs.restored.push_back(ShownPath(target));
            break;
          case Undo::Failed:
            runs.unrestored.push_back({ShownPath(target), entry.existed ? ShownPath(oldCopy) : std::wstring()});
            keep.insert(copyName);
            settled = false;
            break;
        }
      }
    }
    ClearRunFiles(folder, found.number, keep);
    // A journal that still has work stays for the next start.
    if (settled) DeleteOpenFile(journal.get());
  }
  return runs;
}
