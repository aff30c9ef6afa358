// Fonts from the font fields of property blocks.
#pragma once

#include <windows.h>

#include <cstring>

#include "runtime/win_handles.h"
#include "runtime/templates/property_blocks.h"
#include "runtime/wide_text.h"

static_assert(sizeof(LOGFONTA) == kLogicalFontSize);

// The logical font a 60-byte field holds; empty for a field of any other size. The field's face
// name is GBK, so the font is made with the wide form.
inline OwnedFont FontOfField(const FontField& field) {
  if (!field.isLogicalFont()) return {};
  LOGFONTA font;
  std::memcpy(&font, field.bytes.data(), sizeof font);
  const LOGFONTW wide = WideLogFont(font);
  return OwnedFont(CreateFontIndirectW(&wide));
}
