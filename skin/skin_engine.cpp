// The engine object, its window list, and the set-up operations that register windows and change
// the skin's images, fonts, handlers and caption buttons.
#include "skin/skin_engine.h"

#include <algorithm>

#include "resources/embedded_pictures.h"
#include "runtime/commands/commands.h"
#include "runtime/constant_segment.h"
#include "runtime/imports/declared_functions.h"
#include "runtime/runtime_error.h"
#include "skin/controls/control_colouring.h"
#include "skin/skin_properties.h"
#include "skin/window_calls.h"

namespace {

SkinEngine* activeEngine = nullptr;

constexpr int32_t kMinimumCaptionHeight = 25;

LRESULT CALLBACK SkinnedWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (SkinEngine* engine = SkinEngine::Active()) return engine->WindowProc(hwnd, message, wParam, lParam);
  return WindowCalls::CallPrevious(PreviousProcedureOf(hwnd), hwnd, message, wParam, lParam);
}

// The built-in button of each kind: image, second image, tool-tip text.
struct ButtonLook {
  TitleButtonKind kind;
  const ByteBlock* image;
  const ByteBlock* secondImage;
  const char* toolTip;
};
constexpr ButtonLook kHelpLook{kHelpButton, &HelpButtonPng, nullptr, "帮助"};
constexpr ButtonLook kMenuLook{kMenuButton, &MenuButtonPng, nullptr, "主菜单"};
constexpr ButtonLook kMinimizeLook{kMinimizeButton, &MinimizeButtonPng, nullptr, "最小化"};
constexpr ButtonLook kMaximizeLook{kMaximizeButton, &MaximizeButtonPng, &RestoreButtonPng, "最大化"};
constexpr ButtonLook kCloseLook{kCloseButton, &CloseButtonPng, nullptr, "关闭"};

// A window's own image in its placement, with the colour under it and its picture.
void AdoptOwnImage(WindowRecord& record, ByteBlock image) {
  PreparedImage own = PrepareImage(nullptr, image, record.ownImageMode, std::nullopt);
  record.ownColour = own.colour;
  record.ownImage = std::move(own.bytes);
  record.ownPicture = std::move(own.picture);
}

TitleButton MakeButton(SkinEngine& engine, const ButtonLook& look, ByteBlock image, ByteBlock secondImage) {
  TitleButton button;
  button.kind = look.kind;
  button.picture = engine.ButtonPicture(image ? image : *look.image);
  if (secondImage || look.secondImage) button.secondPicture = engine.ButtonPicture(secondImage ? secondImage : *look.secondImage);
  button.width = look.kind == kCloseButton ? 38 : 26;
  button.height = 18;
  button.toolTipText = look.toolTip;
  return button;
}

// The strip's width at the window's DPI: each button, a pixel between neighbours, three more.
int32_t StripWidth(const WindowRecord& record) {
  const std::vector<TitleButton>& buttons = record.titleButtons;
  if (buttons.empty()) return record.Px(3);
  int32_t width = 0;
  for (const TitleButton& button : buttons) width += record.Px(button.kind == kCloseButton ? 38 : 26);
  return width + record.Px(1) * (static_cast<int32_t>(buttons.size()) - 1) + record.Px(3);
}

}  // namespace

SkinEngine::SkinEngine() {
  settings_.backColour = ArgbFromColorRef(static_cast<uint32_t>(Commands::DefaultBackColor()));
  activeEngine = this;
}

SkinEngine::~SkinEngine() {
  // Windows that outlive the engine go back to their own procedures.
  for (const WindowRecordPtr& record : windows_) {
    record->alive = false;
    Declared::KillTimer(record->hwnd, reinterpret_cast<UINT_PTR>(record->hwnd));
    record->toolTip.Destroy();
    ReleaseColouringBelow(record->hwnd);
    ReleaseControls(*record);
    // Under a later subclass the skin's procedure stays in the chain; with the engine gone it
    // forwards by "Hw_hProc", which must stay for it.
    const bool ours = WindowCalls::CurrentProcedure(record->hwnd) == &SkinnedWindowProc;
    if (ours) WindowCalls::ReplaceProcedure(record->hwnd, record->previousProc);
    ClearWindowProperties(record->hwnd, !ours);
  }
  windows_.clear();
  builtInPictures_.clear();
  settings_.skinPicture.reset();  // every GDI+ object goes before GDI+ itself
  if (settings_.defaultIcon) Declared::DestroyIcon(settings_.defaultIcon);
  settings_.defaultIcon = nullptr;
  if (settings_.gdiplusToken) ShutdownGdiPlus(settings_.gdiplusToken);
  settings_.gdiplusToken = 0;
  if (activeEngine == this) activeEngine = nullptr;
}

