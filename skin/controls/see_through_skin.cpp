// Static controls and containers seen through: registration, their procedure, the paint that
// keys their own background colour out over the skin, their colours, and what the records of a
// window's controls need when the window goes or moves up the list.
#include "graphics/drawing_surface.h"
#include "graphics/paths_pens_brushes.h"
#include "runtime/commands/commands.h"
#include "runtime/imports/declared_functions.h"
#include "runtime/runtime_error.h"
#include "skin/controls/control_skins.h"
#include "skin/controls/painted_controls.h"
#include "skin/skin_engine.h"
#include "skin/skin_properties.h"
#include "skin/window_calls.h"

namespace {

const char* const kStaticProperties[] = {kStaticProcProperty, kStaticIndexProperty, kStaticParentProperty, nullptr};
const char* const kContainerProperties[] = {kPreviousProcProperty, kWindowIndexProperty, kParentIndexProperty,
                                            kBackdropOwnerProperty, nullptr};

// The nearest window above `control` marked as providing the background, or null.
HWND BackdropOwnerOf(HWND control) {
  for (HWND above = Declared::GetParent(control); above; above = Declared::GetParent(above))
    if (IntProperty(above, kProvidesBackdropProperty) == 1) return above;
  return nullptr;
}

}  // namespace

int32_t IntProperty(HWND window, const char* name) {
  return static_cast<int32_t>(reinterpret_cast<intptr_t>(Declared::GetPropA(window, name)));
}

void SetIntProperty(HWND window, const char* name, intptr_t value) {
  Declared::SetPropA(window, name, reinterpret_cast<HANDLE>(value));
}

void CheckListIndex(int32_t index, size_t count) {
  if (index < 1) RaiseRuntimeError(ERR_INDEX_BELOW_ONE);
  if (static_cast<size_t>(index) > count) RaiseRuntimeError(ERR_INDEX_ABOVE_COUNT);
}

void UnhookControl(HWND control, WNDPROC own, WNDPROC previous, const char* const* properties) {
  if (!control) return;
  // A window that is gone has no procedure; under a later subclass the skin's procedure stays and forwards by its properties.
  if (WindowCalls::CurrentProcedure(control) != own) return;
  WindowCalls::ReplaceProcedure(control, previous);
  // RemovePropA is not among the declared functions.
  for (; *properties; ++properties) RemovePropA(control, *properties);
}

LRESULT CALLBACK SkinnedStaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (SkinEngine* engine = SkinEngine::Active()) return engine->SeeThroughProc(hwnd, message, wParam, lParam, false);
  const auto previous = reinterpret_cast<WNDPROC>(Declared::GetPropA(hwnd, kStaticProcProperty));
  return WindowCalls::CallPrevious(previous, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK SkinnedContainerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (SkinEngine* engine = SkinEngine::Active()) return engine->SeeThroughProc(hwnd, message, wParam, lParam, true);
  return WindowCalls::CallPrevious(PreviousProcedureOf(hwnd), hwnd, message, wParam, lParam);
}

int32_t SkinEngine::SkinnedAncestorIndex(HWND control) const {
  if (!control) return 0;
  for (HWND above = Declared::GetParent(control); above; above = Declared::GetParent(above))
    if (const int32_t index = IndexOf(above)) return index;
  return 0;
}

SeeThroughRecord& SkinEngine::RegisterSeeThrough(int32_t index, HWND control, COLORREF key, bool container) {
  ControlLists& controls = RecordAt(index).controls;
  std::deque<SeeThroughRecord>& list = container ? controls.containers : controls.statics;
  SeeThroughRecord& entry = list.emplace_back();
  entry.hwnd = control;
  entry.keyColour = key;
  SetIntProperty(control, container ? kWindowIndexProperty : kStaticIndexProperty, static_cast<intptr_t>(list.size()));
  SetIntProperty(control, container ? kParentIndexProperty : kStaticParentProperty, index);
  entry.previousProc = WindowCalls::ReplaceProcedure(control, container ? &SkinnedContainerProc : &SkinnedStaticProc);
  Declared::SetPropA(control, container ? kPreviousProcProperty : kStaticProcProperty,
                     reinterpret_cast<HANDLE>(entry.previousProc));
  Declared::InvalidateRect(control, nullptr, TRUE);
  return entry;
}

