// The client's state from its three files, and how the window says it.
#include "app/client_state.h"

#include <algorithm>

namespace {

bool SameBytes(ByteBlock block, std::span<const unsigned char> content) {
  const std::span<const unsigned char> expected(ByteBlockData(block), static_cast<size_t>(ByteBlockLengthOf(block)));
  return std::ranges::equal(expected, content);
}

// By state, in the enumeration's order.
struct StateWords {
  const char* label;     // null: the label's own advice
  const char* switched;  // right after the tool's own switch; null where no switch leads
};
constexpr StateWords kWords[] = {
    {"当前：正服", "已转成正服"},
    {"当前：体验服", "已转成体验服"},
    {"当前：其他设置", nullptr},
    {"当前：缺少配置文件", nullptr},
    {nullptr, nullptr},
};

const StateWords& WordsOf(ClientState state) { return kWords[static_cast<size_t>(state)]; }

}  // namespace

size_t LongestProfileFile() {
  size_t longest = 0;
  for (const ServerProfile* profile : {&LiveServerProfile, &TestServerProfile})
    for (const ProfileEntry& entry : profile->entries)
      longest = std::max(longest, static_cast<size_t>(ByteBlockLengthOf(entry.content)));
  return longest;
}

FileComparison CompareFile(size_t index, std::optional<std::span<const unsigned char>> content) {
  if (!content || index >= LiveServerProfile.entries.size()) return {};
  return {true, SameBytes(LiveServerProfile.entries[index].content, *content),
          SameBytes(TestServerProfile.entries[index].content, *content)};
}

ClientState StateOf(const FolderComparison& files) {
  const auto present = std::ranges::count_if(files, [](const FileComparison& f) { return f.present; });
  if (present == 0) return ClientState::NotClientFolder;
  if (present < static_cast<std::ptrdiff_t>(files.size())) return ClientState::Incomplete;
  if (std::ranges::all_of(files, [](const FileComparison& f) { return f.equalsLive; })) return ClientState::Live;
  if (std::ranges::all_of(files, [](const FileComparison& f) { return f.equalsTest; })) return ClientState::Test;
  return ClientState::Other;
}

bool NeedsBackup(const FolderComparison& files) {
  return StateOf(files) == ClientState::Other ||
         std::ranges::any_of(files, [](const FileComparison& f) { return f.OwnContent(); });
}

TextValue StateLabelText(ClientState state, bool justSwitched) {
  const StateWords& words = WordsOf(state);
  return justSwitched && words.switched ? words.switched : words.label;
}