SkinEngine* SkinEngine::Active() { return activeEngine; }

int32_t SkinEngine::IndexOf(HWND hwnd) const {
  if (!hwnd) return 0;
  for (size_t i = 0; i < windows_.size(); ++i)
    if (windows_[i]->hwnd == hwnd) return static_cast<int32_t>(i + 1);
  return 0;
}

WindowRecordPtr SkinEngine::SharedRecordAt(int32_t index) const {
  if (index < 1) RaiseRuntimeError(ERR_INDEX_BELOW_ONE);
  if (index > WindowCount()) RaiseRuntimeError(ERR_INDEX_ABOVE_COUNT);
  return windows_[static_cast<size_t>(index - 1)];
}

WindowRecord& SkinEngine::RecordAt(int32_t index) const { return *SharedRecordAt(index); }

int32_t SkinEngine::PositionOf(const WindowRecord& record) const {
  for (size_t i = 0; i < windows_.size(); ++i)
    if (windows_[i].get() == &record) return static_cast<int32_t>(i + 1);
  return 0;
}

void SkinEngine::BuildTitleButtons(WindowRecord& record, const ByteBlock images[4]) {
  record.titleButtons.clear();
  if (record.showHelpButton) record.titleButtons.push_back(MakeButton(*this, kHelpLook, nullptr, nullptr));
  if (record.showMenuButton) record.titleButtons.push_back(MakeButton(*this, kMenuLook, nullptr, nullptr));
  if (record.hasMinimize) record.titleButtons.push_back(MakeButton(*this, kMinimizeLook, images[0], nullptr));
  if (record.hasMaximize) record.titleButtons.push_back(MakeButton(*this, kMaximizeLook, images[1], images[2]));
  if (record.showClose) record.titleButtons.push_back(MakeButton(*this, kCloseLook, images[3], nullptr));
  MeasureTitleStrip(record);
}

void SkinEngine::MeasureTitleStrip(WindowRecord& record) {
  record.buttonsWidth = StripWidth(record);
  record.buttonsHeight = record.Px(22);
  record.buttonsTop = 0;
  RECT client{};
  Declared::GetClientRect(record.hwnd, &client);
  record.buttonsLeft = client.right - record.Px(kBorderWidth) - record.buttonsWidth - record.Px(2);
}

void SkinEngine::ResetToolTips(WindowRecord& record) {
  if (!record.toolTip.GetHandle()) record.toolTip.Create(record.hwnd);
  // Ids run 1..n; tools of a longer earlier list go first.
  for (UINT_PTR id = 1; id <= record.titleButtons.size() + 8; ++id) record.toolTip.DeleteTool(id);
  for (size_t i = 0; i < record.titleButtons.size(); ++i)
    record.toolTip.AddTool(RECT{}, record.titleButtons[i].toolTipText.c_str(), i + 1);
}

void SkinEngine::SkinWindow(HWND hwnd, const SkinWindowOptions& options) {
  if (!hwnd || IndexOf(hwnd)) return;
  const LONG style = Declared::GetWindowLongA(hwnd, GWL_STYLE);

  auto record = std::make_shared<WindowRecord>();
  record->hwnd = hwnd;
  record->dpi = DpiOfWindow(hwnd);
  record->captionHeight = std::max(options.captionHeight, kMinimumCaptionHeight);
  record->captionActive = options.captionActive.Or(true);
  record->sizable = options.sizable.Or(true);
  record->showHelpButton = options.showHelpButton.Or(false);
  record->showMenuButton = options.showMenuButton.Or(false);
  record->drawTitle = options.drawTitle.Or(true);
  record->gloss = options.gloss.Or(false);
  record->hasMinimize = (style & WS_MINIMIZEBOX) != 0;
  record->hasMaximize = (style & WS_MAXIMIZEBOX) != 0;
  record->maxTrackWidth = Commands::ScreenWidth();
  record->maxTrackHeight = Commands::ScreenHeight();
  record->ownImageMode = settings_.imageMode;
  if (ByteBlockLengthOf(options.ownImage) > 0) {
    record->ownImageMode = options.ownMode.Or(settings_.imageMode);
    AdoptOwnImage(*record, options.ownImage);
  }

  const ByteBlock builtIn[4] = {};
  BuildTitleButtons(*record, builtIn);
  record->toolTipsPending = true;
  Declared::SetWindowLongA(hwnd, GWL_STYLE, style | WS_SYSMENU);

  windows_.push_back(record);
  const int32_t index = WindowCount();
  LayoutTitleButtons(index);
  if (options.bottomBarHeight > 0) {
    SetBottomBar(index, options.bottomBarHeight, options.bottomBarItems, true);
    record->bottomBar.separators = 0;
    record->bottomBar.colour = 0xFFFFFF;
    record->bottomBar.fontName = "宋体";
    record->bottomBar.fontSize = 12;
  }
  LayoutBottomBar(index);
  SkinChildControls(index, hwnd);
  record->needsRepaint = true;

  record->previousProc = WindowCalls::ReplaceProcedure(hwnd, &SkinnedWindowProc);
  SetWindowProperties(hwnd, record->previousProc, index);
  // A window not shown yet takes its region now, while setting it costs nothing on screen; its
  // first paint keeps it (SetRoundRegion).
  if (!Declared::IsWindowVisible(hwnd)) SetRoundRegion(*record);
}

