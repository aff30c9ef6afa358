// The four unit kinds as real windows: the window's frame, owner, icons and class; the button's
// styles; picture boxes in their display modes, checked on the screen; transparent labels,
// checked pixel for pixel against DrawTextW with the flags they must use; and the decoders of
// pictures and icons on good and broken bytes. Texts are read and drawn in the wide form, so
// that they read the same whatever the ANSI code page is.
#include <gtest/gtest.h>

#include <cmath>
#include <cwchar>
#include <string>
#include <vector>

#include "runtime/frame/runtime_state.h"
#include "runtime/win_handles.h"
#include "runtime/frame/window_loader.h"
#include "runtime/frame/window_registry.h"
#include "runtime/font_faces.h"
#include "runtime/templates/property_blocks.h"
#include "runtime/units/icon_file.h"
#include "runtime/units/jpeg_decoder.h"
#include "runtime/units/pictures.h"
#include "runtime/system_text.h"
#include "tests/runtime/frame/frame_fixture.h"

namespace {

constexpr uint32_t kMagenta = 0xFF00FF, kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;
constexpr uint32_t kYellow = 0xFFFF00;  // the labels window's background, 0x00FFFF as a COLORREF

uint32_t ColourOfIcon(HICON icon, int size, int x, int y) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB};
  void* bits = nullptr;
  OwnedBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  OwnedMemoryDc dc(CreateCompatibleDC(nullptr));
  {
    Selection selected(dc.get(), bitmap.get());
    DrawIconEx(dc.get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  }
  GdiFlush();
  return static_cast<const uint32_t*>(bits)[y * size + x] & 0xFFFFFF;
}

SIZE IconSize(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return {0, 0};
  OwnedBitmap colour(info.hbmColor);
  OwnedBitmap mask(info.hbmMask);
  return BitmapSize(colour.get());
}

using WindowKindTest = FrameTest;

TEST_F(WindowKindTest, FixedFrameWithCaptionOwnedByTheHiddenWindowAndTopmost) {
  ASSERT_TRUE(LoadWindow(PLACED_WINDOW, false, nullptr));
  const HWND window = UnitHandle(PLACED_WINDOW);
  RECT r;
  GetWindowRect(window, &r);
  EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>{40, 30, 240, 150}));
  const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
  EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
            WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
  EXPECT_EQ(exStyle & (WS_EX_DLGMODALFRAME | WS_EX_TOPMOST), WS_EX_DLGMODALFRAME | WS_EX_TOPMOST);
  EXPECT_EQ(GetWindow(window, GW_OWNER), Runtime().hiddenWindow);
  EXPECT_EQ(TextOf(window), L"有标题");
  EXPECT_EQ(GetMenuState(GetSystemMenu(window, FALSE), SC_MOVE, MF_BYCOMMAND), static_cast<UINT>(-1));

  // The icon file holds a red 32 x 32 and a blue 16 x 16 image: each icon takes its own.
  const auto big = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_BIG, 0));
  const auto small = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0));
  ASSERT_NE(big, nullptr);
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(IconSize(big).cx, 32);
  EXPECT_EQ(IconSize(small).cx, 16);
  EXPECT_EQ(ColourOfIcon(big, 32, 16, 16), kRed);
  EXPECT_EQ(ColourOfIcon(small, 16, 8, 8), kBlue);
}

TEST_F(WindowKindTest, VersionOneBlockTakesTheLaterFieldsDefaults) {
  ASSERT_TRUE(LoadWindow(VERSION1_WINDOW, false, nullptr));
  const HWND window = UnitHandle(VERSION1_WINDOW);
  char className[32] = "";
  GetClassNameA(window, className, sizeof className);
  EXPECT_STREQ(className, "WTWindow");
  EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);  // shown in the taskbar
  const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
  // A sizable frame; no caption, for the title is empty and the control box off.
  EXPECT_EQ(style & (WS_THICKFRAME | WS_CAPTION | WS_SYSMENU | WS_MAXIMIZEBOX), WS_THICKFRAME | WS_MAXIMIZEBOX);
  RECT r;
  GetWindowRect(window, &r);
  EXPECT_EQ((std::vector<LONG>{r.left, r.top}), (std::vector<LONG>{362, 284}));
}

struct StartStateCase {
  uint32_t window;
  bool minimised, maximised;
};

class StartStateTest : public FrameTest, public ::testing::WithParamInterface<StartStateCase> {};

