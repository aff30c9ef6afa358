// The replacement procedure of skinned windows: painting from the frame cache, the caption
// buttons' fade, press and click, moving and sizing, the track size, and the clean-up.
#include <windowsx.h>

#include "runtime/commands/commands.h"
#include "runtime/imports/declared_functions.h"
#include "runtime/startup_trace.h"
#include "skin/controls/control_colouring.h"
#include "skin/controls/painted_controls.h"
#include "skin/skin_engine.h"
#include "skin/skin_properties.h"
#include "skin/window_calls.h"

namespace {

constexpr int32_t kFadeSteps = 8;
constexpr int32_t kFadeAlphaStep = 30;
constexpr UINT kAnimationInterval = 20;
constexpr int kTreeItemExpanded = -406;   // TVN_ITEMEXPANDEDA
constexpr int kTreeItemExpanding = -405;  // TVN_ITEMEXPANDINGA

UINT_PTR TimerId(HWND hwnd) { return reinterpret_cast<UINT_PTR>(hwnd); }

// The height of the taskbar, 0 when there is none.
int32_t TaskbarHeight() {
  HWND taskbar = Declared::FindWindowA("Shell_TrayWnd", nullptr);
  RECT rect{};
  if (!taskbar || !Declared::GetWindowRect(taskbar, &rect)) return 0;
  return rect.bottom - rect.top;
}

// Controls whose text scrolls or changes repaint their see-through background as a whole.
bool RepaintsOnNotification(HWND control, WORD code) {
  if (ClassIs(control, "Edit")) return code == EN_VSCROLL || code == EN_HSCROLL || code == EN_CHANGE || code == EN_UPDATE;
  if (ClassIs(control, "ListBox")) return code == LBN_SELCHANGE || code == LBN_SELCANCEL;
  if (ClassIs(control, "ComboBox")) return code == CBN_KILLFOCUS || code == CBN_SELCHANGE;
  return false;
}

}  // namespace

