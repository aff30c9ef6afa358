// The picture box kind: a background of its colour and its picture at its own size in the
// top-left corner (mode 0), stretched over the client area (mode 1) or centred and shrunk to fit
// (mode 2). Pictures have one frame here, so the animated mode 3 shows it as mode 0 does.
#include <algorithm>

#include "runtime/frame/win_handles.h"
#include "runtime/templates/property_blocks.h"
#include "runtime/units/background_brush.h"
#include "runtime/units/pictures.h"
#include "runtime/units/unit_types.h"
#include "runtime/units/unit_window.h"

namespace {

constexpr char kPictureBoxClass[] = "WTPictureBox";

enum DisplayMode : int32_t { MODE_TOP_LEFT = 0, MODE_STRETCH = 1, MODE_CENTRE_FIT = 2 };

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
  PictureBoxUnit(uint32_t windowId, uint32_t unitId, const PictureBoxProperties& p, OwnedBitmap picture)
      : UnitObject(windowId, unitId), mode_(p.displayMode), picture_(std::move(picture)), background_(p.backColour) {}

  bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
    switch (message) {
      case WM_ERASEBKGND:
        result = 1;  // painted together with the picture
        return true;
      case WM_PAINT:
      case WM_PRINTCLIENT:
        return AnswerPaintMessage(window, message, wParam, [this](HWND w, HDC dc) { Paint(w, dc); });
    }
    return false;
  }

 private:
  void Paint(HWND window, HDC dc) const {
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, background_.get());
    if (!picture_) return;
    const SIZE size = BitmapSize(picture_.get());
    const RECT to = PictureRect(mode_, size, {client.right, client.bottom});
    OwnedMemoryDc source(CreateCompatibleDC(dc));
    Selection selected(source.get(), picture_.get());
    const int previousMode = SetStretchBltMode(dc, HALFTONE);
    POINT previousOrigin;
    SetBrushOrgEx(dc, 0, 0, &previousOrigin);
    StretchBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, source.get(), 0, 0, size.cx, size.cy,
               SRCCOPY);
    SetBrushOrgEx(dc, previousOrigin.x, previousOrigin.y, nullptr);
    SetStretchBltMode(dc, previousMode);
  }

  int32_t mode_;
  OwnedBitmap picture_;
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
  OwnedBitmap picture = p->picture.empty() ? OwnedBitmap() : PictureBitmap(p->picture);
  return AttachUnitObject(box, std::make_unique<PictureBoxUnit>(c.windowId, c.unitId, *p, std::move(picture)));
}
