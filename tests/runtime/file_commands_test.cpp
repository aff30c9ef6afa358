// WriteBytesToFile (and FileExists) on real files under Wine, in folders of any name and length:
// what lands on disk, what is refused, and that a refused or failed write leaves the old file and
// no temporary file behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/commands/commands.h"
#include "runtime/commands/file_commands.h"
#include "runtime/constant_segment.h"
#include "runtime/value_helpers.h"
#include "runtime/wide_text.h"
#include "tests/support/scratch_folder.h"

namespace {

using Names = std::set<std::string>;

OwnedBytes Block(const std::string& bytes) {
  return NewByteBlock({reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()});
}

TEST(WriteBytesToFile, EmptyPathWritesNothing) {
  ScratchFolder folder;
  OwnedBytes data = Block("data");
  EXPECT_FALSE(Commands::WriteBytesToFile(EmptyText, {data.get()}));
  EXPECT_FALSE(Commands::WriteBytesToFile(nullptr, {data.get()}));
  EXPECT_EQ(folder.Names(), Names{});
}

TEST(WriteBytesToFile, WritesBlocksBackToBackAndReplacesTheWholeFile) {
  ScratchFolder folder;
  WriteFileBytes(folder.file("a.ini"), std::string(300, 'x'));
  OwnedBytes first = Block("[info]\r\n");
  OwnedBytes second = Block(std::string("v\0=1", 4));
  EXPECT_TRUE(Commands::WriteBytesToFile("a.ini", {first.get(), nullptr, &EmptyByteBlock, second.get()}));
  EXPECT_EQ(ReadFileBytes(folder.file("a.ini")), std::string("[info]\r\nv\0=1", 12));
  EXPECT_EQ(folder.Names(), Names{"a.ini"});
}

TEST(WriteBytesToFile, AnEmptyBlockAloneLeavesAnEmptyFile) {
  ScratchFolder folder;
  WriteFileBytes(folder.file("old.ini"), "old content");
  EXPECT_TRUE(Commands::WriteBytesToFile("new.ini", {&EmptyByteBlock}));
  EXPECT_TRUE(Commands::WriteBytesToFile("old.ini", {nullptr}));
  EXPECT_EQ(ReadFileBytes(folder.file("new.ini")), "");
  EXPECT_EQ(ReadFileBytes(folder.file("old.ini")), "");
}

TEST(WriteBytesToFile, RelativeNamesResolveAgainstTheCurrentDirectory) {
  ScratchFolder outer;
  ScratchFolder inner;  // now the current directory
  OwnedBytes data = Block("here");
  EXPECT_TRUE(Commands::WriteBytesToFile("VER.ini", {data.get()}));
  EXPECT_EQ(ReadFileBytes(inner.file("VER.ini")), "here");
  EXPECT_EQ(outer.Names().count("VER.ini"), 0u);
}

// Wine as root writes read-only files through a plain open; the replacement refuses them as
// Windows does.
TEST(WriteBytesToFile, RefusesAReadOnlyTarget) {
  ScratchFolder folder;
  WriteFileBytes(folder.file("VER.ini"), "old");
  SetReadOnly(folder.file("VER.ini"), true);
  OwnedBytes data = Block("new");
  EXPECT_FALSE(Commands::WriteBytesToFile("VER.ini", {data.get()}));
  EXPECT_EQ(ReadFileBytes(folder.file("VER.ini")), "old");
  EXPECT_EQ(GetFileAttributesA(folder.file("VER.ini").c_str()) & FILE_ATTRIBUTE_READONLY,
            static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(folder.Names(), Names{"VER.ini"});
}

TEST(WriteBytesToFile, RefusesATargetAnotherProcessHoldsOpen) {
  ScratchFolder folder;
  WriteFileBytes(folder.file("DirSvrInfo1.ini"), "old");
  OwnedBytes data = Block("new");
  {
    FileHolder holder(folder.file("DirSvrInfo1.ini"));
    ASSERT_TRUE(holder.holding());
    EXPECT_FALSE(Commands::WriteBytesToFile("DirSvrInfo1.ini", {data.get()}));
  }
  EXPECT_EQ(ReadFileBytes(folder.file("DirSvrInfo1.ini")), "old");
  EXPECT_EQ(folder.Names(), Names{"DirSvrInfo1.ini"});
  EXPECT_TRUE(Commands::WriteBytesToFile("DirSvrInfo1.ini", {data.get()}));
  EXPECT_EQ(ReadFileBytes(folder.file("DirSvrInfo1.ini")), "new");
}

TEST(WriteBytesToFile, RefusesADirectoryAndAMissingFolder) {
  ScratchFolder folder;
  CreateDirectoryA(folder.file("sub").c_str(), nullptr);
  OwnedBytes data = Block("x");
  EXPECT_FALSE(Commands::WriteBytesToFile("sub", {data.get()}));
  EXPECT_FALSE(Commands::WriteBytesToFile("missing\\VER.ini", {data.get()}));
  EXPECT_EQ(folder.Names(), Names{"sub"});
}

// Folders that the ANSI code page cannot spell (Korean ones under 936; Chinese ones as well in the
// code-page-1252 run) or whose paths pass MAX_PATH: a relative name reaches the file in such a
// current directory, and so does a full path wherever GBK can spell it.
struct FolderCase {
  const char* name;
  std::vector<std::wstring> parts;  // nested under the scratch folder
  bool spelledInGbk;
};

class FolderOfAnyName : public testing::TestWithParam<FolderCase> {};

TEST_P(FolderOfAnyName, IsWrittenAndSearchedThroughRelativeAndFullNames) {
  ScratchFolder scratch;
  const std::wstring folder = scratch.MakeFolders(GetParam().parts);
  ASSERT_FALSE(folder.empty());
  ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
  OwnedBytes data = Block("relative");
  EXPECT_TRUE(Commands::WriteBytesToFile("VER.ini", {data.get()}));
  EXPECT_TRUE(Commands::FileExists("VER.ini"));
  EXPECT_TRUE(Commands::FileExists("*.ini"));
  EXPECT_EQ(ReadFileBytes(folder + L"\\VER.ini"), "relative");
  std::set<std::wstring> expected{L"VER.ini"};
  if (GetParam().spelledInGbk) {
    const std::string full = GbkFromWide(folder + L"\\WorldDef.ini");
    OwnedBytes other = Block("full");
    EXPECT_TRUE(Commands::WriteBytesToFile(full.c_str(), {other.get()}));
    EXPECT_TRUE(Commands::FileExists(full.c_str()));
    EXPECT_EQ(ReadFileBytes(folder + L"\\WorldDef.ini"), "full");
    expected.insert(L"WorldDef.ini");
  }
  EXPECT_EQ(NamesIn(folder), expected);
  SetCurrentDirectoryW(scratch.widePath().c_str());
}

const std::wstring kHundredLetters(100, L'k');

INSTANTIATE_TEST_SUITE_P(
    Names, FolderOfAnyName,
    testing::Values(FolderCase{"Chinese", {L"飞车客户端"}, true}, FolderCase{"Korean", {L"클라이언트"}, false},
                    FolderCase{"LongerThanMaxPath", {kHundredLetters, kHundredLetters, kHundredLetters, L"飞车客户端"}, true}),
    [](const testing::TestParamInfo<FolderCase>& p) { return std::string(p.param.name); });

TEST(WriteBytesToFile, CommandFormTakesTextThenBlocksAndGivesABool) {
  ScratchFolder folder;
  OwnedBytes data = Block("cells");
  const ValueCell arguments[] = {PointerCell(TC_TEXT, "c.ini"), PointerCell(TC_BYTES, data.get())};
  ValueCell result{0xAAAAAAAA, 0xBBBBBBBB, 0xCCCCCCCC};
  WriteBytesToFile(&result, 2, arguments);
  EXPECT_EQ(result.type, TC_BOOL);
  EXPECT_EQ(result.low, 1u);
  EXPECT_EQ(result.high, 0u);
  EXPECT_EQ(ReadFileBytes(folder.file("c.ini")), "cells");

  result = ValueCell{0xAAAAAAAA, 0xBBBBBBBB, 0xCCCCCCCC};
  WriteBytesToFile(&result, 0, arguments);
  EXPECT_EQ(result.type, TC_BOOL);
  EXPECT_EQ(result.low, 0u);
}

}  // namespace
