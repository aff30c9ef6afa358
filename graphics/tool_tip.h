// ToolTip: one common-controls tool-tip window per owner window, each tool a rectangle of the
// owner's client area with an identifier and a GBK text. The control subclasses the owner itself.
// Texts go to the control in UTF-16 (TOOLINFOW and the W messages, which reach the control
// unconverted through SendMessageA), so that they show right whatever the ANSI code page is.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

#include "runtime/value.h"

class ToolTip {
 public:
  // Destroying or copying the wrapper leaves the tool-tip window as it is: it lives as long as the
  // thread that made it, or until Destroy. It has no owner window: measured under Wine, destroying
  // a window that owns a tool tip takes 2 s longer than destroying the two one after the other.
  ToolTip() = default;

  // A tool-tip window of class "ToolTips_class32" for `owner`, always shown (style 1), with the
  // balloon look (0x41) when asked; comctl32 is loaded first. The new window, also kept.
  HWND Create(HWND owner, bool balloon = false);
  // Tool `id` over `rect` (owner client coordinates) showing `text`, which the control copies.
  void AddTool(const RECT& rect, TextValue text, UINT_PTR id);
  // As AddTool, for a tool whose text the owner supplies when asked. The control asks with
  // TTN_GETDISPINFOW only when the owner answers WM_NOTIFYFORMAT with NFR_UNICODE; an owner
  // whose procedure was set with the A form answers NFR_ANSI and is asked with
  // TTN_GETDISPINFOA, whose text passes through the ANSI code page.
  void AddCallbackTool(const RECT& rect, UINT_PTR id);
  // The previous colour, as the control reports it.
  LRESULT SetBackColor(COLORREF colour);
  LRESULT SetTextColor(COLORREF colour);
  // The previous maximum width.
  LRESULT SetMaxWidth(int32_t width);
  // Destroys the tool-tip window, if there is one.
  void Destroy();
  void DeleteTool(UINT_PTR id);
  void SetToolRect(UINT_PTR id, const RECT& rect);
  void SetToolText(UINT_PTR id, TextValue text);
  HWND GetHandle() const { return tipWindow_; }

 private:
  // The tool record of this owner for tool `id`: the first-version TOOLINFOW (40 bytes on 32-bit
  // Windows, 56 on 64-bit), subclassing the owner.
  TOOLINFOW Record(UINT_PTR id) const;
  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const;

  HWND tipWindow_ = nullptr;
  HWND ownerWindow_ = nullptr;
};
