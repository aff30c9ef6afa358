// The skin engine on test windows of this thread, driven by messages sent directly so that every
// step is deterministic: the caption buttons' fade, presses and clicks, moving and sizing, the
// first size, registration, the work done once, and what skinning, hovering and coloured children
// leave behind.
#include <array>

#include "tests/skin/skin_engine_fixture.h"

namespace {

// ---- What each animation tick draws -------------------------------------------------------

struct Draw {
  LONG left;                 // the button's left edge, as copied to the window
  Gdiplus::ARGB highlight;   // the first gradient's top colour; 0 for a plain button
  bool operator==(const Draw&) const = default;
};
struct DrawLog {
  HDC frame = nullptr;
  std::vector<Draw> draws;
  std::vector<Gdiplus::ARGB> gradients;
};
DrawLog* drawLog = nullptr;
StandIn* bitBltStandIn = nullptr;
StandIn* lineBrushStandIn = nullptr;

BOOL WINAPI RecordBitBlt(HDC to, int x, int y, int w, int h, HDC from, int fx, int fy, DWORD rop) {
  // A button reaches the window as one copy out of the frame; the highlight, if any, was the
  // first gradient drawn since the previous copy.
  if (from == drawLog->frame && to != drawLog->frame) {
    const Gdiplus::ARGB highlight = drawLog->gradients.empty() ? 0 : drawLog->gradients.front();
    drawLog->draws.push_back({x, highlight});
    drawLog->gradients.clear();
  }
  return bitBltStandIn->Original<decltype(&BitBlt)>()(to, x, y, w, h, from, fx, fy, rop);
}

Gdiplus::GpStatus WINAPI RecordLineBrush(const Gdiplus::GpPointF* a, const Gdiplus::GpPointF* b, Gdiplus::ARGB top,
                                          Gdiplus::ARGB bottom, Gdiplus::GpWrapMode wrap,
                                          Gdiplus::GpLineGradient** brush) {
  drawLog->gradients.push_back(top);
  using Create = Gdiplus::GpStatus(WINAPI*)(const Gdiplus::GpPointF*, const Gdiplus::GpPointF*, Gdiplus::ARGB,
                                            Gdiplus::ARGB, Gdiplus::GpWrapMode, Gdiplus::GpLineGradient**);
  return lineBrushStandIn->Original<Create>()(a, b, top, bottom, wrap, brush);
}

constexpr LONG kMinLeft = 296, kCloseLeft = 323;
constexpr Gdiplus::ARGB Theme(uint32_t alpha) { return ArgbFromColorRef(0xDDCA22, alpha); }
constexpr Gdiplus::ARGB Red(uint32_t alpha) { return ArgbFromColorRef(0x0000FF, alpha); }

// Onto minimize, then onto close, then out of the window; what each 20 ms tick draws.
struct Phase {
  UINT message;
  POINT where;
  std::vector<std::vector<Draw>> ticks;
};

std::vector<Phase> FadePhases() {
  std::vector<Phase> phases(3);
  phases[0] = {WM_MOUSEMOVE, kMinimizeCentre, {}};
  phases[1] = {WM_MOUSEMOVE, kCloseCentre, {}};
  phases[2] = {WM_MOUSELEAVE, {}, {}};
  for (uint32_t step = 1; step <= 8; ++step) {
    phases[0].ticks.push_back({{kMinLeft, Theme(30 * step)}});
    const Gdiplus::ARGB fadingMin = step < 8 ? Theme(240 - 30 * step) : 0;
    phases[1].ticks.push_back({{kCloseLeft, Red(30 * step)}, {kMinLeft, fadingMin}});
    phases[2].ticks.push_back({{kCloseLeft, step < 8 ? Red(240 - 30 * step) : 0}});
  }
  // Once the last fade has ended the timer stops and a tick draws nothing.
  phases[2].ticks.push_back({});
  return phases;
}

TEST_F(SkinEngineTest, CaptionButtonsFadeInAndOutInEightStepsAndATickDrawsAtMostTwoButtons) {
  HWND window = Skinned();
  DrawLog log;
  log.frame = static_cast<HDC>(GetPropA(window, kFrameDcProperty));
  ASSERT_NE(log.frame, nullptr);
  drawLog = &log;
  StandIn bitBlt(K_BitBlt, reinterpret_cast<void*>(&RecordBitBlt));
  StandIn lineBrush(K_GdipCreateLineBrush, reinterpret_cast<void*>(&RecordLineBrush));
  bitBltStandIn = &bitBlt;
  lineBrushStandIn = &lineBrush;

  const std::vector<Phase> phases = FadePhases();
  for (size_t p = 0; p < phases.size(); ++p) {
    const Phase& phase = phases[p];
    SendMessageW(window, phase.message, 0, At(phase.where));
    if (phase.message == WM_MOUSEMOVE) SendMessageW(window, WM_MOUSEHOVER, 0, At(phase.where));
    log.draws.clear();
    for (size_t t = 0; t < phase.ticks.size(); ++t) {
      SendMessageW(window, WM_TIMER, reinterpret_cast<WPARAM>(window), 0);
      EXPECT_EQ(log.draws, phase.ticks[t]) << "phase " << p << " tick " << t + 1;
      log.draws.clear();
    }
  }
  drawLog = nullptr;
}

// ---- Presses: which start a move or a resize -----------------------------------------------

struct PressCase {
  const char* what;
  bool sizable;
  POINT at;
  int expected;  // 0 nothing, -1 a move, else the SC_SIZE code
};

constexpr PressCase kPresses[] = {
    {"caption", false, {100, 10}, -1},
    {"last caption row", false, {100, 25}, -1},
    {"below the caption", false, {100, 26}, 0},
    {"button strip", false, kMinimizeCentre, 0},
    // The strip's top band: a press meant for a button near the top edge never drags.
    {"strip, top band", false, {300, 1}, 0},
    {"left edge, not sizable", false, {1, 100}, 0},
    {"left edge", true, {1, 100}, WMSZ_LEFT},
    {"right edge", true, {359, 100}, WMSZ_RIGHT},
    {"top edge", true, {100, 1}, WMSZ_TOP},
    {"bottom edge", true, {100, 316}, WMSZ_BOTTOM},
    {"top-left corner", true, {2, 2}, WMSZ_TOPLEFT},
    // Within the strip only its top band sizes; the caption-move fallback never applies there.
    {"top-right corner in the strip's top band", true, {352, 2}, WMSZ_TOPRIGHT},
    {"top edge in the strip's top band", true, {300, 1}, WMSZ_TOP},
    {"strip below its top band", true, {352, 5}, 0},
    {"bottom-left corner", true, {5, 314}, WMSZ_BOTTOMLEFT},
    {"bottom-right corner", true, {358, 316}, WMSZ_BOTTOMRIGHT},
    {"caption of a sizable window", true, {100, 10}, -1},
};

std::vector<int>* sentMoves = nullptr;
StandIn* sendStandIn = nullptr;

LRESULT WINAPI RecordSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The move and size loops are recorded, not entered.
  if (message == WM_NCLBUTTONDOWN && wParam == HTCAPTION) {
    sentMoves->push_back(-1);
    return 0;
  }
  if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_SIZE) {
    sentMoves->push_back(static_cast<int>(wParam - SC_SIZE));
    return 0;
  }
  return sendStandIn->Original<decltype(&SendMessageA)>()(window, message, wParam, lParam);
}

