// Moving and sizing a window without a system frame: the caption drags it, the borders and
// corners size it, each with its cursor.
#include <windowsx.h>

#include "runtime/imports/declared_functions.h"
#include "skin/skin_engine.h"
#include "skin/skin_properties.h"

namespace {

// Corners reach this far along each edge; the edge zones start past them. Pixels at 96 DPI.
constexpr int kCorner = 10;
// Presses this close to the top edge inside the caption-button strip may still size the window.
constexpr int kStripTopBand = 3;

// The zone measures at the window's DPI.
struct ZoneMeasures {
  int border, corner;
};

struct SizingZone {
  WORD cursor;  // a system cursor id (IDC_SIZE...)
  WPARAM code;  // added to SC_SIZE: WMSZ_LEFT .. WMSZ_BOTTOMRIGHT
  bool (*contains)(int x, int y, int width, int height, ZoneMeasures m);
};

// The first zone that holds the point wins, in this order.
// Cursors: 32644 west-east, 32645 north-south, 32642 north-west/south-east, 32643 north-east/south-west.
constexpr SizingZone kZones[] = {
    {32644, WMSZ_LEFT, [](int x, int y, int, int h, ZoneMeasures m) { return x <= m.border && y >= m.corner + 1 && y < h - m.corner; }},
    {32644, WMSZ_RIGHT, [](int x, int y, int w, int h, ZoneMeasures m) { return x >= w - m.border && y >= m.corner + 1 && y < h - m.corner; }},
    {32645, WMSZ_TOP, [](int x, int y, int w, int, ZoneMeasures m) { return y <= m.border && x >= m.corner + 1 && x < w - m.corner; }},
    {32645, WMSZ_BOTTOM, [](int x, int y, int w, int h, ZoneMeasures m) { return y >= h - m.border && x >= m.corner + 1 && x < w - m.corner; }},
    {32642, WMSZ_TOPLEFT, [](int x, int y, int, int, ZoneMeasures m) { return x <= m.corner && y <= m.corner; }},
    {32643, WMSZ_TOPRIGHT, [](int x, int y, int w, int, ZoneMeasures m) { return x >= w - m.corner && y <= m.corner; }},
    {32643, WMSZ_BOTTOMLEFT, [](int x, int y, int, int h, ZoneMeasures m) { return x <= m.corner && y >= h - m.corner; }},
    {32642, WMSZ_BOTTOMRIGHT, [](int x, int y, int w, int h, ZoneMeasures m) { return x >= w - m.corner && y >= h - m.corner; }},
};

const SizingZone* ZoneAt(const WindowRecord& record, int x, int y, const RECT& client) {
  const ZoneMeasures measures{record.Px(kBorderWidth), record.Px(kCorner)};
  for (const SizingZone& zone : kZones)
    if (zone.contains(x, y, client.right, client.bottom, measures)) return &zone;
  return nullptr;
}

void ShowCursor(WORD cursor) { Declared::SetCursor(Declared::LoadCursorA(nullptr, MAKEINTRESOURCEA(cursor))); }

void StartMove(HWND hwnd) {
  // The system's own move loop, as if the press had been on a caption.
  Declared::ReleaseCapture();
  Declared::SendMessageA(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

}  // namespace

void SkinEngine::BeginDragOrResize(int32_t index, LPARAM position, const RECT& client) {
  WindowRecord& record = RecordAt(index);
  if (!record.captionActive) return;
  const int x = GET_X_LPARAM(position), y = GET_Y_LPARAM(position);
  const bool inStrip = x >= record.buttonsLeft && x <= record.buttonsLeft + record.buttonsWidth &&
                       y >= record.buttonsTop && y <= record.buttonsTop + record.buttonsHeight;
  if (inStrip && y >= record.Px(kStripTopBand)) return;
  if (record.sizable) {
    if (const SizingZone* zone = ZoneAt(record, x, y, client)) {
      record.needsRepaint = true;
      ShowCursor(zone->cursor);
      Declared::ReleaseCapture();
      Declared::SendMessageA(record.hwnd, WM_SYSCOMMAND, SC_SIZE + zone->code, 0);
      return;
    }
  }
  // A press in the button strip never moves the window, not even in its top band, where a
  // press meant for a button would otherwise drag the window and lose the click.
  if (!inStrip && y <= record.Px(record.captionHeight)) StartMove(record.hwnd);
}

void SkinEngine::UpdateSizingCursor(int32_t index, LPARAM position, const RECT& client) {
  const WindowRecord& record = RecordAt(index);
  if (!record.sizable) return;
  if (const SizingZone* zone = ZoneAt(record, GET_X_LPARAM(position), GET_Y_LPARAM(position), client))
    ShowCursor(zone->cursor);
}
