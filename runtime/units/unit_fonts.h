// Fonts from the font fields of property blocks.
#pragma once

#include <windows.h>

#include <cstring>
#include <optional>
#include <string_view>

#include "runtime/display_scale.h"
#include "runtime/font_faces.h"
#include "runtime/win_handles.h"
#include "runtime/templates/property_blocks.h"
#include "runtime/wide_text.h"

static_assert(sizeof(LOGFONTA) == kLogicalFontSize);

// The logical font a 60-byte field holds; empty for a field of any other size. The field's face
// name is GBK, so the font is made with the wide form. When the face it names cannot show every
// character of `text` (not installed, and the mapper's stand-in lacks them), a face that can is
// put in its place. The field's heights are pixels at 96 DPI; the font is made for `dpi`.
inline OwnedFont FontOfField(const FontField& field, std::wstring_view text = {}, UINT dpi = kDesignDpi) {
  if (!field.isLogicalFont()) return {};
  LOGFONTA font;
  std::memcpy(&font, field.bytes.data(), sizeof font);
  font.lfHeight = ScaledToDpi(static_cast<int32_t>(font.lfHeight), dpi);
  font.lfWidth = ScaledToDpi(static_cast<int32_t>(font.lfWidth), dpi);
  const LOGFONTW wide = WideLogFont(font);
  const std::optional<LOGFONTW> showing = text.empty() ? std::nullopt : FontShowing(wide, text);
  return OwnedFont(CreateFontIndirectW(showing ? &*showing : &wide));
}
