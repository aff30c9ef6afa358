// The instruction length decoder against capstone, a reference disassembler, on random and
// prologue-shaped byte strings in both modes: the decoder gives the reference's length or
// refuses, never a shorter or longer one, and never calls a relative branch or a RIP-relative
// operand movable. Host build only; skipped when capstone is not installed.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "hook/x86_instruction_length.h"

#if defined(HAVE_CAPSTONE)
#include <capstone/capstone.h>
#endif

namespace {

// Longer than any instruction, so that a whole one always fits.
constexpr size_t kSampleLength = 24;
using Sample = std::array<uint8_t, kSampleLength>;

// Bytes from a fixed-seed Mersenne Twister, whose output the C++ standard fixes exactly: the same
// strings on every machine and every run.
class Bytes {
 public:
  explicit Bytes(uint32_t seed) : engine_(seed) {}
  uint8_t Next() { return static_cast<uint8_t>(engine_() >> 24); }
  // True with probability n / 256.
  bool Chance(unsigned n) { return Next() < n; }
  uint8_t From(std::initializer_list<uint8_t> choices) { return choices.begin()[Next() % choices.size()]; }

 private:
  std::mt19937 engine_;
};

Sample RandomSample(Bytes& bytes) {
  Sample sample{};
  for (uint8_t& byte : sample) byte = bytes.Next();
  return sample;
}

// Prefixes, a REX byte, the escapes to the two- and three-byte maps, and then random bytes: what
// function entries are made of, and where the lengths of SSE and system instructions hide.
Sample PrologueShapedSample(Bytes& bytes, CodeMode mode) {
  Sample sample{};
  size_t at = 0;
  for (unsigned count = bytes.Next() % 4; count > 0; --count)
    sample[at++] = bytes.From({0x66, 0x66, 0xF2, 0xF3, 0xF0, 0x2E, 0x3E, 0x26, 0x36, 0x64, 0x65, 0x67});
  if (mode == CodeMode::kX64 && bytes.Chance(128)) sample[at++] = 0x40 | (bytes.Next() & 0x0F);
  const uint8_t escape = bytes.Next();
  if (escape < 96) {
    sample[at++] = 0x0F;
  } else if (escape < 128) {
    sample[at++] = 0x0F;
    sample[at++] = bytes.From({0x38, 0x3A});
  } else if (escape < 144) {
    sample[at++] = bytes.From({0xC4, 0xC5, 0x62, 0x8F});  // VEX, EVEX, XOP (or les, lds, bound, pop)
  }
  while (at < sample.size()) sample[at++] = bytes.Next();
  return sample;
}

std::string Hex(const uint8_t* bytes, size_t count) {
  std::string text;
  char digits[4];
  for (size_t i = 0; i < count; ++i) {
    std::snprintf(digits, sizeof digits, i ? " %02X" : "%02X", bytes[i]);
    text += digits;
  }
  return text;
}

struct ModeCase {
  const char* name;
  CodeMode mode;
  uint32_t seed;
};

class AgainstReference : public ::testing::TestWithParam<ModeCase> {};

#if defined(HAVE_CAPSTONE)

// One capstone handle with details (groups and operands) on, closed at the end.
class Reference {
 public:
  explicit Reference(CodeMode mode) {
    if (cs_open(CS_ARCH_X86, mode == CodeMode::kX64 ? CS_MODE_64 : CS_MODE_32, &handle_) != CS_ERR_OK) return;
    cs_option(handle_, CS_OPT_DETAIL, CS_OPT_ON);
    instruction_ = cs_malloc(handle_);
  }
  ~Reference() {
    if (instruction_) cs_free(instruction_, 1);
    if (handle_) cs_close(&handle_);
  }
  Reference(const Reference&) = delete;
  Reference& operator=(const Reference&) = delete;

  bool ready() const { return instruction_ != nullptr; }
  // The first instruction of the sample, or null when capstone finds none.
  const cs_insn* Decode(const Sample& sample) {
    const uint8_t* code = sample.data();
    size_t size = sample.size();
    uint64_t address = 0x10000;
    return cs_disasm_iter(handle_, &code, &size, &address, instruction_) ? instruction_ : nullptr;
  }
  bool InGroup(const cs_insn& instruction, uint8_t group) const {
    return cs_insn_group(handle_, &instruction, group);
  }

 private:
  csh handle_ = 0;
  cs_insn* instruction_ = nullptr;
};

bool AddressesFromRip(const cs_insn& instruction) {
  const cs_x86& x86 = instruction.detail->x86;
  for (uint8_t i = 0; i < x86.op_count; ++i)
    if (x86.operands[i].type == X86_OP_MEM && x86.operands[i].mem.base == X86_REG_RIP) return true;
  return false;
}

TEST_P(AgainstReference, LengthIsTheReferencesOrRefused) {
  const ModeCase& c = GetParam();
  Reference reference(c.mode);
  ASSERT_TRUE(reference.ready());
  Bytes bytes(c.seed);
  constexpr int kSamplesPerShape = 100000;
  int agreed = 0, refused = 0, disagreed = 0;
  std::vector<std::string> examples;

  for (int i = 0; i < 2 * kSamplesPerShape; ++i) {
    const Sample sample = i < kSamplesPerShape ? RandomSample(bytes) : PrologueShapedSample(bytes, c.mode);
    const DecodedInstruction ours = DecodeInstruction(sample.data(), sample.data() + sample.size(), c.mode);
    if (ours.length == 0) {
      ++refused;
      continue;
    }
    const cs_insn* theirs = reference.Decode(sample);
    std::string fault;
    if (!theirs) {
      fault = "reference finds no instruction";
    } else if (theirs->size != ours.length) {
      fault = "reference length " + std::to_string(theirs->size);
    } else {
      const bool relative = reference.InGroup(*theirs, CS_GRP_BRANCH_RELATIVE);
      const bool fromRip = AddressesFromRip(*theirs);
      if (relative != (ours.kind == InstructionKind::kRelativeBranch))
        fault = relative ? "reference: a relative branch" : "reference: no relative branch";
      else if (fromRip != (ours.kind == InstructionKind::kRipRelative))
        fault = fromRip ? "reference: RIP-relative" : "reference: not RIP-relative";
    }
    if (fault.empty()) {
      ++agreed;
      continue;
    }
    ++disagreed;
    if (examples.size() < 40)
      examples.push_back(Hex(sample.data(), ours.length + 2) + ": decoder length " + std::to_string(ours.length) +
                         ", " + fault + (theirs ? std::string(" (") + theirs->mnemonic + " " + theirs->op_str + ")" : ""));
  }

  std::printf("%s: %d strings, %d agreed, %d refused, %d disagreements\n", c.name, 2 * kSamplesPerShape, agreed,
              refused, disagreed);
  for (const std::string& example : examples) ADD_FAILURE() << example;
  EXPECT_EQ(disagreed, 0);
}

#else

TEST_P(AgainstReference, LengthIsTheReferencesOrRefused) {
  GTEST_SKIP() << "capstone is not installed (Debian: libcapstone-dev): the decoder is not compared with a reference";
}

#endif

INSTANTIATE_TEST_SUITE_P(BothModes, AgainstReference,
                         ::testing::Values(ModeCase{"x86", CodeMode::kX86, 0x5EED0086},
                                           ModeCase{"x64", CodeMode::kX64, 0x5EED0064}),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
