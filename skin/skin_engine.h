// SkinEngine: dresses the program's top-level windows in the skin (frame, rounded region,
// background image, caption with icon and text, fading caption buttons, moving and sizing
// without a system frame) and keeps one record per skinned window. One engine per process.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "graphics/gdiplus_object.h"
#include "graphics/images.h"
#include "skin/window_record.h"

// What SkinWindow takes beside the window. Flags not given take the defaults noted.
struct SkinWindowOptions {
  int32_t captionHeight = 0;           // below 25 gives 25
  OptionalArg<bool> captionActive;     // 1
  OptionalArg<bool> sizable;           // 1
  OptionalArg<bool> showHelpButton;    // 0
  OptionalArg<bool> showMenuButton;    // 0
  OptionalArg<bool> drawTitle;         // 1
  OptionalArg<bool> gloss;             // 0
  int32_t bottomBarHeight = 0;         // 0: no bottom bar
  std::vector<std::string> bottomBarItems;  // GBK
  ByteBlock ownImage = nullptr;        // empty: the skin image serves
  OptionalArg<int32_t> ownMode;        // the engine's image mode
};

// Placements of a background image in the client area.
enum ImageMode : int32_t {
  kImageTopLeft = 0,
  kImageTopRight = 1,
  kImageCentred = 2,
  kImageStretched = 3,
  kImageNatural = 4,
};

class SkinEngine {
 public:
  // Becomes the process's engine; the settings take their defaults and backColour the
  // runtime's default button-face colour.
  SkinEngine();
  // Releases every record and its GDI objects, the colouring of the controls still alive and the
  // windows' animation timers, the decoded images, the default icon, and shuts GDI+ down with the
  // settings' token. Windows still skinned get their old procedures back; one subclassed again
  // since keeps the skin's procedure, which then forwards by "Hw_hProc".
  ~SkinEngine();
  SkinEngine(const SkinEngine&) = delete;
  SkinEngine& operator=(const SkinEngine&) = delete;

  // The engine of the process; null before it is made and after it is gone.
  static SkinEngine* Active();

  SkinSettings& settings() { return settings_; }
  // Run each time the application is deactivated (WM_ACTIVATEAPP 0 in a skinned window).
  void SetDeactivationRoutine(void (*routine)()) { deactivationRoutine_ = routine; }

  // The replacement procedure of skinned windows.
  LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void TitleButtonClick(int32_t windowIndex, int32_t button);

  // Registers and skins a top-level window; a window already registered is left as it is.
  void SkinWindow(HWND hwnd, const SkinWindowOptions& options);
  void AddTitleButton(HWND hwnd, ByteBlock image, TextValue toolTipText, SkinHandler handler);
  void SetTitleFont(HWND hwnd, OptionalArg<TextValue> fontName = {}, OptionalArg<int32_t> size = {},
                    OptionalArg<int32_t> style = {});
  void SetWindowImage(HWND hwnd, ByteBlock image, OptionalArg<int32_t> mode = {});
  // The skin image from a file (path wins) or bytes, the colour under it, the theme colour (-1:
  // the image's average colour) and the placement; repaints every visible skinned window.
  void SetSkinImage(TextValue path, ByteBlock bytes, OptionalArg<COLORREF> colour = {},
                    OptionalArg<int32_t> themeColour = {}, OptionalArg<int32_t> mode = {});
  // A direct child of a skinned window keeps its distance to each client edge named in `edges`
  // (kAnchor... bits) when the window's size changes: anchored to both edges of an axis it
  // stretches, to the far edge only it moves. Edges 0 takes the child off the list.
  void AnchorChild(HWND child, int32_t edges);
  void LayoutAnchoredChildren(int32_t index);
  void SetControlTransparency(bool on, OptionalArg<int32_t> alpha = {}, OptionalArg<int32_t> option = {});

  void PaintFrame(int32_t index, HDC dc, int32_t flag);
  void BlitFrame(int32_t index, HDC dc);
  void BuildWindowBackground(int32_t index) { BuildBackground(RecordAt(index)); }
  // One caption button over the cached background: pressed, or highlighted with alpha 1..255,
  // or plain (alpha 0); then copied to the window.
  void DrawTitleButton(int32_t index, int32_t button, bool pressed, int32_t alpha);
  void LayoutTitleButtons(int32_t index);
  int32_t HitTestTitleButton(int32_t index, int x, int y);
  int32_t FindMaximizeButton(int32_t index);
  void BeginDragOrResize(int32_t index, LPARAM position, const RECT& client);
  void UpdateSizingCursor(int32_t index, LPARAM position, const RECT& client);
  void SetHelpHandler(HWND hwnd, SkinHandler handler);
  void SetMenuHandler(HWND hwnd, SkinHandler handler);
  // Caption icon and text on the cached frame; the window's own text when `text` is null.
  void DrawTitle(int32_t index, TextValue text);

