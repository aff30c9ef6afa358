// A fresh folder under the temporary folder for one test, made the current directory while the
// test runs and removed with everything in it afterwards; and small file helpers.
#pragma once

#include <windows.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }
  std::wstring widePath() const;
  std::string file(const std::string& name) const { return path_ + "\\" + name; }
  // Names of everything in the folder, so that a test can see left-over files.
  std::set<std::string> Names() const;
  // Folders nested in this one, each in the one before, of any name and length (those that exist
  // already are kept): the innermost's path, or nothing when one cannot be made.
  std::wstring MakeFolders(const std::vector<std::wstring>& nested) const;

 private:
  std::string path_;
  std::string previousDirectory_;
};

// The running test program's folder, without a trailing backslash; the programs the tests start
// are built beside it.
std::string ProgramFolder();

// Whole file contents; nothing when the file cannot be read.
std::optional<std::string> ReadFileBytes(const std::string& path);
std::optional<std::string> ReadFileBytes(const std::wstring& fullPath);

// Names of everything in a folder of any name and length.
std::set<std::wstring> NamesIn(const std::wstring& folder);

// A full path as the system's file functions take it at any length.
std::wstring LongForm(const std::wstring& fullPath);
void WriteFileBytes(const std::string& path, const std::string& bytes);
void SetReadOnly(const std::string& path, bool readOnly);

// Another process that holds a file open without sharing until the object goes away.
class FileHolder {
 public:
  explicit FileHolder(const std::string& path);
  ~FileHolder();
  FileHolder(const FileHolder&) = delete;
  FileHolder& operator=(const FileHolder&) = delete;
  bool holding() const { return holding_; }

 private:
  HANDLE release_ = nullptr;
  HANDLE process_ = nullptr;
  bool holding_ = false;
};