LRESULT SkinEngine::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const int32_t index = WindowIndexOf(hwnd);
  const WNDPROC previous = PreviousProcedureOf(hwnd);
  // Held for the whole message: a handler may destroy the window (a click on close does).
  WindowRecordPtr held;
  auto record = [&]() -> WindowRecord& {
    if (!held) held = SharedRecordAt(index);
    return *held;
  };

  switch (message) {
    case WM_SIZE:
      record().hotButton = 0;
      if (settings_.firstSizeFlag) {
        record().needsRepaint = false;
        settings_.firstSizeFlag = false;
      } else {
        record().needsRepaint = true;
      }
      LayoutAnchoredChildren(index);
      break;
    case WM_SETTEXT:
      if (record().drawTitle && record().captionActive) {
        const std::string text = WindowCalls::GbkOfMessageText(lParam);
        DrawTitle(index, text.c_str());
        RECT client{};
        Declared::GetClientRect(hwnd, &client);
        Declared::InvalidateRect(hwnd, &client, FALSE);
      }
      break;
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      HDC dc = Declared::BeginPaint(hwnd, &paint);
      if (!record().minimized) {
        if (record().needsRepaint) {
          PaintFrame(index, dc, 1);
          record().needsRepaint = false;
        } else {
          BlitFrame(index, dc);
        }
      }
      Declared::EndPaint(hwnd, &paint);
      StartupMark("painted");
      if (record().toolTipsPending) {
        record().toolTipsPending = false;
        PostMessageW(hwnd, kMakeToolTipsMessage, 0, 0);
      }
      return WindowCalls::Default(hwnd, message, wParam, lParam);
    }
    case kMakeToolTipsMessage:
      // A rebuild or an added button may have made them already.
      if (!record().toolTip.GetHandle()) {
        ResetToolTips(record());
        LayoutTitleButtons(index);
      }
      return 0;
    case WM_QUERYOPEN:
      record().minimized = false;
      break;
    case WM_ERASEBKGND:
      Declared::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return 1;
    case WM_SHOWWINDOW:
      if (wParam != 1) break;
      if (record().minimized) {
        record().minimized = false;
      } else {
        HDC dc = Declared::GetDC(hwnd);
        PaintFrame(index, dc, 1);
        Declared::ReleaseDC(hwnd, dc);
      }
      break;
    case WM_ACTIVATEAPP:
      // A window that is closing is hidden before the activation moves on: trimming a program
      // that is ending gains nothing, and under Wine a program started by a process that ends
      // meanwhile hangs in its start-up for ever.
      if (wParam == 0 && deactivationRoutine_ && Declared::IsWindowVisible(hwnd)) deactivationRoutine_();
      break;
    case WM_GETMINMAXINFO:
      if (index >= 1 && lParam) OnMinMaxInfo(record(), *reinterpret_cast<MINMAXINFO*>(lParam));
      break;
    case WM_DRAWITEM:
      if (DrawOwnerDrawnButton(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
      break;
    case WM_WINDOWPOSCHANGED:
      OnWindowPosChanged(index, record());
      break;
    case WM_DPICHANGED: {
      // The window below moves itself and its units first (a runtime window does); then the
      // frame follows.
      const LRESULT result = WindowCalls::CallPrevious(previous, hwnd, message, wParam, lParam);
      OnDpiChanged(hwnd, LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return result;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header && (static_cast<int>(header->code) == kTreeItemExpanded ||
                     static_cast<int>(header->code) == kTreeItemExpanding))
        Declared::InvalidateRect(header->hwndFrom, nullptr, TRUE);
      break;
    }
    case WM_PARENTNOTIFY:
      // A child going before the window: what its colouring holds goes with it (a skinned
      // control releases its own as well; a plain label has only this).
      if (LOWORD(wParam) == WM_DESTROY && lParam) {
        ReleaseControlColouring(reinterpret_cast<HWND>(lParam));
        ReleaseColouringBelow(reinterpret_cast<HWND>(lParam));
      }
      break;
    case WM_DESTROY:
      // The window's tool tip goes with it.
      record().toolTip.Destroy();
      ReleaseColouringBelow(hwnd);
      break;
    case WM_NCDESTROY:
      RemoveRecord(hwnd);
      Declared::KillTimer(hwnd, TimerId(hwnd));
      return WindowCalls::CallPrevious(previous, hwnd, message, wParam, lParam);
    case WM_COMMAND:
      if (settings_.overlayGiven && settings_.transparentControls && lParam &&
          RepaintsOnNotification(reinterpret_cast<HWND>(lParam), HIWORD(wParam)))
        Declared::InvalidateRect(reinterpret_cast<HWND>(lParam), nullptr, TRUE);
      break;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_MAXIMIZE:
          record().maximized = true;
          record().needsRepaint = true;
          break;
        case SC_RESTORE:
          record().needsRepaint = true;
          record().minimized = false;
          break;
        case SC_MINIMIZE:
          record().needsRepaint = true;
          record().minimized = true;
          break;
      }
      break;
    case WM_TIMER:
      if (wParam == TimerId(hwnd)) OnTimer(index, record());
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
      if (const LRESULT brush = KeyedColouring(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam))) return brush;
      if (LRESULT brush = OnControlColour(record(), message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
        return brush;
      break;
    case WM_MOUSEMOVE:
      OnMouseMove(index, record(), lParam);
      break;
    case WM_LBUTTONDOWN:
      OnLeftButtonDown(index, record(), lParam);
      break;
    case WM_LBUTTONUP:
      if (hotButton_ >= 1 && hotButton_ <= static_cast<int32_t>(record().titleButtons.size()) &&
          record().captionActive)
        TitleButtonClick(index, hotButton_);
      break;
    case WM_LBUTTONDBLCLK:
      if (GET_Y_LPARAM(lParam) <= record().Px(record().captionHeight) && record().sizable)
        if (const int32_t maximize = FindMaximizeButton(index)) TitleButtonClick(index, maximize);
      break;
    case WM_MOUSEHOVER:
      record().mouseTracked = true;
      break;
    case WM_MOUSELEAVE:
      if (index >= 1 && index <= WindowCount()) OnMouseLeave(index, record());
      break;
  }
  // The window went while its message was handled: nothing of it is left to pass the message to.
  if (held && !held->alive) return 0;
  return WindowCalls::CallPrevious(previous, hwnd, message, wParam, lParam);
}

void SkinEngine::OnMouseMove(int32_t index, WindowRecord& record, LPARAM lParam) {
  const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  RECT client{};
  Declared::GetClientRect(record.hwnd, &client);
  if (!record.mouseTracked) {
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_HOVER | TME_LEAVE, record.hwnd, 1};
    Declared::TrackMouseEvent(&track);
  }
  if (record.captionActive) {
    const bool inStrip = x >= record.buttonsLeft && x <= record.buttonsLeft + record.buttonsWidth && y >= 0 &&
                         y <= record.buttonsHeight;
    if (inStrip) {
      if (!record.timerRunning) {
        Declared::SetTimer(record.hwnd, TimerId(record.hwnd), kAnimationInterval, nullptr);
        record.timerRunning = true;
      }
    } else {
      record.timerRunning = false;
    }
    hotButton_ = HitTestTitleButton(index, x, y);
    if (record.hotButton >= 1 && record.hotButton != hotButton_) {
      if (record.fadeOut.step < kFadeSteps) DrawTitleButton(index, record.fadeOut.button, false, 0);
      record.fadeOut = {record.hotButton, 0};
    }
    if (hotButton_ >= 1 && hotButton_ != record.hotButton) record.fadeIn = {hotButton_, 0};
    record.hotButton = hotButton_;
  }
  if (!record.maximized) UpdateSizingCursor(index, lParam, client);
}