TEST_F(SkinEngineTest, APressMovesOrSizesByItsZone) {
  HWND fixed = Skinned(WS_MINIMIZEBOX, false);
  HWND sizable = Skinned(WS_MINIMIZEBOX, true);
  std::vector<int> sent;
  sentMoves = &sent;
  StandIn send(K_SendMessageA, reinterpret_cast<void*>(&RecordSend));
  sendStandIn = &send;
  for (const PressCase& press : kPresses) {
    sent.clear();
    HWND window = press.sizable ? sizable : fixed;
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(press.at));
    SendMessageW(window, WM_MOUSEMOVE, 0, At(250, 200));
    SendMessageW(window, WM_LBUTTONUP, 0, At(250, 200));
    EXPECT_EQ(sent, press.expected ? std::vector<int>{press.expected} : std::vector<int>{}) << press.what;
  }
  sentMoves = nullptr;
}

// ---- Clicks --------------------------------------------------------------------------------

TEST_F(SkinEngineTest, ReleaseOverAButtonActsWhereverThePressStartedAndCloseOutlivesItsWindow) {
  HWND window = Skinned();
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(100, 200));
  SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, At(kMinimizeCentre));
  SendMessageW(window, WM_LBUTTONUP, 0, At(kMinimizeCentre));
  EXPECT_TRUE(IsIconic(window));
  ShowWindow(window, SW_RESTORE);
  SendMessageW(window, WM_QUERYOPEN, 0, 0);

  // The close click destroys the window, and its record, inside the button-up handling.
  SendMessageW(window, WM_MOUSEMOVE, 0, At(kCloseCentre));
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(kCloseCentre));
  SendMessageW(window, WM_LBUTTONUP, 0, At(kCloseCentre));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(engine_->WindowCount(), 0);

  // A double click on the caption of a window that is not sizable does nothing.
  HWND other = Skinned(WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
  SendMessageW(other, WM_LBUTTONDBLCLK, MK_LBUTTON, At(100, 10));
  EXPECT_FALSE(IsZoomed(other));
  EXPECT_FALSE(engine_->RecordAt(1).maximized);
}

