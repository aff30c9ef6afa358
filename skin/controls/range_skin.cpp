// Track bars and progress bars over the skin: a washed rounded channel, the part up to the value
// in the theme colour, and the track bar's thumb in the push buttons' layers. The controls keep
// their own geometry (channel and thumb rectangles), so dragging and clicking stay theirs.
#include <algorithm>

#include "graphics/paths_pens_brushes.h"
#include "runtime/imports/declared_functions.h"
#include "skin/controls/painted_controls.h"
#include "skin/shapes.h"
#include "skin/skin_engine.h"

namespace {

using namespace skin_colours;

constexpr int kProgressInset = 2;

}  // namespace

void PaintTrackBar(PaintTarget& target) {
  const LONG style = Declared::GetWindowLongA(target.control, GWL_STYLE);
  const bool vertical = (style & TBS_VERT) != 0;
  RECT channel{}, thumb{};
  SendMessageW(target.control, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
  SendMessageW(target.control, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  // The channel of a vertical track bar comes back with its axes crossed.
  if (vertical && channel.right - channel.left > channel.bottom - channel.top)
    channel = RECT{channel.top, channel.left, channel.bottom, channel.right};
  Graphics graphics;
  if (!graphics.CreateFromHdc(target.dc)) return;
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  Gdiplus::RectF groove = RectFOf(channel);
  // A groove at least 4 pixels across, centred on the channel.
  if (vertical && groove.Width < 4) groove.Inflate((4 - groove.Width) / 2, 0);
  if (!vertical && groove.Height < 4) groove.Inflate(0, (4 - groove.Height) / 2);
  DrawBody(graphics, groove, target.theme, false, target.disabled);
  // With the control option on, the groove up to the thumb shows the value in the theme colour.
  if (target.engine.settings().controlOption != 0 && !target.disabled) {
    Gdiplus::RectF done = groove;
    if (vertical)
      done.Height = static_cast<float>((thumb.top + thumb.bottom) / 2) - groove.Y;
    else
      done.Width = static_cast<float>((thumb.left + thumb.right) / 2) - groove.X;
    FillRounded(graphics, done, 2, ArgbFromColorRef(target.theme, 200));
  }
  const bool dragging = GetCapture() == target.control;
  Gdiplus::RectF knob = RectFOf(thumb);
  knob.Width -= 1;
  knob.Height -= 1;
  DrawSoftButton(graphics, knob, target.theme, dragging, target.focused);
}

void PaintProgressBar(PaintTarget& target) {
  const LONG style = Declared::GetWindowLongA(target.control, GWL_STYLE);
  PBRANGE range{};
  SendMessageW(target.control, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  const int position = static_cast<int>(SendMessageW(target.control, PBM_GETPOS, 0, 0));
  Graphics graphics;
  if (!graphics.CreateFromHdc(target.dc)) return;
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  DrawBody(graphics, target.body, target.theme, false, target.disabled);
  if (range.iHigh <= range.iLow || (style & PBS_MARQUEE)) return;
  const double share = std::clamp(static_cast<double>(position - range.iLow) / (range.iHigh - range.iLow), 0.0, 1.0);
  const float inside = static_cast<float>(kProgressInset);
  const float width = static_cast<float>(target.width) - 2 * inside, height = static_cast<float>(target.height) - 2 * inside;
  Gdiplus::RectF done(inside, inside, width, height);
  if (style & PBS_VERTICAL) {
    done.Height = static_cast<float>(static_cast<int>(height * share));
    done.Y = inside + height - done.Height;  // a vertical bar fills from the bottom
  } else {
    done.Width = static_cast<float>(static_cast<int>(width * share));
  }
  FillRounded(graphics, done, 3, ArgbFromColorRef(target.theme));
  // A gloss over the upper half; the lower half shows the theme colour itself.
  Gdiplus::RectF gloss = done;
  gloss.Height = done.Height / 2;
  FillRoundedVertical(graphics, gloss, 3, ArgbFromColorRef(kWhite, 90), ArgbFromColorRef(kWhite, 20));
}
