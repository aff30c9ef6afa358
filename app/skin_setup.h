// The program's use of the skin: the module settings written before the start window loads, and
// the skinning of a loaded window and its units.
#pragma once

#include <windows.h>

#include <cstdint>

#include "runtime/commands/unit_lists.h"
#include "runtime/value.h"
#include "skin/skin_engine.h"

// GDI+ started, the caption icon, and the skin's settings.
void InitProgramGlobals(SkinEngine& engine);

// The skin image (stretched), see-through controls with a wash of `alpha` (kept modulo 256), and
// the window skinned as the tool's: a 25-pixel caption that drags it, no resizing, its title.
void SkinToolWindow(SkinEngine& engine, HWND window, ByteBlock image, int32_t alpha);

// The window skinned as SkinToolWindow does; then its group boxes and tab controls as
// containers, its labels, picture boxes, drawing boards and shape boxes as see-through statics.
// A unit found under a kind's name whose type code is not the kind's is runtime error 5.
void SkinWindowUnits(SkinEngine& engine, const UnitReference& window, ByteBlock image, int32_t alpha);
