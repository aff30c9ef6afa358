// The control gallery as a program: every control and every part of one found skinned, and real
// clicks and keys on the painted controls still doing what the controls do, with the skin's
// pictures and colours on the screen.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "graphics/images.h"
#include "resources/embedded_pictures.h"
#include "tests/support/child_process.h"
#include "tests/support/gui_driver.h"
#include "tests/support/wine_paths.h"
#include "tools/gallery/gallery_layout.h"

namespace {

constexpr COLORREF kThemeColour = 0xDDCA22;

uint32_t ScreenRgb(COLORREF colour) { return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour); }

int32_t Property(HWND window, const char* name) {
  return static_cast<int32_t>(reinterpret_cast<intptr_t>(GetPropA(window, name)));
}

// What a built-in picture puts on the screen for sure: its fully opaque pixels.
struct OpaquePixel {
  int x, y;
  uint32_t rgb;
};
std::vector<OpaquePixel> OpaquePixelsOf(ByteBlock picture, int& width, int& height) {
  Bitmap bitmap;
  std::vector<OpaquePixel> pixels;
  if (!bitmap.LoadFromBytes(picture)) return pixels;
  width = static_cast<int>(bitmap.GetWidth());
  height = static_cast<int>(bitmap.GetHeight());
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (const Gdiplus::ARGB argb = bitmap.GetPixel(x, y); (argb >> 24) == 0xFF) pixels.push_back({x, y, argb & 0xFFFFFF});
  return pixels;
}

// Whether the picture's opaque pixels show somewhere inside the screen area.
bool ShowsPicture(const RECT& area, ByteBlock picture) {
  int width = 0, height = 0;
  const std::vector<OpaquePixel> opaque = OpaquePixelsOf(picture, width, height);
  if (opaque.empty()) return false;
  const std::vector<uint32_t> screen = CaptureScreen(area);
  const int areaWidth = area.right - area.left, areaHeight = area.bottom - area.top;
  for (int top = 0; top + height <= areaHeight; ++top)
    for (int left = 0; left + width <= areaWidth; ++left) {
      bool all = true;
      for (const OpaquePixel& p : opaque)
        if (screen[static_cast<size_t>((top + p.y) * areaWidth + left + p.x)] != p.rgb) {
          all = false;
          break;
        }
      if (all) return true;
    }
  return false;
}

// A control's text asked of it: GetWindowText gives only the caption the system keeps for a
// window of another process, which an edit's typing does not change.
std::wstring ControlText(HWND control) {
  wchar_t text[256] = L"";
  SendMessageW(control, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
  return text;
}

RECT ScreenRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

class Gallery : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    process_ = std::make_unique<ChildProcess>("\"" + WinePathOf(GALLERY_UNIX_PATH) + "\"");
    WaitFor([] { return (window_ = FindWindowW(nullptr, kGalleryTitle)) != nullptr && IsWindowVisible(window_); });
  }
  static void TearDownTestSuite() {
    if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
    if (process_) {
      EXPECT_EQ(process_->AwaitExit(10000).value_or(0xDEAD), 0u);
    }
    process_.reset();
  }
  void SetUp() override { ASSERT_NE(window_, nullptr) << "the gallery did not show its window"; }

  static HWND Control(int id) {
    for (const GalleryControl& control : kGalleryControls)
      if (control.id == id) return GetDlgItem(control.parentId ? Control(control.parentId) : window_, id);
    return nullptr;
  }
  static HWND Part(int id, const wchar_t* className, int number = 0) {
    HWND part = FindWindowExW(Control(id), nullptr, className, nullptr);
    while (part && number-- > 0) part = FindWindowExW(Control(id), part, className, nullptr);
    return part;
  }

  static std::unique_ptr<ChildProcess> process_;
  static HWND window_;
};
std::unique_ptr<ChildProcess> Gallery::process_;
HWND Gallery::window_ = nullptr;

TEST_F(Gallery, EveryControlAndEachOfItsPartsIsSkinned) {
  for (const GalleryControl& control : kGalleryControls) {
    SCOPED_TRACE(testing::Message() << "control " << control.id);
    HWND window = Control(control.id);
    ASSERT_NE(window, nullptr);
    const bool isStatic = control.skin == GallerySkin::kStatic;
    EXPECT_EQ(Property(window, isStatic ? "Kj_FuID" : "Hw_FuID"), 1);
    EXPECT_NE(Property(window, isStatic ? "Kj_hProc" : "Hw_hProc"), 0);
  }
  const std::vector<HWND> parts = {Part(kEditComboId, L"Edit"), Part(kIpAddressId, L"Edit", 0),
                                   Part(kIpAddressId, L"Edit", 3), Part(kListViewId, L"SysHeader32")};
  for (HWND part : parts) {
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(Property(part, "Hw_FuID"), 1);
  }
}

