// Paths of modules, their folders, and the form in which the system's file functions take a path
// of any length. All in UTF-16: the ANSI calls give "?" for every character of a folder name that
// the ANSI code page lacks (all Chinese ones under code page 1252, Korean ones under 936), and a
// path with "?" in it names nothing.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The whole path of a module's file, however long; empty if it cannot be had.
std::wstring ModulePath(HMODULE module);

// Where the folder part of a path ends: just after its last backslash, 0 when it has none.
size_t FolderEnd(std::wstring_view path);

// The module whose image holds the address.
HMODULE ModuleContaining(const void* address);

// The full path that the system makes of a path (relative ones resolved against the current
// directory), at any length; empty if it cannot be had.
std::wstring FullPath(std::wstring_view path);

// A full path as the system's file functions take it: from MAX_PATH characters on, with the
// "\\?\" prefix ("\\?\UNC\" for a network path), without which Windows refuses it.
std::wstring LongFormOfFullPath(std::wstring_view fullPath);

// Any path as the system's file functions take it: one whose full path is long, in that full
// path's long form; any other as it is, for the system to resolve as usual.
std::wstring LongPathForm(std::wstring_view path);

// A path as the user knows it: without the "\\?\" prefix.
std::wstring ShownPath(std::wstring_view path);
