// Paths of modules and their folders. Paths are GBK: the last backslash is found by characters,
// not bytes, since the second byte of a double-byte character may be 0x5C.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The whole path of a module's file, however long; empty if it cannot be had.
std::string ModulePath(HMODULE module);

// Where the folder part of a path ends: just after its last backslash, 0 when it has none.
size_t FolderEnd(std::string_view path);

// The module whose image holds the address.
HMODULE ModuleContaining(const void* address);
