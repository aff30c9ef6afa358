// The one place where the program's GBK texts meet the system's UTF-16 ones. Texts are GBK by
// definition, whatever the system's ANSI code page is, so every conversion names code page 936.
#pragma once

#include <string>
#include <string_view>

inline constexpr unsigned kProgramCodePage = 936;

// GBK bytes as UTF-16; bytes that are no GBK character become U+FFFD, as the system converts them.
std::wstring WideFromGbk(std::string_view gbk);

// UTF-16 as GBK bytes; characters GBK lacks become "?".
std::string GbkFromWide(std::wstring_view wide);
