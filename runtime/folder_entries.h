// The entries a wildcard search of a folder finds, walked with the search handle owned.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Calls `visit` with each entry `pattern` (a path with wildcards, in the form the system takes)
// finds, in the system's order; nothing when it finds none or cannot search.
void ForEachFolderEntry(const std::wstring& pattern, const std::function<void(const WIN32_FIND_DATAW& entry)>& visit);