TEST_F(SkinEngineTest, SkinningTwiceAddsNothingAndOnlyTheFirstSizeKeepsTheFrame) {
  engine_->settings().firstSizeFlag = true;
  HWND window = MakeTestWindow(WS_MINIMIZEBOX);
  windows_.push_back(window);
  engine_->SkinWindow(window, ToolOptions(false));
  const WNDPROC previous = PreviousProcedureOf(window);
  engine_->SkinWindow(window, ToolOptions(false));
  EXPECT_EQ(engine_->WindowCount(), 1);
  EXPECT_EQ(PreviousProcedureOf(window), previous);
  EXPECT_NE(previous, WindowCalls::CurrentProcedure(window));  // never itself: that would recurse

  WindowRecord& record = engine_->RecordAt(1);
  EXPECT_EQ(record.titleButtons.size(), 2u);
  EXPECT_TRUE(record.needsRepaint);
  SendMessageW(window, WM_SIZE, SIZE_RESTORED, At(kWidth, kHeight));
  EXPECT_FALSE(record.needsRepaint);
  SendMessageW(window, WM_SIZE, SIZE_RESTORED, At(kWidth, kHeight));
  EXPECT_TRUE(record.needsRepaint);
}

// ---- The bottom bar -------------------------------------------------------------------------

// Pixels of the rendered frame in a rectangle that are drawn in pure red, the colour the test
// gives the bar's text (the band over the background darkens it, never makes it red).
int RedInkIn(const WindowRecord& record, const RECT& r) {
  int count = 0;
  for (LONG y = r.top; y < r.bottom; ++y)
    for (LONG x = r.left; x < r.right; ++x) {
      const COLORREF c = GetPixel(record.frame.dc(), x, y);
      if (GetRValue(c) >= 200 && GetGValue(c) <= 60 && GetBValue(c) <= 60) ++count;
    }
  return count;
}

