// Scratch folders, file helpers and the file-holding helper process for the Windows tests.
#include "tests/support/scratch_folder.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "runtime/wide_text.h"

namespace {

// Wide and in the long form, so that folders that tests made with any name or length go too.
void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW(LongForm(folder + L"\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring full = folder + L"\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        SetFileAttributesW(LongForm(full).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(LongForm(full).c_str());
      }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryW(LongForm(folder).c_str());
}

}  // namespace

std::string ProgramFolder() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string full(path, n);
  return full.substr(0, full.find_last_of('\\'));
}

ScratchFolder::ScratchFolder() {
  static std::atomic<int> counter{0};
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::ostringstream name;
  name << temp << "switch-test-" << GetCurrentProcessId() << "-" << counter++;
  path_ = name.str();
  // A run that was killed leaves its folders behind, and process ids come round again.
  if (!CreateDirectoryA(path_.c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS) RemoveTree(widePath());
  if (GetFileAttributesA(path_.c_str()) == INVALID_FILE_ATTRIBUTES && !CreateDirectoryA(path_.c_str(), nullptr))
    throw std::runtime_error("cannot create " + path_);
  char current[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, current);
  previousDirectory_ = current;
  SetCurrentDirectoryA(path_.c_str());
}

ScratchFolder::~ScratchFolder() {
  SetCurrentDirectoryA(previousDirectory_.c_str());
  RemoveTree(widePath());
}

std::wstring ScratchFolder::widePath() const { return WideFromGbk(path_); }

std::wstring ScratchFolder::MakeFolders(const std::vector<std::wstring>& nested) const {
  std::wstring folder = widePath();
  for (const std::wstring& name : nested) {
    folder += L"\\" + name;
    if (!CreateDirectoryW(LongForm(folder).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return {};
  }
  return folder;
}

std::set<std::string> ScratchFolder::Names() const {
  std::set<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = entry.cFileName;
    if (name != "." && name != "..") names.insert(name);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return names;
}

namespace {

std::optional<std::string> ReadWhole(std::ifstream in) {
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

std::optional<std::string> ReadFileBytes(const std::string& path) {
  return ReadWhole(std::ifstream(path, std::ios::binary));
}

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
  return ReadWhole(std::ifstream(LongForm(path).c_str(), std::ios::binary));
}

std::set<std::wstring> NamesIn(const std::wstring& folder) {
  std::set<std::wstring> names;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW(LongForm(folder + L"\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = entry.cFileName;
    if (name != L"." && name != L"..") names.insert(name);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return names;
}

std::wstring LongForm(const std::wstring& fullPath) {
  return fullPath.starts_with(L"\\\\?\\") ? fullPath : L"\\\\?\\" + fullPath;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

void SetReadOnly(const std::string& path, bool readOnly) {
  SetFileAttributesA(path.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
}

FileHolder::FileHolder(const std::string& path) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE ready = CreateEventA(&inherit, TRUE, FALSE, nullptr);
  release_ = CreateEventA(&inherit, TRUE, FALSE, nullptr);
  std::ostringstream command;
  command << "\"" << ProgramFolder() << "\\hold_file.exe\" \"" << path << "\" "
          << reinterpret_cast<uintptr_t>(ready) << " " << reinterpret_cast<uintptr_t>(release_);
  std::string line = command.str();
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    CloseHandle(process.hThread);
    process_ = process.hProcess;
    HANDLE waits[] = {ready, process_};
    holding_ = WaitForMultipleObjects(2, waits, FALSE, 20000) == WAIT_OBJECT_0;
  }
  CloseHandle(ready);
}

FileHolder::~FileHolder() {
  SetEvent(release_);
  if (process_) {
    WaitForSingleObject(process_, 20000);
    CloseHandle(process_);
  }
  CloseHandle(release_);
}
