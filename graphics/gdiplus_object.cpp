// GDI+ start-up and shut-down, the module's status and token, GdipAlloc/GdipFree for the
// wrappers, and the text conversions between GBK and UTF-16.
#include "graphics/gdiplus_object.h"

#include <cstring>

#include "runtime/heap.h"
#include "runtime/value_helpers.h"

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
  const char* bytes = text ? text : "";
  const int units = Declared::MultiByteToWideChar(CP_ACP, 0, bytes, -1, nullptr, 0);
  // A text that does not convert at all still gives a terminated (empty) result.
  const int32_t size = 2 * (units > 0 ? units : 1);
  ByteBlockHeader* block = AllocateByteBlock(size);
  auto* wide = reinterpret_cast<wchar_t*>(block + 1);
  std::memset(wide, 0, static_cast<size_t>(size));
  const int length = static_cast<int>(std::strlen(bytes));
  if (length > 0) Declared::MultiByteToWideChar(CP_ACP, 0, bytes, length, wide, size / 2);
  return OwnedBytes(block);
}

OwnedText FromWideText(const wchar_t* wide) {
  if (!wide || !*wide) return OwnedText();
  const int size = Declared::WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return OwnedText();
  auto* bytes = static_cast<char*>(RuntimeAlloc(size));
  bytes[0] = '\0';
  const int written = Declared::WideCharToMultiByte(CP_ACP, 0, wide, -1, bytes, size, nullptr, nullptr);
  bytes[written > 0 ? written - 1 : 0] = '\0';
  return OwnedText(bytes);
}
