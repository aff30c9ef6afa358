// Text drawn with GDI into a surface: the halo lies one offset around the ink, over the ground.
#include <gtest/gtest.h>

#include <vector>

#include "runtime/win_handles.h"
#include "skin/gdi_text.h"

namespace {

constexpr int kW = 160, kH = 40;
constexpr COLORREF kGround = RGB(0x20, 0x40, 0x60), kHalo = RGB(0xF0, 0x10, 0x10), kInk = RGB(0xFF, 0xFF, 0xFF);

// A 32-bit surface filled with the ground colour.
struct Surface {
  OwnedBitmap bitmap;
  OwnedMemoryDc dc{CreateCompatibleDC(nullptr)};
  uint32_t* bits = nullptr;
  Surface() {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kW, -kH, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* pixels = nullptr;
    bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    bits = static_cast<uint32_t*>(pixels);
    SelectObject(dc.get(), bitmap.get());
    for (int i = 0; i < kW * kH; ++i) bits[i] = GetBValue(kGround) | GetGValue(kGround) << 8 | GetRValue(kGround) << 16;
  }
  COLORREF At(int x, int y) const {
    const uint32_t p = bits[y * kW + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
};

struct HaloCase {
  const char* name;
  int offset;
};

class HaloTextTest : public testing::TestWithParam<HaloCase> {};

// With a solid halo, every pixel the plain text inks or that lies `offset` across or down from
// one is changed, and no other: the halo is the ink's footprint moved by the offset each way.
// Fully covered pixels show the ink itself, and some uncovered ones the halo's colour.
TEST_P(HaloTextTest, TheHaloIsTheInksFootprintMovedByTheOffsetEachWay) {
  const int offset = GetParam().offset;
  const RECT area{10, 8, kW - 10, kH - 4};
  const LOGFONTW font = LogicalFont("宋体", 20, 1 /* bold */);
  Surface plain, haloed;
  DrawGdiText(plain.dc.get(), area, L"Hi 转换", font, kInk, DT_LEFT | DT_TOP);
  HaloText line;
  line.text = L"Hi 转换";
  line.font = font;
  line.ink = kInk;
  line.halo = kHalo;
  line.haloAlpha = 255;
  line.haloOffset = offset;
  ASSERT_TRUE(DrawHaloText(haloed.dc.get(), area, line));
  GdiFlush();

  const auto inked = [&](int x, int y) { return x >= 0 && y >= 0 && x < kW && y < kH && plain.At(x, y) != kGround; };
  int inkPixels = 0, haloPixels = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const bool footprint = inked(x, y) || inked(x - offset, y) || inked(x + offset, y) || inked(x, y - offset) ||
                             inked(x, y + offset);
      EXPECT_EQ(haloed.At(x, y) != kGround, footprint) << x << "," << y;
      if (plain.At(x, y) == kInk) {
        EXPECT_EQ(haloed.At(x, y), kInk) << x << "," << y;
        ++inkPixels;
      }
      haloPixels += haloed.At(x, y) == kHalo;
    }
  EXPECT_GT(inkPixels, 20);
  EXPECT_GT(haloPixels, 20);
}

INSTANTIATE_TEST_SUITE_P(Offsets, HaloTextTest, testing::Values(HaloCase{"OnePixel", 1}, HaloCase{"TwoPixels", 2}),
                         [](const testing::TestParamInfo<HaloCase>& p) { return std::string(p.param.name); });

}  // namespace
