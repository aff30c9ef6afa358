// GDI+ runs for the whole test program, started and stopped through the wrappers' own functions.
#include <gtest/gtest.h>

#include "graphics/gdiplus_object.h"

namespace {

class GdiPlusSession : public testing::Environment {
 public:
  void SetUp() override {
    token_ = StartGdiPlus();
    ASSERT_NE(token_, 0u) << "GDI+ did not start, status " << lastStatus;
  }
  void TearDown() override { ShutdownGdiPlus(token_); }

 private:
  uintptr_t token_ = 0;
};

[[maybe_unused]] testing::Environment* const session = testing::AddGlobalTestEnvironment(new GdiPlusSession);

}  // namespace