TEST_P(StartStateTest, FirstShowingFollowsTheStartPosition) {
  const StartStateCase& c = GetParam();
  ASSERT_TRUE(LoadWindow(c.window, false, nullptr));
  const HWND window = UnitHandle(c.window);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(IsIconic(window) != FALSE, c.minimised);
  EXPECT_EQ(IsZoomed(window) != FALSE, c.maximised);
}

// Maximised only with a sizable frame; a fixed frame shows normally.
INSTANTIATE_TEST_SUITE_P(Windows, StartStateTest,
                         ::testing::Values(StartStateCase{MINIMISED_WINDOW, true, false},
                                           StartStateCase{MAXIMISED_WINDOW, false, true},
                                           StartStateCase{FIXED_MAXIMISED_WINDOW, false, false}));

TEST_F(WindowKindTest, RuntimeClassesRedrawOnResizeTakeDoubleClicksAndPaintNoBackground) {
  ASSERT_TRUE(LoadWindow(LABELS_WINDOW, false, nullptr));
  const HWND window = UnitHandle(LABELS_WINDOW);
  for (const HWND w : {window, UnitHandle(LABELS_WINDOW, 0x16020001)}) {
    EXPECT_EQ(GetClassLongPtrA(w, GCL_STYLE), CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
    EXPECT_EQ(GetClassLongPtrA(w, GCLP_HBRBACKGROUND), 0);
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(w, GCLP_HCURSOR)), LoadCursorA(nullptr, IDC_ARROW));
  }
  EXPECT_EQ(GetWindowLongPtrA(UnitHandle(LABELS_WINDOW, 0x16020001), GWL_EXSTYLE) & WS_EX_TRANSPARENT,
            WS_EX_TRANSPARENT);
  RepaintNow(window);
  EXPECT_EQ(CaptureClient(window, {395, 255, 397, 257}).at(0, 0), kYellow);  // the window's own colour
}

struct ButtonCase {
  uint32_t unit;
  LONG_PTR style;  // kind and alignment bits
  const wchar_t* caption;
  const wchar_t* fontFace;  // null: no font set
  bool picture;
};

