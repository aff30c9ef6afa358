// One window per client folder: a second start of the tool in the folder where one already runs
// brings that one's window to the front and ends; tools in different folders run side by side.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "runtime/win_handles.h"

// What a start learnt about its folder.
enum class FolderStart {
  Run,    // this process holds the folder (or could not tell): it shows its window
  Leave,  // another tool holds it; its window was brought forward if it has one yet
};

// The claim on the program's folder, held from the start until the window is gone. The folder is
// compared as the system names it (the long names of every part, whatever case or 8.3 short
// names the start used, links resolved), case-insensitively, at any length.
class FolderClaim {
 public:
  explicit FolderClaim(std::wstring_view programFolder);
  ~FolderClaim();
  FolderClaim(const FolderClaim&) = delete;
  FolderClaim& operator=(const FolderClaim&) = delete;

  FolderStart start() const { return start_; }
  // The window a later start in the folder brings forward; called once it is shown.
  void Publish(HWND window);

 private:
  // What a start found when the holder's window was published.
  enum class Holder { BroughtForward, WindowGone, OfAnotherFolder };
  FolderStart Take(const std::wstring& folder);
  Holder MeetTheHolder(const std::wstring& folder) const;
  void Hold(const std::wstring& folder);

  OwnedKernelHandle holder_;  // a mutex: owned by the process that holds the folder
  OwnedKernelHandle shared_;  // a mapping of the holder's folder name, process and window
  OwnedKernelHandle shown_;   // an event: set while the holder's window is published
  void* view_ = nullptr;
  bool holding_ = false;
  FolderStart start_ = FolderStart::Run;
};

// The folder as the system names it, in capitals: the form two starts compare. Empty when the
// folder is empty.
std::wstring ComparableFolderName(std::wstring_view folder);