void SkinEngine::SkinStaticControl(HWND control, OptionalArg<COLORREF> keyColour, OptionalArg<int32_t> /*option*/,
                                   OptionalArg<int32_t> alpha) {
  // A control outside every skinned window has no list to go in.
  const int32_t index = SkinnedAncestorIndex(control);
  if (!index || Declared::GetPropA(control, kStaticParentProperty)) return;
  const COLORREF key = keyColour.Or(static_cast<COLORREF>(Commands::DefaultBackColor()));
  SeeThroughRecord& entry = RegisterSeeThrough(index, control, key, false);
  entry.washed = alpha.given;
  entry.washAlpha = static_cast<uint8_t>(alpha.value & 0xFF);
  // Controls inside it: it is a container as well, whose procedure goes over the static one.
  if (Declared::FindWindowExA(control, nullptr, nullptr, nullptr)) SkinContainer(control, {}, keyColour, alpha, {});
}

void SkinEngine::SkinContainer(HWND container, OptionalArg<int32_t> /*flag*/, OptionalArg<COLORREF> keyColour,
                               OptionalArg<int32_t> alpha, OptionalArg<int32_t> /*secondFlag*/) {
  const int32_t index = SkinnedAncestorIndex(container);
  if (!index || Declared::GetPropA(container, kParentIndexProperty)) return;
  SeeThroughRecord& entry =
      RegisterSeeThrough(index, container, keyColour.Or(static_cast<COLORREF>(Commands::DefaultBackColor())), true);
  entry.washed = alpha.given;
  entry.washAlpha = static_cast<uint8_t>(alpha.value & 0xFF);
  Declared::SetPropA(container, kBackdropOwnerProperty, BackdropOwnerOf(container));
  SkinChildControls(index, container);
}

