// The start-up's calls of the skin engine.
#include "app/skin_setup.h"

#include "runtime/commands/commands.h"
#include "runtime/imports/declared_functions.h"
#include "runtime/value_helpers.h"

namespace {

constexpr WORD kCaptionIconNumber = 129;

// The icon resource name as a NUL-terminated text, made the runtime's way: the text as a block,
// two zero bytes after it, and back to a text.
OwnedText DefaultIconName() {
  const OwnedBytes name = Commands::ToByteBlock(Commands::PassText("DEFAULT_ICON"));
  const OwnedBytes zeros = Commands::ZeroBytes(2);
  const OwnedBytes terminated = JoinByteBlocks({name.get(), zeros.get()});
  return Commands::ToText(Commands::PassBytes(terminated.get()));
}

}  // namespace

void InitProgramGlobals(SkinEngine& engine) {
  SkinSettings& settings = engine.settings();
  settings.gdiplusToken = StartGdiPlus();
  HMODULE program = Declared::GetModuleHandleA(nullptr);
  settings.defaultIcon = Declared::LoadIconA(program, MAKEINTRESOURCEA(kCaptionIconNumber));
  if (!settings.defaultIcon) {
    const OwnedText name = DefaultIconName();
    settings.defaultIcon = Declared::LoadIconA(program, name.get());
  }
  settings.firstSizeFlag = true;
  settings.transparentControls = true;
  settings.overlayAlpha = 160;
  settings.themeColour = 0xDDCA22;
  settings.controlOption = 1;
}

void SkinWindowUnits(SkinEngine& engine, const UnitReference& window, ByteBlock image, int32_t alpha) {
  engine.SetSkinImage("", image, {}, {}, OptionalArg<int32_t>(kImageStretched));
  engine.SetControlTransparency(true, OptionalArg<int32_t>(alpha), {});
  SkinWindowOptions options;
  options.captionHeight = 0;
  options.captionActive = true;
  options.sizable = false;
  options.showHelpButton = false;
  options.showMenuButton = false;
  options.drawTitle = true;
  options.gloss = false;
  options.bottomBarHeight = 0;
  engine.SkinWindow(Commands::GetUnitHandle(window), options);
}
