// The label that says which server the client points at, and the folder's watcher.
#include "app/client_state_view.h"

#include <memory>
#include <optional>

#include "app/client_files.h"
#include "app/client_state.h"
#include "runtime/frame/message_loop.h"
#include "runtime/module_paths.h"
#include "runtime/system_text.h"
#include "runtime/win_handles.h"
#include "runtime/wide_text.h"

namespace {

constexpr wchar_t kWatchClass[] = L"RacingSwitchClientWatch";
constexpr UINT kFilesChanged = WM_APP + 1;
constexpr UINT_PTR kSettleTimer = 1;
constexpr UINT_PTR kSwitchedTimer = 2;
// A burst of changes (a switch, an updater writing) is read once it has been quiet this long,
// or at the latest after the longest wait from its first change.
constexpr DWORD kSettleMs = 250;
constexpr DWORD kLongestSettleMs = 1000;
// How long a switch is said as done before the label says the state plainly again.
constexpr UINT kSwitchedShownMs = 3000;

LRESULT CALLBACK WatchProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void WatchWhenIdle(intptr_t);

void CloseChangeNotification(HANDLE change) { FindCloseChangeNotification(change); }
using OwnedChangeNotification = OwnedHandle<HANDLE, &CloseChangeNotification>;

class ClientStateView {
 public:
  ClientStateView(HWND label, std::wstring folder)
      : label_(label), folder_(std::move(folder)), advice_(StoredWindowText(label)) {}
  ClientStateView(const ClientStateView&) = delete;
  ClientStateView& operator=(const ClientStateView&) = delete;
  ~ClientStateView() {
    RemoveIdleRoutine(label_, &WatchWhenIdle, 0);
    if (stop_) SetEvent(stop_.get());
    if (thread_) WaitForSingleObject(thread_.get(), INFINITE);
    change_.reset();  // after the thread that waits on it
    if (window_) DestroyWindow(window_);
  }

  // The label is right at once; the folder is watched from the first time the message queue is
  // empty, after the window's first frame (the watcher's window, notification and thread took
  // 2 ms of it under Wine), and what changed before then is read at that moment.
  void Start() {
    Refresh();
    AddIdleRoutine(label_, &WatchWhenIdle, 0);
  }

  void WatchOnce() {
    RemoveIdleRoutine(label_, &WatchWhenIdle, 0);
    if (watching_) return;
    watching_ = true;
    StartWatching();
    Refresh();
  }

  void Refresh() {
    const ClientState state = StateOf(CompareClientFolder(folder_));
    const TextValue text = StateLabelText(state, switchedTo_ && *switchedTo_ == state);
    const std::wstring shown = text ? WideFromGbk(text) : advice_;
    if (StoredWindowText(label_) != shown) SetWindowTextW(label_, shown.c_str());
  }

  void Switched(bool switched) {
    WatchOnce();  // its timer goes to the watcher's window
    switchedTo_.reset();
    if (switched) {
      switchedTo_ = StateOf(CompareClientFolder(folder_));
      SetTimer(window_, kSwitchedTimer, kSwitchedShownMs, nullptr);
    }
    Refresh();
  }

  void SwitchedShown() {
    KillTimer(window_, kSwitchedTimer);
    switchedTo_.reset();
    Refresh();
  }

  // Each change restarts the wait, up to the longest wait from the burst's first change.
  void FilesChanged() {
    const DWORD now = GetTickCount();
    if (!settling_) {
      settling_ = true;
      burstStart_ = now;
    }
    if (now - burstStart_ < kLongestSettleMs) SetTimer(window_, kSettleTimer, kSettleMs, nullptr);
  }

  void Settled() {
    KillTimer(window_, kSettleTimer);
    settling_ = false;
    Refresh();
  }

 private:
  // The watcher thread: tells the window of every change, never reads a file itself.
  struct Watch {
    HANDLE change;
    HANDLE stop;
    HWND window;
  };
  static DWORD WINAPI WatchFolder(void* parameter) {
    const Watch watch = *static_cast<const Watch*>(parameter);
    const HANDLE waits[] = {watch.stop, watch.change};
    while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
      PostMessageW(watch.window, kFilesChanged, 0, 0);
      if (!FindNextChangeNotification(watch.change)) break;
    }
    return 0;
  }

  // Without a window or a notification, the label still follows every switch of the tool's own.
  void StartWatching() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WatchProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWatchClass;
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, kWatchClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr);
    if (!window_) return;
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    const HANDLE change = FindFirstChangeNotificationW(LongFormOfFullPath(folder_).c_str(), FALSE,
                                                       FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE |
                                                           FILE_NOTIFY_CHANGE_SIZE);
    if (change == INVALID_HANDLE_VALUE) return;
    change_.reset(change);
    stop_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!stop_) return;
    watch_ = {change_.get(), stop_.get(), window_};
    thread_.reset(CreateThread(nullptr, 0, WatchFolder, &watch_, 0, nullptr));
  }

  HWND label_;
  std::wstring folder_;
  std::wstring advice_;  // the label's text from the template
  std::optional<ClientState> switchedTo_;  // while a switch is said as done
  HWND window_ = nullptr;  // message-only: the watcher's messages and the timers
  OwnedChangeNotification change_;
  OwnedKernelHandle stop_;
  OwnedKernelHandle thread_;
  Watch watch_{};
  bool settling_ = false;
  DWORD burstStart_ = 0;
  bool watching_ = false;
};

std::unique_ptr<ClientStateView> view;

void WatchWhenIdle(intptr_t) {
  if (view) view->WatchOnce();
}

ClientStateView* ViewOf(HWND window) {
  return reinterpret_cast<ClientStateView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK WatchProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ClientStateView* owner = ViewOf(window);
  if (!owner) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case kFilesChanged:
      owner->FilesChanged();
      return 0;
    case WM_TIMER:
      if (wParam == kSettleTimer) owner->Settled();
      if (wParam == kSwitchedTimer) owner->SwitchedShown();
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void StartClientStateView(HWND label, const std::wstring& folder) {
  if (!label || folder.empty() || view) return;
  view = std::make_unique<ClientStateView>(label, folder);
  view->Start();
}

void ShowSwitchResult(bool switched) {
  if (view) view->Switched(switched);
}

void StopClientStateView() { view.reset(); }