  void SetBottomBar(int32_t index, int32_t height, const std::vector<std::string>& items, bool replaceItems);
  void LayoutBottomBar(int32_t index);
  void DrawBottomBar(int32_t index);
  void SetBottomBarItemText(HWND hwnd, int32_t item, TextValue text);
  void SetBottomBarStyle(HWND hwnd, OptionalArg<int32_t> fontStyle = {}, OptionalArg<int32_t> alignment = {},
                         OptionalArg<int32_t> separators = {}, OptionalArg<COLORREF> colour = {},
                         OptionalArg<TextValue> fontName = {}, OptionalArg<int32_t> size = {});

  // {left, top, right, bottom} of the caption-button strip; all 0 for a window not skinned.
  RECT GetTitleButtonArea(HWND hwnd);
  Gdiplus::ARGB GetBackColour() const { return settings_.backColour; }
  // The caption buttons again from the window's style, with caller images for minimize,
  // maximize, restore and close where given.
  void RebuildTitleButtons(HWND hwnd, OptionalArg<ByteBlock> minimize = {}, OptionalArg<ByteBlock> maximize = {},
                           OptionalArg<ByteBlock> restore = {}, OptionalArg<ByteBlock> close = {});

  // 1-based index of a skinned window, 0 when it is not skinned.
  int32_t IndexOf(HWND hwnd) const;
  int32_t WindowCount() const { return static_cast<int32_t>(windows_.size()); }
  // The record at a 1-based index; below 1 and above the count are runtime errors 4 and 1.
  WindowRecord& RecordAt(int32_t index) const;

  // The picture of image bytes: a built-in constant is decoded once for all windows, other
  // bytes each time. Null when the bytes do not decode.
  std::shared_ptr<Image> ButtonPicture(ByteBlock bytes);