// The bar lies along the bottom of the client area inside the border, darkens the background
// under it, follows a change of size, and draws each item within its own share of the width.
TEST_F(SkinEngineTest, TheBottomBarLiesAlongTheBottomAndDrawsEachItemInItsShare) {
  engine_->settings().firstSizeFlag = false;  // every change of size renders the frame again
  HWND window = MakeTestWindow(WS_MINIMIZEBOX);
  windows_.push_back(window);
  SkinWindowOptions options = ToolOptions(true);
  options.bottomBarHeight = 24;
  options.bottomBarItems = {"甲乙丙丁", "戊己庚辛"};
  engine_->SkinWindow(window, options);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  engine_->SetBottomBarStyle(window, {}, OptionalArg<int32_t>(1), {}, OptionalArg<COLORREF>(0x0000FF), {}, {});
  UpdateWindow(window);
  WindowRecord& record = engine_->RecordAt(1);

  for (const int height : {kHeight, kHeight + 40}) {
    SetWindowPos(window, nullptr, 0, 0, kWidth, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(window, WM_PAINT, 0, 0);
    const LONG top = height - kBorderWidth - 24 - 1;
    EXPECT_EQ((std::vector<LONG>{record.bottomBar.rect.left, record.bottomBar.rect.top, record.bottomBar.rect.right,
                                 record.bottomBar.rect.bottom}),
              (std::vector<LONG>{kBorderWidth, top, kWidth - kBorderWidth, top + 24}))
        << height;
    // Darker than the background inside the band, untouched just above it.
    const COLORREF band = GetPixel(record.frame.dc(), 10, top + 1);
    const COLORREF under = GetPixel(record.background.dc(), 10, top + 1);
    EXPECT_LT(GetRValue(band) + GetGValue(band) + GetBValue(band), GetRValue(under) + GetGValue(under) + GetBValue(under))
        << height;
    EXPECT_EQ(GetPixel(record.frame.dc(), 10, top - 1), GetPixel(record.background.dc(), 10, top - 1)) << height;
    ASSERT_EQ(record.bottomBar.items.size(), 2u);
    EXPECT_EQ(record.bottomBar.items[0].rect.right, record.bottomBar.items[1].rect.left);
    EXPECT_GT(RedInkIn(record, record.bottomBar.items[0].rect), 20) << height;
    EXPECT_GT(RedInkIn(record, record.bottomBar.items[1].rect), 20) << height;
    EXPECT_EQ(RedInkIn(record, RECT{0, 0, kWidth, top}), 0) << height;
  }

  engine_->SetBottomBarItemText(window, 2, "");
  EXPECT_GT(RedInkIn(record, record.bottomBar.items[0].rect), 20);
  EXPECT_EQ(RedInkIn(record, record.bottomBar.items[1].rect), 0);
}

// ---- Work done once ------------------------------------------------------------------------

TEST_F(SkinEngineTest, AFrameIsRenderedOnceForTheFirstPaintAndAgainOnlyAfterAChange) {
  HWND window = MakeTestWindow(WS_MINIMIZEBOX);
  windows_.push_back(window);
  engine_->SkinWindow(window, ToolOptions(false));
  const FullRenderCount count(engine_->RecordAt(1));
  ShowWindow(window, SW_SHOWNOACTIVATE);
  UpdateWindow(window);
  EXPECT_EQ(count.renders(), 1);
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);
  EXPECT_EQ(count.renders(), 1);  // nothing changed: the frame is copied
  // The first size after skinning may be the one that keeps the frame; the second changes it.
  SendMessageW(window, WM_SIZE, SIZE_RESTORED, At(kWidth, kHeight));
  SendMessageW(window, WM_SIZE, SIZE_RESTORED, At(kWidth, kHeight));
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);
  EXPECT_EQ(count.renders(), 2);
}

int* regionsSet = nullptr;
StandIn* setRegionStandIn = nullptr;
int WINAPI CountRegionSet(HWND window, HRGN region, BOOL redraw) {
  if (regionsSet && region) ++*regionsSet;
  return setRegionStandIn->Original<decltype(&SetWindowRgn)>()(window, region, redraw);
}

// The window region's bounds as left, top, right, bottom.
std::array<LONG, 4> RegionBox(HWND window) {
  RECT box{-1, -1, -1, -1};
  EXPECT_EQ(GetWindowRgnBox(window, &box), COMPLEXREGION);
  return {box.left, box.top, box.right, box.bottom};
}

