// GDI+ start-up and shut-down, the module's status and token, GdipAlloc/GdipFree for the
// wrappers, and the text conversions between GBK and UTF-16.
#include "graphics/gdiplus_object.h"

#include <string>

#include "runtime/value_helpers.h"
#include "runtime/wide_text.h"

int32_t lastStatus = 0;
uintptr_t startedToken = 0;

uintptr_t StartGdiPlus(OptionalArg<uint32_t> version) {
  // No debug callback, the background thread and the external codecs both kept.
  Gdiplus::GdiplusStartupInput input(nullptr, FALSE, FALSE);
  input.GdiplusVersion = version.Or(1);
  ULONG_PTR token = 0;
  lastStatus = Declared::GdiplusStartup(&token, &input, nullptr);
  startedToken = token;
  return token;
}

void ShutdownGdiPlus(OptionalArg<uintptr_t> token) {
  uintptr_t ending = token.value;
  if (!token.given) {
    ending = startedToken;
    startedToken = 0;
  } else if (ending == startedToken) {
    startedToken = 0;
  }
  if (ending != 0) Declared::GdiplusShutdown(ending);
}

void* GdiPlusObject::Alloc(size_t size) { return Declared::GdipAlloc(size); }

void GdiPlusObject::Free(void* p) { Declared::GdipFree(p); }

OwnedBytes ToWideText(TextValue text) {
  // c_str() brings the terminator along; a text that does not convert gives it alone.
  const std::wstring wide = WideFromText(text);
  return NewByteBlock({reinterpret_cast<const unsigned char*>(wide.c_str()), 2 * (wide.size() + 1)});
}

OwnedText FromWideText(const wchar_t* wide) { return NewText(wide ? GbkFromWide(wide) : std::string()); }
