// Font creation by family name and from GDI fonts, family names, string formats and regions.
#include "graphics/fonts.h"

#include <cwchar>
#include <optional>
#include <string>

#include "runtime/font_faces.h"
#include "runtime/system_text.h"
#include "runtime/wide_text.h"

using Gdiplus::GpFontFamily;
using Gdiplus::REAL;
using Gdiplus::StringAlignment;
using Gdiplus::StringTrimming;
using Gdiplus::Unit;

// --- FontFamily ---

bool FontFamily::Delete() { return ReleaseWith<K_GdipDeleteFontFamily>(familyHandle_); }

bool FontFamily::CreateFromName(TextValue name, const FontCollection& collection) {
  const OwnedBytes wide = ToWideText(name);
  const bool ok = CallStatus<K_GdipCreateFontFamilyFromName>(
      WideChars(wide), NativeOf<Gdiplus::GpFontCollection>(collection), &familyHandle_);
  return Adopt(familyHandle_, ok);
}

bool FontFamily::CreateFromWideName(const wchar_t* name) {
  const bool ok = CallStatus<K_GdipCreateFontFamilyFromName>(name, static_cast<Gdiplus::GpFontCollection*>(nullptr),
                                                             &familyHandle_);
  return Adopt(familyHandle_, ok);
}

OwnedText FontFamily::GetName() const {
  WCHAR name[LF_FACESIZE] = {};
  CallStatus<K_GdipGetFamilyName>(familyHandle_, name, LANGID{0});
  name[LF_FACESIZE - 1] = L'\0';
  return FromWideText(name);
}

// --- Font ---

bool Font::Delete() { return ReleaseWith<K_GdipDeleteFont>(fontHandle_); }

bool Font::Create(TextValue familyName, float size, OptionalArg<int32_t> style, OptionalArg<Unit> unit) {
  FontFamily family;
  {
    const FontCollection installed;
    family.CreateFromName(familyName, installed);
  }
  const bool ok = CallStatus<K_GdipCreateFont>(NativeOf<GpFontFamily>(family), REAL{size}, INT{style.value},
                                               unit.value, &fontHandle_);
  Adopt(fontHandle_, ok);
  family.Delete();
  return ok;
}

// GDI+ finds only installed families by name and draws boxes for the characters its face lacks,
// so the face is chosen through GDI first; the logical font carries what the mapper weighs
// besides the name (size in pixels at 96 DPI is near enough: glyph coverage does not depend on it).
bool Font::CreateShowing(TextValue familyName, float size, int32_t style, Unit unit, TextValue text) {
  LOGFONTW wanted{};
  wanted.lfHeight = -static_cast<LONG>(size + 0.5f);
  wanted.lfWeight = (style & Gdiplus::FontStyleBold) ? FW_BOLD : FW_NORMAL;
  wanted.lfItalic = (style & Gdiplus::FontStyleItalic) ? TRUE : FALSE;
  wanted.lfCharSet = DEFAULT_CHARSET;
  const std::wstring face = WideFromText(familyName);
  wcsncpy(wanted.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  const auto installed = [](const std::wstring& name) {
    FontFamily family;
    const bool found = family.CreateFromWideName(name.c_str());
    family.Delete();
    return found;
  };
  if (const std::optional<LOGFONTW> chosen = FontShowing(wanted, WideFromText(text), installed)) {
    FontFamily family;
    if (family.CreateFromWideName(chosen->lfFaceName)) {
      const bool ok = CallStatus<K_GdipCreateFont>(NativeOf<GpFontFamily>(family), REAL{size}, INT{style}, unit,
                                                   &fontHandle_);
      Adopt(fontHandle_, ok);
      family.Delete();
      if (ok) return true;
    }
  }
  return Create(familyName, size, OptionalArg<int32_t>(style), OptionalArg<Unit>(unit)) || CreateDefault();
}

// The description is read in the wide form from the runtime: the table's GetObjectA would pass
// a Chinese face name through the ANSI code page ("??" under 1252).
bool Font::FromLogFont(HDC dc, HGDIOBJ font) {
  const std::optional<LOGFONTW> logFont = LogicalFontOf(font);
  const bool ok = logFont ? CallStatus<K_GdipCreateFontFromLogfontW>(dc, &*logFont, &fontHandle_)
                          : CallStatus<K_GdipCreateFontFromDC>(dc, &fontHandle_);
  return Adopt(fontHandle_, ok);
}

bool Font::FromHdcAndHfont(HDC dc, HFONT font) {
  if (font) return FromLogFont(dc, font);
  const bool ok = CallStatus<K_GdipCreateFontFromDC>(dc, &fontHandle_);
  return Adopt(fontHandle_, ok);
}

bool Font::CreateDefault() {
  HDC screen = Declared::GetDC(nullptr);
  const bool ok = FromLogFont(screen, Declared::GetStockObject(DEFAULT_GUI_FONT));
  Declared::ReleaseDC(nullptr, screen);
  return ok;
}

bool Font::GetFamily(FontFamily& family) const {
  GpFontFamily* found = nullptr;
  const bool ok = CallStatus<K_GdipGetFamily>(fontHandle_, &found);
  family.SetHandle(found);
  return ok;
}

int32_t Font::GetStyle() const {
  INT style = -1;
  CallStatus<K_GdipGetFontStyle>(fontHandle_, &style);
  return style;
}

float Font::GetSize() const {
  REAL size = 0;
  CallStatus<K_GdipGetFontSize>(fontHandle_, &size);
  return size;
}

// --- StringFormat ---

bool StringFormat::Delete() { return ReleaseWith<K_GdipDeleteStringFormat>(formatHandle_); }

bool StringFormat::Create(OptionalArg<int32_t> flags, OptionalArg<LANGID> language) {
  const bool ok = CallStatus<K_GdipCreateStringFormat>(INT{flags.value}, language.value, &formatHandle_);
  return Adopt(formatHandle_, ok);
}

bool StringFormat::SetAlignment(StringAlignment alignment) {
  return CallStatus<K_GdipSetStringFormatAlign>(formatHandle_, alignment);
}

bool StringFormat::SetLineAlignment(StringAlignment alignment) {
  return CallStatus<K_GdipSetStringFormatLineAlign>(formatHandle_, alignment);
}

bool StringFormat::SetTrimming(StringTrimming trimming) {
  return CallStatus<K_GdipSetStringFormatTrimming>(formatHandle_, trimming);
}

// --- Region ---

bool Region::Delete() { return ReleaseWith<K_GdipDeleteRegion>(regionHandle_); }
