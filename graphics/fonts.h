// Text for GDI+: Font, FontFamily, FontCollection, StringFormat, and Region, which serves the
// measuring of character ranges.
#pragma once

#include "graphics/flat_methods.h"
#include "graphics/gdiplus_object.h"

class FontCollection;

// A family wrapper does not release its family when it is destroyed; only Delete does.
class FontFamily : public GdiPlusObject {
 public:
  bool Delete();
  // GDI+ family of that name in the collection (the installed fonts for an empty collection).
  bool CreateFromName(TextValue name, const FontCollection& collection);
  // The installed family of this UTF-16 name.
  bool CreateFromWideName(const wchar_t* name);
  // The family name (at most 31 characters) in GBK; the empty text when it cannot be read.
  OwnedText GetName() const;

#define FLAT_METHODS_NATIVE Gdiplus::GpFontFamily
#define FLAT_METHODS_HANDLE familyHandle_
#include "graphics/flat_methods.inc"

 protected:
  void OnHandleSet(void* h) override { familyHandle_ = static_cast<Gdiplus::GpFontFamily*>(h); }

 private:
  Gdiplus::GpFontFamily* familyHandle_ = nullptr;
};

// The installed fonts while its handle is 0, which it always is here.
class FontCollection : public GdiPlusObject {
 public:
#define FLAT_METHODS_NATIVE Gdiplus::GpFontCollection
#define FLAT_METHODS_HANDLE collectionHandle_
#include "graphics/flat_methods.inc"

 protected:
  void OnHandleSet(void* h) override { collectionHandle_ = static_cast<Gdiplus::GpFontCollection*>(h); }

 private:
  Gdiplus::GpFontCollection* collectionHandle_ = nullptr;
};

class Font : public GdiPlusObject {
 public:
  Font() = default;
  ~Font() override { Delete(); }

  bool Delete();
  // By family name through a temporary family of the installed fonts. Style and unit are passed
  // as they are (0, regular and world, when left out). False with handle 0 when the family is
  // not installed.
  bool Create(TextValue familyName, float size, OptionalArg<int32_t> style = {},
              OptionalArg<Gdiplus::Unit> unit = {});
  // Like Create, with a family that exists and shows every character of `text` (GBK): the named
  // family when it is installed and has the glyphs; else the family of the font GDI's mapper
  // picks for the same request, or of the system's message font (runtime/font_faces.h). Only
  // when no family at all can be found, the default GUI font.
  bool CreateShowing(TextValue familyName, float size, int32_t style, Gdiplus::Unit unit, TextValue text);
  // The GDI font `font` as GDI+ sees it on `dc`; the font selected into `dc` when font is 0 or
  // cannot be read.
  bool FromHdcAndHfont(HDC dc, HFONT font);
  // The default GUI font of the screen.
  bool CreateDefault();
  // The family is given to `family` with SetHandle; the caller deletes it.
  bool GetFamily(FontFamily& family) const;
  // Style bits; -1 when they cannot be read.
  int32_t GetStyle() const;
  // Em size in the font's unit; 0 when it cannot be read.
  float GetSize() const;

#define FLAT_METHODS_NATIVE Gdiplus::GpFont
#define FLAT_METHODS_HANDLE fontHandle_
#include "graphics/flat_methods.inc"

 protected:
  void OnHandleSet(void* h) override { fontHandle_ = static_cast<Gdiplus::GpFont*>(h); }

 private:
  bool FromLogFont(HDC dc, HGDIOBJ font);

  Gdiplus::GpFont* fontHandle_ = nullptr;
};

class StringFormat : public GdiPlusObject {
 public:
  StringFormat() = default;
  ~StringFormat() override { Delete(); }

  bool Delete();
  // Flags and language are passed as they are, 0 when left out.
  bool Create(OptionalArg<int32_t> flags = {}, OptionalArg<LANGID> language = {});
  bool SetAlignment(Gdiplus::StringAlignment alignment);
  bool SetLineAlignment(Gdiplus::StringAlignment alignment);
  bool SetTrimming(Gdiplus::StringTrimming trimming);

#define FLAT_METHODS_NATIVE Gdiplus::GpStringFormat
#define FLAT_METHODS_HANDLE formatHandle_
#include "graphics/flat_methods.inc"

 protected:
  void OnHandleSet(void* h) override { formatHandle_ = static_cast<Gdiplus::GpStringFormat*>(h); }

 private:
  Gdiplus::GpStringFormat* formatHandle_ = nullptr;
};

class Region : public GdiPlusObject {
 public:
  Region() = default;
  ~Region() override { Delete(); }

  bool Delete();

#define FLAT_METHODS_NATIVE Gdiplus::GpRegion
#define FLAT_METHODS_HANDLE regionHandle_
#include "graphics/flat_methods.inc"

 protected:
  void OnHandleSet(void* h) override { regionHandle_ = static_cast<Gdiplus::GpRegion*>(h); }

 private:
  Gdiplus::GpRegion* regionHandle_ = nullptr;
};
