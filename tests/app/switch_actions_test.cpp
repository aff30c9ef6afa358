// The switch actions on real files under Wine: each profile lands byte for byte, and a switch
// that cannot write one file leaves all three as they were.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

#include "app/switch_actions.h"
#include "tests/support/scratch_folder.h"
#include "tests/app/profile_content.h"

namespace {

using Names = std::set<std::string>;
const Names kThreeFiles = {"DirSvrInfo1.ini", "VER.ini", "WorldDef.ini"};

std::map<std::string, std::string> Snapshot(const ScratchFolder& folder) {
  std::map<std::string, std::string> files;
  for (const std::string& name : folder.Names()) files[name] = ReadFileBytes(folder.file(name)).value_or("?");
  return files;
}

void ExpectProfileOnDisk(const ScratchFolder& folder, const ServerProfile& profile) {
  EXPECT_EQ(folder.Names(), kThreeFiles);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(ReadFileBytes(folder.file(profile.entries[static_cast<size_t>(i)].fileName)), Content(profile, i))
        << profile.entries[static_cast<size_t>(i)].fileName;
}

// Old files unlike either profile, and longer than both.
void WriteOldFiles(const ScratchFolder& folder) {
  WriteFileBytes(folder.file("DirSvrInfo1.ini"), std::string(400, 'd'));
  WriteFileBytes(folder.file("VER.ini"), "[info]\r\nversion=1\r\n" + std::string(200, ' '));
  WriteFileBytes(folder.file("WorldDef.ini"), std::string(300, 'w'));
}

struct Switch {
  const char* name;
  void (*handler)();
  const ServerProfile* profile;
};
class SwitchHandler : public testing::TestWithParam<Switch> {};

TEST_P(SwitchHandler, WritesItsProfileIntoAnEmptyFolder) {
  ScratchFolder folder;
  GetParam().handler();
  ExpectProfileOnDisk(folder, *GetParam().profile);
}

TEST_P(SwitchHandler, ReplacesLongerFilesWholeAndAgainIdentically) {
  ScratchFolder folder;
  WriteOldFiles(folder);
  GetParam().handler();
  ExpectProfileOnDisk(folder, *GetParam().profile);
  GetParam().handler();
  ExpectProfileOnDisk(folder, *GetParam().profile);
}

INSTANTIATE_TEST_SUITE_P(Buttons, SwitchHandler,
                         testing::Values(Switch{"ToTest", SwitchToTestServer, &TestServerProfile},
                                         Switch{"ToLive", SwitchToLiveServer, &LiveServerProfile}),
                         [](const testing::TestParamInfo<Switch>& p) { return std::string(p.param.name); });

TEST(SwitchToTestServer, AfterTheLiveProfileLeavesNothingOfItBehind) {
  ScratchFolder folder;
  SwitchToLiveServer();
  SwitchToTestServer();
  ExpectProfileOnDisk(folder, TestServerProfile);
  EXPECT_EQ(ReadFileBytes(folder.file("WorldDef.ini"))->size(), 50u);
}

TEST(ApplyServerProfile, AReadOnlyFileChangesNothing) {
  ScratchFolder folder;
  WriteOldFiles(folder);
  SetReadOnly(folder.file("VER.ini"), true);
  const auto before = Snapshot(folder);
  const SwitchOutcome outcome = ApplyServerProfile(LiveServerProfile);
  EXPECT_FALSE(outcome.switched);
  EXPECT_STREQ(outcome.failedFile, "VER.ini");
  EXPECT_EQ(Snapshot(folder), before);
}

TEST(ApplyServerProfile, AFileHeldOpenByAnotherProcessChangesNothing) {
  ScratchFolder folder;
  WriteOldFiles(folder);
  const auto before = Snapshot(folder);
  {
    FileHolder holder(folder.file("DirSvrInfo1.ini"));
    ASSERT_TRUE(holder.holding());
    const SwitchOutcome outcome = ApplyServerProfile(TestServerProfile);
    EXPECT_FALSE(outcome.switched);
    EXPECT_STREQ(outcome.failedFile, "DirSvrInfo1.ini");
  }
  EXPECT_EQ(Snapshot(folder), before);
}

// A rename that fails on its Nth call, to break a switch part-way through. FailFromCall fails
// every call from the Nth on; FailOnCall only the Nth, so that roll-back renames work again.
int callsBeforeFailure = 0;
int failedCalls = 0;
BOOL WINAPI FailFromCall(LPCSTR from, LPCSTR to, DWORD flags) {
  if (callsBeforeFailure-- <= 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  return MoveFileExA(from, to, flags);
}
BOOL WINAPI FailOnCall(LPCSTR from, LPCSTR to, DWORD flags) {
  if (callsBeforeFailure-- == 0) {
    ++failedCalls;
    SetLastError(ERROR_SHARING_VIOLATION);
    return FALSE;
  }
  return MoveFileExA(from, to, flags);
}

class InjectedFailure : public testing::TestWithParam<int> {};

// One rename per file: failing the second or third breaks the switch after the first file (and
// the second) were replaced; failing the first replaces nothing.
TEST_P(InjectedFailure, PutsEveryReplacedFileBack) {
  ScratchFolder folder;
  WriteOldFiles(folder);
  const auto before = Snapshot(folder);
  callsBeforeFailure = GetParam();
  failedCalls = 0;
  const SwitchOutcome outcome = ApplyServerProfile(TestServerProfile, FailOnCall);
  EXPECT_EQ(failedCalls, 1);
  EXPECT_FALSE(outcome.switched);
  EXPECT_STREQ(outcome.failedFile, TestServerProfile.entries[static_cast<size_t>(GetParam())].fileName);
  EXPECT_EQ(Snapshot(folder), before);
}

INSTANTIATE_TEST_SUITE_P(AtRename, InjectedFailure, testing::Values(0, 1, 2));

TEST(ApplyServerProfile, FilesThatDidNotExistStillDoNotAfterAFailure) {
  ScratchFolder folder;
  WriteFileBytes(folder.file("WorldDef.ini"), "only this one");
  callsBeforeFailure = 2;  // DirSvrInfo1.ini and VER.ini placed, WorldDef.ini's rename fails
  const SwitchOutcome outcome = ApplyServerProfile(LiveServerProfile, FailFromCall);
  EXPECT_FALSE(outcome.switched);
  EXPECT_STREQ(outcome.failedFile, "WorldDef.ini");
  EXPECT_EQ(folder.Names(), Names{"WorldDef.ini"});
  EXPECT_EQ(ReadFileBytes(folder.file("WorldDef.ini")), "only this one");
}

// When even the roll-back cannot rename, the old file is not lost: its copy stays beside it.
TEST(ApplyServerProfile, KeepsTheCopyOfAnOldFileItCouldNotPutBack) {
  ScratchFolder folder;
  WriteOldFiles(folder);
  const std::string oldDirSvrInfo = *ReadFileBytes(folder.file("DirSvrInfo1.ini"));
  callsBeforeFailure = 1;  // DirSvrInfo1.ini placed; every rename after that fails
  EXPECT_FALSE(ApplyServerProfile(TestServerProfile, FailFromCall).switched);
  EXPECT_EQ(ReadFileBytes(folder.file("DirSvrInfo1.ini")), Content(TestServerProfile, 0));
  int copies = 0;
  for (const std::string& name : folder.Names())
    if (!kThreeFiles.contains(name)) {
      ++copies;
      EXPECT_EQ(ReadFileBytes(folder.file(name)), oldDirSvrInfo) << name;
    }
  EXPECT_EQ(copies, 1);
}

// A killed run can leave its files beside the targets: new contents not yet placed, copies of
// old ones. Runs number these files from the millisecond clock, so leftovers are planted under
// the numbers of a stretch of time a second and a half ahead (with the ".tmp.old" names of earlier
// versions as well), and the switch runs once the clock is inside that stretch: it must find
// names of its own and leave every leftover, which may be the only copy of an old file, as it is.
TEST(ApplyServerProfile, LeftoversOfEarlierRunsNeitherBlockNorChange) {
  ScratchFolder folder;
  WriteOldFiles(folder);
  constexpr unsigned kAhead = 1500, kStretch = 100;
  const unsigned first = (GetTickCount() + kAhead) & 0xFFFF;
  for (unsigned i = 0; i < kStretch; ++i) {
    char number[8];
    std::snprintf(number, sizeof number, "%X", (first + i) & 0xFFFF);
    for (const char* suffix : {".tmp.old", ".old"})
      WriteFileBytes(folder.file(std::string("~sw") + number + suffix), std::string("left over ") + number);
  }
  auto expected = Snapshot(folder);
  auto intoStretch = [&] { return static_cast<int16_t>(GetTickCount() - first); };
  ASSERT_LT(intoStretch(), 0) << "planting took longer than the lead";
  while (intoStretch() < 2) Sleep(1);
  const SwitchOutcome outcome = ApplyServerProfile(TestServerProfile);
  ASSERT_LT(intoStretch(), static_cast<int16_t>(kStretch));
  EXPECT_TRUE(outcome.switched) << outcome.failedFile;
  for (int i = 0; i < 3; ++i)
    expected[TestServerProfile.entries[static_cast<size_t>(i)].fileName] = Content(TestServerProfile, i);
  EXPECT_EQ(Snapshot(folder), expected);
}

TEST(SwitchFailureText, NamesTheFileAndSaysNothingChanged) {
  EXPECT_EQ(SwitchFailureText("VER.ini"),
            "无法写入“VER.ini”，三个文件都没有改动！\r\n请关闭飞车客户端，确认文件不是只读的，再转换一次。");
}

}  // namespace
