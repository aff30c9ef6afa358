// What the in-process frame tests share: the runtime started once for the test program with
// the test templates, the record of handler calls, message pumping, unit handles and screen
// captures of windows.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "runtime/templates/template_program.h"
#include "tests/support/gui_driver.h"

extern const TemplateProgram FrameTestTemplates;

// Window ids of tests/runtime/frame/frame_windows.json.
enum TestWindow : uint32_t {
  LAYOUT_WINDOW = 0x52010001,
  PLACED_WINDOW = 0x52010002,
  VERSION1_WINDOW = 0x52010003,
  VERSION7_WINDOW = 0x52010004,
  SELF_DESTROYING_WINDOW = 0x52010005,
  EDIT_WINDOW = 0x52010006,
  LINKS_WINDOW = 0x52010007,
  MODAL_WINDOW = 0x52010008,
  LABELS_WINDOW = 0x52010009,
  RECORDER_WINDOW = 0x5201000A,
  PICTURES_WINDOW = 0x5201000B,
  BUTTONS_WINDOW = 0x5201000C,
  OTHER_WINDOW = 0x5201000D,
  MINIMISED_WINDOW = 0x5201000E,
  MAXIMISED_WINDOW = 0x5201000F,
  FIXED_MAXIMISED_WINDOW = 0x52010010,
  KEYS_WINDOW = 0x52010011,
  CURSORS_WINDOW = 0x52010012,
  PICTURE_KINDS_WINDOW = 0x52010013,
};

// One handler call as Record<N> saw it.
struct Fired {
  int32_t event;
  uint32_t windowId;
  uint32_t unitId;
  std::array<int32_t, 3> arguments;
  bool windowVisible;
  bool operator==(const Fired&) const = default;
};
std::vector<Fired>& FiredEvents();
// What Record<N> answers, by N; no entry: no value.
std::map<int32_t, std::optional<int32_t>>& Answers();

// A window of the test's own, not made by the runtime, that the modal check also looks at.
HWND& ForeignWindow();

// (message, wParam) pairs that reached the procedure of the class "FrameTestRecorder".
std::vector<std::pair<UINT, WPARAM>>& RecorderMessages();

class FrameTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;  // destroys every loaded window
  static void DestroyLoadedWindows();
};

// For suites whose cases only look: the windows stay loaded from one case to the next (closing
// an activated window costs Wine about 2 s without a window manager) and go with the suite.
class SharedWindowsTest : public FrameTest {
 protected:
  void TearDown() override {}
};

// Runs the thread's messages for a while, or until the condition holds.
void Pump(int milliseconds);
template <class Condition>
bool PumpUntil(Condition done, int milliseconds = 5000) {
  for (int waited = 0; waited < milliseconds; waited += 10) {
    if (done()) return true;
    Pump(10);
  }
  return done();
}

// The window handle of a loaded window (unit 0) or unit, through the GetUnitHandle command.
HWND UnitHandle(uint32_t windowId, uint32_t unitId = 0);

// The pixels (0x00RRGGBB) of a rectangle of a window's client area as the screen has them.
// Wine keeps every window's pixels in a surface of its own, so a covered window still reads
// back its own content; on Windows the window must lie uncovered on the screen.
struct Capture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};
Capture CaptureClient(HWND window, RECT area);
// Paints the window and all its children now.
void RepaintNow(HWND window);