class ButtonKindTest : public SharedWindowsTest, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(ButtonKindTest, StylesFontAndPictureComeFromTheBlock) {
  const ButtonCase& c = GetParam();
  ASSERT_TRUE(LoadWindow(BUTTONS_WINDOW, false, nullptr));
  const HWND button = UnitHandle(BUTTONS_WINDOW, c.unit);
  EXPECT_EQ(GetWindowLongPtrA(button, GWL_STYLE) & (0x0F | BS_CENTER | BS_VCENTER | BS_BITMAP), c.style);
  EXPECT_EQ(TextOf(button), c.caption);
  EXPECT_TRUE(IsWindowUnicode(button));
  const auto font = reinterpret_cast<HFONT>(SendMessageA(button, WM_GETFONT, 0, 0));
  if (c.fontFace) {
    LOGFONTW logical{};
    ASSERT_TRUE(font && GetObjectW(font, sizeof logical, &logical));
    EXPECT_EQ(logical.lfHeight, -16);
    // The block's face where it shows the caption; where it cannot (Wine's Tahoma has no Chinese
    // glyphs), one that does.
    const OwnedMemoryDc dc(CreateCompatibleDC(nullptr));
    {
      const Selection selected(dc.get(), font);
      EXPECT_TRUE(SelectedFontShows(dc.get(), c.caption)) << "face " << logical.lfFaceName;
    }
    LOGFONTW asked = logical;
    wcsncpy(asked.lfFaceName, c.fontFace, LF_FACESIZE - 1);
    const OwnedFont blockFace(CreateFontIndirectW(&asked));
    const Selection selected(dc.get(), blockFace.get());
    wchar_t mapped[LF_FACESIZE] = {};
    GetTextFaceW(dc.get(), LF_FACESIZE, mapped);
    if (std::wstring(mapped) == c.fontFace && SelectedFontShows(dc.get(), c.caption)) {
      EXPECT_STREQ(logical.lfFaceName, c.fontFace);
    }
  } else {
    EXPECT_EQ(font, nullptr);
  }
  const auto image = reinterpret_cast<HBITMAP>(SendMessageA(button, BM_GETIMAGE, IMAGE_BITMAP, 0));
  EXPECT_EQ(image != nullptr, c.picture);
  if (image) {
    EXPECT_EQ(BitmapSize(image).cx, 2);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, ButtonKindTest,
    ::testing::Values(ButtonCase{0x16050001, BS_DEFPUSHBUTTON | BS_LEFT | BS_TOP, L"默认", nullptr, false},
                      ButtonCase{0x16050002, BS_PUSHBUTTON | BS_RIGHT | BS_BOTTOM, L"按钮", L"Tahoma", false},
                      ButtonCase{0x16050003, BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_BITMAP, L"按钮", nullptr, true},
                      // alignment numbers outside the tables read as centred
                      ButtonCase{0x16050004, BS_PUSHBUTTON | BS_CENTER | BS_VCENTER, L"按钮", nullptr, false}));

// The window shows at another DPI (moved to another monitor, or the scale changed): it takes the
// rectangle the system suggests, each unit keeps its place and size in proportion and a unit's
// font is made again for the new DPI; back at 96 everything is as it was made.
TEST_F(WindowKindTest, AnotherDpiTakesTheSuggestedRectangleAndScalesEachUnitAndItsFont) {
  ASSERT_TRUE(LoadWindow(BUTTONS_WINDOW, false, nullptr));
  const HWND window = UnitHandle(BUTTONS_WINDOW);
  auto places = [&] {
    std::vector<LONG> edges;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      RECT r;
      GetWindowRect(child, &r);
      MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
      edges.insert(edges.end(), {r.left, r.top, r.right, r.bottom});
    }
    return edges;
  };
  auto fontHeight = [](HWND button) {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0));
    LOGFONTW logical{};
    return font && GetObjectW(font, sizeof logical, &logical) ? logical.lfHeight : 0;
  };
  const std::vector<LONG> made = places();
  ASSERT_EQ(made.size(), 16u);
  RECT outer;
  GetWindowRect(window, &outer);
  for (const UINT dpi : {144u, 96u}) {
    SCOPED_TRACE(dpi);
    const RECT suggested{100, 80, 100 + (outer.right - outer.left) * static_cast<LONG>(dpi) / 96,
                         80 + (outer.bottom - outer.top) * static_cast<LONG>(dpi) / 96};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    RECT now;
    GetWindowRect(window, &now);
    EXPECT_EQ((std::vector<LONG>{now.left, now.top, now.right, now.bottom}),
              (std::vector<LONG>{suggested.left, suggested.top, suggested.right, suggested.bottom}));
    std::vector<LONG> expected;
    for (const LONG edge : made) expected.push_back(static_cast<LONG>(std::lround(edge * dpi / 96.0)));
    EXPECT_EQ(places(), expected);
    EXPECT_EQ(fontHeight(UnitHandle(BUTTONS_WINDOW, 0x16050002)), -16 * static_cast<LONG>(dpi) / 96);
    EXPECT_EQ(fontHeight(UnitHandle(BUTTONS_WINDOW, 0x16050001)), 0);  // none given, none made
  }
}

// Picture boxes of 208 x 64 (20 x 20 for the small ones) on a magenta background. The JPEG is
// 246 x 81: red left half, blue right half, green rows 60 to 80.
struct PixelCase {
  const char* name;
  uint32_t unit;
  int x, y;
  uint32_t colour;
};

class PictureBoxTest : public SharedWindowsTest, public ::testing::WithParamInterface<PixelCase> {};

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8)
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance)
      return false;
  return true;
}

