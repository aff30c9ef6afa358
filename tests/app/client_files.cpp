// A client folder's listing, then its files.
#include "tests/app/client_files.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>

#include "runtime/wide_text.h"
#include "tests/app/profile_content.h"
#include "tests/support/scratch_folder.h"

namespace {

// The files of the folder and their sizes; nothing while a file of a switch ("~sw...") is there.
std::optional<std::map<std::wstring, uint64_t>> SettledSizes(const std::wstring& folder) {
  std::map<std::wstring, uint64_t> sizes;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW(LongForm(folder + L"\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return sizes;
  bool settled = true;
  do {
    const std::wstring name = entry.cFileName;
    if (name.starts_with(L"~sw")) settled = false;
    sizes[name] = (static_cast<uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  if (!settled) return std::nullopt;
  return sizes;
}

}  // namespace

bool HoldsProfile(const std::wstring& folder, const ServerProfile& profile) {
  const auto sizes = SettledSizes(folder);
  if (!sizes) return false;
  for (int i = 0; i < 3; ++i) {
    const auto found = sizes->find(WideFromGbk(profile.entries[static_cast<size_t>(i)].fileName));
    if (found == sizes->end() || found->second != Content(profile, i).size()) return false;
  }
  for (int i = 0; i < 3; ++i) {
    const std::wstring name = WideFromGbk(profile.entries[static_cast<size_t>(i)].fileName);
    if (ReadFileBytes(folder + L"\\" + name) != Content(profile, i)) return false;
  }
  return true;
}