TEST_F(Gallery, CheckBoxShowsTheCheckedPictureAfterARealClick) {
  HWND check = Control(kCheckId);
  const RECT area = ScreenRect(check);
  const RECT box{area.left, area.top, area.left + 20, area.bottom};
  ASSERT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_FALSE(ShowsPicture(box, CheckBoxCheckedPng));
  ClickCentre(check);
  ASSERT_TRUE(WaitFor([&] { return SendMessageW(check, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
  EXPECT_TRUE(WaitFor([&] { return ShowsPicture(box, CheckBoxCheckedPng); }, 2000));
}

TEST_F(Gallery, UpDownShowsItsArrowsAndRealClicksStillCount) {
  HWND upDown = Control(kUpDownId), buddy = Control(kBuddyId);
  const RECT area = ScreenRect(upDown);
  const int middle = (area.top + area.bottom) / 2;
  EXPECT_TRUE(ShowsPicture(RECT{area.left, area.top, area.right, middle}, ArrowUpPng));
  EXPECT_TRUE(ShowsPicture(RECT{area.left, middle, area.right, area.bottom}, ArrowDownPng));
  ASSERT_EQ(ControlText(buddy), L"5");
  const int x = (area.left + area.right) / 2;
  MouseAt(POINT{x, area.top + 3});
  MouseAt(POINT{x, area.top + 3}, MOUSEEVENTF_LEFTDOWN);
  MouseAt(POINT{x, area.top + 3}, MOUSEEVENTF_LEFTUP);
  EXPECT_TRUE(WaitFor([&] { return ControlText(buddy) == L"6"; }));
  MouseAt(POINT{x, area.bottom - 3}, MOUSEEVENTF_LEFTDOWN);
  MouseAt(POINT{x, area.bottom - 3}, MOUSEEVENTF_LEFTUP);
  EXPECT_TRUE(WaitFor([&] { return ControlText(buddy) == L"5"; }));
}

TEST_F(Gallery, ComboBoxesShowTheDownArrowPicture) {
  for (const int id : {kComboId, kEditComboId}) {
    const RECT area = ScreenRect(Control(id));
    EXPECT_TRUE(ShowsPicture(RECT{area.right - 22, area.top, area.right, area.top + 24}, ArrowDownPng)) << id;
  }
}

TEST_F(Gallery, ProgressBarFillsInTheThemeColourUpToItsPosition) {
  const RECT area = ScreenRect(Control(kProgressId));
  const int width = area.right - area.left, height = area.bottom - area.top;
  const int row = height * 3 / 4;  // below the gloss
  const std::vector<uint32_t> line = CaptureScreen(RECT{area.left, area.top + row, area.right, area.top + row + 1});
  const int filledEnd = width * kProgressPosition / 100;
  for (const int x : {6, filledEnd / 2, filledEnd - 6}) EXPECT_EQ(line[static_cast<size_t>(x)], ScreenRgb(kThemeColour)) << x;
  for (const int x : {filledEnd + 4, (filledEnd + width) / 2, width - 6})
    EXPECT_NE(line[static_cast<size_t>(x)], ScreenRgb(kThemeColour)) << x;
}

TEST_F(Gallery, TypingIntoASkinnedEditStillWorksAndShows) {
  HWND edit = Control(kEditId);
  const RECT area = ScreenRect(edit);
  const RECT typed{area.left + (area.right - area.left) / 2, area.top + 3, area.right - 3, area.bottom - 3};
  const std::vector<uint32_t> before = CaptureScreen(typed);
  ClickCentre(edit);
  PressKey(VK_END);
  for (const WORD key : {'W', 'W', 'W'}) PressKey(key);
  ASSERT_TRUE(WaitFor([&] { return ControlText(edit) == L"可以输入www"; })) << "got " << ControlText(edit).size();
  // The new letters are drawn where there was only ground.
  EXPECT_TRUE(WaitFor([&] { return CaptureScreen(typed) != before; }, 2000));
}

}  // namespace