TEST_P(PictureBoxTest, ShowsThePictureAsItsModeSays) {
  const PixelCase& c = GetParam();
  ASSERT_TRUE(LoadWindow(PICTURES_WINDOW, false, nullptr));
  const HWND window = UnitHandle(PICTURES_WINDOW);
  const HWND box = UnitHandle(PICTURES_WINDOW, c.unit);
  RepaintNow(window);
  RECT r;
  GetWindowRect(box, &r);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
  const uint32_t seen = CaptureClient(window, {r.left + c.x, r.top + c.y, r.left + c.x + 1, r.top + c.y + 1}).at(0, 0);
  // JPEG and scaling blur colours a little; the BMP is exact.
  const int tolerance = c.unit >= 0x16040004 ? 0 : 40;
  EXPECT_TRUE(Near(seen, c.colour, tolerance)) << std::hex << seen << " instead of " << c.colour;
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, PictureBoxTest,
    ::testing::Values(PixelCase{"TopLeftOwnSizeRed", 0x16040000, 110, 20, kRed},
                      PixelCase{"TopLeftOwnSizeBlue", 0x16040000, 130, 20, kBlue},
                      PixelCase{"TopLeftOwnSizeAboveTheBand", 0x16040000, 20, 55, kRed},
                      PixelCase{"StretchedLeft", 0x16040001, 50, 20, kRed},
                      PixelCase{"StretchedSqueezesTheHalves", 0x16040001, 110, 20, kBlue},
                      PixelCase{"StretchedSqueezesTheBand", 0x16040001, 50, 55, kGreen},
                      PixelCase{"StretchedBandRight", 0x16040001, 200, 58, kGreen},
                      PixelCase{"FitLeavesSidesToTheBackground", 0x16040002, 2, 30, kMagenta},
                      PixelCase{"FitLeavesRightSide", 0x16040002, 205, 30, kMagenta},
                      PixelCase{"FitShrinksRed", 0x16040002, 20, 20, kRed},
                      PixelCase{"FitShrinksBlue", 0x16040002, 190, 20, kBlue},
                      PixelCase{"FitShrinksBand", 0x16040002, 20, 58, kGreen},
                      PixelCase{"AnimatedShowsFirstFrameAsTopLeft", 0x16040003, 110, 20, kRed},
                      PixelCase{"BitmapTopLeft", 0x16040004, 0, 0, kRed},
                      PixelCase{"BitmapTopRight", 0x16040004, 1, 0, kBlue},
                      PixelCase{"BitmapBottomLeft", 0x16040004, 0, 1, kGreen},
                      PixelCase{"BitmapBottomRight", 0x16040004, 1, 1, kWhite},
                      PixelCase{"BitmapBackground", 0x16040004, 5, 5, kMagenta},
                      PixelCase{"BrokenJpegShowsBackground", 0x16040005, 5, 5, kMagenta}),
    [](const auto& p) { return std::string(p.param.name); });

// Transparent labels over the yellow labels window. Each is compared with DrawTextW in the
// stated font, with the stated flags, layer by layer, over the same yellow.
struct Layer {
  int dx, dy;
  COLORREF colour;
};

enum class LabelFont { Tahoma16, Song14, DefaultGui };

struct LabelCase {
  const char* name;
  uint32_t unit;
  const wchar_t* caption;
  LabelFont font;
  UINT flags;
  std::vector<Layer> layers;
};

OwnedFont FontFor(LabelFont font) {
  LOGFONTW logical{};
  logical.lfWeight = 400;
  logical.lfQuality = NONANTIALIASED_QUALITY;
  if (font == LabelFont::Tahoma16) {
    logical.lfHeight = -16;
    lstrcpyW(logical.lfFaceName, L"Tahoma");
  } else if (font == LabelFont::Song14) {
    logical.lfHeight = -14;
    logical.lfCharSet = GB2312_CHARSET;
    lstrcpyW(logical.lfFaceName, L"宋体");
  } else {
    return {};
  }
  return OwnedFont(CreateFontIndirectW(&logical));
}

Capture Expected(const LabelCase& c, int width, int height) {
  Capture expected;
  expected.width = width;
  expected.height = height;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
  void* bits = nullptr;
  OwnedBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  OwnedMemoryDc dc(CreateCompatibleDC(nullptr));
  const OwnedFont font = FontFor(c.font);
  {
    Selection selected(dc.get(), bitmap.get());
    Selection fontSelected(dc.get(), font ? static_cast<HGDIOBJ>(font.get()) : GetStockObject(DEFAULT_GUI_FONT));
    OwnedBrush yellow(CreateSolidBrush(0x00FFFF));
    RECT all{0, 0, width, height};
    FillRect(dc.get(), &all, yellow.get());
    SetBkMode(dc.get(), TRANSPARENT);
    for (const Layer& layer : c.layers) {
      RECT rect{layer.dx, layer.dy, width + layer.dx, height + layer.dy};
      SetTextColor(dc.get(), layer.colour);
      DrawTextW(dc.get(), c.caption, -1, &rect, c.flags);
    }
  }
  GdiFlush();
  const auto* words = static_cast<const uint32_t*>(bits);
  expected.pixels.assign(words, words + width * height);
  for (uint32_t& pixel : expected.pixels) pixel &= 0xFFFFFF;
  return expected;
}

