// The real tool empties its working set through empty.exe in the Windows folder whenever it is
// deactivated. Tests of other behaviour point "windir" of the tools they start at a folder that
// does not exist, so that nothing is written into the prefix's Windows folder or run meanwhile;
// the trimming itself is tested on its own.
#include <gtest/gtest.h>
#include <windows.h>

namespace {

class NoTrimEnvironment : public testing::Environment {
 public:
  void SetUp() override { SetEnvironmentVariableA("windir", "C:\\no-such-windows-folder"); }
};

[[maybe_unused]] testing::Environment* const environment = testing::AddGlobalTestEnvironment(new NoTrimEnvironment);

}  // namespace
