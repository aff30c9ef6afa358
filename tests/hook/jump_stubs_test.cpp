// Following jump stubs over chains laid out in a buffer: each jump form leads on, a chain of up to
// four hops reaches its function, a longer one or a loop is refused, a null slot is reported,
// and code that is not a stub (a call through a slot among them) is the function itself. Built
// natively for x86-64 and x86, where the slots are RIP-relative or absolute.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "hook/jump_stubs.h"
#include "hook/x86_instruction_length.h"

namespace {

// One stub every 16 bytes, each leading to the next; the pointer slots behind them.
constexpr size_t kStubSpacing = 16;
constexpr size_t kSlotsAt = 128;

struct alignas(16) Code {
  uint8_t bytes[256];
};

struct ChainCase {
  const char* name;
  // One letter per stub: E jmp rel32, S jmp rel8, P jmp through a slot, W the same with REX.W,
  // N through a null slot, L jmp rel8 to itself, C call through a slot (not a stub).
  const char* chain;
  size_t reached;  // the index of the stub or function where the walk ends
  JumpStubWalk walk;
};

void Put32(uint8_t* at, uint32_t value) { std::memcpy(at, &value, sizeof value); }

// Lays out the chain, with push ebp/rbp; ret as the function behind it.
void Lay(const char* chain, Code& code) {
  std::memset(code.bytes, 0xCC, sizeof code.bytes);
  const size_t count = std::strlen(chain);
  for (size_t i = 0; i < count; ++i) {
    uint8_t* stub = code.bytes + i * kStubSpacing;
    uint8_t* next = stub + kStubSpacing;
    uint8_t* slot = code.bytes + kSlotsAt + i * sizeof(uintptr_t);
    const uintptr_t destination = chain[i] == 'N' ? 0 : reinterpret_cast<uintptr_t>(next);
    std::memcpy(slot, &destination, sizeof destination);
    switch (chain[i]) {
      case 'E':
        stub[0] = 0xE9;
        Put32(stub + 1, static_cast<uint32_t>(next - (stub + 5)));
        break;
      case 'S':
        stub[0] = 0xEB;
        stub[1] = static_cast<uint8_t>(next - (stub + 2));
        break;
      case 'L':
        stub[0] = 0xEB;
        stub[1] = 0xFE;
        break;
      default: {
        uint8_t* jump = stub;
        if (chain[i] == 'W') *jump++ = 0x48;
        jump[0] = 0xFF;
        jump[1] = chain[i] == 'C' ? 0x15 : 0x25;
        const uintptr_t address = reinterpret_cast<uintptr_t>(slot);
        Put32(jump + 2, kNativeCodeMode == CodeMode::kX64 ? static_cast<uint32_t>(slot - (jump + 6))
                                                          : static_cast<uint32_t>(address));
      }
    }
  }
  code.bytes[count * kStubSpacing] = 0x55;
  code.bytes[count * kStubSpacing + 1] = 0xC3;
}

class JumpStubChain : public ::testing::TestWithParam<ChainCase> {};

TEST_P(JumpStubChain, EndsWhereTheJumpsLead) {
  const ChainCase& c = GetParam();
  Code code;
  Lay(c.chain, code);
  const JumpStubTarget target = FollowJumpStubs(code.bytes);
  EXPECT_EQ(target.walk, c.walk);
  EXPECT_EQ(target.function, code.bytes + c.reached * kStubSpacing);
}

INSTANTIATE_TEST_SUITE_P(
    Chains, JumpStubChain,
    ::testing::Values(ChainCase{"NotAStub", "", 0, JumpStubWalk::kReachedFunction},
                      ChainCase{"Rel32", "E", 1, JumpStubWalk::kReachedFunction},
                      ChainCase{"Rel8", "S", 1, JumpStubWalk::kReachedFunction},
                      ChainCase{"ThroughSlot", "P", 1, JumpStubWalk::kReachedFunction},
#if defined(__x86_64__)
                      ChainCase{"RexWThroughSlot", "W", 1, JumpStubWalk::kReachedFunction},
#endif
                      ChainCase{"FourHops", "PESP", 4, JumpStubWalk::kReachedFunction},
                      ChainCase{"FiveHops", "PESPE", 4, JumpStubWalk::kTooManyHops},
                      ChainCase{"Loop", "L", 0, JumpStubWalk::kTooManyHops},
                      ChainCase{"NullSlot", "EN", 1, JumpStubWalk::kNullDestination},
                      ChainCase{"CallThroughSlot", "C", 0, JumpStubWalk::kReachedFunction}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
