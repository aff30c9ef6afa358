// The classes the engine paints itself: the set-up table that finds and registers them, their
// replacement procedure, the paint frame every painter works in (the skin under the control, the
// shape over its border), and their release.
#include "runtime/imports/declared_functions.h"
#include "skin/controls/control_skins.h"
#include "skin/controls/painted_controls.h"
#include "skin/skin_engine.h"
#include "skin/skin_properties.h"
#include "skin/window_calls.h"

namespace {

// One row per class, in the order the set-up runs them. With `part` given, the row registers
// the children of that class inside each control of `owner`, as parts of it.
struct PaintedLook {
  const char* owner;
  const char* part;
  PaintedFamily family;
  Painter painter;
};

constexpr PaintedLook kLooks[] = {
    {"Edit", nullptr, kEditFamily, PaintEdit},
    {"ComboBox", nullptr, kEditFamily, PaintComboBox},
    {"ComboBox", "Edit", kEditFamily, PaintEdit},
    {"msctls_trackbar32", nullptr, kTrackBarFamily, PaintTrackBar},
    {"msctls_progress32", nullptr, kProgressFamily, PaintProgressBar},
    // A combo box is registered above; the list of a simple combo box lies inside it.
    {"ComboBox", "ComboLBox", kListFamily, PaintList},
    {"ComboLBox", nullptr, kListFamily, PaintList},
    {"ListBox", nullptr, kListFamily, PaintList},
    {"SysListView32", nullptr, kListFamily, PaintListView},
    {"SysTreeView32", nullptr, kListFamily, PaintTreeView},
    {"SysDateTimePick32", nullptr, kListFamily, PaintDateTime},
    {"SysIPAddress32", nullptr, kListFamily, PaintList},
    {"SysIPAddress32", "Edit", kEditFamily, PaintEdit},
    {"msctls_updown32", nullptr, kUpDownFamily, PaintUpDown},
    {"SysHeader32", nullptr, kHeaderFamily, PaintHeader},
    {"SysListView32", "SysHeader32", kHeaderFamily, PaintHeader},
};

template <PaintedFamily family>
LRESULT CALLBACK SkinnedPaintedProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (SkinEngine* engine = SkinEngine::Active()) return engine->PaintedProc(hwnd, message, wParam, lParam, family);
  return WindowCalls::CallPrevious(PreviousProcedureOf(hwnd), hwnd, message, wParam, lParam);
}

constexpr WNDPROC kFamilyProcs[kPaintedFamilyCount] = {
    SkinnedPaintedProc<kEditFamily>,   SkinnedPaintedProc<kTrackBarFamily>, SkinnedPaintedProc<kProgressFamily>,
    SkinnedPaintedProc<kListFamily>,   SkinnedPaintedProc<kUpDownFamily>,   SkinnedPaintedProc<kHeaderFamily>,
};

// The child windows of `parent` of the class (of any class for null).
template <class Visit>
void ForEachChild(HWND parent, const char* className, Visit visit) {
  for (HWND child = Declared::FindWindowExA(parent, nullptr, className, nullptr); child;
       child = Declared::FindWindowExA(parent, child, className, nullptr))
    visit(child);
}

// Where the client area starts inside the window rectangle, and how far its scroll bars reach.
struct BorderGeometry {
  RECT window;  // screen
  POINT client;  // offset of the client area in the window
  RECT inner;    // client area and scroll bars, in window coordinates
  bool HasRing() const {
    return client.x > 0 || client.y > 0 || inner.right < window.right - window.left ||
           inner.bottom < window.bottom - window.top;
  }
};

BorderGeometry BorderOf(HWND control) {
  BorderGeometry geometry{};
  Declared::GetWindowRect(control, &geometry.window);
  RECT client{};
  Declared::GetClientRect(control, &client);
  POINT origin{0, 0};
  Declared::ClientToScreen(control, &origin);
  geometry.client = POINT{origin.x - geometry.window.left, origin.y - geometry.window.top};
  const LONG style = Declared::GetWindowLongA(control, GWL_STYLE);
  const int scrollX = (style & WS_VSCROLL) ? GetSystemMetrics(SM_CXVSCROLL) : 0;
  const int scrollY = (style & WS_HSCROLL) ? GetSystemMetrics(SM_CYHSCROLL) : 0;
  geometry.inner = RECT{geometry.client.x, geometry.client.y, geometry.client.x + client.right + scrollX,
                        geometry.client.y + client.bottom + scrollY};
  return geometry;
}

bool HasFocusWithin(HWND control) {
  HWND focus = GetFocus();
  return focus && (focus == control || IsChild(control, focus));
}

// A control's paint leaves its visible child windows (a list view's header, a combo box's field)
// alone: they paint themselves, and a repaint of the control alone would cover them.
void ExcludeChildren(HDC dc, HWND control) {
  ForEachChild(control, nullptr, [&](HWND child) {
    if (!Declared::IsWindowVisible(child)) return;
    RECT rect{};
    Declared::GetWindowRect(child, &rect);
    POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    MapWindowPoints(nullptr, control, corners, 2);
    Declared::ExcludeClipRect(dc, corners[0].x, corners[0].y, corners[1].x, corners[1].y);
  });
}

}  // namespace

void SkinEngine::SkinPaintedControls(int32_t index, HWND parent) {
  for (size_t look = 0; look < std::size(kLooks); ++look)
    ForEachChild(parent, kLooks[look].owner, [&](HWND owner) {
      if (!kLooks[look].part) return RegisterPainted(index, owner, static_cast<int32_t>(look));
      ForEachChild(owner, kLooks[look].part, [&](HWND part) { RegisterPainted(index, part, static_cast<int32_t>(look)); });
    });
}

