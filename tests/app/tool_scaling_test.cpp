// The real tool at the display scalings players use: 100 %, 125 %, 150 % and 200 % (96, 120, 144
// and 192 DPI), set in the prefix's registry before each start, in a session of its own so that
// no other test sees them. The window, each unit, the caption's parts and every text grow with
// the scaling, no text is cut, and the caption's buttons and drag act where they are drawn.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "tests/app/running_tool.h"
#include "tests/app/start_window_background.h"
#include "tests/app/start_window_layout.h"
#include "tests/app/window_pixels.h"
#include "tests/support/gui_driver.h"

namespace {

constexpr UINT kDpis[] = {96, 120, 144, 192};

// A measure of the 96-DPI layout at `dpi`, as the tool rounds it.
int Px(int measure, UINT dpi) { return static_cast<int>(std::lround(measure * static_cast<double>(dpi) / 96.0)); }

// The scaling the prefix's programs started from now on see; 96 again afterwards. Both places
// Wine reads it from.
class DisplayDpi {
 public:
  explicit DisplayDpi(UINT dpi) { Set(dpi); }
  ~DisplayDpi() { Set(96); }
  DisplayDpi(const DisplayDpi&) = delete;
  DisplayDpi& operator=(const DisplayDpi&) = delete;

 private:
  static void Set(DWORD dpi) {
    const std::pair<HKEY, const char*> places[] = {{HKEY_CURRENT_USER, "Control Panel\\Desktop"},
                                                   {HKEY_CURRENT_CONFIG, "Software\\Fonts"}};
    for (const auto& [root, path] : places) {
      HKEY key = nullptr;
      if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) continue;
      RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
      RegCloseKey(key);
    }
  }
};

// Each text of the window and where its ink lies, from one start of the tool.
enum Text { kTitle, kForumCaption, kToLiveCaption, kToTestCaption, kAdviceLabel, kNoticeLabel, kTextCount };
constexpr const char* kTextNames[kTextCount] = {"title", "打开Dostren论坛", "体验服转正服", "正服转体验服",
                                                 "advice label", "notice label"};

struct Measured {
  RECT outer{};
  std::vector<RECT> units;  // stacking order, client coordinates
  std::array<InkExtent, kTextCount> ink;
  std::array<RECT, kTextCount> area{};  // where each text's ink was looked for
};

// Dark caption ink inside a button, its outline left out.
bool DarkInk(uint32_t pixel) { return std::max({Channel(pixel, 0), Channel(pixel, 8), Channel(pixel, 16)}) < 140; }

RECT Inset(RECT r, int by) { return RECT{r.left + by, r.top + by, r.right - by, r.bottom - by}; }

Measured MeasureAt(UINT dpi) {
  const DisplayDpi display(dpi);
  RunningTool tool;
  Measured m;
  if (!tool.window()) return m;
  Sleep(300);
  GetWindowRect(tool.window(), &m.outer);
  for (HWND child : tool.Children()) m.units.push_back(tool.PlaceOf(child));
  if (m.units.size() != std::size(kUnitsTopToBottom)) return m;

  const int width = m.outer.right - m.outer.left, height = m.outer.bottom - m.outer.top;
  const PixelGrid shot = tool.Shot(), background = StretchedBackground(width, height);
  auto drawn = [&](int x, int y) { return ChannelDistance(shot.at(x, y), background.at(x, y)) > 60; };
  auto dark = [&](int x, int y) { return DarkInk(shot.at(x, y)); };
  // The caption's text runs from after the icon to the caption-button strip.
  m.area[kTitle] = RECT{Px(29, dpi), 0, Px(292, dpi), Px(30, dpi)};
  // Inside the outline; on 正服转体验服, which has the focus from the start, inside its focus ring
  // too (3 pixels in at 96 DPI, its corners rounded with a radius of 5).
  m.area[kForumCaption] = Inset(m.units[3], Px(4, dpi));
  m.area[kToLiveCaption] = Inset(m.units[2], Px(4, dpi));
  m.area[kToTestCaption] = Inset(m.units[0], Px(9, dpi));
  m.area[kAdviceLabel] = m.units[4];
  // The switch buttons cover the notice label's lowest part.
  m.area[kNoticeLabel] = RECT{m.units[5].left, m.units[5].top, m.units[5].right, m.units[0].top};
  for (int text : {kTitle, kAdviceLabel, kNoticeLabel}) m.ink[text] = InkIn(m.area[text], drawn);
  for (int text : {kForumCaption, kToLiveCaption, kToTestCaption}) m.ink[text] = InkIn(m.area[text], dark);
  return m;
}

// Measured once per DPI for the whole run.
const Measured& MeasuredAt(UINT dpi) {
  static std::map<UINT, Measured> done;
  auto found = done.find(dpi);
  if (found == done.end()) found = done.emplace(dpi, MeasureAt(dpi)).first;
  return found->second;
}

