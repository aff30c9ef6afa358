// The window template table as the generator writes it and the reader reads it back: every
// field in its place, property blocks with their versions and defaults, handlers by offset,
// and thousands of truncated and corrupted tables that the reader must refuse without reading
// past them.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "runtime/constant_segment.h"
#include "runtime/templates/property_blocks.h"
#include "runtime/templates/template_program.h"
#include "runtime/templates/window_template.h"
#include "runtime/value.h"
#include "tests/runtime/templates/reader_handlers.h"

extern const TemplateProgram ReaderTestTemplates;

int handlerCalls = 0;
void OnWindowCreated() { ++handlerCalls; }
int32_t OnButtonClick() { return 42; }
std::optional<int32_t> OnLeftDown(int32_t x, int32_t y, int32_t keys) {
  if (keys != 0) return std::nullopt;
  return x * 1000 + y;
}

namespace {

std::vector<WindowTemplate> ReadAll() {
  auto windows = ReadWindowTemplates(ReaderTestTemplates.table);
  EXPECT_TRUE(windows.has_value());
  return windows.value_or(std::vector<WindowTemplate>{});
}

EventHandler HandlerOf(const UnitRecord& unit, int32_t event) {
  for (const EventBinding& binding : unit.events)
    if (binding.event == event) return HandlerAtOffset(ReaderTestTemplates, binding.handler);
  return nullptr;
}

TEST(WindowTemplates, TableLiesInTheConstants) {
  EXPECT_TRUE(InConstantSegment(ReaderTestTemplates.table.data()));
}

TEST(WindowTemplates, ReadBackEveryGenericField) {
  const std::vector<WindowTemplate> windows = ReadAll();
  ASSERT_EQ(windows.size(), 2u);
  const WindowTemplate& main = windows[0];
  EXPECT_EQ(main.id, 0x52010001u);
  EXPECT_EQ(main.carried[0], 7);
  EXPECT_EQ(main.carried[1], 9);
  EXPECT_EQ(main.name, "主窗口");
  ASSERT_EQ(main.units.size(), 5u);

  const UnitRecord& window = main.units[0];
  EXPECT_EQ(window.id, 0x06010000u);
  EXPECT_EQ(window.type, uint32_t{TC_WINDOW});
  EXPECT_EQ(window.name, "");
  EXPECT_EQ(window.left, 50);
  EXPECT_EQ(window.top, 60);
  EXPECT_EQ(window.width, 361);
  EXPECT_EQ(window.height, 318);
  EXPECT_EQ(window.flags, UNIT_VISIBLE);

  const UnitRecord& button = main.units[1];
  EXPECT_EQ(button.id, 0x160100C9u);
  EXPECT_EQ(button.type, 0x0001000Bu);
  EXPECT_EQ(button.name, "按钮1");
  EXPECT_EQ(button.tag, "12");
  EXPECT_EQ(button.flags, UNIT_VISIBLE | UNIT_TABSTOP);
  EXPECT_EQ((std::vector<int32_t>{button.left, button.top, button.width, button.height}),
            (std::vector<int32_t>{216, 240, 128, 64}));

  const UnitRecord& group = main.units[4];
  EXPECT_EQ(group.type, 0x00010009u);
  EXPECT_EQ(group.link, 0x160100C9u);
  EXPECT_EQ(group.children, std::vector<uint32_t>{0x16010091u});
  EXPECT_EQ(group.flags, UNIT_VISIBLE | UNIT_DISABLED);
  ASSERT_EQ(group.properties.size(), 4u);
  EXPECT_EQ(group.properties[0], 1);
}

TEST(WindowTemplates, HandlersAreFoundByTheirOffsets) {
  const std::vector<WindowTemplate> windows = ReadAll();
  ASSERT_FALSE(windows.empty());
  const auto& units = windows[0].units;
  // Event 3 of the window is bound to no handler, stored as -1.
  ASSERT_EQ(units[0].events.size(), 2u);
  EXPECT_EQ(units[0].events[1].event, 3);
  EXPECT_EQ(units[0].events[1].handler, -1);
  EXPECT_EQ(HandlerOf(units[0], 3), nullptr);

  handlerCalls = 0;
  const HandlerResult created = HandlerOf(units[0], 0)({});
  EXPECT_EQ(handlerCalls, 1);
  EXPECT_FALSE(created.given);

  const HandlerResult click = HandlerOf(units[1], 0)({});
  EXPECT_TRUE(click.given);
  EXPECT_EQ(click.value, 42);

  // The button and the picture box share one handler, hence one offset.
  EXPECT_EQ(units[1].events[0].handler, units[2].events[0].handler);
  const int32_t press[] = {3, 4, 0};
  const HandlerResult pressed = HandlerOf(units[2], -1)(std::span<const int32_t>(press));
  EXPECT_TRUE(pressed.given);
  EXPECT_EQ(pressed.value, 3004);
  const int32_t withCtrl[] = {3, 4, 1};
  EXPECT_FALSE(HandlerOf(units[2], -1)(std::span<const int32_t>(withCtrl)).given);
  EXPECT_EQ(HandlerOf(units[2], -1)({}).value, 0);  // missing arguments read as 0
  EXPECT_EQ(HandlerAtOffset(ReaderTestTemplates, 12345), nullptr);
}

TEST(PropertyBlocks, ReadWhatTheGeneratorWrote) {
  const std::vector<WindowTemplate> windows = ReadAll();
  ASSERT_FALSE(windows.empty());
  const auto& units = windows[0].units;

  const auto window = ReadWindowProperties(units[0].properties);
  ASSERT_TRUE(window);
  EXPECT_EQ(window->version, 6);
  EXPECT_EQ(window->borderStyle, 0);
  EXPECT_EQ(window->minimiseBox, 1);
  EXPECT_EQ(window->maximiseBox, 0);
  EXPECT_EQ(window->backColour, kSystemButtonFace);
  EXPECT_EQ(window->startPosition, 1);
  EXPECT_EQ(window->title, "测试窗口");
  EXPECT_EQ(window->icon.size(), 4u);
  EXPECT_TRUE(window->className.empty());

  const auto button = ReadButtonProperties(units[1].properties);
  ASSERT_TRUE(button);
  EXPECT_EQ(button->caption, "打开");
  EXPECT_EQ(button->horizontalAlignment, 1);
  EXPECT_FALSE(button->font.isLogicalFont());

  const auto picture = ReadPictureBoxProperties(units[2].properties);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->displayMode, 1);
  EXPECT_EQ(picture->picture.size(), 4u);

