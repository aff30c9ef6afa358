// Executable memory: code written while the block is read-write runs once it is sealed, the
// sealed block takes no more writes, every misuse has its own status, a block asked for near an
// address lies within rel32 reach of it, and a leaked block outlives its owner.
#include <gtest/gtest.h>

#include <cstdint>

#include "hook/executable_memory.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

// mov eax, 42; ret
constexpr uint8_t kReturn42[] = {0xB8, 0x2A, 0x00, 0x00, 0x00, 0xC3};

using IntResult = int (*)();

int RunCode(const void* code) { return reinterpret_cast<IntResult>(const_cast<void*>(code))(); }

TEST(ExecutableMemory, WrittenReadWriteRunsSealedAndRefusesMisuse) {
  ExecutableMemory block;
  EXPECT_EQ(block.Write(0, kReturn42, sizeof kReturn42), CodeMemoryStatus::kNoBlock);
  EXPECT_EQ(block.Seal(), CodeMemoryStatus::kNoBlock);
  EXPECT_EQ(block.Allocate(0), CodeMemoryStatus::kEmptyRequest);

  ASSERT_EQ(block.Allocate(16), CodeMemoryStatus::kOk);
  EXPECT_EQ(block.size(), 16u);
  EXPECT_EQ(block.Write(12, kReturn42, sizeof kReturn42), CodeMemoryStatus::kOutOfRange);
  EXPECT_EQ(block.Write(SIZE_MAX, kReturn42, 1), CodeMemoryStatus::kOutOfRange);
  ASSERT_EQ(block.Write(10, kReturn42, sizeof kReturn42), CodeMemoryStatus::kOk);
  ASSERT_EQ(block.Seal(), CodeMemoryStatus::kOk);
  EXPECT_EQ(RunCode(block.data() + 10), 42);
  EXPECT_EQ(block.Write(0, kReturn42, 1), CodeMemoryStatus::kAlreadySealed);
  EXPECT_EQ(block.Seal(), CodeMemoryStatus::kAlreadySealed);
#if defined(_WIN32)
  MEMORY_BASIC_INFORMATION region{};
  ASSERT_TRUE(VirtualQuery(block.data(), &region, sizeof region));
  EXPECT_EQ(region.Protect, static_cast<DWORD>(PAGE_EXECUTE_READ));
#endif
}

#if defined(_WIN32)
uint64_t Distance(const void* a, const void* b) {
  const uintptr_t x = reinterpret_cast<uintptr_t>(a);
  const uintptr_t y = reinterpret_cast<uintptr_t>(b);
  return x > y ? x - y : y - x;
}

// Under Wine the 64-bit program and gdi32 lie about 6 GB apart: pages "anywhere" would not do.
TEST(ExecutableMemory, NearBlockLiesWithinReachAndALeakedOneOutlivesItsOwner) {
  const void* gdiFunction = reinterpret_cast<const void*>(GetProcAddress(LoadLibraryA("gdi32"), "GdiTransparentBlt"));
  ASSERT_NE(gdiFunction, nullptr);
  void* leaked = nullptr;
  {
    ExecutableMemory block;
    ASSERT_EQ(block.Allocate(64 * 1024 + 1, gdiFunction), CodeMemoryStatus::kOk);
    EXPECT_LE(Distance(block.data(), gdiFunction), kRel32Reach);
    EXPECT_LE(Distance(block.data() + block.size(), gdiFunction), kRel32Reach);
    ASSERT_EQ(block.Write(block.size() - sizeof kReturn42, kReturn42, sizeof kReturn42), CodeMemoryStatus::kOk);
    ASSERT_EQ(block.Seal(), CodeMemoryStatus::kOk);
    leaked = block.Leak();
    EXPECT_EQ(block.data(), nullptr);
  }
  EXPECT_EQ(RunCode(static_cast<uint8_t*>(leaked) + 64 * 1024 + 1 - sizeof kReturn42), 42);
}
#endif

}  // namespace