void SkinEngine::OnTimer(int32_t index, WindowRecord& record) {
  if (record.fadeIn.button >= 1 && record.fadeIn.step < kFadeSteps) {
    ++record.fadeIn.step;
    DrawTitleButton(index, record.fadeIn.button, false, kFadeAlphaStep * record.fadeIn.step);
  }
  if (record.fadeOut.button >= 1 && record.fadeOut.step < kFadeSteps) {
    ++record.fadeOut.step;
    DrawTitleButton(index, record.fadeOut.button, false, kFadeAlphaStep * (kFadeSteps - record.fadeOut.step));
  }
  const bool fadeOutDone = record.fadeOut.step >= kFadeSteps || record.fadeOut.button == 0;
  if ((!record.mouseTracked || !record.timerRunning) && fadeOutDone) {
    record.timerRunning = false;
    Declared::KillTimer(record.hwnd, TimerId(record.hwnd));
    record.hotButton = 0;
    record.fadeIn = record.fadeOut = FadeState{};
  }
}

void SkinEngine::OnMouseLeave(int32_t index, WindowRecord& record) {
  record.mouseTracked = false;
  if (record.hotButton < 1 || !record.captionActive) return;
  if (record.fadeOut.step < kFadeSteps && record.fadeIn.step < kFadeSteps) {
    DrawTitleButton(index, record.fadeOut.button, false, 0);
    record.fadeIn = FadeState{};
  }
  record.fadeOut = {record.hotButton, 0};
  record.hotButton = 0;
}

void SkinEngine::OnLeftButtonDown(int32_t index, WindowRecord& record, LPARAM lParam) {
  RECT client{};
  Declared::GetClientRect(record.hwnd, &client);
  record.fadeIn.button = 0;
  if (!record.captionActive) return;
  // A move runs its own loop inside this call and returns when the button is released; the
  // program's code runs in it and may close any window, this one or one before it in the list.
  if (!record.maximized && !record.minimized) BeginDragOrResize(index, lParam, client);
  index = PositionOf(record);
  if (!index) return;
  hotButton_ = HitTestTitleButton(index, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  if (hotButton_ >= 1) DrawTitleButton(index, hotButton_, true, 0);
}

void SkinEngine::OnMinMaxInfo(WindowRecord& record, MINMAXINFO& info) {
  info.ptMinTrackSize = POINT{record.Px(record.minTrackWidth), record.Px(record.minTrackHeight)};
  if (record.maximized)
    info.ptMaxTrackSize = POINT{Commands::ScreenWidth(), Commands::ScreenHeight() - TaskbarHeight()};
  else
    info.ptMaxTrackSize = POINT{record.maxTrackWidth, record.maxTrackHeight};
}

void SkinEngine::OnDpiChanged(HWND hwnd, UINT dpi, const RECT* suggested) {
  // A window whose own procedure left the suggested rectangle alone takes it here; for one that
  // took it already this changes nothing.
  if (suggested)
    Declared::SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                           suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  const int32_t index = IndexOf(hwnd);
  if (!index || dpi == 0) return;
  WindowRecord& record = RecordAt(index);
  if (dpi == record.dpi) return;
  for (AnchoredChild& child : record.anchoredChildren) {
    child.placed = RECT{RescaledDpi(child.placed.left, record.dpi, dpi), RescaledDpi(child.placed.top, record.dpi, dpi),
                        RescaledDpi(child.placed.right, record.dpi, dpi), RescaledDpi(child.placed.bottom, record.dpi, dpi)};
    child.client = SIZE{RescaledDpi(child.client.cx, record.dpi, dpi), RescaledDpi(child.client.cy, record.dpi, dpi)};
  }
  record.dpi = dpi;
  record.scaledCaptionIcon.reset();
  MeasureTitleStrip(record);
  LayoutTitleButtons(index);
  LayoutBottomBar(index);
  record.needsRepaint = true;
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void SkinEngine::OnWindowPosChanged(int32_t index, WindowRecord& record) {
  RECT client{};
  Declared::GetClientRect(record.hwnd, &client);
  const int32_t screenWidth = Commands::ScreenWidth(), screenHeight = Commands::ScreenHeight();
  if (record.hasMaximize && client.right == screenWidth && client.bottom == screenHeight) {
    record.maximized = true;
    Declared::SetWindowPos(record.hwnd, nullptr, 0, 0, screenWidth, screenHeight - TaskbarHeight(),
                           SWP_NOZORDER | SWP_NOOWNERZORDER);
    // The move's own messages reach the program, which may have closed windows meanwhile.
    index = PositionOf(record);
    if (!index) return;
  }
  LayoutTitleButtons(index);
  if (record.bottomBarHeight > 0) LayoutBottomBar(index);
}
