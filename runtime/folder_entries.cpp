// Wildcard searches through FindFirstFileW and FindNextFileW.
#include "runtime/folder_entries.h"

#include "runtime/win_handles.h"

namespace {

void CloseSearch(HANDLE search) { FindClose(search); }
using OwnedSearch = OwnedHandle<HANDLE, &CloseSearch>;

}  // namespace

void ForEachFolderEntry(const std::wstring& pattern, const std::function<void(const WIN32_FIND_DATAW& entry)>& visit) {
  WIN32_FIND_DATAW entry;
  const HANDLE first = FindFirstFileW(pattern.c_str(), &entry);
  if (first == INVALID_HANDLE_VALUE) return;
  const OwnedSearch search(first);
  do visit(entry);
  while (FindNextFileW(search.get(), &entry));
}
