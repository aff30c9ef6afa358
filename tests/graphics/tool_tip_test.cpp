// A real tool-tip window under Wine: its class and style, tools added with their rectangles and
// texts, moved, re-texted and deleted, all read back from the control itself (texts in the wide
// form, as the control shows them whatever the ANSI code page is).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "graphics/tool_tip.h"

namespace {

class ToolTipWindow : public testing::Test {
 protected:
  void SetUp() override {
    owner_ = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(owner_, nullptr);
  }
  void TearDown() override {
    if (tip_.GetHandle()) DestroyWindow(tip_.GetHandle());
    DestroyWindow(owner_);
  }

  LRESULT ToolCount() const { return SendMessageA(tip_.GetHandle(), TTM_GETTOOLCOUNT, 0, 0); }

  // Rectangle and text of tool `id` as the control holds them; false when it has no such tool.
  bool ReadTool(UINT_PTR id, RECT& rect, std::wstring& text) const {
    wchar_t buffer[256] = L"sentinel";
    TOOLINFOW info = {};
    info.cbSize = TTTOOLINFOW_V1_SIZE;
    info.hwnd = owner_;
    info.uId = id;
    if (!SendMessageW(tip_.GetHandle(), TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info))) return false;
    rect = info.rect;
    info.lpszText = buffer;
    SendMessageW(tip_.GetHandle(), TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&info));
    text = buffer;
    return true;
  }

  HWND owner_ = nullptr;
  ToolTip tip_;
};

TEST_F(ToolTipWindow, CreateMakesARectangularOrBalloonTipOfTheToolTipClass) {
  for (bool balloon : {false, true}) {
    ToolTip tip;
    EXPECT_EQ(tip.GetHandle(), nullptr);
    HWND window = balloon ? tip.Create(owner_, true) : tip.Create(owner_);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(tip.GetHandle(), window);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    EXPECT_EQ(lstrcmpiA(className, "ToolTips_class32"), 0) << className;
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & (TTS_ALWAYSTIP | TTS_NOPREFIX | TTS_BALLOON), balloon ? 0x41 : 0x01);
    EXPECT_EQ(GetParent(window), nullptr);
    DestroyWindow(window);
  }
}

TEST_F(ToolTipWindow, ToolsCarryTheirRectanglesAndTexts) {
  ASSERT_NE(tip_.Create(owner_), nullptr);
  tip_.AddTool({10, 20, 36, 38}, "最小化", 1);
  tip_.AddTool({40, 20, 80, 38}, "关闭", 2);
  tip_.AddCallbackTool({90, 0, 100, 10}, 3);
  EXPECT_EQ(ToolCount(), 3);

  RECT rect = {};
  std::wstring text;
  ASSERT_TRUE(ReadTool(1, rect, text));
  EXPECT_EQ(rect.left, 10);
  EXPECT_EQ(rect.top, 20);
  EXPECT_EQ(rect.right, 36);
  EXPECT_EQ(rect.bottom, 38);
  EXPECT_EQ(text, L"最小化");
  ASSERT_TRUE(ReadTool(2, rect, text));
  EXPECT_EQ(rect.left, 40);
  EXPECT_EQ(text, L"关闭");

  tip_.SetToolText(1, "最大化");
  tip_.SetToolRect(2, {50, 21, 90, 39});
  ASSERT_TRUE(ReadTool(1, rect, text));
  EXPECT_EQ(text, L"最大化");
  EXPECT_EQ(rect.left, 10);
  ASSERT_TRUE(ReadTool(2, rect, text));
  EXPECT_EQ(rect.left, 50);
  EXPECT_EQ(rect.top, 21);
  EXPECT_EQ(rect.right, 90);
  EXPECT_EQ(rect.bottom, 39);
  EXPECT_EQ(text, L"关闭");

  tip_.DeleteTool(2);
  EXPECT_EQ(ToolCount(), 2);
  EXPECT_FALSE(ReadTool(2, rect, text));
}

TEST_F(ToolTipWindow, ColoursAndWidthReportWhatWasThereBefore) {
  ASSERT_NE(tip_.Create(owner_), nullptr);
  tip_.SetBackColor(RGB(1, 2, 3));
  EXPECT_EQ(SendMessageA(tip_.GetHandle(), TTM_GETTIPBKCOLOR, 0, 0), RGB(1, 2, 3));
  tip_.SetTextColor(RGB(4, 5, 6));
  EXPECT_EQ(SendMessageA(tip_.GetHandle(), TTM_GETTIPTEXTCOLOR, 0, 0), RGB(4, 5, 6));
  EXPECT_EQ(tip_.SetMaxWidth(200), -1);
  EXPECT_EQ(tip_.SetMaxWidth(300), 200);
}

TEST_F(ToolTipWindow, BeforeCreateNothingIsSent) {
  tip_.AddTool({0, 0, 10, 10}, "帮助", 1);
  tip_.SetToolText(1, "帮助");
  EXPECT_EQ(tip_.SetMaxWidth(100), 0);
  EXPECT_EQ(tip_.GetHandle(), nullptr);
}

}  // namespace