// A window skinned before it is shown takes its rounded region at once, without being activated;
// showing it keeps that region (setting it again is a cost of the first frame and changes
// nothing), and a new size gets a new one.
TEST_F(SkinEngineTest, AHiddenWindowTakesItsRegionWhenSkinnedAndANewSizeANewOne) {
  HWND window = MakeTestWindow(WS_MINIMIZEBOX);
  windows_.push_back(window);
  engine_->SkinWindow(window, ToolOptions(false));
  EXPECT_EQ(RegionBox(window), (std::array<LONG, 4>{0, 0, kWidth, kHeight}));
  EXPECT_NE(GetActiveWindow(), window);  // not activated while nothing of it can be seen

  int sets = 0;
  regionsSet = &sets;
  StandIn setRegion(K_SetWindowRgn, reinterpret_cast<void*>(&CountRegionSet));
  setRegionStandIn = &setRegion;
  ShowWindow(window, SW_SHOWNOACTIVATE);
  UpdateWindow(window);
  EXPECT_EQ(sets, 0);

  // The first size after skinning may be the one that keeps the frame; the second renders it.
  for (const int grow : {10, 40}) {
    SetWindowPos(window, nullptr, 0, 0, kWidth + grow, kHeight + grow, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(window);
  }
  EXPECT_EQ(sets, 1);
  EXPECT_EQ(RegionBox(window), (std::array<LONG, 4>{0, 0, kWidth + 40, kHeight + 40}));
  regionsSet = nullptr;
}

int* decodes = nullptr;
StandIn* bitmapDecodeStandIn = nullptr;
StandIn* imageDecodeStandIn = nullptr;
Gdiplus::GpStatus WINAPI CountBitmapDecode(IStream* stream, Gdiplus::GpBitmap** bitmap) {
  ++*decodes;
  using Decode = Gdiplus::GpStatus(WINAPI*)(IStream*, Gdiplus::GpBitmap**);
  return bitmapDecodeStandIn->Original<Decode>()(stream, bitmap);
}
Gdiplus::GpStatus WINAPI CountImageDecode(IStream* stream, Gdiplus::GpImage** image) {
  ++*decodes;
  using Decode = Gdiplus::GpStatus(WINAPI*)(IStream*, Gdiplus::GpImage**);
  return imageDecodeStandIn->Original<Decode>()(stream, image);
}

struct DecodeCase {
  const char* name;
  bool jpeg;  // the built-in JPEG, which libjpeg decodes; else a BMP, which GDI+ decodes
  int32_t mode;
  bool colourGiven;
  // By GDI+: a BMP source once. The JPEG, and the PNG a faded picture becomes, are read by the
  // program's own decoders.
  int decodes;
};

class SkinImageDecodeTest : public SkinEngineTest, public testing::WithParamInterface<DecodeCase> {};

TEST_P(SkinImageDecodeTest, TheSourceIsDecodedOnceForColourFadeAndPicture) {
  const DecodeCase& c = GetParam();
  constexpr COLORREF kBmpColour = 0x2080C0;
  const OwnedBytes bmp = SolidBmp(kBmpColour, 40, 30);
  // The JPEG's average is SetUp's.
  const Gdiplus::ARGB average = c.jpeg ? engine_->settings().backColour : ArgbFromColorRef(kBmpColour);
  ASSERT_NE(average, ArgbFromColorRef(0));
  int count = 0;
  decodes = &count;
  StandIn bitmapDecode(K_GdipCreateBitmapFromStream, reinterpret_cast<void*>(&CountBitmapDecode));
  StandIn imageDecode(K_GdipLoadImageFromStream, reinterpret_cast<void*>(&CountImageDecode));
  bitmapDecodeStandIn = &bitmapDecode;
  imageDecodeStandIn = &imageDecode;
  constexpr COLORREF kGiven = 0x336699;
  engine_->SetSkinImage("", c.jpeg ? SkinBackgroundJpeg : bmp.get(),
                        c.colourGiven ? OptionalArg<COLORREF>(kGiven) : OptionalArg<COLORREF>(), {},
                        OptionalArg<int32_t>(c.mode));
  decodes = nullptr;
  EXPECT_EQ(count, c.decodes);
  EXPECT_EQ(engine_->settings().backColour, c.colourGiven ? ArgbFromColorRef(kGiven) : average);
  ASSERT_NE(engine_->settings().skinPicture, nullptr);
  EXPECT_EQ(engine_->settings().skinPicture->GetWidth(), c.jpeg ? 500u : 40u);
  EXPECT_EQ(engine_->settings().skinPicture->GetHeight(), c.jpeg ? 500u : 30u);
}

INSTANTIATE_TEST_SUITE_P(Placements, SkinImageDecodeTest,
                         testing::Values(DecodeCase{"Stretched", true, kImageStretched, false, 0},
                                         DecodeCase{"StretchedOverAGivenColour", true, kImageStretched, true, 0},
                                         DecodeCase{"FadedTopLeft", true, kImageTopLeft, false, 0},
                                         DecodeCase{"FadedTopRightOverAGivenColour", true, kImageTopRight, true, 0},
                                         DecodeCase{"BmpStretched", false, kImageStretched, false, 1},
                                         DecodeCase{"BmpFadedTopLeft", false, kImageTopLeft, false, 1}),
                         [](const testing::TestParamInfo<DecodeCase>& p) { return std::string(p.param.name); });

// ---- What skinning and hovering leave behind -----------------------------------------------

// Wine's GetGuiResources is a stub that always gives 0, so GDI objects are counted where the
// skin makes and releases them: every declared creator and releaser is stood in for.
std::multiset<HANDLE>* liveObjects = nullptr;
struct GdiCounters {
  StandIn* dc;
  StandIn* bitmap;
  StandIn* pattern;
  StandIn* region;
  StandIn* getDc;
  StandIn* deleteDc;
  StandIn* deleteObject;
  StandIn* deleteObject2;
  StandIn* releaseDc;
  StandIn* setRegion;
} counters;

template <class H>
H Made(H handle) {
  if (handle) liveObjects->insert(handle);
  return handle;
}
void Gone(HANDLE handle) {
  auto found = liveObjects->find(handle);
  if (found != liveObjects->end()) liveObjects->erase(found);
}

HDC WINAPI CountCreateDc(HDC dc) { return Made(counters.dc->Original<decltype(&CreateCompatibleDC)>()(dc)); }
HBITMAP WINAPI CountCreateBitmap(HDC dc, int w, int h) {
  return Made(counters.bitmap->Original<decltype(&CreateCompatibleBitmap)>()(dc, w, h));
}
HBRUSH WINAPI CountPattern(HBITMAP b) { return Made(counters.pattern->Original<decltype(&CreatePatternBrush)>()(b)); }
HRGN WINAPI CountRegion(int a, int b, int c, int d, int e, int f) {
  return Made(counters.region->Original<decltype(&CreateRoundRectRgn)>()(a, b, c, d, e, f));
}
HDC WINAPI CountGetDc(HWND w) { return Made(counters.getDc->Original<decltype(&GetDC)>()(w)); }
BOOL WINAPI CountDeleteDc(HDC dc) {
  Gone(dc);
  return counters.deleteDc->Original<decltype(&DeleteDC)>()(dc);
}
BOOL WINAPI CountDeleteObject(HGDIOBJ o) {
  Gone(o);
  return counters.deleteObject->Original<decltype(&DeleteObject)>()(o);
}
BOOL WINAPI CountDeleteObject2(HGDIOBJ o) {
  Gone(o);
  return counters.deleteObject2->Original<decltype(&DeleteObject)>()(o);
}
int WINAPI CountReleaseDc(HWND w, HDC dc) {
  Gone(dc);
  return counters.releaseDc->Original<decltype(&ReleaseDC)>()(w, dc);
}
int WINAPI CountSetRegion(HWND w, HRGN region, BOOL redraw) {
  const int result = counters.setRegion->Original<decltype(&SetWindowRgn)>()(w, region, redraw);
  if (result && region) Gone(region);  // the window owns it now
  return result;
}

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}
int ThreadWindows() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

