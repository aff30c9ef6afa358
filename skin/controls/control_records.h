// What the skin keeps per skinned child control, in the record of the top-level window the
// control belongs to, and the window properties that link a control to its record.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "graphics/images.h"

inline constexpr char kParentIndexProperty[] = "Hw_FuID";       // 1-based index of the top-level window
inline constexpr char kStaticProcProperty[] = "Kj_hProc";       // procedure a static control had
inline constexpr char kStaticIndexProperty[] = "Kj_lbID";       // 1-based index in the static list
inline constexpr char kStaticParentProperty[] = "Kj_FuID";      // 1-based index of the top-level window
inline constexpr char kBackdropOwnerProperty[] = "Mb_zpf";      // nearest background-providing ancestor
inline constexpr char kProvidesBackdropProperty[] = "Wxk_Zpf";  // 1 on a background-providing window

// How a button-like control is drawn.
enum ButtonKind : int32_t {
  kPushButton = 0,     // owner-drawn in layers over the skin
  kPictureButton = 1,  // owner-drawn from the caller's four pictures
  kRadioButton = 4,    // painted by its procedure
  kCheckBox = 5,       // painted by its procedure
};

// The pictures of a picture button, by state; a missing one falls back to the normal one.
struct ButtonPictures {
  std::unique_ptr<Image> normal, hot, pressed, disabled;
};

struct ButtonRecord {
  HWND hwnd = nullptr;  // null once the control is gone
  WNDPROC previousProc = nullptr;
  int32_t kind = kPushButton;
  std::string caption;  // GBK
  bool focused = false;
  std::string fontName = "宋体";  // GBK
  float fontSize = 12;
  Gdiplus::Unit fontUnit = Gdiplus::UnitPoint;
  int32_t fontStyle = 0;
  ButtonPictures pictures;  // kind 1 only
};

// A static control or a container, painted with its own background keyed out.
struct SeeThroughRecord {
  HWND hwnd = nullptr;  // null once the control is gone
  WNDPROC previousProc = nullptr;
  COLORREF keyColour = 0;
  bool washed = false;    // a white wash of washAlpha lies over the skin under it
  uint8_t washAlpha = 0;
};

// The classes the engine paints itself, each with a list of its own in the window's record.
enum PaintedFamily : int32_t {
  kEditFamily = 0,      // edit fields and combo boxes
  kTrackBarFamily,      // track bars
  kProgressFamily,      // progress bars
  kListFamily,          // list boxes, list and tree views, date-time pickers, IP addresses
  kUpDownFamily,        // up-down controls
  kHeaderFamily,        // headers
  kPaintedFamilyCount,
};

// A control the engine paints: its procedure, and what it last handed the control.
struct PaintedRecord {
  HWND hwnd = nullptr;  // null once the control is gone
  WNDPROC previousProc = nullptr;
  int32_t look = 0;     // its row in the table of painted classes
  bool inner = false;   // part of another skinned control (a combo box's or IP address's field)
  COLORREF appliedText = CLR_INVALID;  // text colour last sent to a list or tree view
  COLORREF savedBack = CLR_INVALID, savedText = CLR_INVALID;  // their own colours, given back
};

// A deque: records are only appended, and a handler's reference stays good while others are.
struct ControlLists {
  std::deque<ButtonRecord> buttons;
  std::deque<SeeThroughRecord> statics;
  std::deque<SeeThroughRecord> containers;
  std::deque<PaintedRecord> painted[kPaintedFamilyCount];
  int32_t hotButton = 0;      // 1-based index of the button under the mouse
  int32_t pressedButton = 0;  // 1-based index of the button pressed
  bool hotRedrawPending = false;
};
