// What the skin keeps per skinned top-level window and per caption button, and the engine's
// settings that every window shares.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/images.h"
#include "graphics/tool_tip.h"
#include "runtime/display_scale.h"
#include "runtime/units/jpeg_decoder.h"
#include "runtime/value.h"
#include "runtime/win_handles.h"
#include "skin/controls/control_records.h"
#include "skin/gdi_surface.h"

// A subroutine a caption button runs, called as the runtime calls subroutines: the data of an
// (empty) integer array, its element count, and 0.
using SkinHandler = void (*)(const int32_t* data, int32_t count, int32_t reserved);

// Caption-button kinds, in the order of the built-in set.
enum TitleButtonKind : int32_t {
  kCloseButton = 0,
  kMaximizeButton = 1,
  kMinimizeButton = 2,
  kMenuButton = 3,
  kHelpButton = 4,
  kUserButton = 5,
};

struct TitleButton {
  int32_t width = 26;
  int32_t height = 18;
  // Decoded once: the built-in pictures are shared by every window.
  std::shared_ptr<Image> picture;
  std::shared_ptr<Image> secondPicture;  // restore image of a maximize button
  int32_t kind = kUserButton;
  std::string toolTipText;  // GBK
  SkinHandler handler = nullptr;
  Gdiplus::RectF rect{};  // client coordinates, set by the layout
};

// One step of the caption-button animation: which button (1-based, 0 none) and how far (0..8).
struct FadeState {
  int32_t button = 0;
  int32_t step = 0;
};

// The client edges a child keeps its distance to (AnchorChild).
enum AnchorEdge : int32_t {
  kAnchorLeft = 1,
  kAnchorTop = 2,
  kAnchorRight = 4,
  kAnchorBottom = 8,
};

// A child moved with the window's size: its rectangle and the client size when it was anchored.
struct AnchoredChild {
  HWND hwnd = nullptr;
  int32_t edges = 0;
  RECT placed{};  // parent client coordinates
  SIZE client{};
};

struct BottomBarItem {
  std::string text;  // GBK
  RECT rect{};
};

struct BottomBar {
  RECT rect{};
  std::vector<BottomBarItem> items;
  // Style words: font style bits (GDI+ FontStyle), item alignment (0 near, 1 centre, 2 far),
  // and 1 to draw a rule between items.
  int32_t fontStyle = 0;
  int32_t alignment = 0;
  int32_t separators = 0;
  COLORREF colour = 0xFFFFFF;
  std::string fontName = "宋体";
  int32_t fontSize = 12;
};

struct WindowRecord {
  HWND hwnd = nullptr;
  // The DPI the window shows at. Measures the program gives (caption and bottom-bar heights,
  // track sizes, button sizes) and the frame's own are pixels at 96 DPI, scaled by `Px` where
  // they are laid out, hit and drawn; font sizes are points. Rectangles the layout has set
  // (buttons, the strip, the bottom bar) are pixels at this DPI already.
  UINT dpi = kDesignDpi;
  int32_t Px(int32_t measure) const { return ScaledToDpi(measure, dpi); }
  float Px(float measure) const { return ScaledToDpi(measure, dpi); }
  // A font size in points as pixels at this DPI: the same size GDI+ gives points on a screen
  // of this DPI, whatever DPI the drawing surface claims.
  float PointsToPixels(float points) const { return points * static_cast<float>(dpi) / 72.0f; }
  // The caption icon made at the size the caption shows it at another DPI than 96.
  OwnedIcon scaledCaptionIcon;
  int32_t captionHeight = 25;
  bool showHelpButton = false;
  bool showMenuButton = false;
  bool hasMinimize = false;
  bool hasMaximize = false;
  bool showClose = true;
  bool drawTitle = true;
  bool gloss = false;
  WNDPROC previousProc = nullptr;
  OwnedBytes ownImage;
  std::unique_ptr<Image> ownPicture;  // ownImage decoded
  int32_t ownImageMode = 4;
  Gdiplus::ARGB ownColour = 0;
  std::vector<TitleButton> titleButtons;
  int32_t buttonsLeft = 0, buttonsTop = 0, buttonsWidth = 0, buttonsHeight = 22;
  bool maximized = false;
  bool minimized = false;
  int32_t minTrackWidth = 200, minTrackHeight = 150;
  int32_t maxTrackWidth = 0, maxTrackHeight = 0;
  bool sizable = true;
  bool captionActive = true;
  COLORREF titleColour = 0xFFFFFF;
  COLORREF titleShadowColour = 0x808080;
  std::string titleFontName = "宋体";
  int32_t titleFontSize = 12;
  // GDI+ FontStyle bits of the caption text; regular until SetTitleFont gives a style.
  int32_t titleFontStyle = 0;
  int32_t hotButton = 0;
  SkinHandler helpHandler = nullptr;
  SkinHandler menuHandler = nullptr;
  ToolTip toolTip;  // destroyed with hwnd (WM_DESTROY)
  bool toolTipsPending = false;  // made after the first paint
  int32_t bottomBarHeight = 0;
  BottomBar bottomBar;
  bool needsRepaint = true;
  // The client size and corner the window's rounded region was made for; 0 x 0 before one is set.
  SIZE regionSize{};
  int32_t regionCorner = 0;
  bool mouseTracked = false;
  FadeState fadeIn, fadeOut;
  bool timerRunning = false;
  ControlLists controls;
  std::vector<AnchoredChild> anchoredChildren;

  // The rendered frame (also published in the window's properties) and the background it was
  // rendered on, from which single buttons and the caption are restored.
  GdiSurface frame;
  GdiSurface background;

  // False once WM_NCDESTROY has taken the record out of the list; a handler that was running
  // when that happened holds the record alive and must stop touching the window.
  bool alive = true;
};

using WindowRecordPtr = std::shared_ptr<WindowRecord>;

// The settings the skin's module shares across windows.
struct SkinSettings {
  uintptr_t gdiplusToken = 0;
  HICON defaultIcon = nullptr;
  bool firstSizeFlag = true;
  bool transparentControls = true;
  uint8_t overlayAlpha = 160;
  COLORREF themeColour = 0xDDCA22;
  int32_t controlOption = 1;
  Gdiplus::ARGB backColour = 0;
  bool overlayGiven = false;
  int32_t imageMode = 4;
  OwnedBytes skinImage;
  std::unique_ptr<Image> skinPicture;  // skinImage decoded
  // skinPicture's own pixels when the program decoded it (libjpeg), as GDI+ reads them; else null.
  std::shared_ptr<const DecodedPicture> skinPixels;
};

// Colours the drawing of the frame, the buttons and the painted controls shares.
namespace skin_colours {
inline constexpr COLORREF kWhite = 0xFFFFFF;
inline constexpr COLORREF kBlack = 0x000000;
inline constexpr COLORREF kGrey = 0x808080;
inline constexpr COLORREF kDisabledGround = 0xC0C0C0;
}  // namespace skin_colours

// COLORREF 0x00BBGGRR to ARGB: red and blue swapped, the low byte of alpha on top.
constexpr Gdiplus::ARGB ArgbFromColorRef(uint32_t colour, uint32_t alpha = 255) {
  return ((alpha & 0xFF) << 24) | ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}