// While it lives, the GDI objects the skin makes are counted in `live`.
struct GdiCounting {
  GdiCounting() {
    liveObjects = &live;
    counters = {&dc, &bitmap, &pattern, &region, &getDc, &deleteDc, &deleteObject, &deleteObject2, &releaseDc, &setRegion};
  }
  ~GdiCounting() { liveObjects = nullptr; }
  std::multiset<HANDLE> live;
  StandIn dc{K_CreateCompatibleDC, reinterpret_cast<void*>(&CountCreateDc)};
  StandIn bitmap{K_CreateCompatibleBitmap, reinterpret_cast<void*>(&CountCreateBitmap)};
  StandIn pattern{K_CreatePatternBrush, reinterpret_cast<void*>(&CountPattern)};
  StandIn region{K_CreateRoundRectRgn, reinterpret_cast<void*>(&CountRegion)};
  StandIn getDc{K_GetDC, reinterpret_cast<void*>(&CountGetDc)};
  StandIn deleteDc{K_DeleteDC, reinterpret_cast<void*>(&CountDeleteDc)};
  StandIn deleteObject{K_DeleteObject, reinterpret_cast<void*>(&CountDeleteObject)};
  StandIn deleteObject2{K_DeleteObject_2, reinterpret_cast<void*>(&CountDeleteObject2)};
  StandIn releaseDc{K_ReleaseDC, reinterpret_cast<void*>(&CountReleaseDc)};
  StandIn setRegion{K_SetWindowRgn, reinterpret_cast<void*>(&CountSetRegion)};
};