void SkinEngine::AddTitleButton(HWND hwnd, ByteBlock image, TextValue toolTipText, SkinHandler handler) {
  const int32_t index = IndexOf(hwnd);
  if (!index) return;
  WindowRecord& record = RecordAt(index);
  TitleButton button;
  button.kind = kUserButton;
  button.picture = ButtonPicture(image);
  button.toolTipText = toolTipText ? toolTipText : "";
  button.handler = handler;
  // User buttons go in front of the built-in ones. Every number a button had is one off now: the
  // button under the mouse and the fades start again from the next mouse move, as after a rebuild.
  record.titleButtons.insert(record.titleButtons.begin(), button);
  record.buttonsWidth += record.Px(27);
  hotButton_ = 0;
  record.hotButton = 0;
  record.fadeIn = record.fadeOut = FadeState{};
  ResetToolTips(record);
  LayoutTitleButtons(index);
  record.needsRepaint = true;
  Declared::InvalidateRect(hwnd, nullptr, FALSE);
}

void SkinEngine::SetTitleFont(HWND hwnd, OptionalArg<TextValue> fontName, OptionalArg<int32_t> size,
                              OptionalArg<int32_t> style) {
  const int32_t index = IndexOf(hwnd);
  if (!index) return;
  WindowRecord& record = RecordAt(index);
  if (fontName.given && fontName.value && *fontName.value) record.titleFontName = fontName.value;
  if (size.given && size.value > 0) record.titleFontSize = size.value;
  if (style.given) record.titleFontStyle = style.value;
  record.needsRepaint = true;
  Declared::InvalidateRect(hwnd, nullptr, FALSE);
}

void SkinEngine::SetWindowImage(HWND hwnd, ByteBlock image, OptionalArg<int32_t> mode) {
  const int32_t index = IndexOf(hwnd);
  if (!index) return;
  WindowRecord& record = RecordAt(index);
  record.ownImageMode = mode.Or(settings_.imageMode);
  if (ByteBlockLengthOf(image) > 0) {
    AdoptOwnImage(record, image);
  } else {
    record.ownImage.reset();
    record.ownPicture.reset();
  }
  record.needsRepaint = true;
  Declared::InvalidateRect(hwnd, nullptr, FALSE);
}

void SkinEngine::SetSkinImage(TextValue path, ByteBlock bytes, OptionalArg<COLORREF> colour,
                              OptionalArg<int32_t> themeColour, OptionalArg<int32_t> mode) {
  const bool themeFromImage = themeColour.given && themeColour.value == -1;
  if (!themeFromImage) settings_.themeColour = themeColour.given ? static_cast<COLORREF>(themeColour.value) : 0xDDCA22;
  const bool hasPath = path && *path;
  const bool hasBytes = ByteBlockLengthOf(bytes) > 0;
  if (!hasPath && !hasBytes && !colour.given) return;

  if (hasPath || hasBytes) {
    TextValue file = hasPath ? path : nullptr;
    ByteBlock data = hasPath ? nullptr : bytes;
    settings_.imageMode = mode.Or(kImageNatural);
    PreparedImage skin = PrepareImage(file, data, settings_.imageMode,
                                      colour.given ? std::optional(ArgbFromColorRef(colour.value)) : std::nullopt);
    settings_.backColour = skin.colour;
    settings_.skinImage = std::move(skin.bytes);
    settings_.skinPicture = std::move(skin.picture);
    settings_.skinPixels = std::move(skin.pixels);
  } else {
    settings_.skinImage.reset();
    settings_.skinPicture.reset();
    settings_.skinPixels.reset();
    settings_.backColour =
        ArgbFromColorRef(colour.given ? colour.value : static_cast<COLORREF>(Commands::DefaultBackColor()));
  }
  if (themeFromImage) {
    // The theme colour is a COLORREF; backColour is ARGB.
    const Gdiplus::ARGB back = settings_.backColour;
    settings_.themeColour = ((back & 0xFF) << 16) | (back & 0xFF00) | ((back >> 16) & 0xFF);
  }
  RepaintAll();
}

