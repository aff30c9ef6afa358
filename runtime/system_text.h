// The program's GBK texts handed to the system's wide-character functions and read back from
// them, so that what the user sees does not depend on the system's ANSI code page: window texts,
// message boxes and the logical description of a GDI font.
//
// Measured under Wine 8 with the ANSI code page 1252 (LC_ALL=C.UTF-8), and the same in kind
// under 936 for characters GBK lacks:
//   - A window is a Unicode window when its class procedure is a wide one, whether it was made
//     with CreateWindowExA or CreateWindowExW; the system's BUTTON class has both kinds, and a
//     button made with CreateWindowExA is an ANSI window. CreateWindowExA passes its title
//     through the ANSI code page, so Chinese titles must go in through CreateWindowExW.
//   - SetWindowLongPtrA(GWLP_WNDPROC) turns a Unicode window into an ANSI one. From then on
//     every text message of that window passes through the ANSI code page on its way through
//     the procedures: within the process GetWindowTextW reads "??" for "中文", and SetWindowTextW
//     stores "?". Texts stored before are kept, and other processes read them intact, since
//     GetWindowText of another process's window reads the stored text without a message.
//   - WM_CHAR sent as U+4E2D to an ANSI procedure arrives as two messages 0xD6, 0xD0 under 936
//     and as one "?" under 1252; two bytes 0xD6, 0xD0 sent to a Unicode window arrive as U+4E2D.
//   - GetObjectA of a font whose face is "楷体" gives "??" as its face under 1252.
//   - An ANSI window answers WM_NOTIFYFORMAT with NFR_ANSI, so a tool-tip control asks it for
//     callback texts with TTN_GETDISPINFOA, whose text passes through the ANSI code page.
// So window texts are read here from where the window keeps them (InternalGetWindowText), not
// through WM_GETTEXT: that reads right even behind a procedure set with SetWindowLongPtrA.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// The text the window keeps, in UTF-16 and in GBK; empty for no window.
std::wstring StoredWindowText(HWND window);
std::string StoredWindowTextAsGbk(HWND window);

// MessageBoxW with the GBK text and caption.
int ShowMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT style);

// The logical description of a GDI font with its face name in UTF-16; none for a handle that
// is no font.
std::optional<LOGFONTW> LogicalFontOf(HGDIOBJ font);
