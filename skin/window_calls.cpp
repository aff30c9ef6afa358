// Direct calls of the window functions the declared-function table lacks.
#include "skin/window_calls.h"

#include "runtime/wide_text.h"

namespace WindowCalls {

WNDPROC ReplaceProcedure(HWND window, WNDPROC procedure) {
  return reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

WNDPROC CurrentProcedure(HWND window) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)); }

LRESULT CallPrevious(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!previous) return DefWindowProcW(window, message, wParam, lParam);
  return CallWindowProcW(previous, window, message, wParam, lParam);
}

LRESULT Default(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

std::string GbkOfMessageText(LPARAM lParam) {
  const auto* text = reinterpret_cast<const wchar_t*>(lParam);
  return text ? GbkFromWide(text) : std::string();
}

std::string TextOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return GbkFromWide(text);
}

}  // namespace WindowCalls
