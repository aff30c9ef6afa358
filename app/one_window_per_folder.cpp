// One window per client folder: the claim on the folder (a named mutex), what the holder shows a
// later start (a named mapping and event), and bringing the holder's window forward.
#include "app/one_window_per_folder.h"

#include <cstdint>

#include "runtime/module_paths.h"

namespace {

// Names in the session's namespace, after a hash of the comparable folder name: a folder name can
// be far longer than an object name may be. The mapping holds the name itself, so that two
// folders whose hashes meet are still told apart.
constexpr wchar_t kNamePrefix[] = L"Local\\QuorvVarnelRacingSwitch.";
constexpr wchar_t kHolderSuffix[] = L".Holder";
constexpr wchar_t kSharedSuffix[] = L".Shared";
constexpr wchar_t kShownSuffix[] = L".Shown";

// A path's longest form: 32,767 characters and the terminating NUL.
constexpr size_t kFolderCapacity = 32768;
// How long a second start waits for the holder's window: the holder may still be starting, or
// asking the player something before its window shows.
constexpr DWORD kHolderWait = 5000;

// What the holder tells a later start. Fixed-width fields: the 32-bit and the 64-bit tool may be
// started in one folder, and both read the same block. A window handle is a 32-bit value in both.
struct SharedBlock {
  uint32_t holderProcess;
  uint32_t folderLength;      // characters of `folder`, at most kFolderCapacity
  volatile LONG window;       // the holder's shown start window; 0 before it shows and after it goes
  uint32_t reserved;
  wchar_t folder[kFolderCapacity];
};

void UnmapView(void* view) { UnmapViewOfFile(view); }

uint64_t Fnv1a64(std::wstring_view text) {
  uint64_t hash = 14695981039346656037ull;
  for (const wchar_t unit : text)
    for (const int shift : {0, 8}) {
      hash ^= (static_cast<uint16_t>(unit) >> shift) & 0xFF;
      hash *= 1099511628211ull;
    }
  return hash;
}

std::wstring ObjectBaseName(std::wstring_view folder) {
  std::wstring name = kNamePrefix;
  const uint64_t hash = Fnv1a64(folder);
  for (int shift = 60; shift >= 0; shift -= 4) name += L"0123456789ABCDEF"[(hash >> shift) & 0xF];
  return name;
}

HWND WindowOfValue(LONG value) { return reinterpret_cast<HWND>(static_cast<intptr_t>(value)); }

LONG ValueOfWindow(HWND window) { return static_cast<LONG>(reinterpret_cast<intptr_t>(window)); }

// GetFinalPathNameByHandleW, whatever the length: the long names of every part, links resolved,
// each part in the case it was created with. Empty when the system cannot say.
std::wstring FinalPathOf(HANDLE file) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()),
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length > kFolderCapacity) return {};
    // Too small a buffer gives the size needed with the NUL; enough gives the length without.
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(length);
  }
}

std::wstring LongNameOf(const std::wstring& path) {
  std::wstring longName(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetLongPathNameW(path.c_str(), longName.data(), static_cast<DWORD>(longName.size()));
    if (length == 0 || length > kFolderCapacity) return {};
    if (length < longName.size()) {
      longName.resize(length);
      return longName;
    }
    longName.resize(length);
  }
}

// The start's folder as the system names it; the folder itself when the system cannot say.
std::wstring SystemNameOf(std::wstring_view folder) {
  std::wstring path(folder);
  // "C:" alone names the drive's current folder; the program's folder at a drive's root is "C:\".
  if (path.back() == L':') path += L'\\';
  path = LongPathForm(path);
  const HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    const OwnedKernelHandle owned(file);
    if (std::wstring final = FinalPathOf(file); !final.empty()) return ShownPath(final);
  }
  if (std::wstring longName = LongNameOf(path); !longName.empty()) return ShownPath(longName);
  return ShownPath(path);
}

void BringToFront(HWND window) {
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  SetForegroundWindow(window);
}

// While the holder has no start window yet, what it shows instead (a box asking the player
// something) comes to the front.
BOOL CALLBACK BringShownWindowOfProcess(HWND window, LPARAM process) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != static_cast<DWORD>(process) || !IsWindowVisible(window) || GetWindow(window, GW_OWNER)) return TRUE;
  BringToFront(window);
  return FALSE;
}

}  // namespace