class ToolScaling : public testing::TestWithParam<UINT> {};

TEST_P(ToolScaling, TheWindowAndEachUnitAreTheTemplatesTimesTheScale) {
  const UINT dpi = GetParam();
  const Measured& m = MeasuredAt(dpi);
  const int width = m.outer.right - m.outer.left, height = m.outer.bottom - m.outer.top;
  EXPECT_NEAR(width, kStartWindowWidth * dpi / 96.0, 2);
  EXPECT_NEAR(height, kStartWindowHeight * dpi / 96.0, 2);
  // Centred on the 1024 x 768 screen at its scaled size.
  EXPECT_NEAR(m.outer.left, (1024 - width) / 2, 1);
  EXPECT_NEAR(m.outer.top, (768 - height) / 2, 1);
  ASSERT_EQ(m.units.size(), std::size(kUnitsTopToBottom));
  for (size_t i = 0; i < m.units.size(); ++i) {
    const RECT& want = kUnitsTopToBottom[i].rect;
    const RECT& got = m.units[i];
    EXPECT_NEAR(got.left, want.left * dpi / 96.0, 1) << i;
    EXPECT_NEAR(got.top, want.top * dpi / 96.0, 1) << i;
    EXPECT_NEAR(got.right, want.right * dpi / 96.0, 1) << i;
    EXPECT_NEAR(got.bottom, want.bottom * dpi / 96.0, 1) << i;
  }
}

// Each text's ink spans what it spans at 96 DPI times the scale: a text that lost characters at
// an edge, or a font that kept its 96-DPI size, is far off. And none reaches the edge of the
// area it is looked for in, where a cut text would end.
TEST_P(ToolScaling, EveryTextGrowsWithTheScaleAndStaysWhole) {
  const UINT dpi = GetParam();
  const double scale = dpi / 96.0;
  const Measured& base = MeasuredAt(96);
  const Measured& m = MeasuredAt(dpi);
  ASSERT_EQ(m.units.size(), std::size(kUnitsTopToBottom));
  for (int text = 0; text < kTextCount; ++text) {
    SCOPED_TRACE(kTextNames[text]);
    const InkExtent& ink = m.ink[text];
    const InkExtent& ink96 = base.ink[text];
    ASSERT_GT(ink96.count, 50);
    ASSERT_GT(ink.count, 50);
    // Glyphs are hinted to the pixel grid at each size: a few pixels either way.
    EXPECT_NEAR(ink.height(), ink96.height() * scale, 0.08 * ink96.height() * scale + 3);
    if (text == kNoticeLabel) {
      // Wrapped: a font rounded to whole pixels breaks its lines elsewhere, so its width says
      // little; its ink grows with the area (measured: 1.57, 2.38 and 4.16 times 96's). A font
      // left at its 96-DPI size inks about as much as at 96.
      EXPECT_NEAR(ink.count, ink96.count * scale * scale, 0.12 * ink96.count * scale * scale);
    } else {
      EXPECT_NEAR(ink.width(), ink96.width() * scale, 0.05 * ink96.width() * scale + 3);
    }
    const RECT& area = m.area[text];
    EXPECT_GT(ink.box.left, area.left);
    EXPECT_LT(ink.box.right, area.right);
    if (text != kNoticeLabel) {
      EXPECT_GT(ink.box.top, area.top);
      EXPECT_LT(ink.box.bottom, area.bottom);
    }
  }
}

std::string DpiName(const testing::TestParamInfo<UINT>& dpi) { return std::to_string(dpi.param); }

INSTANTIATE_TEST_SUITE_P(Dpi, ToolScaling, testing::ValuesIn(kDpis), DpiName);

// A point of the window's 96-DPI layout on the screen, at the window's scale.
struct ScreenPoint {
  HWND window;
  UINT dpi;
  POINT At(int x, int y) const {
    RECT r;
    GetWindowRect(window, &r);
    return POINT{r.left + Px(x, dpi), r.top + Px(y, dpi)};
  }
  RECT Area(int left, int top, int right, int bottom) const {
    return RECT{Px(left, dpi), Px(top, dpi), Px(right, dpi), Px(bottom, dpi)};
  }
};

class ToolCaption : public testing::TestWithParam<UINT> {};

