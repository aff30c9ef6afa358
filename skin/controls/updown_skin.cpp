// Up-down controls over the skin: two small buttons in the push buttons' layers, each with its
// built-in arrow (up and down, or left and right with UDS_HORZ); the half held down while the
// control has the mouse captured shows pressed. Clicks and the buddy stay the control's own.
#include "graphics/paths_pens_brushes.h"
#include "resources/embedded_pictures.h"
#include "runtime/imports/declared_functions.h"
#include "skin/controls/painted_controls.h"
#include "skin/skin_engine.h"

void PaintUpDown(PaintTarget& target) {
  const bool horizontal = (Declared::GetWindowLongA(target.control, GWL_STYLE) & UDS_HORZ) != 0;
  const float w = static_cast<float>(target.width), h = static_cast<float>(target.height);
  // First the half that counts up (up, or right), then the other; each with its arrow.
  struct Half {
    Gdiplus::RectF area;
    ByteBlock arrow;
  };
  const Half halves[2] = {
      horizontal ? Half{Gdiplus::RectF(w / 2, 0, w / 2 - 1, h - 1), ArrowRightPng}
                 : Half{Gdiplus::RectF(0, 0, w - 1, h / 2 - 1), ArrowUpPng},
      horizontal ? Half{Gdiplus::RectF(0, 0, w / 2 - 1, h - 1), ArrowLeftPng}
                 : Half{Gdiplus::RectF(0, h / 2, w - 1, h / 2 - 1), ArrowDownPng},
  };
  POINT mouse{};
  GetCursorPos(&mouse);
  ScreenToClient(target.control, &mouse);
  const bool held = GetCapture() == target.control && (GetKeyState(VK_LBUTTON) & 0x8000);
  Graphics graphics;
  if (!graphics.CreateFromHdc(target.dc)) return;
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  for (const Half& half : halves) {
    const bool under = half.area.Contains(static_cast<float>(mouse.x), static_cast<float>(mouse.y));
    DrawSoftButton(graphics, half.area, target.theme, held && under, false);
    DrawCentred(graphics, target.engine, half.arrow, half.area);
  }
}