  const auto label = ReadTransLabelProperties(units[3].properties);
  ASSERT_TRUE(label);
  EXPECT_EQ(label->textColour, 0x008000u);
  EXPECT_EQ(label->caption, "先把转换器放到飞车目录里");
  ASSERT_TRUE(label->font.isLogicalFont());
  int32_t height = 0;
  std::memcpy(&height, label->font.bytes.data(), 4);
  EXPECT_EQ(height, -20);
  EXPECT_EQ(label->font.bytes[23], 134);   // character set
  EXPECT_EQ(label->font.bytes[27], 0x31);  // pitch and family
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(label->font.bytes.data() + 28)), "楷体");
}

TEST(PropertyBlocks, OldWindowVersionTakesDefaultsForNewerFields) {
  const std::vector<WindowTemplate> windows = ReadAll();
  ASSERT_EQ(windows.size(), 2u);
  const auto window = ReadWindowProperties(windows[1].units[0].properties);
  ASSERT_TRUE(window);
  EXPECT_EQ(window->version, 1);
  EXPECT_EQ(window->borderStyle, 1);
  EXPECT_EQ(window->shownInTaskbar, 1);
  EXPECT_EQ(window->alwaysOnTop, 0);
  EXPECT_TRUE(window->className.empty());
  EXPECT_EQ(window->title, "旧版");
}

