// The real tool in a test: started from a folder of the test's choosing (a fresh client folder of
// its own unless one is given), its start window found once shown, its units and pixels read. A
// tool still running when the object goes is ended by force.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/app/window_pixels.h"
#include "tests/support/child_process.h"
#include "tests/support/gui_driver.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/wine_paths.h"

inline constexpr wchar_t kToolWideTitle[] = L"Quorv Varnel1018 支持互转";

class RunningTool {
 public:
  // A copy of the tool in a fresh client folder, started there.
  RunningTool() : folder_(std::make_unique<ScratchFolder>()) {
    const std::string exe = folder_->file("racing-switch.exe");
    CopyFileA(WinePathOf(TOOL_UNIX_PATH).c_str(), exe.c_str(), FALSE);
    Start(exe, folder_->path());
  }
  RunningTool(const std::string& exe, const std::string& currentDirectory) { Start(exe, currentDirectory); }
  RunningTool(const RunningTool&) = delete;
  RunningTool& operator=(const RunningTool&) = delete;

  HWND window() const { return window_; }
  DWORD id() const { return process_->id(); }
  HWND Button(const wchar_t* caption) const { return FindWindowExW(window_, nullptr, L"Button", caption); }
  // The window's children, top of the stacking order first.
  std::vector<HWND> Children() const {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      children.push_back(child);
    return children;
  }
  // A child's rectangle in the window's client coordinates.
  RECT PlaceOf(HWND child) const {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  // The window's area on the screen.
  PixelGrid Shot() const {
    RECT outer;
    GetWindowRect(window_, &outer);
    return PixelGrid{CaptureScreen(outer), outer.right - outer.left};
  }
  DWORD CloseAndWait() {
    PostMessageA(window_, WM_CLOSE, 0, 0);
    return AwaitExit();
  }
  DWORD AwaitExit() { return process_->AwaitExit(10000).value_or(0xDEAD); }

 private:
  void Start(const std::string& exe, const std::string& currentDirectory) {
    process_ = std::make_unique<ChildProcess>("\"" + exe + "\"", currentDirectory);
    if (!process_->started()) return;
    WaitFor([&] { return (window_ = FindWindowW(nullptr, kToolWideTitle)) != nullptr && IsWindowVisible(window_); });
  }

  std::unique_ptr<ScratchFolder> folder_;
  std::unique_ptr<ChildProcess> process_;
  HWND window_ = nullptr;
};
