// Child windows that follow the size of their skinned window: each keeps its distance to the
// client edges it is anchored to.
#include <algorithm>
#include <vector>

#include "runtime/imports/declared_functions.h"
#include "skin/skin_engine.h"

namespace {

RECT PlaceInParent(HWND child, HWND parent) {
  RECT rect{};
  Declared::GetWindowRect(child, &rect);
  POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
  MapWindowPoints(nullptr, parent, corners, 2);
  return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

// One axis: anchored to both edges the span stretches, to the far edge only it moves; never
// shorter than nothing.
void Follow(LONG& nearEdge, LONG& farEdge, bool toNear, bool toFar, LONG grown) {
  if (toFar && toNear) farEdge = std::max(nearEdge, farEdge + grown);
  else if (toFar) nearEdge += grown, farEdge += grown;
}

}  // namespace

void SkinEngine::AnchorChild(HWND child, int32_t edges) {
  if (!child) return;
  HWND parent = Declared::GetParent(child);
  const int32_t index = IndexOf(parent);
  if (!index) return;
  std::vector<AnchoredChild>& anchored = RecordAt(index).anchoredChildren;
  std::erase_if(anchored, [&](const AnchoredChild& entry) { return entry.hwnd == child; });
  if (edges == 0) return;
  RECT client{};
  Declared::GetClientRect(parent, &client);
  anchored.push_back(AnchoredChild{child, edges, PlaceInParent(child, parent), SIZE{client.right, client.bottom}});
}

void SkinEngine::LayoutAnchoredChildren(int32_t index) {
  WindowRecord& record = RecordAt(index);
  RECT client{};
  Declared::GetClientRect(record.hwnd, &client);
  // A minimized window has no client area: its children keep their places for the restore.
  if (client.right <= 0 || client.bottom <= 0) return;
  // Children that went since they were anchored leave the list.
  std::erase_if(record.anchoredChildren, [](const AnchoredChild& entry) { return !IsWindow(entry.hwnd); });
  // A copy: moving a child runs its procedure, and the program's code with it.
  const std::vector<AnchoredChild> anchored = record.anchoredChildren;
  for (const AnchoredChild& entry : anchored) {
    RECT place = entry.placed;
    Follow(place.left, place.right, entry.edges & kAnchorLeft, entry.edges & kAnchorRight, client.right - entry.client.cx);
    Follow(place.top, place.bottom, entry.edges & kAnchorTop, entry.edges & kAnchorBottom, client.bottom - entry.client.cy);
    Declared::MoveWindow(entry.hwnd, place.left, place.top, place.right - place.left, place.bottom - place.top, TRUE);
  }
}
