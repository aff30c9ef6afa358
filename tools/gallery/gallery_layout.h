// The gallery's window and controls: one table that the gallery builds from and its test finds
// the controls by.
#pragma once

#include <windows.h>
#include <commctrl.h>

inline constexpr wchar_t kGalleryTitle[] = L"控件一览";
inline constexpr int kGalleryWidth = 560, kGalleryHeight = 390;
inline constexpr int kProgressPosition = 60;  // of 100

// How the start-up's skinning reaches a control beyond the window's own set-ups.
enum class GallerySkin { kByWindow, kContainer, kStatic };

enum GalleryId : int {
  kPushId = 101, kCheckId, kRadioId, kLabelId, kGroupBoxId, kGroupRadioId, kTabId, kTabLabelId, kPictureId,
  kEditId, kComboId, kListBoxId, kListViewId, kTreeViewId, kDateTimeId, kIpAddressId, kTrackBarId, kProgressId,
  kBuddyId, kUpDownId, kEditComboId,
};

struct GalleryControl {
  int id;
  int parentId;  // 0: the window
  const wchar_t* className;
  const wchar_t* text;
  DWORD style;
  DWORD exStyle;
  RECT place;  // in the parent's client area
  GallerySkin skin;
};

// In creation order: a parent comes before what it holds.
inline constexpr GalleryControl kGalleryControls[] = {
    {kPushId, 0, L"Button", L"按钮", BS_PUSHBUTTON | WS_TABSTOP, 0, {16, 40, 126, 70}, GallerySkin::kByWindow},
    {kCheckId, 0, L"Button", L"复选框", BS_AUTOCHECKBOX | WS_TABSTOP, 0, {140, 44, 250, 66}, GallerySkin::kByWindow},
    {kLabelId, 0, L"Static", L"标签：透出皮肤", SS_LEFT, 0, {16, 82, 130, 102}, GallerySkin::kStatic},
    {kRadioId, 0, L"Button", L"单选钮", BS_AUTORADIOBUTTON | WS_TABSTOP, 0, {140, 80, 250, 102}, GallerySkin::kByWindow},
    {kGroupBoxId, 0, L"Button", L"分组框", BS_GROUPBOX, 0, {16, 110, 256, 180}, GallerySkin::kContainer},
    {kGroupRadioId, kGroupBoxId, L"Button", L"组里的单选钮", BS_AUTORADIOBUTTON, 0, {12, 28, 200, 50},
     GallerySkin::kByWindow},
    {kTabId, 0, L"SysTabControl32", L"", 0, 0, {16, 190, 256, 280}, GallerySkin::kContainer},
    {kTabLabelId, kTabId, L"Static", L"选择夹里的标签", SS_LEFT, 0, {12, 40, 220, 60}, GallerySkin::kStatic},
    {kPictureId, 0, L"Static", L"", SS_BITMAP, 0, {16, 292, 262, 373}, GallerySkin::kStatic},
    {kEditId, 0, L"Edit", L"可以输入", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, {280, 40, 400, 64},
     GallerySkin::kByWindow},
    {kComboId, 0, L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, {412, 40, 544, 200},
     GallerySkin::kByWindow},
    {kListBoxId, 0, L"ListBox", L"", LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 0, {280, 74, 400, 154},
     GallerySkin::kByWindow},
    {kListViewId, 0, L"SysListView32", L"", LVS_REPORT | WS_TABSTOP, WS_EX_CLIENTEDGE, {412, 74, 544, 154},
     GallerySkin::kByWindow},
    {kTreeViewId, 0, L"SysTreeView32", L"", TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | WS_TABSTOP,
     WS_EX_CLIENTEDGE, {280, 164, 400, 244}, GallerySkin::kByWindow},
    {kDateTimeId, 0, L"SysDateTimePick32", L"", DTS_SHORTDATEFORMAT | WS_TABSTOP, 0, {412, 164, 544, 188},
     GallerySkin::kByWindow},
    {kIpAddressId, 0, L"SysIPAddress32", L"", WS_TABSTOP, 0, {412, 196, 544, 220}, GallerySkin::kByWindow},
    {kTrackBarId, 0, L"msctls_trackbar32", L"", TBS_AUTOTICKS | WS_TABSTOP, 0, {412, 226, 544, 256},
     GallerySkin::kByWindow},
    {kProgressId, 0, L"msctls_progress32", L"", 0, 0, {280, 262, 544, 278}, GallerySkin::kByWindow},
    {kBuddyId, 0, L"Edit", L"", ES_NUMBER | WS_TABSTOP, WS_EX_CLIENTEDGE, {280, 290, 360, 314}, GallerySkin::kByWindow},
    {kUpDownId, 0, L"msctls_updown32", L"", UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS, 0, {360, 290, 378, 314},
     GallerySkin::kByWindow},
    {kEditComboId, 0, L"ComboBox", L"", CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 0, {412, 290, 544, 400},
     GallerySkin::kByWindow},
};