void SkinEngine::RegisterPainted(int32_t index, HWND control, int32_t look) {
  if (!control || Declared::GetPropA(control, kParentIndexProperty)) return;  // registered once
  const PaintedLook& row = kLooks[look];
  std::deque<PaintedRecord>& list = RecordAt(index).controls.painted[row.family];
  PaintedRecord& entry = list.emplace_back();
  entry.hwnd = control;
  entry.look = look;
  entry.inner = row.part != nullptr;
  SetIntProperty(control, kWindowIndexProperty, static_cast<intptr_t>(list.size()));
  SetIntProperty(control, kParentIndexProperty, index);
  entry.previousProc = WindowCalls::ReplaceProcedure(control, kFamilyProcs[row.family]);
  Declared::SetPropA(control, kPreviousProcProperty, reinterpret_cast<HANDLE>(entry.previousProc));
  RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void SkinEngine::ReleasePainted(ControlLists& controls) {
  for (int family = 0; family < kPaintedFamilyCount; ++family)
    for (PaintedRecord& entry : controls.painted[family]) {
      if (entry.hwnd && WindowCalls::CurrentProcedure(entry.hwnd) == kFamilyProcs[family]) RestoreViewColours(entry);
      UnhookControl(entry.hwnd, kFamilyProcs[family], entry.previousProc, kButtonProperties);
    }
}

void SkinEngine::PaintPainted(WindowRecord& window, PaintedRecord& record) {
  PAINTSTRUCT paint{};
  HDC dc = Declared::BeginPaint(record.hwnd, &paint);
  if (!dc) return;
  RECT client{};
  Declared::GetClientRect(record.hwnd, &client);
  GdiSurface surface;
  if (CopyBackgroundUnder(window, record.hwnd, client.right, client.bottom, surface)) {
    const BorderGeometry border = BorderOf(record.hwnd);
    PaintTarget target{*this,
                       record,
                       record.hwnd,
                       surface.dc(),
                       client.right,
                       client.bottom,
                       Gdiplus::RectF(static_cast<float>(-border.client.x), static_cast<float>(-border.client.y),
                                      static_cast<float>(border.window.right - border.window.left - 1),
                                      static_cast<float>(border.window.bottom - border.window.top - 1)),
                       settings_.themeColour,
                       HasFocusWithin(record.hwnd),
                       IsDisabled(record.hwnd)};
    kLooks[record.look].painter(target);
    ExcludeChildren(dc, record.hwnd);
    Declared::BitBlt(dc, 0, 0, client.right, client.bottom, surface.dc(), 0, 0, SRCCOPY);
  }
  Declared::EndPaint(record.hwnd, &paint);
}

// The part of the shape that lies over the border, drawn after the system's border (and scroll
// bars, which stay as they are).
void SkinEngine::PaintBorderRing(WindowRecord& window, HWND control) {
  const BorderGeometry border = BorderOf(control);
  if (!border.HasRing()) return;
  const int width = border.window.right - border.window.left, height = border.window.bottom - border.window.top;
  GdiSurface surface;
  if (!CopyBackgroundAt(window, POINT{border.window.left, border.window.top}, width, height, surface)) return;
  {
    Graphics graphics;
    if (!graphics.CreateFromHdc(surface.dc())) return;
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    DrawBody(graphics, Gdiplus::RectF(0, 0, static_cast<float>(width - 1), static_cast<float>(height - 1)),
             settings_.themeColour, HasFocusWithin(control), IsDisabled(control));
  }
  HDC dc = Declared::GetWindowDC(control);
  if (!dc) return;
  Declared::ExcludeClipRect(dc, border.inner.left, border.inner.top, border.inner.right, border.inner.bottom);
  Declared::BitBlt(dc, 0, 0, width, height, surface.dc(), 0, 0, SRCCOPY);
  Declared::ReleaseDC(control, dc);
}

LRESULT SkinEngine::PaintedProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, PaintedFamily family) {
  const int32_t index = IntProperty(hwnd, kParentIndexProperty);
  const WindowRecordPtr held = SharedRecordAt(index);
  std::deque<PaintedRecord>& list = held->controls.painted[family];
  const int32_t number = IntProperty(hwnd, kWindowIndexProperty);
  CheckListIndex(number, list.size());
  PaintedRecord& entry = list[static_cast<size_t>(number - 1)];
  const WNDPROC previous = entry.previousProc;
  auto passOn = [&] { return WindowCalls::CallPrevious(previous, hwnd, message, wParam, lParam); };

  switch (message) {
    case WM_PAINT:
      // A paint into a DC the caller gives is a print: the control draws itself.
      if (!settings_.transparentControls || wParam) break;
      PaintPainted(*held, entry);
      return 0;
    case WM_ERASEBKGND:
      // The paint covers the whole client area; an erase would flash the system's colour.
      if (settings_.transparentControls) return 1;
      break;
    case WM_NCPAINT: {
      const LRESULT result = passOn();
      if (settings_.transparentControls && held->alive && entry.hwnd) PaintBorderRing(*held, hwnd);
      return result;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE: {
      const LRESULT result = passOn();
      // The outline shows the focus; a part's focus shows on the control it belongs to.
      HWND shown = entry.inner ? Declared::GetParent(hwnd) : hwnd;
      RedrawWindow(shown, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
      return result;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
      // The fields of a combo box or IP address ask it for their colours.
      if (const LRESULT brush = KeyedColouring(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam))) return brush;
      break;
    case WM_NCDESTROY:
      ReleaseControlColouring(hwnd);
      UnhookControl(hwnd, kFamilyProcs[family], previous, kButtonProperties);
      entry.hwnd = nullptr;
      break;
  }
  return passOn();
}