TEST_P(ToolCaption, WearsTheSkinAndHandlesLikeACaptionedWindow) {
  const UINT dpi = GetParam();
  const DisplayDpi display(dpi);
  RunningTool tool;
  ASSERT_NE(tool.window(), nullptr);
  HWND window = tool.window();
  const ScreenPoint screen{window, dpi};
  Sleep(500);

  RECT outer;
  GetWindowRect(window, &outer);
  const int width = outer.right - outer.left, height = outer.bottom - outer.top;
  const PixelGrid shot = tool.Shot();
  const PixelGrid background = StretchedBackground(width, height);
  ASSERT_EQ(shot.pixels.size(), background.pixels.size());

  // The region cuts the corners: the desktop shows through there, as it does beside the window.
  const uint32_t desktop = CaptureScreen(RECT{outer.left - 3, outer.top - 3, outer.left - 2, outer.top - 2})[0];
  EXPECT_EQ(shot.at(0, 0), desktop);
  EXPECT_EQ(shot.at(width - 1, 0), desktop);
  EXPECT_EQ(shot.at(0, height - 1), desktop);
  EXPECT_NE(shot.at(Px(10, dpi), Px(10, dpi)), desktop);

  // Where nothing is drawn over it the background is the built-in picture stretched.
  EXPECT_EQ(Drawn(shot, background, screen.Area(336, 40, 356, 170)), 0);
  EXPECT_EQ(Drawn(shot, background, screen.Area(20, 307, 340, 314)), 0);
  // Icon and title in the caption; exactly a minimize and a close button at the strip's end.
  const int scaledArea = static_cast<int>(dpi * dpi / (96 * 96));
  EXPECT_GT(Drawn(shot, background, screen.Area(9, 5, 26, 22)), 40 * scaledArea) << "icon";
  EXPECT_GT(Drawn(shot, background, screen.Area(29, 8, 220, 24)), 150 * scaledArea) << "title";
  EXPECT_GT(Drawn(shot, background, screen.Area(297, 2, 321, 18)), 10 * scaledArea) << "minimize";
  EXPECT_GT(Drawn(shot, background, screen.Area(324, 2, 360, 18)), 10 * scaledArea) << "close";
  EXPECT_EQ(Drawn(shot, background, screen.Area(240, 2, 294, 18)), 0) << "nothing left of the strip";

  // Hovering lights the button under the mouse.
  MouseAt(screen.At(309, 10));
  Sleep(600);
  const PixelGrid hot = tool.Shot();
  EXPECT_GT(Drawn(hot, shot, screen.Area(297, 2, 321, 19)), 40) << "minimize lit";
  EXPECT_EQ(Drawn(hot, shot, screen.Area(324, 2, 360, 19)), 0) << "close unlit";
  MouseAt(screen.At(200, 150));

  // The caption drags; the border does not size; a double click on the caption does not maximize.
  Drag(screen.At(120, 12), screen.At(160, 42));
  const POINT dragged{screen.At(160, 42).x - screen.At(120, 12).x, screen.At(160, 42).y - screen.At(120, 12).y};
  RECT moved;
  ASSERT_TRUE(WaitFor([&] {
    GetWindowRect(window, &moved);
    return moved.left == outer.left + dragged.x;
  }, 3000));
  EXPECT_EQ((std::vector<LONG>{moved.left - outer.left, moved.top - outer.top, moved.right - moved.left,
                               moved.bottom - moved.top}),
            (std::vector<LONG>{dragged.x, dragged.y, width, height}));
  const RECT now = moved;
  Drag(POINT{now.right - 1, now.top + height / 2}, POINT{now.right + 40, now.top + height / 2});
  Drag(POINT{now.left + width / 2, now.bottom - 1}, POINT{now.left + width / 2, now.bottom + 40});
  for (int i = 0; i < 2; ++i) {
    MouseAt(screen.At(120, 12), MOUSEEVENTF_LEFTDOWN);
    MouseAt(screen.At(120, 12), MOUSEEVENTF_LEFTUP);
  }
  Sleep(500);
  RECT after;
  GetWindowRect(window, &after);
  EXPECT_EQ((std::vector<LONG>{after.right - after.left, after.bottom - after.top}), (std::vector<LONG>{width, height}));
  EXPECT_FALSE(IsZoomed(window));

  // Minimize, then close, by their buttons.
  MouseAt(screen.At(309, 10));
  Sleep(100);
  MouseAt(screen.At(309, 10), MOUSEEVENTF_LEFTDOWN);
  MouseAt(screen.At(309, 10), MOUSEEVENTF_LEFTUP);
  EXPECT_TRUE(WaitFor([&] { return IsIconic(window) != FALSE; }, 3000));
  ShowWindowAsync(window, SW_RESTORE);
  ASSERT_TRUE(WaitFor([&] { return !IsIconic(window) && IsWindowVisible(window); }, 3000));
  Sleep(300);
  MouseAt(screen.At(343, 10));
  Sleep(100);
  MouseAt(screen.At(343, 10), MOUSEEVENTF_LEFTDOWN);
  MouseAt(screen.At(343, 10), MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(tool.AwaitExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Dpi, ToolCaption, testing::ValuesIn(kDpis), DpiName);

}  // namespace
