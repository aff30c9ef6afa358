// ToolTip: the tool-tip window and the tool records sent to it.
#include "graphics/tool_tip.h"

#include <string>

#include "runtime/imports/declared_functions.h"
#include "runtime/wide_text.h"

namespace {

constexpr char kToolTipClass[] = "ToolTips_class32";
constexpr DWORD kAlwaysTip = 0x01;   // TTS_ALWAYSTIP
constexpr DWORD kBalloon = 0x40;     // TTS_BALLOON
constexpr int kDefaultPlace = static_cast<int>(0x80000000u);  // CW_USEDEFAULT

// Windows registers the tool-tip class only once comctl32 is in the process.
void LoadCommonControls() {
  static const HMODULE loaded = Declared::LoadLibraryA("comctl32.dll");
  (void)loaded;
}

}  // namespace

HWND ToolTip::Create(HWND owner, bool balloon) {
  LoadCommonControls();
  ownerWindow_ = owner;
  const DWORD style = balloon ? (kAlwaysTip | kBalloon) : kAlwaysTip;
  tipWindow_ = Declared::CreateWindowExA(0, kToolTipClass, "", style, kDefaultPlace, kDefaultPlace, kDefaultPlace,
                                         kDefaultPlace, nullptr, nullptr, Declared::GetModuleHandleA(nullptr),
                                         nullptr);
  return tipWindow_;
}

void ToolTip::Destroy() {
  // DestroyWindow is not among the declared functions.
  if (tipWindow_) DestroyWindow(tipWindow_);
  tipWindow_ = nullptr;
}

TOOLINFOW ToolTip::Record(UINT_PTR id) const {
  TOOLINFOW record = {};
  record.cbSize = TTTOOLINFOW_V1_SIZE;
  record.uFlags = TTF_SUBCLASS;
  record.hwnd = ownerWindow_;
  record.uId = id;
  return record;
}

LRESULT ToolTip::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  if (!tipWindow_) return 0;
  return Declared::SendMessageA(tipWindow_, message, wParam, lParam);
}

// The control copies the text during the call.
void ToolTip::AddTool(const RECT& rect, TextValue text, UINT_PTR id) {
  std::wstring wide = WideFromText(text);
  TOOLINFOW record = Record(id);
  record.rect = rect;
  record.lpszText = wide.data();
  Send(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&record));
}

void ToolTip::AddCallbackTool(const RECT& rect, UINT_PTR id) {
  TOOLINFOW record = Record(id);
  record.rect = rect;
  record.lpszText = LPSTR_TEXTCALLBACKW;
  Send(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&record));
}

LRESULT ToolTip::SetBackColor(COLORREF colour) { return Send(TTM_SETTIPBKCOLOR, colour, 0); }

LRESULT ToolTip::SetTextColor(COLORREF colour) { return Send(TTM_SETTIPTEXTCOLOR, colour, 0); }

LRESULT ToolTip::SetMaxWidth(int32_t width) { return Send(TTM_SETMAXTIPWIDTH, 0, width); }

void ToolTip::DeleteTool(UINT_PTR id) {
  TOOLINFOW record = Record(id);
  Send(TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&record));
}

void ToolTip::SetToolRect(UINT_PTR id, const RECT& rect) {
  TOOLINFOW record = Record(id);
  record.rect = rect;
  Send(TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&record));
}

void ToolTip::SetToolText(UINT_PTR id, TextValue text) {
  std::wstring wide = WideFromText(text);
  TOOLINFOW record = Record(id);
  record.lpszText = wide.data();
  Send(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&record));
}
