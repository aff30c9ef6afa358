// The frame tests' shared set-up and helpers, and the handlers their templates name.
#include "tests/runtime/frame/frame_fixture.h"

#include "runtime/commands/command_forms.h"
#include "runtime/frame/events.h"
#include "runtime/frame/runtime_service.h"
#include "runtime/frame/unit_commands.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/frame/window_registry.h"
#include "runtime/win_handles.h"
#include "tests/runtime/frame/frame_handlers.h"

std::vector<Fired>& FiredEvents() {
  static std::vector<Fired> fired;
  return fired;
}

std::map<int32_t, std::optional<int32_t>>& Answers() {
  static std::map<int32_t, std::optional<int32_t>> answers;
  return answers;
}

std::vector<std::pair<UINT, WPARAM>>& RecorderMessages() {
  static std::vector<std::pair<UINT, WPARAM>> messages;
  return messages;
}

std::optional<int32_t> RecordEvent(int32_t event, int32_t a, int32_t b, int32_t c) {
  const EventSource source = CurrentEventSource();
  const LoadedWindow* window = FindLoadedWindow(source.windowId);
  const bool visible = window && window->hwnd() && IsWindowVisible(window->hwnd());
  FiredEvents().push_back({event, source.windowId, source.unitId, {a, b, c}, visible});
  const auto answer = Answers().find(event);
  return answer == Answers().end() ? std::nullopt : answer->second;
}

void DestroyOnCreate() {
  RecordEvent(0, 0, 0, 0);
  DestroyWindow(UnitHandle(CurrentEventSource().windowId));
}

void PokeWhileLoading() {
  RecordEvent(0, 0, 0, 0);
  SendMessageA(UnitHandle(CurrentEventSource().windowId), WM_LBUTTONDOWN, 0, MAKELPARAM(1, 1));
}

namespace {

HWND modalWindow = nullptr;

void CALLBACK ModalTimer(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  RecordEvent(100, IsWindowEnabled(UnitHandle(OTHER_WINDOW)) ? 1 : 0, IsWindowEnabled(ForeignWindow()) ? 1 : 0, 0);
  PostMessageA(modalWindow, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: case WM_RBUTTONDOWN: case WM_RBUTTONUP:
    case WM_MOUSEMOVE: case WM_SETFOCUS: case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_KEYUP: case WM_SYSKEYUP:
    case WM_CHAR: case WM_MOUSEWHEEL:
      RecorderMessages().push_back({message, wParam});
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

HWND& ForeignWindow() {
  static HWND window = nullptr;
  return window;
}

void StartModalCheck() {
  modalWindow = UnitHandle(CurrentEventSource().windowId);
  SetTimer(nullptr, 0, 50, &ModalTimer);
}

void FrameTest::SetUpTestSuite() {
  // A class of the program's own: the window unit that names it runs over its procedure.
  WNDCLASSEXA recorder{sizeof recorder};
  recorder.lpfnWndProc = &RecorderProc;
  recorder.hInstance = GetModuleHandleA(nullptr);
  recorder.lpszClassName = "FrameTestRecorder";
  RegisterClassExA(&recorder);
  RuntimeService(SERVICE_INITIALISE, reinterpret_cast<intptr_t>(&FrameTestTemplates), 0);
}

void FrameTest::SetUp() {
  FiredEvents().clear();
  Answers().clear();
  RecorderMessages().clear();
}

void FrameTest::TearDown() {
  DestroyLoadedWindows();
  EXPECT_FALSE(AnyLoadedWindow());
}

void FrameTest::TearDownTestSuite() { DestroyLoadedWindows(); }

void FrameTest::DestroyLoadedWindows() {
  for (uint32_t id : LoadedWindowIds())
    if (const LoadedWindow* window = FindLoadedWindow(id); window && window->hwnd()) DestroyWindow(window->hwnd());
  Pump(20);
}

void Pump(int milliseconds) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
  MSG message;
  do {
    // The wide forms, as the runtime's own loop: the ANSI ones would pass characters through
    // the ANSI code page.
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  } while (static_cast<int32_t>(end - GetTickCount()) > 0);
}

HWND UnitHandle(uint32_t windowId, uint32_t unitId) {
  const ValueCell unit{windowId, unitId, TC_WINDOW};
  ValueCell result{};
  CommandForms::GetUnitHandle(&result, 1, &unit);
  return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(result.low)));
}

Capture CaptureClient(HWND window, RECT area) {
  Capture capture;
  capture.width = area.right - area.left;
  capture.height = area.bottom - area.top;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), capture.width, -capture.height, 1, 32, BI_RGB};
  void* bits = nullptr;
  OwnedBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  OwnedMemoryDc memory(CreateCompatibleDC(nullptr));
  {
    Selection selected(memory.get(), bitmap.get());
    WindowDc screen(window);
    BitBlt(memory.get(), 0, 0, capture.width, capture.height, screen.get(), area.left, area.top, SRCCOPY);
  }
  GdiFlush();
  const auto* words = static_cast<const uint32_t*>(bits);
  capture.pixels.assign(words, words + capture.width * capture.height);
  for (uint32_t& pixel : capture.pixels) pixel &= 0xFFFFFF;
  return capture;
}

void RepaintNow(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
  Pump(20);
}

