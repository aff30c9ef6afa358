// Window texts read back from where the window keeps them: whole at every length, in UTF-16 and
// in GBK, whatever the ANSI code page is.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "runtime/system_text.h"

namespace {

class StoredWindowTextLength : public testing::TestWithParam<size_t> {};

// Around the first buffer's 256 units and well past it.
TEST_P(StoredWindowTextLength, ReadsTheWholeTextInBothForms) {
  std::wstring text;
  std::string gbk;
  for (size_t i = 0; i < GetParam(); ++i) {
    text += i % 2 ? L'服' : L'a';
    gbk += i % 2 ? "服" : "a";
  }
  HWND window = CreateWindowExW(0, L"STATIC", text.c_str(), WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(StoredWindowText(window), text);
  EXPECT_EQ(StoredWindowTextAsGbk(window), gbk);
  DestroyWindow(window);
}

INSTANTIATE_TEST_SUITE_P(Lengths, StoredWindowTextLength, testing::Values(0, 1, 254, 255, 256, 600));

TEST(StoredWindowText, NoWindowHasNoText) { EXPECT_EQ(StoredWindowText(nullptr), L""); }

}  // namespace
