// Faces that exist and show a text, found through GDI's font mapper.
#include "runtime/font_faces.h"

#include <cwchar>
#include <vector>

#include "runtime/win_handles.h"

namespace {

bool BeyondAscii(std::wstring_view text) {
  for (const wchar_t c : text)
    if (c > 0x7F) return true;
  return false;
}

LOGFONTW WithFace(LOGFONTW font, const wchar_t* face) {
  wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
  font.lfFaceName[LF_FACESIZE - 1] = L'\0';
  return font;
}

LOGFONTW WithCharSet(LOGFONTW font, BYTE charSet) {
  font.lfCharSet = charSet;
  return font;
}

// What GDI's mapper makes of `font` on a memory DC: the face it settled on (its own when that is
// installed, else a stand-in), and whether that face shows the text.
struct Mapping {
  std::wstring face;
  bool shows = false;
};

Mapping Map(const LOGFONTW& font, std::wstring_view text) {
  const OwnedMemoryDc dc(CreateCompatibleDC(nullptr));
  const OwnedFont made(CreateFontIndirectW(&font));
  if (!dc || !made) return {};
  const Selection selected(dc.get(), made.get());
  wchar_t face[LF_FACESIZE] = {};
  if (GetTextFaceW(dc.get(), LF_FACESIZE, face) <= 0) return {};
  return Mapping{face, SelectedFontShows(dc.get(), text)};
}

}  // namespace

bool SelectedFontShows(HDC dc, std::wstring_view text) {
  std::wstring shown;
  for (const wchar_t c : text)
    if (c >= 0x20) shown.push_back(c);
  if (shown.empty()) return true;
  std::vector<WORD> glyphs(shown.size());
  if (GetGlyphIndicesW(dc, shown.c_str(), static_cast<int>(shown.size()), glyphs.data(),
                       GGI_MARK_NONEXISTING_GLYPHS) != shown.size())
    return false;
  for (const WORD glyph : glyphs)
    if (glyph == 0xFFFF) return false;
  return true;
}

std::optional<LOGFONTW> FontShowing(const LOGFONTW& wanted, std::wstring_view text,
                                    const std::function<bool(const std::wstring& face)>& usable) {
  std::vector<LOGFONTW> candidates{wanted};
  const bool chinese = BeyondAscii(text);
  if (chinese && wanted.lfCharSet != GB2312_CHARSET) candidates.push_back(WithCharSet(wanted, GB2312_CHARSET));
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    const LOGFONTW message = WithCharSet(WithFace(wanted, metrics.lfMessageFont.lfFaceName),
                                         metrics.lfMessageFont.lfCharSet);
    candidates.push_back(message);
    if (chinese && message.lfCharSet != GB2312_CHARSET) candidates.push_back(WithCharSet(message, GB2312_CHARSET));
  }

  // The caller's test may cost more than the mapping: it is asked only of a face that would win.
  std::optional<LOGFONTW> firstUsable;
  for (const LOGFONTW& candidate : candidates) {
    const Mapping mapping = Map(candidate, text);
    if (mapping.face.empty() || (!mapping.shows && firstUsable) || (usable && !usable(mapping.face))) continue;
    const LOGFONTW found = WithFace(candidate, mapping.face.c_str());
    if (mapping.shows) return found;
    firstUsable = found;
  }
  return firstUsable;
}
