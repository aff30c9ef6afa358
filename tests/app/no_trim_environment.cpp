// The real tool empties its working set through empty.exe in the system's Windows folder whenever
// it is deactivated. Tests of other behaviour keep it from doing so for as long as they run: a
// folder named empty.exe stands where the program would be, so the tool can neither write it nor
// start it, and no trimming run outlives the tool it was started for (under Wine such a run, left
// starting by a tool that ended, hangs for ever and holds the test runner's output). The trimming
// itself is tested on its own.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

class NoTrimEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemWindowsDirectoryA(folder, MAX_PATH);
    ASSERT_GT(length, 0u);
    ASSERT_LT(length, static_cast<UINT>(MAX_PATH));
    blocker_ = std::string(folder, length) + "\\empty.exe";
    // A trimmer an earlier run left behind would still be started: it goes first.
    DeleteFileA(blocker_.c_str());
    made_ = CreateDirectoryA(blocker_.c_str(), nullptr) != 0;
    const DWORD attributes = GetFileAttributesA(blocker_.c_str());
    ASSERT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        << "cannot keep the tool from trimming: " << blocker_;
  }
  void TearDown() override {
    if (made_) RemoveDirectoryA(blocker_.c_str());
  }

 private:
  std::string blocker_;
  bool made_ = false;
};

[[maybe_unused]] testing::Environment* const environment = testing::AddGlobalTestEnvironment(new NoTrimEnvironment);

}  // namespace