  // Child controls. The window's direct children: push buttons, then check boxes and radio
  // buttons, then the classes the engine paints (edits and combo boxes, track bars, progress
  // bars, lists, up-down controls, headers); each is registered once.
  void SkinChildControls(int32_t index, HWND parent);
  // A skinned owner-drawn button's WM_DRAWITEM; false for any other item, which goes on.
  bool DrawOwnerDrawnButton(const DRAWITEMSTRUCT* item);
  // One push button (kind 0), or one drawn from the caller's pictures by state (kind 1), in the
  // nearest skinned window above it.
  void SkinButton(HWND button);
  void SkinPictureButton(HWND button, ByteBlock normal, ByteBlock hot, ByteBlock pressed, ByteBlock disabled);
  // A label, picture box, drawing board or shape box painted over the skin with every pixel of
  // its key colour (DefaultBackColor when not given) keyed out, over a white wash of `alpha`
  // (its low byte) when one is given; one with children is also skinned as a container. The
  // option word is taken for the calling form; no drawing depends on it.
  void SkinStaticControl(HWND control, OptionalArg<COLORREF> keyColour = {}, OptionalArg<int32_t> option = {},
                         OptionalArg<int32_t> alpha = {});
  // A group box or tab control painted as a static is, and the class set-ups on its children.
  // The value is its key colour; the two flags (1 and 0 when absent) are taken for the calling
  // form, no drawing depends on them.
  void SkinContainer(HWND container, OptionalArg<int32_t> flag = {}, OptionalArg<COLORREF> keyColour = {},
                     OptionalArg<int32_t> alpha = {}, OptionalArg<int32_t> secondFlag = {});
  // The key colour of a skinned static or container; the control is repainted.
  void SetControlColour(HWND control, COLORREF colour);
  // The text colour of a control ("Kj_Ztys"; a combo box's goes on its edit field).
  void SetControlTextColour(HWND control, COLORREF colour);
  // The replacement procedures of skinned controls.
  LRESULT ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT SeeThroughProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool container);
  LRESULT PaintedProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, PaintedFamily family);

 private:
  WindowRecordPtr SharedRecordAt(int32_t index) const;
  // The record's index in the list now (handlers that ran other code meanwhile may have seen
  // windows before it go); 0 once it has left the list.
  int32_t PositionOf(const WindowRecord& record) const;
  void BuildBackground(WindowRecord& record);
  // The window's rounded region for its client size, unless it has that one already.
  void SetRoundRegion(WindowRecord& record);
  // One caption button drawn into the cached frame; the rectangle it covers.
  RECT RenderTitleButton(WindowRecord& record, int32_t button, bool pressed, int32_t alpha);
  void BuildTitleButtons(WindowRecord& record, const ByteBlock images[4]);
  // The caption-button strip's size and place at the window's DPI.
  void MeasureTitleStrip(WindowRecord& record);
  void ResetToolTips(WindowRecord& record);
  void RemoveRecord(HWND hwnd);
  void RepaintAll();
  // Child controls (button_skin.cpp, see_through_skin.cpp).
  int32_t SkinnedAncestorIndex(HWND control) const;
  // The control painters take the window's record itself, not its index: a control's handler
  // runs the program's code (a click), which may close a window before this one in the list.
  void RegisterButton(int32_t index, HWND button, int32_t kind);
  void RedrawButton(WindowRecord& window, int32_t button, UINT state);
  void DrawButtonFace(WindowRecord& window, const ButtonRecord& button, HDC dc, const RECT& area, UINT state);
  void PaintCheckLike(WindowRecord& window, const ButtonRecord& button, HDC dc);
  void PaintSeeThrough(WindowRecord& window, HWND control, WNDPROC previous, const SeeThroughRecord& entry);
  // The window's background under a control, from the control's client origin, in `surface`.
  bool CopyBackgroundUnder(WindowRecord& window, HWND control, int width, int height, GdiSurface& surface);
  bool CopyBackgroundAt(WindowRecord& window, POINT screen, int width, int height, GdiSurface& surface);
  SeeThroughRecord& RegisterSeeThrough(int32_t index, HWND control, COLORREF key, bool container);
  // Skinned controls that lie deeper than the window's own children: a repaint of the window
  // and its children does not reach them when a container clips its children.
  std::vector<HWND> NestedControls(const WindowRecord& record) const;
  // The painted classes (painted_control_skin.cpp): set-up by the table of classes, one control,
  // its paint, and the border ring around its client area.
  void SkinPaintedControls(int32_t index, HWND parent);
  void RegisterPainted(int32_t index, HWND control, int32_t look);
  void PaintPainted(WindowRecord& window, PaintedRecord& record);
  void PaintBorderRing(WindowRecord& window, HWND control);
  void ReleasePainted(ControlLists& controls);
  void ReleaseControls(WindowRecord& record);
  void RenumberControls(WindowRecord& record, int32_t index);
  // Handlers of WindowProc that need more than a few lines.
  void OnMouseMove(int32_t index, WindowRecord& record, LPARAM lParam);
  void OnTimer(int32_t index, WindowRecord& record);
  void OnMouseLeave(int32_t index, WindowRecord& record);
  void OnLeftButtonDown(int32_t index, WindowRecord& record, LPARAM lParam);
  void OnMinMaxInfo(WindowRecord& record, MINMAXINFO& info);
  void OnWindowPosChanged(int32_t index, WindowRecord& record);
  // The window shows at another DPI: the frame's measures, layouts and looks follow it.
  void OnDpiChanged(HWND hwnd, UINT dpi, const RECT* suggested);
  // The brush for a WM_CTLCOLOR... message, 0 when the message goes on to the window.
  LRESULT OnControlColour(const WindowRecord& record, UINT message, HDC dc, HWND control);

  SkinSettings settings_;
  std::vector<WindowRecordPtr> windows_;
  int32_t hotButton_ = 0;  // the latest hit test's button in the window that last saw the mouse
  void (*deactivationRoutine_)() = nullptr;
  std::map<const void*, std::shared_ptr<Image>> builtInPictures_;
};

// The image of the bytes, decoded; null when there are none or they do not decode.
std::unique_ptr<Image> DecodePicture(ByteBlock bytes);

// An image made ready to be drawn: the colour under it, its prepared bytes and their picture.
struct PreparedImage {
  Gdiplus::ARGB colour = 0;
  OwnedBytes bytes;
  std::unique_ptr<Image> picture;
  std::shared_ptr<const DecodedPicture> pixels;  // the picture's, when libjpeg decoded it
};
// From the file when a path is given, else from the bytes: the colour is the given one, else the
// image's average colour (2,000 samples whose positions depend only on the calendar day; black
// when the image cannot be read); the bytes are the image prepared for the placement (modes 0 and
// 1: redrawn with its free edge fading into the colour, as PNG; the other modes: the bytes
// unchanged, or a file's image as PNG); the picture is those bytes decoded. An image whose bytes
// are kept unchanged is decoded once for both. JPEG bytes are decoded by libjpeg, and the picture
// then reads its pixels in place.
PreparedImage PrepareImage(TextValue path, ByteBlock bytes, int32_t mode, std::optional<Gdiplus::ARGB> colour);
