// GBK <-> UTF-16 through the system's converters, code page 936 named explicitly.
#include "runtime/wide_text.h"

#include <climits>
#include <cstddef>
#include <cstring>

std::wstring WideFromGbk(std::string_view gbk) {
  if (gbk.empty() || gbk.size() > INT_MAX) return {};
  const int length = static_cast<int>(gbk.size());
  const int units = MultiByteToWideChar(kProgramCodePage, 0, gbk.data(), length, nullptr, 0);
  if (units <= 0) return {};
  std::wstring wide(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(kProgramCodePage, 0, gbk.data(), length, wide.data(), units);
  return wide;
}

std::string GbkFromWide(std::wstring_view wide) {
  if (wide.empty() || wide.size() > INT_MAX) return {};
  const int length = static_cast<int>(wide.size());
  const int bytes = WideCharToMultiByte(kProgramCodePage, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string gbk(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(kProgramCodePage, 0, wide.data(), length, gbk.data(), bytes, nullptr, nullptr);
  return gbk;
}

LOGFONTW WideLogFont(const LOGFONTA& font) {
  LOGFONTW wide;
  // The fields before the face name are the same in both forms.
  static_assert(offsetof(LOGFONTA, lfFaceName) == offsetof(LOGFONTW, lfFaceName));
  std::memcpy(&wide, &font, offsetof(LOGFONTA, lfFaceName));
  // A face of at most LF_FACESIZE - 1 bytes never needs more UTF-16 units than that.
  const size_t faceBytes = strnlen(font.lfFaceName, LF_FACESIZE - 1);
  const std::wstring face = WideFromGbk(std::string_view(font.lfFaceName, faceBytes));
  std::memset(wide.lfFaceName, 0, sizeof wide.lfFaceName);
  face.copy(wide.lfFaceName, LF_FACESIZE - 1);
  return wide;
}
