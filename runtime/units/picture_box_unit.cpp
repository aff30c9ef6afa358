// The picture box kind: a background of its colour and its picture at its own size in the
// top-left corner (mode 0), stretched over the client area (mode 1) or centred and shrunk to fit
// (mode 2). In mode 3, with animation on, a picture of several frames (a GIF) is played frame
// after frame at its own size in the top-left corner, by a timer of the box that waits each
// frame's delay, going round for as long as the box lives.
#include <algorithm>
#include <vector>

#include "runtime/win_handles.h"
#include "runtime/templates/property_blocks.h"
#include "runtime/units/background_brush.h"
#include "runtime/units/pictures.h"
#include "runtime/units/unit_types.h"
#include "runtime/units/unit_window.h"

namespace {

constexpr char kPictureBoxClass[] = "WTPictureBox";

enum DisplayMode : int32_t { MODE_TOP_LEFT = 0, MODE_STRETCH = 1, MODE_CENTRE_FIT = 2, MODE_ANIMATED = 3 };

constexpr UINT_PTR kAnimationTimer = 1;

// Where the picture goes in a client area of the given size.
RECT PictureRect(int32_t mode, SIZE picture, SIZE client) {
  switch (mode) {
    case MODE_STRETCH:
      return {0, 0, client.cx, client.cy};
    case MODE_CENTRE_FIT: {
      SIZE shown = picture;
      if (picture.cx > client.cx || picture.cy > client.cy) {
        // The smaller of the two scales, worked in integers: width first, then the height it allows.
        if (int64_t{picture.cx} * client.cy > int64_t{picture.cy} * client.cx) {
          shown = {client.cx, static_cast<LONG>(int64_t{picture.cy} * client.cx / picture.cx)};
        } else {
          shown = {static_cast<LONG>(int64_t{picture.cx} * client.cy / picture.cy), client.cy};
        }
      }
      const LONG left = (client.cx - shown.cx) / 2;
      const LONG top = (client.cy - shown.cy) / 2;
      return {left, top, left + shown.cx, top + shown.cy};
    }
    default:
      return {0, 0, picture.cx, picture.cy};
  }
}

class PictureBoxUnit : public UnitObject {
 public:
  PictureBoxUnit(const UnitCreation& c, const PictureBoxProperties& p, std::vector<PictureFrame> frames)
      : UnitObject(c),
        mode_(p.displayMode),
        frames_(std::move(frames)),
        animated_(mode_ == MODE_ANIMATED && p.animate != 0 && frames_.size() > 1),
        background_(p.backColour) {}

  // Starts the animation, if the box plays one.
  void StartAnimation(HWND window) const {
    if (animated_) SetTimer(window, kAnimationTimer, Delay(), nullptr);
  }

  bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
    switch (message) {
      case WM_ERASEBKGND:
        result = 1;  // painted together with the picture
        return true;
      case WM_PAINT:
      case WM_PRINTCLIENT:
        return AnswerPaintMessage(window, message, wParam, [this](HWND w, HDC dc) { Paint(w, dc); });
      case WM_TIMER:
        if (wParam != kAnimationTimer || !animated_) return false;
        shown_ = (shown_ + 1) % frames_.size();
        SetTimer(window, kAnimationTimer, Delay(), nullptr);
        InvalidateRect(window, nullptr, FALSE);
        result = 0;
        return true;
    }
    return false;
  }

 private:
  void Paint(HWND window, HDC dc) const {
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, background_.get());
    if (frames_.empty()) return;
    const HBITMAP picture = frames_[shown_].bitmap.get();
    const SIZE size = BitmapSize(picture);
    const RECT to = PictureRect(mode_, size, {client.right, client.bottom});
    OwnedMemoryDc source(CreateCompatibleDC(dc));
    Selection selected(source.get(), picture);
    const int previousMode = SetStretchBltMode(dc, HALFTONE);
    POINT previousOrigin;
    SetBrushOrgEx(dc, 0, 0, &previousOrigin);
    StretchBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, source.get(), 0, 0, size.cx, size.cy,
               SRCCOPY);
    SetBrushOrgEx(dc, previousOrigin.x, previousOrigin.y, nullptr);
    SetStretchBltMode(dc, previousMode);
  }

  uint32_t Delay() const { return frames_[shown_].milliseconds; }

  int32_t mode_;
  std::vector<PictureFrame> frames_;
  bool animated_;
  size_t shown_ = 0;
  BackgroundBrush background_;
};

}  // namespace

HWND CreatePictureBoxUnit(const UnitCreation& c) {
  const std::optional<PictureBoxProperties> p = ReadPictureBoxProperties(c.properties);
  if (!p || !UseRuntimeClass(kPictureBoxClass, 1)) return nullptr;
  const DWORD style = WS_CHILD | c.styleBits | (p->border != 0 ? WS_BORDER : 0);
  HWND box = CreateWindowExA(0, kPictureBoxClass, "", style, c.left, c.top, c.width, c.height, c.parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.controlId)), GetModuleHandleA(nullptr),
                             nullptr);
  if (!box) return nullptr;
  std::vector<PictureFrame> frames;
  if (!p->picture.empty()) frames = PictureFrames(p->picture, BackgroundColour(p->backColour));
  auto object = std::make_unique<PictureBoxUnit>(c, *p, std::move(frames));
  const PictureBoxUnit& unit = *object;
  if (!AttachUnitObject(box, std::move(object))) return nullptr;
  unit.StartAnimation(box);
  return box;
}