TEST(PropertyBlocks, UnknownVersionsAreRejected) {
  const std::vector<WindowTemplate> windows = ReadAll();
  ASSERT_FALSE(windows.empty());
  const auto& units = windows[0].units;
  auto withVersion = [](std::span<const unsigned char> block, int32_t version) {
    std::vector<unsigned char> copy(block.begin(), block.end());
    std::memcpy(copy.data(), &version, 4);
    return copy;
  };
  EXPECT_FALSE(ReadWindowProperties(withVersion(units[0].properties, 7)));
  EXPECT_FALSE(ReadWindowProperties(withVersion(units[0].properties, 0)));
  EXPECT_FALSE(ReadButtonProperties(withVersion(units[1].properties, 2)));
  EXPECT_FALSE(ReadPictureBoxProperties(withVersion(units[2].properties, 3)));
  EXPECT_FALSE(ReadTransLabelProperties(withVersion(units[3].properties, 2)));
}

// Every property reader on every prefix of its block: all but the whole block are refused.
TEST(PropertyBlocks, RefuseEveryTruncation) {
  const std::vector<WindowTemplate> windows = ReadAll();
  ASSERT_FALSE(windows.empty());
  const auto& units = windows[0].units;
  for (size_t n = 0; n < units[0].properties.size(); ++n)
    EXPECT_FALSE(ReadWindowProperties(units[0].properties.first(n))) << n;
  for (size_t n = 0; n < units[3].properties.size(); ++n)
    EXPECT_FALSE(ReadTransLabelProperties(units[3].properties.first(n))) << n;
  for (size_t n = 0; n < units[1].properties.size(); ++n)
    EXPECT_FALSE(ReadButtonProperties(units[1].properties.first(n))) << n;
  for (size_t n = 0; n < units[2].properties.size(); ++n)
    EXPECT_FALSE(ReadPictureBoxProperties(units[2].properties.first(n))) << n;
}

// Each mutated table is copied into a buffer of exactly its size, so that the sanitizers report
// any read past its end.
bool ReadCopy(const std::vector<unsigned char>& bytes) {
  std::vector<unsigned char> exact(bytes);
  const auto windows = ReadWindowTemplates(exact);
  if (!windows) return false;
  for (const WindowTemplate& w : *windows)
    for (const UnitRecord& u : w.units) {
      ReadWindowProperties(u.properties);
      ReadButtonProperties(u.properties);
      ReadPictureBoxProperties(u.properties);
      ReadTransLabelProperties(u.properties);
    }
  return true;
}

TEST(WindowTemplates, RefuseEveryTruncation) {
  const std::vector<unsigned char> table(ReaderTestTemplates.table.begin(), ReaderTestTemplates.table.end());
  ASSERT_TRUE(ReadCopy(table));
  for (size_t n = 0; n < table.size(); ++n)
    EXPECT_FALSE(ReadCopy(std::vector<unsigned char>(table.begin(), table.begin() + static_cast<long>(n)))) << n;
  std::vector<unsigned char> longer(table);
  longer.push_back(0);
  EXPECT_FALSE(ReadCopy(longer));
}

TEST(WindowTemplates, SurviveSeededCorruption) {
  const std::vector<unsigned char> table(ReaderTestTemplates.table.begin(), ReaderTestTemplates.table.end());
  const int32_t interesting[] = {0, -1, 1, 4, 8, 0x7FFFFFFF, static_cast<int32_t>(0x80000000), 0x10000, 1000};
  std::mt19937 random(20261208);
  int refused = 0;
  constexpr int kCases = 30000;
  for (int i = 0; i < kCases; ++i) {
    std::vector<unsigned char> mutated(table);
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits; ++e) {
      const size_t at = random() % mutated.size();
      switch (random() % 3) {
        case 0:
          mutated[at] ^= static_cast<unsigned char>(1u << (random() % 8));
          break;
        case 1:
          mutated[at] = static_cast<unsigned char>(random());
          break;
        default: {
          const size_t word = (at & ~size_t{3}) + 4 <= mutated.size() ? (at & ~size_t{3}) : 0;
          const int32_t value = interesting[random() % std::size(interesting)];
          std::memcpy(mutated.data() + word, &value, 4);
        }
      }
    }
    if (random() % 4 == 0) mutated.resize(random() % mutated.size());
    refused += ReadCopy(mutated) ? 0 : 1;
  }
  // Most corruptions break the structure; the rest hit texts and values the reader cannot judge.
  EXPECT_GT(refused, kCases / 3);
}

}  // namespace