// Rows that hold anything but the background.
std::pair<int, int> InkRows(const Capture& capture) {
  int first = -1, last = -1;
  for (int y = 0; y < capture.height; ++y)
    for (int x = 0; x < capture.width; ++x)
      if (capture.at(x, y) != kYellow) {
        if (first < 0) first = y;
        last = y;
      }
  return {first, last};
}

// The label of the case on the loaded labels window, painted now, as the screen has it.
Capture PaintedLabel(const LabelCase& c) {
  const HWND window = UnitHandle(LABELS_WINDOW);
  const HWND label = UnitHandle(LABELS_WINDOW, c.unit);
  RepaintNow(window);
  RECT r;
  GetWindowRect(label, &r);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
  return CaptureClient(window, r);
}

size_t PixelsUnlikeDrawText(const LabelCase& c, const Capture& seen) {
  const Capture expected = Expected(c, seen.width, seen.height);
  size_t differing = 0;
  for (size_t i = 0; i < seen.pixels.size(); ++i) differing += seen.pixels[i] != expected.pixels[i];
  return differing;
}

class TransLabelTest : public SharedWindowsTest, public ::testing::WithParamInterface<LabelCase> {};

TEST_P(TransLabelTest, PaintsItsCaptionOverTheParentExactlyAsDrawText) {
  const LabelCase& c = GetParam();
  ASSERT_TRUE(LoadWindow(LABELS_WINDOW, false, nullptr));
  const Capture seen = PaintedLabel(c);
  EXPECT_EQ(PixelsUnlikeDrawText(c, seen), 0u);
  if (c.layers.empty()) {
    EXPECT_EQ(InkRows(seen).first, -1);
  }
}

constexpr UINT kLine = DT_NOPREFIX | DT_SINGLELINE;
constexpr COLORREF kBlackRef = 0x000000, kWhiteRef = 0xFFFFFF;
const LabelCase kChineseLabel{"Chinese", 0x16020008, L"先把转换器放到飞车目录里", LabelFont::Song14,
                              kLine | DT_VCENTER, {{0, 0, 0x000080}}};

INSTANTIATE_TEST_SUITE_P(
    Labels, TransLabelTest,
    ::testing::Values(
        LabelCase{"RightBottom", 0x16020001, L"Right Bottom", LabelFont::Tahoma16, kLine | DT_RIGHT | DT_BOTTOM,
                  {{0, 0, 0x0000FF}}},
        LabelCase{"WrappedIgnoresBottom", 0x16020002, L"Wrapped words go on to the next line and the next",
                  LabelFont::Tahoma16, 0x14 | DT_NOPREFIX, {{0, 0, 0x008000}}},
        LabelCase{"DefaultGuiFontCentred", 0x16020003, L"Default GUI font", LabelFont::DefaultGui,
                  kLine | DT_CENTER | DT_VCENTER, {{0, 0, 0xFF0000}}},
        LabelCase{"WhiteShadow", 0x16020004, L"White shadow", LabelFont::Tahoma16, kLine | DT_VCENTER,
                  {{1, 1, kWhiteRef}, {0, 0, kBlackRef}}},
        LabelCase{"WhiteUnderMovedText", 0x16020005, L"White under", LabelFont::Tahoma16, kLine | DT_VCENTER,
                  {{0, 0, kWhiteRef}, {1, 1, 0x800000}}},
        LabelCase{"BlackShadow", 0x16020006, L"Black shadow", LabelFont::Tahoma16, kLine | DT_VCENTER,
                  {{2, 2, kBlackRef}, {0, 0, 0xFF00FF}}},
        LabelCase{"LeftTop", 0x16020007, L"Left Top", LabelFont::Tahoma16, kLine, {{0, 0, 0x0000FF}}},
        kChineseLabel,
        LabelCase{"EmptyCaptionPaintsNothing", 0x16020009, L"", LabelFont::DefaultGui, kLine | DT_VCENTER, {}}),
    [](const auto& p) { return std::string(p.param.name); });

// The skin puts its procedures over the units with the ANSI form of SetWindowLongPtr, which makes
// them ANSI windows: their text messages then pass through the ANSI code page ("??" under 1252).
// The label still paints its Chinese caption, and the runtime still reads it back, from the text
// the window keeps.
WNDPROC labelProcedure = nullptr;
LRESULT CALLBACK AnsiPassThrough(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(labelProcedure, window, message, wParam, lParam);
}