LRESULT SkinEngine::SeeThroughProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool container) {
  const int32_t index = IntProperty(hwnd, container ? kParentIndexProperty : kStaticParentProperty);
  const WindowRecordPtr held = SharedRecordAt(index);
  std::deque<SeeThroughRecord>& list = container ? held->controls.containers : held->controls.statics;
  const int32_t number = IntProperty(hwnd, container ? kWindowIndexProperty : kStaticIndexProperty);
  CheckListIndex(number, list.size());
  SeeThroughRecord& entry = list[static_cast<size_t>(number - 1)];
  const WNDPROC previous = entry.previousProc;

  switch (message) {
    case WM_MOVE:
      if (settings_.overlayGiven) Declared::InvalidateRect(hwnd, nullptr, FALSE);
      break;
    case WM_PAINT:
      // A paint into a DC the caller gives is a print: the control draws itself.
      if (!settings_.transparentControls || wParam) break;
      PaintSeeThrough(*held, hwnd, previous, entry);
      return 0;
    case WM_DRAWITEM:
      if (DrawOwnerDrawnButton(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
      // A painted control inside a container asks the container for its colours.
      if (const LRESULT brush = KeyedColouring(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam))) return brush;
      break;
    case WM_NCDESTROY:
      ReleaseControlColouring(hwnd);
      UnhookControl(hwnd, container ? &SkinnedContainerProc : &SkinnedStaticProc, previous,
                    container ? kContainerProperties : kStaticProperties);
      entry.hwnd = nullptr;
      break;
  }
  return WindowCalls::CallPrevious(previous, hwnd, message, wParam, lParam);
}

bool SkinEngine::CopyBackgroundUnder(WindowRecord& record, HWND control, int width, int height, GdiSurface& surface) {
  POINT origin{0, 0};
  Declared::ClientToScreen(control, &origin);
  return CopyBackgroundAt(record, origin, width, height, surface);
}

bool SkinEngine::CopyBackgroundAt(WindowRecord& record, POINT screen, int width, int height, GdiSurface& surface) {
  if (!record.alive) return false;
  if (!record.background.dc()) BuildBackground(record);
  if (!record.background.dc() || !surface.Make(record.background.dc(), width, height)) return false;
  POINT window{0, 0};
  Declared::ClientToScreen(record.hwnd, &window);
  return Declared::BitBlt(surface.dc(), 0, 0, width, height, record.background.dc(), screen.x - window.x,
                          screen.y - window.y, SRCCOPY) != FALSE;
}

// The control paints itself on its key colour off screen; that copy goes over the background
// under it with the key colour left out, and the result to the screen. BeginPaint takes the
// update region: the paint is not asked for again.
void SkinEngine::PaintSeeThrough(WindowRecord& window, HWND control, WNDPROC previous, const SeeThroughRecord& entry) {
  PAINTSTRUCT paint{};
  HDC dc = Declared::BeginPaint(control, &paint);
  if (!dc) return;
  RECT client{};
  Declared::GetClientRect(control, &client);
  const COLORREF key = entry.keyColour;
  GdiSurface background, own;
  if (client.right > 0 && client.bottom > 0 &&
      CopyBackgroundUnder(window, control, client.right, client.bottom, background) &&
      own.Make(dc, client.right, client.bottom)) {
    if (entry.washed) {
      Graphics graphics;
      SolidBrush wash;
      if (graphics.CreateFromHdc(background.dc()) && wash.Create(ArgbFromColorRef(0xFFFFFF, entry.washAlpha)))
        graphics.FillRectangle(wash, 0, 0, static_cast<float>(client.right), static_cast<float>(client.bottom));
    }
    {
      Graphics graphics;
      if (graphics.CreateFromHdc(own.dc())) graphics.Clear(ArgbFromColorRef(key));
    }
    WindowCalls::CallPrevious(previous, control, WM_PAINT, reinterpret_cast<WPARAM>(own.dc()), 0);
    Declared::TransparentBlt(background.dc(), 0, 0, client.right, client.bottom, own.dc(), 0, 0, client.right,
                             client.bottom, key);
    Declared::BitBlt(dc, 0, 0, client.right, client.bottom, background.dc(), 0, 0, SRCCOPY);
  } else {
    WindowCalls::CallPrevious(previous, control, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  }
  Declared::EndPaint(control, &paint);
}

void SkinEngine::SetControlColour(HWND control, COLORREF colour) {
  if (!control) return;
  // A static with children is registered as a container as well; both keep the colour.
  bool found = false;
  for (const WindowRecordPtr& record : windows_)
    for (auto* list : {&record->controls.statics, &record->controls.containers})
      for (SeeThroughRecord& entry : *list)
        if (entry.hwnd == control) {
          entry.keyColour = colour;
          found = true;
        }
  if (found) Declared::InvalidateRect(control, nullptr, TRUE);
}

void SkinEngine::SetControlTextColour(HWND control, COLORREF colour) {
  if (!control) return;
  HWND target = control;
  if (ClassIs(control, "ComboBox"))
    if (HWND edit = Declared::FindWindowExA(control, nullptr, "Edit", nullptr)) target = edit;
  SetIntProperty(target, kTextColourProperty, static_cast<intptr_t>(colour));
  Declared::InvalidateRect(target, nullptr, TRUE);
}

void SkinEngine::ReleaseControls(WindowRecord& record) {
  ControlLists& controls = record.controls;
  for (ButtonRecord& button : controls.buttons)
    UnhookControl(button.hwnd, &SkinnedButtonProc, button.previousProc, kButtonProperties);
  // Containers first: a static with children has the container's procedure over its own.
  for (SeeThroughRecord& entry : controls.containers)
    UnhookControl(entry.hwnd, &SkinnedContainerProc, entry.previousProc, kContainerProperties);
  for (SeeThroughRecord& entry : controls.statics)
    UnhookControl(entry.hwnd, &SkinnedStaticProc, entry.previousProc, kStaticProperties);
  ReleasePainted(controls);
  controls = ControlLists{};
}

std::vector<HWND> SkinEngine::NestedControls(const WindowRecord& record) const {
  std::vector<HWND> nested;
  auto add = [&](HWND control) {
    if (control && Declared::GetParent(control) != record.hwnd && Declared::IsWindowVisible(control))
      nested.push_back(control);
  };
  for (const ButtonRecord& button : record.controls.buttons) add(button.hwnd);
  for (const SeeThroughRecord& entry : record.controls.statics) add(entry.hwnd);
  for (const SeeThroughRecord& entry : record.controls.containers) add(entry.hwnd);
  for (const auto& list : record.controls.painted)
    for (const PaintedRecord& entry : list) add(entry.hwnd);
  return nested;
}

void SkinEngine::RenumberControls(WindowRecord& record, int32_t index) {
  for (const ButtonRecord& button : record.controls.buttons)
    if (button.hwnd) SetIntProperty(button.hwnd, kParentIndexProperty, index);
  for (const SeeThroughRecord& entry : record.controls.containers)
    if (entry.hwnd) SetIntProperty(entry.hwnd, kParentIndexProperty, index);
  for (const SeeThroughRecord& entry : record.controls.statics)
    if (entry.hwnd) SetIntProperty(entry.hwnd, kStaticParentProperty, index);
  for (const auto& list : record.controls.painted)
    for (const PaintedRecord& entry : list)
      if (entry.hwnd) SetIntProperty(entry.hwnd, kParentIndexProperty, index);
}