TEST_F(SkinEngineTest, SkinningDestroyingAndHoveringLeaveNoObjectsBehind) {
  GdiCounting counting;
  std::multiset<HANDLE>& live = counting.live;
  engine_->SetControlTransparency(true, OptionalArg<int32_t>(44));

  const int windowsBefore = ThreadWindows();
  for (int cycle = 0; cycle < 100; ++cycle) {
    HWND window = Skinned();
    HWND label = CreateWindowExW(0, L"STATIC", L"标签", WS_CHILD | WS_VISIBLE, 20, 60, 120, 20, window, nullptr,
                                 nullptr, nullptr);
    HDC labelDc = GetDC(label);
    // Each colouring replaces the brush and bitmap of the one before.
    for (int i = 0; i < 3; ++i)
      EXPECT_NE(SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(labelDc), reinterpret_cast<LPARAM>(label)), 0);
    ReleaseDC(label, labelDc);
    ASSERT_FALSE(live.empty());  // the counting sees the frame, its background and the brush
    DestroyWindow(window);
    windows_.clear();
  }
  EXPECT_EQ(live.size(), 0u);
  EXPECT_EQ(ThreadWindows(), windowsBefore);  // each window's tool tip went with it
  EXPECT_EQ(engine_->WindowCount(), 0);

  HWND window = Skinned();
  const size_t held = live.size();
  for (int cycle = 0; cycle < 1000; ++cycle) {
    SendMessageW(window, WM_MOUSEMOVE, 0, At(kMinimizeCentre));
    SendMessageW(window, WM_MOUSEHOVER, 0, At(kMinimizeCentre));
    for (int tick = 0; tick < 3; ++tick) SendMessageW(window, WM_TIMER, reinterpret_cast<WPARAM>(window), 0);
    SendMessageW(window, WM_MOUSELEAVE, 0, 0);
    for (int tick = 0; tick < 9; ++tick) SendMessageW(window, WM_TIMER, reinterpret_cast<WPARAM>(window), 0);
  }
  EXPECT_EQ(live.size(), held);
}

// A coloured child that goes before its window takes its brush and bitmap with it, whether the
// skin paints it or not; an engine that goes before its windows releases what their children
// still hold, and stops the windows' animation timers.
struct ColouredChild {
  const char* name;
  const wchar_t* className;
  UINT message;
  void (*skin)(SkinEngine& engine, HWND control);
};

const ColouredChild kColouredChildren[] = {
    {"PlainLabel", L"STATIC", WM_CTLCOLORSTATIC, [](SkinEngine&, HWND) {}},
    {"SkinnedLabel", L"STATIC", WM_CTLCOLORSTATIC, [](SkinEngine& engine, HWND label) { engine.SkinStaticControl(label); }},
    {"PaintedEdit", L"EDIT", WM_CTLCOLOREDIT, [](SkinEngine&, HWND) {}},  // skinned with its window
};

class ColouredChildTest : public SkinEngineTest, public testing::WithParamInterface<ColouredChild> {};

TEST_P(ColouredChildTest, ReleasesItsColouringWhenItGoesBeforeItsWindowOrAfterTheEngine) {
  const ColouredChild& c = GetParam();
  GdiCounting counting;
  engine_->SetControlTransparency(true, OptionalArg<int32_t>(44));
  HWND window = MakeTestWindow(WS_MINIMIZEBOX);
  windows_.push_back(window);
  auto makeChild = [&] {
    return CreateWindowExW(0, c.className, L"标签", WS_CHILD | WS_VISIBLE, 20, 60, 120, 20, window, nullptr, nullptr,
                           nullptr);
  };
  auto colour = [&](HWND child) {
    HDC dc = GetDC(child);
    for (int i = 0; i < 3; ++i)
      EXPECT_NE(SendMessageW(window, c.message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child)), 0);
    ReleaseDC(child, dc);
  };
  HWND first = makeChild();
  engine_->SkinWindow(window, ToolOptions(false));
  c.skin(*engine_, first);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  UpdateWindow(window);
  colour(first);
  ASSERT_NE(GetPropA(first, kControlBrushProperty), nullptr);
  // Each colouring replaced the one before: the child holds one brush and one bitmap.
  const size_t held = counting.live.size();
  DestroyWindow(first);
  EXPECT_EQ(counting.live.size(), held - 2);

  // The engine goes first: nothing it made is left, and the timer it started is gone.
  HWND second = makeChild();
  engine_->SkinChildControls(1, window);
  c.skin(*engine_, second);
  colour(second);
  SendMessageW(window, WM_MOUSEMOVE, 0, At(kMinimizeCentre));
  engine_.reset();
  EXPECT_EQ(counting.live.size(), 0u);
  EXPECT_FALSE(KillTimer(window, reinterpret_cast<UINT_PTR>(window)));
}

INSTANTIATE_TEST_SUITE_P(Children, ColouredChildTest, testing::ValuesIn(kColouredChildren),
                         [](const testing::TestParamInfo<ColouredChild>& p) { return std::string(p.param.name); });

}  // namespace
