// The unit-type tables of the runtime libraries. Types listed without a create function are
// known by code and name (so that searches and type checks work) but not made by this runtime.
#include "runtime/units/unit_types.h"

namespace {

void NotifyCoreLibrary(LibraryNotice notice) {
  if (notice == LibraryNotice::Exiting) UnregisterCoreUnitClasses();
}

void NotifyExtendedLibrary(LibraryNotice notice) {
  if (notice == LibraryNotice::Exiting) UnregisterExtendedUnitClasses();
}

constexpr UnitType coreTypes[] = {
    {UNIT_WINDOW, "窗口", "window", UNIT_TYPE_EVENTS, &CreateWindowUnit, nullptr, nullptr},
    {UNIT_PICTURE_BOX, "图片框", "PicBox", UNIT_TYPE_EVENTS, &CreatePictureBoxUnit, nullptr, nullptr},
    {UNIT_SHAPE_BOX, "外形框", "ShapeBox", UNIT_TYPE_EVENTS, nullptr, nullptr, nullptr},
    {UNIT_DRAW_PANEL, "画板", "DrawPanel", UNIT_TYPE_EVENTS, nullptr, nullptr, nullptr},
    {UNIT_GROUP_BOX, "分组框", "GroupBox", UNIT_TYPE_EVENTS, nullptr, nullptr, nullptr},
    {UNIT_LABEL, "标签", "Label", UNIT_TYPE_EVENTS, nullptr, nullptr, nullptr},
    {UNIT_BUTTON, "按钮", "Button", UNIT_TYPE_EVENTS, &CreateButtonUnit, nullptr, nullptr},
    {UNIT_TAB, "选择夹", "Tab", UNIT_TYPE_EVENTS, nullptr, nullptr, nullptr},
};

constexpr UnitType extendedTypes[] = {
    {UNIT_TRANS_LABEL, "透明标签", "TransLabel", UNIT_TYPE_EVENTS, &CreateTransLabelUnit, nullptr, nullptr},
};

constexpr RuntimeLibrary libraries[] = {
    {1, "core", coreTypes, &NotifyCoreLibrary},
    {2, "extended user interface", extendedTypes, &NotifyExtendedLibrary},
    {3, "system interface", {}, nullptr},
    {4, "special functions", {}, nullptr},
};

}  // namespace

std::span<const RuntimeLibrary> RuntimeLibraries() { return libraries; }

void NotifyRuntimeLibraries(LibraryNotice notice) {
  for (const RuntimeLibrary& library : libraries)
    if (library.notify) library.notify(notice);
}

const UnitType* FindUnitType(uint32_t code) {
  for (const RuntimeLibrary& library : libraries) {
    if (library.number != LibraryOfType(code)) continue;
    for (const UnitType& type : library.types)
      if (type.code == code) return &type;
  }
  return nullptr;
}

const UnitType* FindUnitTypeByName(std::string_view name) {
  for (const RuntimeLibrary& library : libraries)
    for (const UnitType& type : library.types)
      if (name == type.name) return &type;
  return nullptr;
}