TEST_F(FrameTest, ChineseLabelShowsAndReadsBackBehindAnAnsiProcedure) {
  ASSERT_TRUE(LoadWindow(LABELS_WINDOW, false, nullptr));
  const HWND label = UnitHandle(LABELS_WINDOW, kChineseLabel.unit);
  labelProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AnsiPassThrough)));
  ASSERT_FALSE(IsWindowUnicode(label));
  EXPECT_EQ(StoredWindowTextAsGbk(label), "先把转换器放到飞车目录里");
  EXPECT_EQ(PixelsUnlikeDrawText(kChineseLabel, PaintedLabel(kChineseLabel)), 0u);
}

TEST_F(FrameTest, WrappedLabelStartsAtTheTopAndSingleLineAtTheBottom) {
  ASSERT_TRUE(LoadWindow(LABELS_WINDOW, false, nullptr));
  const HWND window = UnitHandle(LABELS_WINDOW);
  RepaintNow(window);
  const auto [wrappedFirst, wrappedLast] = InkRows(CaptureClient(window, {10, 60, 190, 140}));
  const auto [bottomFirst, bottomLast] = InkRows(CaptureClient(window, {10, 10, 190, 50}));
  EXPECT_LE(wrappedFirst, 4);
  EXPECT_GE(wrappedLast - wrappedFirst, 20);  // more than one line
  EXPECT_GE(bottomLast, 36);
  EXPECT_GE(bottomFirst, 20);
}

TEST_F(FrameTest, NewCaptionRepaintsWhatLiesBeneath) {
  ASSERT_TRUE(LoadWindow(LABELS_WINDOW, false, nullptr));
  const HWND window = UnitHandle(LABELS_WINDOW);
  RepaintNow(window);
  SetWindowTextA(UnitHandle(LABELS_WINDOW, 0x16020007), "");
  Pump(50);
  EXPECT_EQ(InkRows(CaptureClient(window, {10, 150, 190, 190})).first, -1);
}

// Decoders on the bytes the templates carry and on broken ones.
std::span<const unsigned char> TemplatePicture() {
  const TemplateWindow* pictures = FindTemplate(PICTURES_WINDOW);
  return ReadPictureBoxProperties(pictures->units[1].record.properties)->picture;
}

TEST_F(FrameTest, JpegDecodesToItsSizeAndColours) {
  const std::optional<DecodedPicture> picture = DecodeJpeg(TemplatePicture());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->width, 246);
  EXPECT_EQ(picture->height, 81);
  EXPECT_TRUE(Near(picture->pixels[20 * 246 + 60], kRed, 8));
  EXPECT_TRUE(Near(picture->pixels[20 * 246 + 200], kBlue, 8));
  EXPECT_TRUE(Near(picture->pixels[70 * 246 + 60], kGreen, 8));
}

TEST_F(FrameTest, BrokenPicturesGiveNothingAndDoNotEndTheProcess) {
  const std::span<const unsigned char> jpeg = TemplatePicture();
  std::vector<unsigned char> garbage(jpeg.begin(), jpeg.begin() + 3);
  garbage.insert(garbage.end(), 64, 0x5A);
  EXPECT_FALSE(DecodeJpeg(garbage));
  EXPECT_FALSE(DecodeJpeg(jpeg.first(2)));
  EXPECT_FALSE(PictureBitmap(garbage));
  // A BMP file whose pixels stop short, and one that asks for run-length decoding.
  const unsigned char bmpHead[] = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0,
                                   0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                   0, 0, 0, 0, 0, 0};
  std::vector<unsigned char> bmp(std::begin(bmpHead), std::end(bmpHead));
  bmp.resize(70, 0x80);
  EXPECT_TRUE(PictureBitmap(bmp));
  EXPECT_FALSE(PictureBitmap(std::span(bmp).first(60)));
  bmp[30] = BI_RLE8;
  EXPECT_FALSE(PictureBitmap(bmp));
}

TEST_F(FrameTest, IconFilesWithBadDirectoriesGiveNoIcon) {
  const unsigned char valid[] = {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0, 0x68, 4, 0, 0, 22, 0, 0, 0};
  std::vector<unsigned char> file(std::begin(valid), std::end(valid));
  EXPECT_FALSE(IconFromFile(file, 16));  // the image it names lies beyond the end
  file[2] = 2;                            // a cursor file
  EXPECT_FALSE(IconFromFile(file, 16));
  EXPECT_FALSE(IconFromFile(std::span(file).first(5), 16));
  EXPECT_FALSE(IconFromFile({}, 16));
}

}  // namespace
