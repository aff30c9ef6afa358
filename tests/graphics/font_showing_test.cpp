// Fonts made for a text: whatever face is asked for, the font GDI+ gets has a face that exists
// and a glyph of its own for every character of the text, and an installed face that shows the
// text is kept. Run with and without the prefix's font replacements, under 936 and 1252.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/fonts.h"
#include "runtime/wide_text.h"

namespace {

struct FontCase {
  const char* name;  // for the test's name
  const char* face;  // GBK, as the skin's records hold it
  const char* text;  // GBK
  // The installed face shows the text and must be the one used.
  bool kept;
};

// Whether GDI draws `face` itself (not a stand-in) and finds a glyph in it for every printable
// character of `text`.
bool FaceShows(const std::wstring& face, const std::wstring& text) {
  LOGFONTW description{};
  description.lfHeight = -16;
  description.lfCharSet = DEFAULT_CHARSET;
  face.copy(description.lfFaceName, LF_FACESIZE - 1);
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = CreateFontIndirectW(&description);
  HGDIOBJ previous = SelectObject(dc, font);
  wchar_t used[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, used);
  std::wstring printable;
  for (wchar_t c : text)
    if (c >= 0x20) printable += c;
  std::vector<WORD> glyphs(printable.size() + 1);
  const DWORD found = GetGlyphIndicesW(dc, printable.c_str(), static_cast<int>(printable.size()), glyphs.data(),
                                       GGI_MARK_NONEXISTING_GLYPHS);
  SelectObject(dc, previous);
  DeleteObject(font);
  DeleteDC(dc);
  bool all = found == printable.size();
  for (size_t i = 0; i < printable.size(); ++i) all = all && glyphs[i] != 0xFFFF;
  return used == face && all;
}

class FontShowingCase : public testing::TestWithParam<FontCase> {};

TEST_P(FontShowingCase, HasAFaceThatExistsAndShowsTheText) {
  const FontCase& c = GetParam();
  Font font;
  ASSERT_TRUE(font.CreateShowing(c.face, 12, Gdiplus::FontStyleBold, Gdiplus::UnitPixel, c.text));
  EXPECT_EQ(font.GetSize(), 12.0f);
  EXPECT_EQ(font.GetStyle(), Gdiplus::FontStyleBold);
  FontFamily family;
  ASSERT_TRUE(font.GetFamily(family));
  const std::wstring used = WideFromText(family.GetName().get());
  family.Delete();
  EXPECT_TRUE(FaceShows(used, WideFromText(c.text))) << GbkFromWide(used);
  if (c.kept) {
    FontFamily asked;
    const FontCollection installed;
    ASSERT_TRUE(asked.CreateFromName(c.face, installed));
    EXPECT_EQ(GbkFromWide(used), std::string(asked.GetName().get()));
    asked.Delete();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faces, FontShowingCase,
    testing::Values(
        // Not installed where the prefix has no replacements; a stand-in of the mapper's under 936
        // and no Chinese glyphs at all under 1252 unless the Chinese character set is asked for.
        FontCase{"CaptionFace", "宋体", "Quorv Varnel1018 支持互转", false},
        FontCase{"LabelFace", "楷体", "先把转换器放到飞车目录里", false},
        // Installed, but without Chinese glyphs: existing is not enough.
        FontCase{"LatinFaceChineseText", "DejaVu Sans", "正服转体验服", false},
        // Installed and showing the text: no stand-in.
        FontCase{"LatinFaceLatinText", "DejaVu Sans", "Quorv Varnel1018", true},
        // Line breaks have no glyph and need none.
        FontCase{"LineBreaks", "宋体", "转换前\r\n请先到官网", false},
        // Nothing to show: still a font.
        FontCase{"NoSuchFaceNoText", "No Such Face", "", false}),
    [](const testing::TestParamInfo<FontCase>& named) { return std::string(named.param.name); });

}  // namespace