std::wstring ComparableFolderName(std::wstring_view folder) {
  if (folder.empty()) return {};
  std::wstring name = SystemNameOf(folder);
  // Windows compares file names by this one table of capitals, whatever the language.
  CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
  return name;
}

FolderClaim::FolderClaim(std::wstring_view programFolder) {
  const std::wstring folder = ComparableFolderName(programFolder);
  if (!folder.empty() && folder.size() <= kFolderCapacity) start_ = Take(folder);
}

FolderClaim::~FolderClaim() {
  if (holding_) {
    // A start from now on waits for the mutex, not for this window.
    ResetEvent(shown_.get());
    InterlockedExchange(&static_cast<SharedBlock*>(view_)->window, 0);
    ReleaseMutex(holder_.get());
  }
  if (view_) UnmapView(view_);
}

// Holding the mutex makes this process the folder's tool; a holder that ended without letting go
// (killed, crashed) leaves it abandoned, which the next start takes as free.
FolderStart FolderClaim::Take(const std::wstring& folder) {
  const std::wstring base = ObjectBaseName(folder);
  holder_.reset(CreateMutexW(nullptr, FALSE, (base + kHolderSuffix).c_str()));
  shared_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(SharedBlock),
                                   (base + kSharedSuffix).c_str()));
  shown_.reset(CreateEventW(nullptr, TRUE, FALSE, (base + kShownSuffix).c_str()));
  if (holder_ && shared_ && shown_) view_ = MapViewOfFile(shared_.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(SharedBlock));
  // Without the objects nothing can be told: the tool runs, as it did before it kept to one window.
  if (!view_) return FolderStart::Run;

  const DWORD began = GetTickCount();
  bool windowGone = false;
  for (;;) {
    const DWORD waited = GetTickCount() - began;
    const DWORD remaining = waited < kHolderWait ? kHolderWait - waited : 0;
    const HANDLE waits[] = {holder_.get(), shown_.get()};
    // Once the holder's window is gone, only the holder's end is waited for.
    const DWORD got = WaitForMultipleObjects(windowGone ? 1 : 2, waits, FALSE, remaining);
    if (got == WAIT_OBJECT_0 || got == WAIT_ABANDONED_0) {
      Hold(folder);
      return FolderStart::Run;
    }
    if (got == WAIT_OBJECT_0 + 1) {
      switch (MeetTheHolder(folder)) {
        case Holder::BroughtForward:
          return FolderStart::Leave;
        case Holder::OfAnotherFolder:
          return FolderStart::Run;
        case Holder::WindowGone:
          windowGone = true;
          continue;
      }
    }
    if (got != WAIT_TIMEOUT) return FolderStart::Run;
    const auto& block = *static_cast<const SharedBlock*>(view_);
    EnumWindows(&BringShownWindowOfProcess, static_cast<LPARAM>(block.holderProcess));
    return FolderStart::Leave;
  }
}

FolderClaim::Holder FolderClaim::MeetTheHolder(const std::wstring& folder) const {
  const auto& block = *static_cast<const SharedBlock*>(view_);
  const uint32_t length = block.folderLength;
  // Another folder whose name hashes alike: this start is not the second in its folder. It runs
  // without a claim, so a later start in its folder finds nothing to bring forward.
  if (length != folder.size() || folder.compare(0, length, block.folder, length) != 0) return Holder::OfAnotherFolder;
  const HWND window = WindowOfValue(block.window);
  DWORD owner = 0;
  if (!window || !IsWindow(window) || !GetWindowThreadProcessId(window, &owner) || owner != block.holderProcess)
    return Holder::WindowGone;
  BringToFront(window);
  return Holder::BroughtForward;
}

void FolderClaim::Hold(const std::wstring& folder) {
  // A holder that ended without letting go may have left its window published.
  ResetEvent(shown_.get());
  auto& block = *static_cast<SharedBlock*>(view_);
  block.holderProcess = GetCurrentProcessId();
  block.folderLength = static_cast<uint32_t>(folder.size());
  folder.copy(block.folder, folder.size());
  InterlockedExchange(&block.window, 0);
  holding_ = true;
}

void FolderClaim::Publish(HWND window) {
  if (!holding_ || !window) return;
  InterlockedExchange(&static_cast<SharedBlock*>(view_)->window, ValueOfWindow(window));
  SetEvent(shown_.get());
}
