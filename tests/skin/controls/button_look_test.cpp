// The skinned buttons' looks on test windows of this thread, sampled against the colours their
// layers and pictures give: the push button in each item state, the picture button's picture by
// state, and check boxes and radio buttons after a click, the space key or a change of check.
#include <algorithm>
#include <functional>

#include "tests/skin/controls/control_skin_fixture.h"

namespace {

constexpr UINT kHot = 0x40;  // the item state the button procedure draws a hot button with

// ---- The push button ----------------------------------------------------------------------

// One layer laid over `under` with GDI+'s source-over: a colour at an alpha.
COLORREF Over(COLORREF under, COLORREF colour, double alpha) {
  auto channel = [&](int shift) {
    const double below = (under >> shift) & 0xFF, above = (colour >> shift) & 0xFF;
    return static_cast<COLORREF>(std::lround(above * alpha / 255 + below * (1 - alpha / 255))) << shift;
  };
  return channel(0) | channel(8) | channel(16);
}
double Mix(double a, double b, double t) { return a + (b - a) * t; }
// A vertical gradient's layer at row y: from `top` (alpha a0) at y0 to `bottom` (alpha a1) at y1.
// Measured under Wine: the two colours are mixed weighted by their alphas (premultiplied), so
// that a transparent end adds no colour of its own.
COLORREF Gradient(COLORREF under, double y, double y0, double y1, COLORREF top, double a0, COLORREF bottom, double a1) {
  const double t = std::clamp((y + 0.5 - y0) / (y1 - y0), 0.0, 1.0);
  const double alpha = Mix(a0, a1, t);
  auto channel = [&](int shift) {
    const double mixed = (((top >> shift) & 0xFF) * a0 * (1 - t) + ((bottom >> shift) & 0xFF) * a1 * t) / alpha;
    return static_cast<COLORREF>(std::lround(mixed)) << shift;
  };
  return Over(under, channel(0) | channel(8) | channel(16), alpha);
}

constexpr int kButtonWidth = kPushPlace.right - kPushPlace.left, kButtonHeight = kPushPlace.bottom - kPushPlace.top;
// Inside the shape, below the gloss (the upper half), inside the pressed layer's inset, left of
// the centred caption.
constexpr POINT kInside{10, kButtonHeight - 8};
constexpr COLORREF kTheme = 0xDDCA22;

// The documented layers at kInside over the skin's pixel there: the white base at alpha 120, the
// white-to-grey gradient (alpha 0 to 60); hot: the theme gradient (60 to 10); pressed: the inset
// gradient from the theme colour (60) at y = 2 to white (100) at y = H - 2.
COLORREF PushLayers(COLORREF skin, UINT state) {
  const double y = kInside.y, bottom = kButtonHeight - 1;
  COLORREF c = Over(skin, 0xFFFFFF, 120);
  c = Gradient(c, y, 0, bottom, 0xFFFFFF, 0, 0x808080, 60);
  if (state & kHot) c = Gradient(c, y, 0, bottom, kTheme, 60, kTheme, 10);
  if (state & ODS_SELECTED) c = Gradient(c, y, 2, kButtonHeight - 2, kTheme, 60, 0xFFFFFF, 100);
  return c;
}

struct PushLook {
  const char* name;
  UINT state;
  bool skinAtCorner;  // outside the rounded corner the skin shows
};

// Focus adds a dotted dark ring 3 pixels inside the edge, over whatever else the state shows;
// inside the ring it looks as the button without focus does.
const PushLook kPushLooks[] = {
    {"Plain", 0, true},
    {"Hot", kHot, true},
    {"Focused", ODS_FOCUS, true},
    {"HotAndFocused", kHot | ODS_FOCUS, true},
    {"Pressed", ODS_SELECTED, true},
    {"HotAndPressed", kHot | ODS_SELECTED, true},
};

class PushButtonLookTest : public ControlSkinTest, public testing::WithParamInterface<PushLook> {};

TEST_P(PushButtonLookTest, EachStateShowsItsLayersOverTheSkin) {
  const PushLook& look = GetParam();
  const Controls c = SkinnedControls();
  SetPropA(c.push, kTextColourProperty, reinterpret_cast<HANDLE>(static_cast<intptr_t>(0x0000FF)));
  DrawTarget target(kButtonWidth, kButtonHeight);
  DRAWITEMSTRUCT item{ODT_BUTTON, 1, 0, ODA_DRAWENTIRE, look.state, c.push, target.dc(), {0, 0, kButtonWidth, kButtonHeight}, 0};
  EXPECT_EQ(SendMessageW(c.window, WM_DRAWITEM, 1, reinterpret_cast<LPARAM>(&item)), TRUE);
  const WindowRecord& record = engine_->RecordAt(1);

  const COLORREF skin = SkinUnder(record, c.push, kInside);
  EXPECT_TRUE(Near(PushLayers(skin, look.state), GetPixel(target.dc(), kInside.x, kInside.y), 3))
      << "over " << std::hex << skin;
  const COLORREF corner = GetPixel(target.dc(), 0, 0);
  EXPECT_EQ(corner == SkinUnder(record, c.push, {0, 0}), look.skinAtCorner) << std::hex << corner;
  // The focus ring's dots down the left side, clear of the corners: dark ink on the light button.
  int dots = 0;
  for (int y = 8; y < kButtonHeight - 8; ++y) {
    const COLORREF p = GetPixel(target.dc(), 3, y);
    dots += GetRValue(p) < 120 && GetGValue(p) < 120 && GetBValue(p) < 120;
  }
  if (look.state & ODS_FOCUS) {
    EXPECT_GT(dots, (kButtonHeight - 16) / 4);
    EXPECT_LT(dots, kButtonHeight - 16);  // dotted
  } else {
    EXPECT_EQ(dots, 0);
  }
  // The caption, centred, in the colour of Kj_Ztys.
  int red = 0;
  for (int x = 0; x < kButtonWidth; ++x) {
    const COLORREF p = GetPixel(target.dc(), x, kButtonHeight / 2);
    if (GetRValue(p) > 150 && GetGValue(p) < 100 && GetBValue(p) < 100) ++red;
  }
  EXPECT_GT(red, 0);
}

// A disabled button lies on an opaque grey ground, the skin nowhere under it: the corner is the
// grey itself, the inside the grey under a blend of white (alpha 50) and black (alpha 10).
TEST_F(ControlSkinTest, ADisabledPushButtonLiesOnItsGreyGround) {
  const Controls c = SkinnedControls();
  DrawTarget target(kButtonWidth, kButtonHeight);
  DRAWITEMSTRUCT item{ODT_BUTTON, 1, 0, ODA_DRAWENTIRE, ODS_DISABLED, c.push, target.dc(), {0, 0, kButtonWidth, kButtonHeight}, 0};
  SendMessageW(c.window, WM_DRAWITEM, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(GetPixel(target.dc(), 0, 0), 0xC0C0C0u);
  const COLORREF inside = GetPixel(target.dc(), kInside.x, kInside.y);
  EXPECT_EQ(GetRValue(inside), GetGValue(inside));
  EXPECT_EQ(GetGValue(inside), GetBValue(inside));
  EXPECT_GE(GetRValue(inside), Over(0xC0C0C0, 0, 10) & 0xFF);
  EXPECT_LE(GetRValue(inside), Over(0xC0C0C0, 0xFFFFFF, 50) & 0xFF);
}

INSTANTIATE_TEST_SUITE_P(States, PushButtonLookTest, testing::ValuesIn(kPushLooks),
                         [](const testing::TestParamInfo<PushLook>& p) { return std::string(p.param.name); });

// ---- The picture button ---------------------------------------------------------------------

constexpr COLORREF kNormalPicture = 0x0000FF, kHotPicture = 0x00FF00, kPressedPicture = 0xFF0000,
                   kDisabledPicture = 0x808080;

struct PictureLook {
  const char* name;
  UINT state;
  bool hotGiven;  // a hot picture was given; without one the normal picture serves
  COLORREF shown;
};

const PictureLook kPictureLooks[] = {
    {"Normal", 0, true, kNormalPicture},
    {"Hot", kHot, true, kHotPicture},
    {"HotWithoutItsPicture", kHot, false, kNormalPicture},
    {"Pressed", ODS_SELECTED, true, kPressedPicture},
    {"PressedWhileHot", ODS_SELECTED | kHot, true, kPressedPicture},
    {"Disabled", ODS_DISABLED | kHot, true, kDisabledPicture},
};

class PictureButtonLookTest : public ControlSkinTest, public testing::WithParamInterface<PictureLook> {};

// The state's picture fills the button; a click on it is one click.
TEST_P(PictureButtonLookTest, ShowsTheStatesPictureAndClicksOnce) {
  const PictureLook& look = GetParam();
  HWND window = Parent();
  HWND button = Child(window, L"BUTTON", L"", BS_OWNERDRAW, kOwnerPlace, 2);
  SkinAndShow(window);
  const OwnedBytes normal = SolidBmp(kNormalPicture, 12, 6), hot = SolidBmp(kHotPicture, 12, 6),
                   pressed = SolidBmp(kPressedPicture, 12, 6), disabled = SolidBmp(kDisabledPicture, 12, 6);
  engine_->SkinPictureButton(button, normal.get(), look.hotGiven ? hot.get() : nullptr, pressed.get(), disabled.get());
  ASSERT_EQ(engine_->RecordAt(1).controls.buttons.size(), 1u);
  EXPECT_EQ(engine_->RecordAt(1).controls.buttons[0].kind, kPictureButton);

  const int w = kOwnerPlace.right - kOwnerPlace.left, h = kOwnerPlace.bottom - kOwnerPlace.top;
  DrawTarget target(w, h);
  ownerDraws = 0;
  DRAWITEMSTRUCT item{ODT_BUTTON, 2, 0, ODA_DRAWENTIRE, look.state, button, target.dc(), {0, 0, w, h}, 0};
  EXPECT_EQ(SendMessageW(window, WM_DRAWITEM, 2, reinterpret_cast<LPARAM>(&item)), TRUE);
  EXPECT_EQ(ownerDraws, 0);  // drawn by the skin, not passed on to the program
  for (const POINT at : {POINT{w / 4, h / 2}, POINT{w / 2, h / 4}, POINT{3 * w / 4, 3 * h / 4}})
    EXPECT_EQ(GetPixel(target.dc(), at.x, at.y), look.shown) << at.x << "," << at.y;

  SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(clicks, 1);
}

INSTANTIATE_TEST_SUITE_P(States, PictureButtonLookTest, testing::ValuesIn(kPictureLooks),
                         [](const testing::TestParamInfo<PictureLook>& p) { return std::string(p.param.name); });

// ---- Check boxes and radio buttons --------------------------------------------------------

struct Toggle {
  const char* name;
  UINT down, up;
  WPARAM wParam;
};
constexpr Toggle kToggles[] = {{"click", WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON},
                               {"space", WM_KEYDOWN, WM_KEYUP, VK_SPACE}};

constexpr int kCheckHeight = kCheckPlace.bottom - kCheckPlace.top;
constexpr POINT kMarkCentre{6, (kCheckHeight - 13) / 2 + 6};  // the middle of the 13 x 13 mark

// The built-in check-box picture's pixel at the mark's centre laid over the skin.
COLORREF CheckPicture(ByteBlock png, COLORREF skin) {
  Bitmap picture;
  EXPECT_TRUE(picture.LoadFromBytes(png));
  const Gdiplus::ARGB pixel = picture.GetPixel(6, 6);
  const COLORREF colour = ((pixel & 0xFF) << 16) | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF);
  return Over(skin, colour, pixel >> 24);
}

struct CheckLook {
  const char* name;
  DWORD style;
  int32_t kind;
  std::function<COLORREF(COLORREF skin)> unchecked, checked;  // the mark's centre over the skin
};

const CheckLook kCheckLooks[] = {
    {"CheckBox", BS_AUTOCHECKBOX, kCheckBox, [](COLORREF skin) { return CheckPicture(CheckBoxPng, skin); },
     [](COLORREF skin) { return CheckPicture(CheckBoxCheckedPng, skin); }},
    // A white disc (alpha 200); chosen, a dot of the theme colour.
    {"RadioButton", BS_AUTORADIOBUTTON, kRadioButton, [](COLORREF skin) { return Over(skin, 0xFFFFFF, 200); },
     [](COLORREF) { return kTheme; }},
};

class CheckLookTest : public ControlSkinTest, public testing::WithParamInterface<CheckLook> {};

// The mark shows the skin's picture of its check at once after each way of changing it, and a
// repaint draws the same; a second radio button of the group takes the choice from the first.
TEST_P(CheckLookTest, TheMarkFollowsTheCheckAfterAClickTheSpaceKeyOrAChange) {
  const CheckLook& look = GetParam();
  HWND window = Parent();
  HWND first = Child(window, L"BUTTON", L"选项", look.style | WS_GROUP, kCheckPlace, 3);
  RECT below = kCheckPlace;
  OffsetRect(&below, 0, 30);
  HWND second = Child(window, L"BUTTON", L"其他", look.style, below, 4);
  SkinAndShow(window);
  const ControlLists& controls = engine_->RecordAt(1).controls;
  ASSERT_EQ(controls.buttons.size(), 2u);
  EXPECT_EQ(controls.buttons[0].kind, look.kind);
  const COLORREF skin = SkinUnder(engine_->RecordAt(1), first, kMarkCentre);
  auto mark = [&](HWND button) { return ShownPixel(button, kMarkCentre); };
  const COLORREF unchecked = look.unchecked(skin), checked = look.checked(skin);
  ASSERT_FALSE(Near(unchecked, checked, 10)) << "the two looks differ at the spot sampled";
  EXPECT_TRUE(Near(unchecked, mark(first)));

  for (const Toggle& toggle : kToggles) {
    SCOPED_TRACE(toggle.name);
    clicks = 0;
    const LPARAM at = toggle.down == WM_LBUTTONDOWN ? MAKELPARAM(5, 5) : 0;
    SendMessageW(first, toggle.down, toggle.wParam, at);
    SendMessageW(first, toggle.up, toggle.down == WM_LBUTTONDOWN ? 0 : toggle.wParam, at);
    EXPECT_EQ(clicks, 1);
    ASSERT_EQ(SendMessageW(first, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(Near(checked, mark(first)));
    InvalidateRect(first, nullptr, TRUE);
    UpdateWindow(first);
    EXPECT_TRUE(Near(checked, mark(first)));
    SendMessageW(first, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_TRUE(Near(unchecked, mark(first)));
  }

  if (look.kind == kRadioButton) {
    SendMessageW(first, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(second, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(second, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(SendMessageW(first, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(Near(unchecked, mark(first)));
    EXPECT_TRUE(Near(checked, mark(second)));
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, CheckLookTest, testing::ValuesIn(kCheckLooks),
                         [](const testing::TestParamInfo<CheckLook>& p) { return std::string(p.param.name); });

}  // namespace
