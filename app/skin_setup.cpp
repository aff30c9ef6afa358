// The start-up's calls of the skin engine.
#include "app/skin_setup.h"

#include "runtime/commands/commands.h"
#include "runtime/imports/declared_functions.h"
#include "runtime/runtime_error.h"
#include "runtime/startup_trace.h"
#include "runtime/units/unit_types.h"
#include "runtime/value_helpers.h"

namespace {

constexpr WORD kCaptionIconNumber = 129;

// The unit kinds skinned after the window, in this order: by the name units are found by, the
// type code a unit of the kind must have, and whether it holds other units.
struct SkinnedKind {
  const char* name;  // GBK
  uint32_t typeCode;
  bool container;
};
constexpr SkinnedKind kSkinnedKinds[] = {
    {"分组框", UNIT_GROUP_BOX, true}, {"标签", UNIT_LABEL, false},   {"图片框", UNIT_PICTURE_BOX, false},
    {"画板", UNIT_DRAW_PANEL, false}, {"选择夹", UNIT_TAB, true},     {"外形框", UNIT_SHAPE_BOX, false},
};

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
  StartupMark("GDI+ started");
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
  StartupMark("caption icon loaded");
}

void SkinToolWindow(SkinEngine& engine, HWND window, ByteBlock image, int32_t alpha) {
  engine.SetSkinImage("", image, {}, {}, OptionalArg<int32_t>(kImageStretched));
  StartupMark("skin image prepared");
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
  engine.SkinWindow(window, options);
  StartupMark("window skinned");
}

void SkinWindowUnits(SkinEngine& engine, const UnitReference& window, ByteBlock image, int32_t alpha) {
  SkinToolWindow(engine, Commands::GetUnitHandle(window), image, alpha);
  for (const SkinnedKind& kind : kSkinnedKinds) {
    const UnitList list = Commands::FindUnits(window, std::nullopt, kind.name);
    if (!list) continue;
    const int32_t count = Commands::UnitListCount(list);
    for (int32_t i = 0; i < count; ++i) {
      const UnitReference unit = Commands::UnitListItem(list, i);
      if (unit.type != kind.typeCode) RaiseRuntimeError(ERR_TYPE_MISMATCH);
      const HWND handle = Commands::GetUnitHandle(unit);
      if (kind.container)
        engine.SkinContainer(handle, {}, {}, OptionalArg<int32_t>(alpha), {});
      else
        engine.SkinStaticControl(handle, {}, {}, OptionalArg<int32_t>(alpha));
    }
    Commands::FreeUnitList(list);
  }
  StartupMark("controls skinned");
}