void SkinEngine::RepaintAll() {
  // A copy: a render sets the window's region, whose messages run the program's code.
  const std::vector<WindowRecordPtr> windows = windows_;
  for (const WindowRecordPtr& record : windows) {
    const int32_t index = PositionOf(*record);
    if (!index || !Declared::IsWindowVisible(record->hwnd)) continue;
    HDC dc = Declared::GetDC(record->hwnd);
    PaintFrame(index, dc, 1);
    Declared::ReleaseDC(record->hwnd, dc);
    if (!record->alive) continue;
    Declared::InvalidateRect(record->hwnd, nullptr, FALSE);
    for (HWND child = Declared::FindWindowExA(record->hwnd, nullptr, nullptr, nullptr); child;
         child = Declared::FindWindowExA(record->hwnd, child, nullptr, nullptr))
      if (Declared::IsWindowVisible(child)) Declared::InvalidateRect(child, nullptr, TRUE);
    for (HWND nested : NestedControls(*record)) Declared::InvalidateRect(nested, nullptr, FALSE);
  }
}

void SkinEngine::SetControlTransparency(bool on, OptionalArg<int32_t> alpha, OptionalArg<int32_t> option) {
  settings_.transparentControls = on;
  settings_.overlayAlpha = static_cast<uint8_t>(alpha.Or(160) & 0xFF);
  settings_.overlayGiven = alpha.given;
  settings_.controlOption = option.Or(1);
}

void SkinEngine::SetHelpHandler(HWND hwnd, SkinHandler handler) {
  if (const int32_t index = IndexOf(hwnd)) RecordAt(index).helpHandler = handler;
}

void SkinEngine::SetMenuHandler(HWND hwnd, SkinHandler handler) {
  if (const int32_t index = IndexOf(hwnd)) RecordAt(index).menuHandler = handler;
}

RECT SkinEngine::GetTitleButtonArea(HWND hwnd) {
  const int32_t index = IndexOf(hwnd);
  if (!index) return RECT{};
  const WindowRecord& record = RecordAt(index);
  return RECT{record.buttonsLeft, record.buttonsTop, record.buttonsLeft + record.buttonsWidth,
              record.buttonsTop + record.buttonsHeight};
}

void SkinEngine::RebuildTitleButtons(HWND hwnd, OptionalArg<ByteBlock> minimize, OptionalArg<ByteBlock> maximize,
                                     OptionalArg<ByteBlock> restore, OptionalArg<ByteBlock> close) {
  const int32_t index = IndexOf(hwnd);
  if (!index) return;
  WindowRecord& record = RecordAt(index);
  const LONG style = Declared::GetWindowLongA(hwnd, GWL_STYLE);
  record.hasMinimize = (style & WS_MINIMIZEBOX) != 0;
  record.hasMaximize = (style & WS_MAXIMIZEBOX) != 0;
  const ByteBlock images[4] = {minimize.Or(nullptr), maximize.Or(nullptr), restore.Or(nullptr), close.Or(nullptr)};
  BuildTitleButtons(record, images);
  ResetToolTips(record);
  // The numbers a press or the mouse had name other buttons now: a release still to come must
  // click nothing.
  hotButton_ = 0;
  record.hotButton = 0;
  record.fadeIn = record.fadeOut = FadeState{};
  LayoutTitleButtons(index);
  record.needsRepaint = true;
  Declared::InvalidateRect(hwnd, nullptr, FALSE);
}

void SkinEngine::RemoveRecord(HWND hwnd) {
  const int32_t index = IndexOf(hwnd);
  if (!index) return;
  const WindowRecordPtr record = windows_[static_cast<size_t>(index - 1)];
  record->alive = false;
  Declared::KillTimer(hwnd, reinterpret_cast<UINT_PTR>(hwnd));
  record->frame.Release();
  record->background.Release();
  ReleaseControls(*record);
  ClearWindowProperties(hwnd);
  windows_.erase(windows_.begin() + (index - 1));
  for (int32_t later = index; later <= WindowCount(); ++later) {
    WindowRecord& moved = *windows_[static_cast<size_t>(later - 1)];
    Declared::SetPropA(moved.hwnd, kWindowIndexProperty, reinterpret_cast<HANDLE>(static_cast<intptr_t>(later)));
    RenumberControls(moved, later);
  }
}

std::shared_ptr<Image> SkinEngine::ButtonPicture(ByteBlock bytes) {
  if (!InConstantSegment(bytes)) return DecodePicture(bytes);
  auto found = builtInPictures_.find(bytes);
  if (found != builtInPictures_.end()) return found->second;
  std::shared_ptr<Image> picture = DecodePicture(bytes);
  builtInPictures_.emplace(bytes, picture);
  return picture;
}
