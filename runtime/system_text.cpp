// Window texts, message boxes and font descriptions through the wide-character functions.
#include "runtime/system_text.h"

#include "runtime/wide_text.h"

std::wstring StoredWindowText(HWND window) {
  if (!window) return {};
  // InternalGetWindowText has no length query: the buffer grows until the text fits with room.
  for (int size = 256; size <= (1 << 20); size *= 2) {
    std::wstring text(static_cast<size_t>(size), L'\0');
    const int length = InternalGetWindowText(window, text.data(), size);
    if (length < size - 1) {
      text.resize(static_cast<size_t>(length > 0 ? length : 0));
      return text;
    }
  }
  return {};
}

std::string StoredWindowTextAsGbk(HWND window) { return GbkFromWide(StoredWindowText(window)); }

int ShowMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT style) {
  return MessageBoxW(owner, WideFromGbk(text).c_str(), WideFromGbk(caption).c_str(), style);
}

std::optional<LOGFONTW> LogicalFontOf(HGDIOBJ font) {
  LOGFONTW description{};
  if (!font || GetObjectW(font, sizeof description, &description) != sizeof description) return std::nullopt;
  return description;
}
