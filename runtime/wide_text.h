// The one place where the program's GBK texts meet the system's UTF-16 ones. Texts are GBK by
// definition, whatever the system's ANSI code page is, so every conversion names code page 936.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "runtime/value.h"

inline constexpr unsigned kProgramCodePage = 936;

// GBK bytes as UTF-16; bytes that are no GBK character become U+FFFD, as the system converts them.
std::wstring WideFromGbk(std::string_view gbk);
// A program text (NUL-terminated, null being the empty text) as UTF-16.
inline std::wstring WideFromText(TextValue text) { return WideFromGbk(text ? text : ""); }

// UTF-16 as GBK bytes; characters GBK lacks become "?".
std::string GbkFromWide(std::wstring_view wide);

// A logical font whose face name is GBK (as the program's font fields hold it), with the face
// name in UTF-16 and every other field as it was.
LOGFONTW WideLogFont(const LOGFONTA& font);
