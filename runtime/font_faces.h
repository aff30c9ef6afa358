// Font faces that exist and can show a text: what GDI's font mapper makes of a logical font, and
// whether the face it settles on has a glyph for every character of the text.
//
// Measured under Wine 8 in a prefix without font replacements: a face that is not installed
// ("宋体", "楷体") is mapped by GDI to some installed font, which under code page 936 is a CJK one
// (WenQuanYi Micro Hei, named "文泉驿微米黑" by GetTextFaceW) but under 1252 is DejaVu Sans, with no
// Chinese glyphs, unless the logical font asks for the GB2312 character set (then AR PL UKai CN).
// GDI+ finds a family only by a name that is installed (GetTextFaceW's answer works), and draws
// boxes for characters its face lacks: it links no fallback fonts.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Whether the font selected into `dc` has its own glyph for every character of `text`; control
// characters (line breaks) need none.
bool SelectedFontShows(HDC dc, std::wstring_view text);

// A logical font like `wanted` whose face exists and shows every character of `text`. Tried in
// this order, each through GDI's mapper: `wanted` itself; `wanted` with the GB2312 character set
// when the text goes beyond ASCII; the system's message font face at `wanted`'s size, with its
// character set and then GB2312. The first whose mapped face shows the text and is `usable`
// wins, with that face written into it; when none shows all of it, the first usable one. None
// only when no face is usable. `usable` (every face when not given) lets a caller that draws by
// other means than GDI turn down faces it cannot find.
std::optional<LOGFONTW> FontShowing(const LOGFONTW& wanted, std::wstring_view text,
                                    const std::function<bool(const std::wstring& face)>& usable = {});
