// The client's state from the contents of its three files, whether a switch must back them up
// first, the words for each state, and the backup folders' names and order.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/backup_names.h"
#include "app/client_state.h"
#include "tests/app/profile_content.h"

namespace {

using FileContent = std::optional<std::string>;
const std::string kLive[3] = {Content(LiveServerProfile, 0), Content(LiveServerProfile, 1), Content(LiveServerProfile, 2)};
const std::string kTest[3] = {Content(TestServerProfile, 0), Content(TestServerProfile, 1), Content(TestServerProfile, 2)};

struct FolderCase {
  const char* name;
  FileContent files[3];  // DirSvrInfo1.ini, VER.ini, WorldDef.ini; nothing: missing
  ClientState state;
  bool backup;
};

FolderComparison Compare(const FolderCase& c) {
  FolderComparison files;
  for (size_t i = 0; i < 3; ++i) {
    if (!c.files[i]) continue;
    const auto* bytes = reinterpret_cast<const unsigned char*>(c.files[i]->data());
    files[i] = CompareFile(i, std::span<const unsigned char>(bytes, c.files[i]->size()));
  }
  return files;
}

class ClientFolderState : public testing::TestWithParam<FolderCase> {};

TEST_P(ClientFolderState, ComesFromAllThreeFilesByteForByte) {
  const FolderComparison files = Compare(GetParam());
  EXPECT_EQ(StateOf(files), GetParam().state);
  EXPECT_EQ(NeedsBackup(files), GetParam().backup);
}

const std::string kLiveVerWithoutLastBreak = kLive[1].substr(0, kLive[1].size() - 2);

INSTANTIATE_TEST_SUITE_P(
    Folders, ClientFolderState,
    testing::Values(
        FolderCase{"Live", {kLive[0], kLive[1], kLive[2]}, ClientState::Live, false},
        FolderCase{"Test", {kTest[0], kTest[1], kTest[2]}, ClientState::Test, false},
        // The game's updater wrote a newer version.
        FolderCase{"UpdatedVersion", {kLive[0], "[info]\r\nversion=191\r\n", kLive[2]}, ClientState::Other, true},
        // Each file is one of the tool's, the set neither profile: kept whole all the same.
        FolderCase{"MixedProfiles", {kLive[0], kTest[1], kLive[2]}, ClientState::Other, true},
        // Equal up to the end of the shorter one, either way round.
        FolderCase{"ProfileMissingItsLastBreak", {kLive[0], kLiveVerWithoutLastBreak, kLive[2]}, ClientState::Other, true},
        FolderCase{"ProfileWithMore", {kTest[0], kTest[1] + "\r\n", kTest[2]}, ClientState::Other, true},
        FolderCase{"EmptyFiles", {"", "", ""}, ClientState::Other, true},
        FolderCase{"OneMissing", {kLive[0], std::nullopt, kLive[2]}, ClientState::Incomplete, false},
        // A player's own server list beside a missing file is kept too.
        FolderCase{"OwnListAlone", {"[ServerInfo1]\r\nIP=10.0.0.1\r\n", std::nullopt, std::nullopt},
                   ClientState::Incomplete, true},
        FolderCase{"NoneThere", {std::nullopt, std::nullopt, std::nullopt}, ClientState::NotClientFolder, false}),
    [](const testing::TestParamInfo<FolderCase>& p) { return std::string(p.param.name); });

// The label says each state in words of its own; a folder that is not a client's keeps the
// label's advice; a switch is said as done only where it leads.
TEST(ClientStateWords, AreDistinctAndSayASwitchOnlyWhereOneLeads) {
  const ClientState states[] = {ClientState::Live, ClientState::Test, ClientState::Other, ClientState::Incomplete};
  std::set<std::string> shown;
  for (const ClientState state : states) {
    ASSERT_NE(StateLabelText(state, false), nullptr);
    shown.insert(StateLabelText(state, false));
    shown.insert(StateLabelText(state, true));
  }
  EXPECT_EQ(shown.size(), 6u);  // four states, two of them also as a finished switch
  EXPECT_STRNE(StateLabelText(ClientState::Live, true), StateLabelText(ClientState::Live, false));
  EXPECT_STREQ(StateLabelText(ClientState::Other, true), StateLabelText(ClientState::Other, false));
  EXPECT_EQ(StateLabelText(ClientState::NotClientFolder, false), nullptr);
  EXPECT_EQ(StateLabelText(ClientState::NotClientFolder, true), nullptr);
}

struct NameCase {
  const wchar_t* name;
  std::optional<BackupOrder> order;  // nothing: not a backup's name
};

class BackupFolderName : public testing::TestWithParam<NameCase> {};

TEST_P(BackupFolderName, IsReadBackOnlyInTheFormItIsMadeIn) {
  const std::optional<BackupOrder> order = ParseBackupName(GetParam().name);
  EXPECT_EQ(order.has_value(), GetParam().order.has_value());
  if (!order || !GetParam().order) return;
  EXPECT_EQ(*order, *GetParam().order);
  const uint64_t s = order->stamp;
  const BackupTime time{unsigned(s / 10000000000), unsigned(s / 100000000 % 100), unsigned(s / 1000000 % 100),
                        unsigned(s / 10000 % 100), unsigned(s / 100 % 100), unsigned(s % 100)};
  EXPECT_EQ(BackupName(time, order->attempt), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Names, BackupFolderName,
    testing::Values(NameCase{L"2024-05-01 09-03-07", BackupOrder{20240501090307, 1}},
                    NameCase{L"2024-05-01 09-03-07 (2)", BackupOrder{20240501090307, 2}},
                    NameCase{L"2024-05-01 09-03-07 (12)", BackupOrder{20240501090307, 12}},
                    NameCase{L"2024-5-01 09-03-07", std::nullopt}, NameCase{L"2024-05-01 09-03-07 (1)", std::nullopt},
                    NameCase{L"2024-05-01 09-03-07 (2", std::nullopt}, NameCase{L"2024-05-01 09-03-07x", std::nullopt},
                    NameCase{L"2024-05-01_09-03-07", std::nullopt}, NameCase{L"我的备份", std::nullopt},
                    NameCase{L"", std::nullopt}));

// Oldest first, as the removal of the oldest needs them: by time across the year's end, and the
// tenth backup of a second after its second.
TEST(BackupFolderOrder, FollowsTheTimeNotTheSpelling) {
  const std::vector<std::wstring> oldestFirst = {L"2023-12-31 23-59-59", L"2024-01-01 00-00-00",
                                                 L"2024-01-01 00-00-00 (2)", L"2024-01-01 00-00-00 (10)",
                                                 L"2024-01-01 00-00-01"};
  std::vector<std::wstring> sorted = oldestFirst;
  std::ranges::reverse(sorted);
  std::ranges::sort(sorted, {}, [](const std::wstring& n) { return *ParseBackupName(n); });
  EXPECT_EQ(sorted, oldestFirst);
}

}  // namespace
