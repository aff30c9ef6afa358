// The real tool in a Wine prefix without font replacements, where the faces its texts ask for
// ("宋体", "楷体") are not installed: its caption title and button captions are drawn in glyphs
// that exist, and the notice label, whose stand-in font runs taller, never paints over the
// switch buttons stacked above it. Run under code pages 936 and 1252.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/app/running_tool.h"
#include "tests/app/start_window_background.h"
#include "tests/support/gui_driver.h"

namespace {

// The dark caption ink inside a button (its outline left out), one flag per pixel.
std::vector<bool> InkInside(const PixelGrid& shot, RECT button) {
  std::vector<bool> ink;
  for (int y = button.top + 4; y < button.bottom - 4; ++y)
    for (int x = button.left + 4; x < button.right - 4; ++x) {
      const uint32_t p = shot.at(x, y);
      ink.push_back(std::max({Channel(p, 0), Channel(p, 8), Channel(p, 16)}) < 140);
    }
  return ink;
}

// The notice label's text colour, RGB(0, 0, 255), and the blends of it that its edges make.
bool NoticeBlue(uint32_t pixel) { return Channel(pixel, 0) > 170 && Channel(pixel, 16) < 90 && Channel(pixel, 8) < 90; }

int NoticeBlueIn(const PixelGrid& shot, const RECT& area) {
  return InkIn(area, [&](int x, int y) { return NoticeBlue(shot.at(x, y)); }).count;
}

TEST(ToolFonts, TheCodePageIsTheOneAskedFor) {
  const char* expected = std::getenv("EXPECTED_ANSI_CODE_PAGE");
  ASSERT_NE(expected, nullptr);
  EXPECT_EQ(GetACP(), static_cast<UINT>(std::atoi(expected)));
}

// The title in the caption, and the switch buttons' captions in real glyphs: the two captions
// hold the same six characters in another order, so drawn as boxes (one empty shape for every
// character the face lacks) they would be the same picture, and drawn as glyphs they differ.
TEST(ToolFonts, DrawsTheTitleAndTheButtonCaptionsInGlyphsThatExist) {
  RunningTool tool;
  ASSERT_NE(tool.window(), nullptr);
  const PixelGrid background = StretchedBackground();
  ASSERT_EQ(background.pixels.size(), static_cast<size_t>(kStartWindowWidth * kStartWindowHeight));
  const RECT title{29, 8, 220, 24};
  EXPECT_TRUE(WaitFor([&] { return Drawn(tool.Shot(), background, title) > 150; }, 3000)) << "no title";

  const RECT toLive = tool.PlaceOf(tool.Button(L"体验服转正服"));
  const RECT toTest = tool.PlaceOf(tool.Button(L"正服转体验服"));
  ASSERT_EQ(toLive.right - toLive.left, toTest.right - toTest.left);
  ASSERT_EQ(toLive.bottom - toLive.top, toTest.bottom - toTest.top);
  const PixelGrid shot = tool.Shot();
  const std::vector<bool> live = InkInside(shot, toLive), test = InkInside(shot, toTest);
  // Measured: six boxes ink 60 pixels and differ in none; the glyphs ink 160 to 380 and differ
  // in 210 to 390.
  EXPECT_GT(std::count(live.begin(), live.end(), true), 100) << "no caption on 体验服转正服";
  EXPECT_GT(std::count(test.begin(), test.end(), true), 100) << "no caption on 正服转体验服";
  size_t differing = 0;
  for (size_t i = 0; i < live.size(); ++i) differing += live[i] != test[i] ? 1 : 0;
  EXPECT_GT(differing, 60u) << "the two captions are the same picture: boxes, not glyphs";
}

// The label lies below the switch buttons. Whatever paints it last (its own repaint, a new
// caption, after a button was hovered and pressed), none of its blue reaches into them.
TEST(ToolFonts, TheNoticeLabelNeverPaintsOverTheSwitchButtons) {
  RunningTool tool;
  ASSERT_NE(tool.window(), nullptr);
  HWND label = GetWindow(tool.window(), GW_CHILD);
  while (label && GetWindow(label, GW_HWNDNEXT)) label = GetWindow(label, GW_HWNDNEXT);
  ASSERT_NE(label, nullptr);
  const RECT labelArea = tool.PlaceOf(label);
  const std::wstring notice = TextOf(label);
  HWND buttons[] = {tool.Button(L"正服转体验服"), tool.Button(L"体验服转正服")};

  auto painted = [&] {
    if (GetUpdateRect(tool.window(), nullptr, FALSE)) return false;
    for (HWND child = GetWindow(tool.window(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      if (GetUpdateRect(child, nullptr, FALSE)) return false;
    return true;
  };
  auto repaintLabel = [&](bool newCaption) {
    if (newCaption) {
      // The label asks for its area to be painted again, the window's and the buttons' parts of
      // it too, in the order the system paints them: waited for until nothing is left to paint.
      SendMessageW(label, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(notice.c_str()));
      EXPECT_TRUE(WaitFor(painted, 3000));
    } else {
      // Painted last, in the tool's thread, now: the label's own handling of WM_PAINT.
      RedrawWindow(label, nullptr, nullptr, RDW_INVALIDATE);
      SendMessageW(label, WM_PAINT, 0, 0);
    }
    // A message answered after the paint in progress has ended.
    SendMessageW(label, WM_NULL, 0, 0);
  };
  auto expectClear = [&](const char* step) {
    const PixelGrid shot = tool.Shot();
    // The label did paint: its text shows above the buttons.
    const RECT above{labelArea.left, labelArea.top, labelArea.right, tool.PlaceOf(buttons[0]).top};
    EXPECT_GT(NoticeBlueIn(shot, above), 500) << step;
    for (HWND button : buttons) EXPECT_EQ(NoticeBlueIn(shot, tool.PlaceOf(button)), 0) << step;
  };

  repaintLabel(false);
  expectClear("own repaint");
  for (HWND button : buttons) {
    RECT r;
    GetWindowRect(button, &r);
    const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    MouseAt(centre);
    ASSERT_TRUE(WaitFor([&] { return WindowFromPoint(centre) == button; }, 2000));
    repaintLabel(false);
    expectClear("hovered");
    MouseAt(centre, MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(WaitFor([&] { return (SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; }, 3000));
    repaintLabel(false);
    expectClear("pressed");
    MouseAt(centre, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(WaitFor([&] { return (SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED) == 0; }, 3000));
    repaintLabel(true);
    expectClear("new caption");
  }
}

}  // namespace
