// The window properties through which skinned windows carry their link to the engine, and the
// frame's fixed measures.
#pragma once

#include <windows.h>

#include <cstdint>

inline constexpr char kPreviousProcProperty[] = "Hw_hProc";   // the procedure the skin replaced
inline constexpr char kWindowIndexProperty[] = "Hw_lbID";     // 1-based index in the window list
inline constexpr char kFrameDcProperty[] = "Ck_Ycjdx";        // memory DC of the cached frame
inline constexpr char kFrameBitmapProperty[] = "Ck_wtjbdx";   // bitmap selected into it
inline constexpr char kTextColourProperty[] = "Kj_Ztys";      // a control's text colour
inline constexpr char kControlBrushProperty[] = "Kj_dxjb";    // brush last handed out for WM_CTLCOLOR
inline constexpr char kControlBitmapProperty[] = "Kj_wtjb";   // bitmap behind that brush

// Posted to a skinned window by its first paint: its caption buttons' tool tips are made then,
// off the path to the first frame (the tool-tip class loads the common controls).
inline constexpr UINT kMakeToolTipsMessage = WM_APP + 0x3F00;

// Width of the resize grip along each edge, and the caption strip's right margin.
inline constexpr int32_t kBorderWidth = 3;

void SetWindowProperties(HWND hwnd, WNDPROC previous, int32_t index);
// Takes away every property of the skin's from a top-level window; with `keepPrevious`, all but
// "Hw_hProc", through which the skin's procedure, left under a later subclass, still forwards.
void ClearWindowProperties(HWND hwnd, bool keepPrevious = false);
WNDPROC PreviousProcedureOf(HWND hwnd);
int32_t WindowIndexOf(HWND hwnd);
// Publishes (or, with nulls, withdraws) the cached frame's DC and bitmap.
void PublishFrame(HWND hwnd, HDC dc, HBITMAP bitmap);
// Whether the window's class has this name, compared without case (system classes are spelt
// variously: "Button", "BUTTON").
bool ClassIs(HWND window, const char* name);
// Deletes a control's WM_CTLCOLOR brush and bitmap and forgets them.
void ReleaseControlColouring(HWND control);
