// The unit window procedure: the common events from their messages (a handler may swallow the
// message or replace a character), the reflected notifications, the unit's cursor, and the unit
// object's life.
#include "runtime/units/unit_window.h"

#include <windowsx.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "runtime/units/tab_stops.h"
#include "runtime/wide_text.h"

namespace {

constexpr char kUnitProperty[] = "WTUnitObject";

enum class EventArguments { None, Position, Key, Wheel };

// What a given value does to the message: nothing; 0 swallows it. WM_CHAR has its own rules
// (CharactersAfterEvents).
enum class Verdict { Ignored, ZeroSwallows };

struct CommonEventRow {
  UINT message;
  int32_t event;
  EventArguments arguments;
  Verdict verdict;
};

constexpr CommonEventRow kCommonEvents[] = {
    {WM_LBUTTONDOWN, EVENT_LEFT_DOWN, EventArguments::Position, Verdict::ZeroSwallows},
    {WM_LBUTTONUP, EVENT_LEFT_UP, EventArguments::Position, Verdict::ZeroSwallows},
    {WM_LBUTTONDBLCLK, EVENT_LEFT_DOUBLE_CLICK, EventArguments::Position, Verdict::ZeroSwallows},
    {WM_RBUTTONDOWN, EVENT_RIGHT_DOWN, EventArguments::Position, Verdict::ZeroSwallows},
    {WM_RBUTTONUP, EVENT_RIGHT_UP, EventArguments::Position, Verdict::ZeroSwallows},
    {WM_MOUSEMOVE, EVENT_MOUSE_MOVE, EventArguments::Position, Verdict::ZeroSwallows},
    {WM_SETFOCUS, EVENT_FOCUS, EventArguments::None, Verdict::Ignored},
    {WM_KEYDOWN, EVENT_KEY_DOWN, EventArguments::Key, Verdict::ZeroSwallows},
    {WM_SYSKEYDOWN, EVENT_KEY_DOWN, EventArguments::Key, Verdict::ZeroSwallows},
    {WM_KEYUP, EVENT_KEY_UP, EventArguments::Key, Verdict::ZeroSwallows},
    {WM_SYSKEYUP, EVENT_KEY_UP, EventArguments::Key, Verdict::ZeroSwallows},
    {WM_MOUSEWHEEL, EVENT_WHEEL, EventArguments::Wheel, Verdict::ZeroSwallows},
};

const CommonEventRow* CommonEventOf(UINT message) {
  for (const CommonEventRow& row : kCommonEvents)
    if (row.message == message) return &row;
  return nullptr;
}

// Mouse messages carry Ctrl and Shift as they were when the message was made; Alt is read
// from the key state of the queue.
int32_t MouseKeyState(WORD keys) {
  return ((keys & MK_CONTROL) ? 1 : 0) | ((keys & MK_SHIFT) ? 2 : 0) | (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

int32_t ArgumentsOf(EventArguments form, WPARAM wParam, LPARAM lParam, int32_t (&out)[kMaxEventArguments]) {
  switch (form) {
    case EventArguments::None:
      return 0;
    case EventArguments::Position:
      out[0] = GET_X_LPARAM(lParam);
      out[1] = GET_Y_LPARAM(lParam);
      out[2] = MouseKeyState(LOWORD(wParam));
      return 3;
    case EventArguments::Key:
      out[0] = static_cast<int32_t>(wParam);
      out[1] = CurrentKeyState();
      return 2;
    case EventArguments::Wheel:
      out[0] = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
      out[1] = MouseKeyState(GET_KEYSTATE_WPARAM(wParam));
      return 2;
  }
  return 0;
}

// Raises the common event of the message, if it has one; true when the handler swallowed the
// message.
bool RaiseCommonEvent(const UnitObject& unit, UINT message, WPARAM wParam, LPARAM lParam) {
  const CommonEventRow* row = CommonEventOf(message);
  if (!row || !unit.host().WindowTakesEvents(unit.windowId())) return false;
  int32_t arguments[kMaxEventArguments] = {};
  const int32_t count = ArgumentsOf(row->arguments, wParam, lParam, arguments);
  const EventRecord record = unit.Raise(row->event, std::span<const int32_t>(arguments, static_cast<size_t>(count)));
  return record.given && row->verdict == Verdict::ZeroSwallows && record.value == 0;
}

// A character reaches the Unicode unit window in UTF-16, yet the character event sees GBK bytes,
// one event per byte, lead byte first, as a window sees them on a system whose ANSI code page is
// 936. A given 0 swallows the byte; another value replaces it, a value above 0xFF standing for a
// lead byte (bits 8 to 15) and a trail byte (bits 0 to 7). What is left goes on converted back
// to UTF-16 (nothing when every byte was swallowed). None when no handler gave a value: the
// character goes on as it came, also one that GBK lacks.
std::optional<std::wstring> CharactersAfterEvents(const UnitObject& unit, wchar_t character) {
  if (!unit.host().WindowTakesEvents(unit.windowId())) return std::nullopt;
  std::string kept;
  bool answered = false;
  for (const char byte : GbkFromWide(std::wstring_view(&character, 1))) {
    const int32_t code = static_cast<unsigned char>(byte);
    const EventRecord record = unit.Raise(EVENT_CHARACTER, std::span<const int32_t>(&code, 1));
    if (!record.given) {
      kept += byte;
      continue;
    }
    answered = true;
    const auto replacement = static_cast<uint16_t>(record.value);
    if (replacement > 0xFF) kept += static_cast<char>(replacement >> 8);
    if (replacement != 0) kept += static_cast<char>(replacement & 0xFF);
  }
  if (!answered) return std::nullopt;
  return WideFromGbk(kept);
}

struct RegisteredClass {
  std::wstring name;
  uint32_t library;
};
std::vector<RegisteredClass>& RegisteredClasses() {
  static std::vector<RegisteredClass> classes;
  return classes;
}

LRESULT Dispatch(UnitObject& unit, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The unit's own cursor, over its own client area only: the units it holds show theirs, or their
// class's. False when the unit names none; the message then goes on as usual.
bool ShowUnitCursor(UnitObject& unit, HWND window, WPARAM over, LPARAM lParam) {
  if (reinterpret_cast<HWND>(over) != window || LOWORD(lParam) != HTCLIENT) return false;
  const HCURSOR cursor = unit.cursor().For(unit.host().UnitCursor(unit.windowId(), unit.unitId()));
  if (!cursor) return false;
  SetCursor(cursor);
  return true;
}

}  // namespace

// Keeps the object alive while a call of its procedure runs: a handler may destroy the window
// in the middle of a message.
class DispatchDepth {
 public:
  explicit DispatchDepth(UnitObject& unit) : unit_(unit) { ++unit_.depth_; }
  ~DispatchDepth() {
    if (--unit_.depth_ == 0 && unit_.detached_) delete &unit_;
  }
  DispatchDepth(const DispatchDepth&) = delete;
  DispatchDepth& operator=(const DispatchDepth&) = delete;

 private:
  UnitObject& unit_;
};

LRESULT DetachUnitObject(UnitObject& unit, HWND window, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CallWindowProcW(unit.defaultProcedure_, window, WM_NCDESTROY, wParam, lParam);
  RemovePropA(window, kUnitProperty);
  unit.detached_ = true;
  unit.host_.UnitWindowDestroyed(unit.windowId_, unit.unitId_, window);
  return result;
}

bool UnitObject::OnMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void UnitObject::OnCommand(WORD) {}

EventRecord UnitObject::Raise(int32_t event, std::span<const int32_t> arguments) const {
  EventRecord record;
  record.windowId = windowId_;
  record.unitId = unitId_;
  record.event = event;
  for (int32_t argument : arguments) {
    if (record.count == kMaxEventArguments) break;
    record.arguments[record.count++] = argument;
  }
  host_.FireEvent(record);
  return record;
}

namespace {

// The kind's own handling, else the default procedure.
LRESULT PassOn(UnitObject& unit, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (unit.OnMessage(window, message, wParam, lParam, result)) return result;
  return CallWindowProcW(unit.defaultProcedure(), window, message, wParam, lParam);
}

LRESULT DispatchCharacter(UnitObject& unit, HWND window, WPARAM wParam, LPARAM lParam) {
  const std::optional<std::wstring> characters = CharactersAfterEvents(unit, static_cast<wchar_t>(wParam));
  // A handler, or the procedure for an earlier character, may have destroyed the window.
  if (!characters) return UnitObjectOf(window) ? PassOn(unit, window, WM_CHAR, wParam, lParam) : 0;
  LRESULT result = 0;
  for (const wchar_t character : *characters) {
    if (!UnitObjectOf(window)) return 0;
    result = PassOn(unit, window, WM_CHAR, character, lParam);
  }
  return result;
}

LRESULT Dispatch(UnitObject& unit, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  switch (message) {
    case WM_NCDESTROY:
      return DetachUnitObject(unit, window, wParam, lParam);
    case kUnitSetUpMessage:
    case kWindowSetUpMessage:
    case kUnitLoadedMessage:
      unit.OnMessage(window, message, wParam, lParam, result);
      return 0;
    case kReflectedCommand:
      unit.OnCommand(HIWORD(wParam));
      return 0;
    case WM_CHAR:
      return DispatchCharacter(unit, window, wParam, lParam);
    case WM_SETCURSOR:
      if (ShowUnitCursor(unit, window, wParam, lParam)) return TRUE;
      break;
  }
  if (RaiseCommonEvent(unit, message, wParam, lParam)) return 0;
  if (!UnitObjectOf(window)) return 0;  // a handler destroyed the window
  if (message == WM_KEYDOWN && MoveFocusByTabKey(window, wParam)) return 0;
  return PassOn(unit, window, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK UnitWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  UnitObject* unit = UnitObjectOf(window);
  if (!unit) return DefWindowProcW(window, message, wParam, lParam);
  DispatchDepth depth(*unit);
  return Dispatch(*unit, window, message, wParam, lParam);
}

HWND AttachUnitObject(HWND window, std::unique_ptr<UnitObject> object) {
  if (!window) return nullptr;
  if (!object || UnitObjectOf(window) || !SetPropA(window, kUnitProperty, object.get())) {
    DestroyWindow(window);
    return nullptr;
  }
  UnitObject& unit = *object.release();
  unit.window_ = window;
  // The wide forms: the A form of the setter would make the window an ANSI window.
  const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
  if (current != &UnitWindowProc) {
    unit.defaultProcedure_ = current;
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&UnitWindowProc));
  }
  return window;
}

UnitObject* UnitObjectOf(HWND window) {
  return window ? static_cast<UnitObject*>(GetPropA(window, kUnitProperty)) : nullptr;
}

UnitObject* EnclosingUnit(HWND window) {
  for (; window; window = GetAncestor(window, GA_PARENT))
    if (UnitObject* unit = UnitObjectOf(window)) return unit;
  return nullptr;
}

bool UseRuntimeClass(const char* name, uint32_t library) {
  if (!name || !*name) return false;
  const std::wstring wideName = WideFromGbk(name);
  WNDCLASSEXW existing{sizeof existing};
  if (GetClassInfoExW(GetModuleHandleW(nullptr), wideName.c_str(), &existing) ||
      GetClassInfoExW(nullptr, wideName.c_str(), &existing))
    return true;
  WNDCLASSEXW windowClass{sizeof windowClass};
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  windowClass.lpfnWndProc = &UnitWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = wideName.c_str();
  if (!RegisterClassExW(&windowClass)) return false;
  RegisteredClasses().push_back({wideName, library});
  return true;
}

void UnregisterRuntimeClasses(uint32_t library) {
  std::vector<RegisteredClass>& classes = RegisteredClasses();
  std::erase_if(classes, [library](const RegisteredClass& c) {
    if (c.library != library) return false;
    UnregisterClassW(c.name.c_str(), GetModuleHandleW(nullptr));
    return true;
  });
}

int32_t CurrentKeyState() {
  return (GetKeyState(VK_CONTROL) < 0 ? 1 : 0) | (GetKeyState(VK_SHIFT) < 0 ? 2 : 0) |
         (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}
