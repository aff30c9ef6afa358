// The switch actions on real files under Wine: each profile lands byte for byte beside the
// program, and a switch that fails at any file-system call leaves all three files as they were,
// or, where even the roll-back failed, tells the user what differs and where the old content is.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "app/switch_actions.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/wide_text.h"
#include "tests/app/profile_content.h"
#include "tests/support/child_process.h"
#include "tests/support/scratch_folder.h"

namespace {

using Names = std::set<std::string>;
using Files = std::map<std::string, std::string>;
const Names kThreeFiles = {"DirSvrInfo1.ini", "VER.ini", "WorldDef.ini"};

Files Snapshot(const ScratchFolder& folder) {
  Files files;
  for (const std::string& name : folder.Names()) files[name] = ReadFileBytes(folder.file(name)).value_or("?");
  return files;
}

const char* FileName(const ServerProfile& profile, int index) {
  return profile.entries[static_cast<size_t>(index)].fileName;
}

// `others`: what else the folder holds (the backups' folder).
void ExpectProfileOnDisk(const ScratchFolder& folder, const ServerProfile& profile, const Names& others = {}) {
  Names expected = kThreeFiles;
  expected.insert(others.begin(), others.end());
  EXPECT_EQ(folder.Names(), expected);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(ReadFileBytes(folder.file(FileName(profile, i))), Content(profile, i)) << FileName(profile, i);
}

// Old files unlike either profile, and longer than both; `which` has a bit for each file in
// the profiles' order.
constexpr unsigned kAllThree = 0b111;
void WriteOldFiles(const ScratchFolder& folder, unsigned which = kAllThree) {
  if (which & 0b001) WriteFileBytes(folder.file("DirSvrInfo1.ini"), std::string(400, 'd'));
  if (which & 0b010) WriteFileBytes(folder.file("VER.ini"), "[info]\r\nversion=1\r\n" + std::string(200, ' '));
  if (which & 0b100) WriteFileBytes(folder.file("WorldDef.ini"), std::string(300, 'w'));
}

std::wstring OrdinaryFailureText(const char* file) {
  return L"无法写入“" + WideFromGbk(file) + L"”，三个文件都没有改动！\r\n请关闭飞车客户端，确认文件不是只读的，再转换一次。";
}

struct Switch {
  const char* name;
  void (*handler)();
  const ServerProfile* profile;
};
class SwitchHandler : public testing::TestWithParam<Switch> {};

// The handlers write beside the program (the folder start-up recorded), not into the current
// directory.
TEST_P(SwitchHandler, WritesItsProfileBesideTheProgramOnly) {
  ScratchFolder programFolder;
  ScratchFolder current;
  Runtime().programDirectory = programFolder.widePath();
  GetParam().handler();
  ExpectProfileOnDisk(programFolder, *GetParam().profile);
  EXPECT_EQ(current.Names(), Names{});
}

TEST_P(SwitchHandler, ReplacesLongerFilesWholeAndAgainIdentically) {
  ScratchFolder folder;
  Runtime().programDirectory = folder.widePath();
  WriteOldFiles(folder);
  GetParam().handler();
  // The old files were the player's own: backed up once, and not again over the profile.
  ExpectProfileOnDisk(folder, *GetParam().profile, {"转换器备份"});
  GetParam().handler();
  ExpectProfileOnDisk(folder, *GetParam().profile, {"转换器备份"});
  EXPECT_EQ(NamesIn(folder.widePath() + L"\\转换器备份").size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Buttons, SwitchHandler,
                         testing::Values(Switch{"ToTest", SwitchToTestServer, &TestServerProfile},
                                         Switch{"ToLive", SwitchToLiveServer, &LiveServerProfile}),
                         [](const testing::TestParamInfo<Switch>& p) { return std::string(p.param.name); });

TEST(SwitchToTestServer, AfterTheLiveProfileLeavesNothingOfItBehind) {
  ScratchFolder folder;
  Runtime().programDirectory = folder.widePath();
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
  const SwitchOutcome outcome = ApplyServerProfile(LiveServerProfile, folder.widePath());
  EXPECT_FALSE(outcome.switched);
  EXPECT_STREQ(outcome.failedFile, "VER.ini");
  EXPECT_FALSE(outcome.folderRefused);  // the file is to blame, not the folder
  EXPECT_EQ(Snapshot(folder), before);
}

TEST(ApplyServerProfile, AFileHeldOpenByAnotherProcessChangesNothing) {
  ScratchFolder folder;
  WriteOldFiles(folder);
  const auto before = Snapshot(folder);
  {
    FileHolder holder(folder.file("DirSvrInfo1.ini"));
    ASSERT_TRUE(holder.holding());
    const SwitchOutcome outcome = ApplyServerProfile(TestServerProfile, folder.widePath());
    EXPECT_FALSE(outcome.switched);
    EXPECT_STREQ(outcome.failedFile, "DirSvrInfo1.ini");
  }
  EXPECT_EQ(Snapshot(folder), before);
}

// Without a folder (start-up could not learn the program's) a switch writes nowhere, the current
// directory included, and says so.
TEST(ApplyServerProfile, WithoutAFolderWritesNothingAnywhere) {
  ScratchFolder current;
  const SwitchOutcome outcome = ApplyServerProfile(TestServerProfile, L"");
  EXPECT_FALSE(outcome.switched);
  EXPECT_EQ(current.Names(), Names{});
  EXPECT_EQ(SwitchFailureText(outcome, TestServerProfile), L"找不到转换器所在的文件夹，三个文件都没有改动！");
}

// One file-system call of the switch made to fail (its Nth call at that site), or several: a
// failed roll-back needs a failure to roll back from.
struct Fault {
  FileCall call;
  int occurrence;
  InjectedFault kind = InjectedFault::Fail;
};

struct InjectionCase {
  unsigned oldFiles;          // which of the three files exist before the switch
  std::vector<Fault> faults;
  int failedIndex;            // the file the outcome names; -1: the switch succeeds all the same
  std::vector<int> leftNew;   // files that the roll-back could not put back
  int leftovers = 0;          // files of the switch's own that could not be removed
};

std::string CaseName(const InjectionCase& c) {
  std::string name = c.oldFiles == kAllThree ? "" : c.oldFiles ? "SomeOldFiles_" : "NoOldFiles_";
  for (const Fault& f : c.faults) {
    if (&f != &c.faults.front()) name += "_";
    name += FileCallName(f.call) + std::to_string(f.occurrence);
    if (f.kind == InjectedFault::ShortWrite) name += "Short";
  }
  return name;
}

std::vector<InjectionCase> InjectionCases() {
  std::vector<InjectionCase> cases;
  // Every call before the renames, at each of the three files; CreateTemporary failing is what
  // a folder that cannot be written does, a short write what a full disk does.
  for (FileCall call : {FileCall::ResolveTarget, FileCall::ReadAttributes, FileCall::ProbeTarget,
                        FileCall::CreateTemporary, FileCall::WriteTemporary, FileCall::FlushTemporary,
                        FileCall::CloseTemporary, FileCall::CopyOld, FileCall::PlaceNew})
    for (int n = 1; n <= 3; ++n) cases.push_back({kAllThree, {{call, n}}, n - 1, {}});
  for (int n = 1; n <= 3; ++n)
    cases.push_back({kAllThree, {{FileCall::WriteTemporary, n, InjectedFault::ShortWrite}}, n - 1, {}});
  for (int n = 2; n <= 3; ++n) cases.push_back({0, {{FileCall::PlaceNew, n}}, n - 1, {}});
  cases.push_back({0b100, {{FileCall::PlaceNew, 3}}, 2, {}});
  // The roll-back, which goes from the last replaced file back to the first.
  cases.push_back({kAllThree, {{FileCall::PlaceNew, 2}, {FileCall::RestoreOld, 1}}, 1, {0}});
  cases.push_back({kAllThree, {{FileCall::PlaceNew, 3}, {FileCall::RestoreOld, 1}}, 2, {1}});
  cases.push_back({kAllThree, {{FileCall::PlaceNew, 3}, {FileCall::RestoreOld, 2}}, 2, {0}});
  cases.push_back(
      {kAllThree, {{FileCall::PlaceNew, 3}, {FileCall::RestoreOld, 1}, {FileCall::RestoreOld, 2}}, 2, {0, 1}});
  cases.push_back({0, {{FileCall::PlaceNew, 3}, {FileCall::RemoveCreated, 1}}, 2, {1}});
  cases.push_back({0, {{FileCall::PlaceNew, 3}, {FileCall::RemoveCreated, 2}}, 2, {0}});
  cases.push_back({0b010, {{FileCall::PlaceNew, 3}, {FileCall::RemoveCreated, 1}, {FileCall::RestoreOld, 1}}, 2, {0, 1}});
  // Clearing up: a file of the switch's own stays behind, the three files are as they should be.
  cases.push_back({kAllThree, {{FileCall::WriteTemporary, 2}, {FileCall::RemoveTemporary, 1}}, 1, {}, 1});
  cases.push_back({kAllThree, {{FileCall::PlaceNew, 2}, {FileCall::RemoveTemporary, 1}}, 1, {}, 1});
  cases.push_back({kAllThree, {{FileCall::PlaceNew, 2}, {FileCall::RemoveCopy, 1}}, 1, {}, 1});
  cases.push_back({kAllThree, {{FileCall::RemoveCopy, 1}}, -1, {}, 1});
  return cases;
}

class InjectedFailure : public testing::TestWithParam<InjectionCase> {};

TEST_P(InjectedFailure, LeavesTheFilesAsTheyWereOrTellsWhatDiffers) {
  const InjectionCase& c = GetParam();
  ScratchFolder folder;
  WriteOldFiles(folder, c.oldFiles);
  const Files before = Snapshot(folder);

  std::map<FileCall, int> calls;
  int injected = 0;
  auto injector = [&](FileCall call) {
    const int n = ++calls[call];
    for (const Fault& f : c.faults)
      if (f.call == call && f.occurrence == n) {
        ++injected;
        return f.kind;
      }
    return InjectedFault::None;
  };
  const SwitchOutcome outcome = ApplyServerProfile(TestServerProfile, folder.widePath(), injector);
  ASSERT_EQ(injected, static_cast<int>(c.faults.size())) << "a fault was never reached";

  Files expected = before;
  for (int i = 0; i < 3; ++i) {
    const bool isNew = c.failedIndex < 0 || std::find(c.leftNew.begin(), c.leftNew.end(), i) != c.leftNew.end();
    if (isNew) expected[FileName(TestServerProfile, i)] = Content(TestServerProfile, i);
  }
  Files after = Snapshot(folder);
  Files extra;
  for (auto it = after.begin(); it != after.end();)
    if (expected.count(it->first)) {
      ++it;
    } else {
      extra.insert(*it);
      it = after.erase(it);
    }
  EXPECT_EQ(after, expected);
  auto existed = [&](int i) { return (c.oldFiles >> i & 1) != 0; };
  const auto keptCopies = std::count_if(c.leftNew.begin(), c.leftNew.end(), existed);
  EXPECT_EQ(extra.size(), static_cast<size_t>(keptCopies + c.leftovers));

  EXPECT_EQ(outcome.switched, c.failedIndex < 0);
  if (c.failedIndex < 0) return;
  EXPECT_STREQ(outcome.failedFile, FileName(TestServerProfile, c.failedIndex));
  const std::wstring text = SwitchFailureText(outcome, TestServerProfile);
  if (c.leftNew.empty()) {
    EXPECT_EQ(text, OrdinaryFailureText(outcome.failedFile));
    return;
  }
  // The truth: which file now holds the test profile, and where its old content is.
  EXPECT_EQ(text.find(L"三个文件都没有改动"), std::wstring::npos) << GbkFromWide(text);
  for (int i : c.leftNew) {
    const std::wstring told = L"“" + WideFromGbk(FileName(TestServerProfile, i)) + L"”现在是体验服的内容，";
    if (!existed(i)) {
      EXPECT_NE(text.find(told + L"原来没有这个文件"), std::wstring::npos) << GbkFromWide(text);
      continue;
    }
    std::string copy;
    for (const auto& [extraName, content] : extra)
      if (content == before.at(FileName(TestServerProfile, i))) copy = extraName;
    ASSERT_FALSE(copy.empty()) << "no copy holds the old " << FileName(TestServerProfile, i);
    const std::wstring copyPath = folder.widePath() + L"\\" + WideFromGbk(copy);
    EXPECT_NE(text.find(told + L"原来的内容保存在“" + copyPath + L"”"), std::wstring::npos) << GbkFromWide(text);
  }
}

INSTANTIATE_TEST_SUITE_P(AtEveryCall, InjectedFailure, testing::ValuesIn(InjectionCases()),
                         [](const testing::TestParamInfo<InjectionCase>& p) { return CaseName(p.param); });

// A killed run can leave its files beside the targets: new contents not yet placed, copies of
// old ones. Runs number these files from the millisecond clock, so leftovers are planted under
// the numbers of a stretch of time ahead (with the ".tmp.old" names of earlier versions as well;
// planted again further ahead when a busy machine let the clock catch up), and the switch starts
// once the clock is inside that stretch: it must find names of its own and leave every leftover,
// which may be the only copy of an old file, as it is.
TEST(ApplyServerProfile, LeftoversOfEarlierRunsNeitherBlockNorChange) {
  ScratchFolder folder;
  WriteOldFiles(folder);
  constexpr unsigned kStretch = 100;
  unsigned first = 0;
  auto intoStretch = [&] { return static_cast<int16_t>(GetTickCount() - first); };
  for (unsigned ahead = 1500; ahead <= 6000; ahead *= 2) {
    first = (GetTickCount() + ahead) & 0xFFFF;
    for (unsigned i = 0; i < kStretch; ++i) {
      char number[8];
      std::snprintf(number, sizeof number, "%X", (first + i) & 0xFFFF);
      for (const char* suffix : {".tmp.old", ".old"})
        WriteFileBytes(folder.file(std::string("~sw") + number + suffix), std::string("left over ") + number);
    }
    if (intoStretch() < 0) break;
  }
  ASSERT_LT(intoStretch(), 0) << "planting does not keep ahead of the clock";
  auto expected = Snapshot(folder);
  while (intoStretch() < 2) Sleep(1);
  const int16_t startedAt = intoStretch();
  const SwitchOutcome outcome = ApplyServerProfile(TestServerProfile, folder.widePath());
  ASSERT_LT(startedAt, static_cast<int16_t>(kStretch / 2));
  EXPECT_TRUE(outcome.switched) << outcome.failedFile;
  for (int i = 0; i < 3; ++i) expected[FileName(TestServerProfile, i)] = Content(TestServerProfile, i);
  EXPECT_EQ(Snapshot(folder), expected);
}

TEST(SwitchFailureText, NamesTheFileAndSaysNothingChanged) {
  EXPECT_EQ(SwitchFailureText({false, "VER.ini"}, TestServerProfile),
            L"无法写入“VER.ini”，三个文件都没有改动！\r\n请关闭飞车客户端，确认文件不是只读的，再转换一次。");
}

// The calls a whole switch to the test profile makes over the given old files, in order.
std::vector<FileCall> CallsOfASwitch(unsigned oldFiles) {
  ScratchFolder folder;
  WriteOldFiles(folder, oldFiles);
  std::vector<FileCall> calls;
  ApplyServerProfile(TestServerProfile, folder.widePath(), [&](FileCall call) {
    calls.push_back(call);
    return InjectedFault::None;
  });
  return calls;
}

// The 1-based number of the first call of a site within a switch.
size_t StepOf(const std::vector<FileCall>& calls, FileCall call) {
  return static_cast<size_t>(std::find(calls.begin(), calls.end(), call) - calls.begin()) + 1;
}

// A switch in the folder that a child process ends just before a file-system call: its Nth, or
// the first at the named site.
constexpr DWORD kKilled = 77;
void KillASwitch(const ScratchFolder& folder, const std::wstring& before) {
  ChildProcess killed(
      ChildProcess::AnyPath{WideFromGbk(ProgramFolder()) + L"\\switch_kill_child.exe", folder.widePath(), before});
  ASSERT_TRUE(killed.started());
  ASSERT_EQ(killed.AwaitExit(20000), kKilled);
}

class KilledSwitch : public testing::TestWithParam<unsigned> {};

// Killed before each of its calls in turn, then the next start's recovery: until the switch has
// marked its journal complete, the three files are back as they were (missing ones missing);
// from then on they hold the new profile. No file of the switch's own is left either way, and an
// undone switch is reported once.
TEST_P(KilledSwitch, IsUndoneByTheNextStartUntilItIsComplete) {
  const std::vector<FileCall> calls = CallsOfASwitch(GetParam());
  const size_t journalStep = StepOf(calls, FileCall::CreateJournal);
  const size_t completeStep = StepOf(calls, FileCall::CompleteJournal);
  ASSERT_LT(completeStep, calls.size());
  for (size_t step = 1; step <= calls.size(); ++step) {
    SCOPED_TRACE("killed before call " + std::to_string(step) + ", " + FileCallName(calls[step - 1]));
    ScratchFolder folder;
    WriteOldFiles(folder, GetParam());
    Files expected = Snapshot(folder);
    KillASwitch(folder, std::to_wstring(step));
    if (step > completeStep)
      for (int i = 0; i < 3; ++i) expected[FileName(TestServerProfile, i)] = Content(TestServerProfile, i);
    const InterruptedRuns runs = RecoverInterruptedRuns(folder.widePath());
    EXPECT_EQ(Snapshot(folder), expected);
    EXPECT_EQ(runs.found, step > journalStep && step <= completeStep ? 1 : 0);
    EXPECT_TRUE(runs.unrestored.empty());
    EXPECT_EQ(RecoverInterruptedRuns(folder.widePath()).found, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(OldFiles, KilledSwitch, testing::Values(kAllThree, 0u, 0b010u),
                         [](const testing::TestParamInfo<unsigned>& p) {
                           return std::string(p.param == kAllThree ? "AllThree" : p.param ? "OnlyVer" : "None");
                         });

// The next start cannot put back a file that another program holds open: it names the file and
// where its old content is, keeps that copy and the journal, and finishes at a later start.
class HeldDuringRecovery : public testing::TestWithParam<unsigned> {};

TEST_P(HeldDuringRecovery, KeepsWhatItCouldNotPutBackForTheNextStart) {
  ScratchFolder folder;
  WriteOldFiles(folder, GetParam());
  const Files before = Snapshot(folder);
  KillASwitch(folder, L"CompleteJournal");  // all three replaced
  const std::wstring held = folder.widePath() + L"\\VER.ini";
  {
    FileHolder holder(folder.file("VER.ini"));
    ASSERT_TRUE(holder.holding());
    const InterruptedRuns runs = RecoverInterruptedRuns(folder.widePath());
    EXPECT_EQ(runs.found, 1);
    ASSERT_EQ(runs.unrestored.size(), 1u);
    EXPECT_EQ(runs.unrestored[0].target, held);
    const std::wstring text = InterruptedSwitchText(runs);
    EXPECT_NE(text.find(L"“" + held + L"”"), std::wstring::npos) << GbkFromWide(text);
    if (before.count("VER.ini")) {
      EXPECT_EQ(ReadFileBytes(runs.unrestored[0].oldCopy), before.at("VER.ini"));
      EXPECT_NE(text.find(L"“" + runs.unrestored[0].oldCopy + L"”"), std::wstring::npos) << GbkFromWide(text);
    } else {
      EXPECT_EQ(runs.unrestored[0].oldCopy, L"");
      EXPECT_NE(text.find(L"原来没有这个文件"), std::wstring::npos) << GbkFromWide(text);
    }
  }
  const InterruptedRuns later = RecoverInterruptedRuns(folder.widePath());
  EXPECT_EQ(later.found, 1);
  EXPECT_TRUE(later.unrestored.empty());
  EXPECT_EQ(Snapshot(folder), before);
}

INSTANTIATE_TEST_SUITE_P(OldFiles, HeldDuringRecovery, testing::Values(kAllThree, 0u),
                         [](const testing::TestParamInfo<unsigned>& p) {
                           return std::string(p.param ? "Existed" : "DidNotExist");
                         });

// Another program writes one of the three files while a switch is under way: where there was no
// file, before the switch puts its own there; or over the file the switch put there, before a
// later file fails and the switch rolls back. Its file stays, whatever the roll-back does.
enum class Moment { BeforeItsPlacement, BeforeTheRollBack };
enum class Writer { Creates, RenamesOver, DeletesAndCreates };  // the last one gets our inode again under Wine
struct RaceCase {
  const char* name;
  unsigned oldFiles;
  int raced;
  Moment moment;
  Writer writer;
};

const std::string kTheirs = "written by another program";

void WriteAsAnotherProgram(const std::string& path, Writer writer) {
  if (writer == Writer::RenamesOver) {
    WriteFileBytes(path + ".new", kTheirs);
    MoveFileExA((path + ".new").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    return;
  }
  if (writer == Writer::DeletesAndCreates) DeleteFileA(path.c_str());
  WriteFileBytes(path, kTheirs);
}

class RacedSwitch : public testing::TestWithParam<RaceCase> {};

TEST_P(RacedSwitch, LeavesTheOtherProgramsFile) {
  const RaceCase& c = GetParam();
  ScratchFolder folder;
  WriteOldFiles(folder, c.oldFiles);
  Files expected = Snapshot(folder);
  const std::string raced = FileName(TestServerProfile, c.raced);
  int placements = 0;
  bool wrote = false;
  auto race = [&](FileCall call) {
    if (call != FileCall::PlaceNew) return InjectedFault::None;
    ++placements;
    if (c.moment == Moment::BeforeItsPlacement && placements == c.raced + 1) {
      WriteAsAnotherProgram(folder.file(raced), c.writer);
      wrote = true;
    }
    if (c.moment == Moment::BeforeTheRollBack && placements == 3) {
      WriteAsAnotherProgram(folder.file(raced), c.writer);
      wrote = true;
      return InjectedFault::Fail;
    }
    return InjectedFault::None;
  };
  const SwitchOutcome outcome = ApplyServerProfile(TestServerProfile, folder.widePath(), race);
  ASSERT_TRUE(wrote);
  EXPECT_FALSE(outcome.switched);
  EXPECT_TRUE(outcome.unrestored.empty());
  expected[raced] = kTheirs;
  EXPECT_EQ(Snapshot(folder), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Races, RacedSwitch,
    testing::Values(RaceCase{"CreatedWhereNoneWas", 0b000, 2, Moment::BeforeItsPlacement, Writer::Creates},
                    RaceCase{"RenamedOverOneWeCreated", 0b000, 1, Moment::BeforeTheRollBack, Writer::RenamesOver},
                    RaceCase{"DeletedOneWeCreatedAndCreatedAnew", 0b000, 0, Moment::BeforeTheRollBack,
                             Writer::DeletesAndCreates},
                    RaceCase{"RenamedOverOneWeReplaced", kAllThree, 0, Moment::BeforeTheRollBack, Writer::RenamesOver}),
    [](const testing::TestParamInfo<RaceCase>& p) { return std::string(p.param.name); });

}  // namespace
