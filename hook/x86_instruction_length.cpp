// The instruction length decoder: legacy prefixes, REX, the one- and two-byte opcode maps, ModRM
// with SIB and displacements, and the immediates; the instruction kind from the opcode's form.
#include "hook/x86_instruction_length.h"

#include <array>

namespace {

// What follows an opcode byte, and what the instruction does to the flow of control.
enum Form : uint8_t {
  BD,  // unknown here, or invalid in both modes
  NO,  // nothing more
  MR,  // ModRM
  M8,  // ModRM, imm8
  MZ,  // ModRM, imm16/32 by operand size
  I8,  // imm8
  IZ,  // imm16/32 by operand size
  IV,  // imm16/32, imm64 with REX.W (mov reg, imm)
  EN,  // imm16, imm8 (enter)
  MO,  // an absolute address as wide as the address size (mov al/eax <-> moffs)
  R8,  // rel8
  RZ,  // rel16/32
  RT,  // return
  RI,  // return, imm16
  TP,  // trap
  TI,  // trap, imm8 (int n)
  PF,  // a prefix met where an opcode belongs
  RX,  // REX on x86-64 (where it is taken before the table), inc/dec reg on x86
  T2,  // 0F: the two-byte map
  T8,  // 0F 38: a three-byte opcode, ModRM
  TA,  // 0F 3A: a three-byte opcode, ModRM, imm8
  X1,  // nothing more; x86 only
  X8,  // imm8; x86 only
  XM,  // ModRM; x86 only (bound, les, lds: VEX and EVEX on x86-64)
  XI,  // ModRM, imm8; x86 only
  G6,  // F6 group: ModRM, imm8 for test (reg 0, 1)
  G7,  // F7 group: ModRM, imm16/32 for test (reg 0, 1)
  GC,  // C6: mov r/m8, imm8 (reg 0 only)
  GD,  // C7: mov r/m, imm16/32 (reg 0 only; C7 F8 is xbegin, relative)
  GE,  // FE: inc, dec r/m8 (reg 0, 1)
  GF,  // FF: inc, dec, call near, jmp near, push (reg 0, 1, 2, 4, 6)
};

using OpcodeMap = std::array<Form, 256>;

// Opcodes 00-FF, sixteen to a row.
constexpr OpcodeMap kOneByteMap = {
    MR, MR, MR, MR, I8, IZ, X1, X1, MR, MR, MR, MR, I8, IZ, X1, T2,  // 00
    MR, MR, MR, MR, I8, IZ, X1, X1, MR, MR, MR, MR, I8, IZ, X1, X1,  // 10
    MR, MR, MR, MR, I8, IZ, PF, X1, MR, MR, MR, MR, I8, IZ, PF, X1,  // 20
    MR, MR, MR, MR, I8, IZ, PF, X1, MR, MR, MR, MR, I8, IZ, PF, X1,  // 30
    RX, RX, RX, RX, RX, RX, RX, RX, RX, RX, RX, RX, RX, RX, RX, RX,  // 40
    NO, NO, NO, NO, NO, NO, NO, NO, NO, NO, NO, NO, NO, NO, NO, NO,  // 50
    X1, X1, XM, MR, PF, PF, PF, PF, IZ, MZ, I8, M8, NO, NO, NO, NO,  // 60
    R8, R8, R8, R8, R8, R8, R8, R8, R8, R8, R8, R8, R8, R8, R8, R8,  // 70
    M8, MZ, XI, M8, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR,  // 80
    NO, NO, NO, NO, NO, NO, NO, NO, NO, NO, BD, NO, NO, NO, NO, NO,  // 90
    MO, MO, MO, MO, NO, NO, NO, NO, I8, IZ, NO, NO, NO, NO, NO, NO,  // A0
    I8, I8, I8, I8, I8, I8, I8, I8, IV, IV, IV, IV, IV, IV, IV, IV,  // B0
    M8, M8, RI, RT, XM, XM, GC, GD, EN, NO, RI, RT, TP, TI, TP, TP,  // C0
    MR, MR, MR, MR, X8, X8, BD, NO, MR, MR, MR, MR, MR, MR, MR, MR,  // D0
    R8, R8, R8, R8, I8, I8, I8, I8, RZ, RZ, BD, R8, NO, NO, NO, NO,  // E0
    PF, TP, PF, PF, TP, NO, G6, G7, NO, NO, NO, NO, NO, NO, GE, GF,  // F0
};

// 0F 00-FF.
constexpr OpcodeMap kTwoByteMap = {
    MR, MR, MR, MR, BD, BD, NO, BD, NO, NO, BD, TP, BD, MR, BD, BD,  // 00: 05 syscall, 0B ud2
    MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR,  // 10: 1E FA with F3 is endbr64
    MR, MR, MR, MR, BD, BD, BD, BD, MR, MR, MR, MR, MR, MR, MR, MR,  // 20
    NO, NO, NO, NO, BD, BD, BD, BD, T8, BD, TA, BD, BD, BD, BD, BD,  // 30
    MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR,  // 40 cmovcc
    MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR,  // 50
    MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR,  // 60
    M8, M8, M8, M8, MR, MR, MR, NO, MR, MR, BD, BD, MR, MR, MR, MR,  // 70
    RZ, RZ, RZ, RZ, RZ, RZ, RZ, RZ, RZ, RZ, RZ, RZ, RZ, RZ, RZ, RZ,  // 80 jcc rel32
    MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR,  // 90 setcc
    NO, NO, NO, MR, M8, MR, BD, BD, NO, NO, BD, MR, M8, MR, MR, MR,  // A0
    MR, MR, MR, MR, MR, MR, MR, MR, MR, TP, M8, MR, MR, MR, MR, MR,  // B0: B9 ud1
    MR, MR, M8, MR, M8, M8, M8, MR, NO, NO, NO, NO, NO, NO, NO, NO,  // C0: C8-CF bswap
    MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR,  // D0
    MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR,  // E0
    MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, MR, TP,  // F0: FF ud0
};

constexpr size_t kLongestInstruction = 15;

bool IsLegacyPrefix(uint8_t byte) {
  switch (byte) {
    case 0x26: case 0x2E: case 0x36: case 0x3E: case 0x64: case 0x65:  // segments
    case 0x66:                                                         // operand size
    case 0xF0: case 0xF2: case 0xF3:                                   // lock, rep
      return true;
    default:
      return false;
  }
}

// Reads forward through one instruction, never at or past end.
class Cursor {
 public:
  Cursor(const uint8_t* start, const uint8_t* end) : start_(start), cursor_(start), end_(end) {}
  bool Take(uint8_t& byte) {
    if (cursor_ >= end_) return false;
    byte = *cursor_++;
    return true;
  }
  bool Peek(uint8_t& byte) const {
    if (cursor_ >= end_) return false;
    byte = *cursor_;
    return true;
  }
  bool Skip(size_t count) {
    if (static_cast<size_t>(end_ - cursor_) < count) return false;
    cursor_ += count;
    return true;
  }
  size_t consumed() const { return static_cast<size_t>(cursor_ - start_); }

 private:
  const uint8_t* start_;
  const uint8_t* cursor_;
  const uint8_t* end_;
};

constexpr DecodedInstruction kUnknown{0, InstructionKind::kUnknown};
constexpr DecodedInstruction kTruncated{0, InstructionKind::kTruncated};

// The ModRM byte, its SIB byte and displacement (32-bit addressing, which both modes use without
// the 67 prefix). `ripRelative`: mod 00 with rm 101 addresses from RIP on x86-64 (on x86 it is
// an absolute disp32).
bool SkipModRm(Cursor& cursor, uint8_t modRm, CodeMode mode, bool& ripRelative) {
  const uint8_t mod = modRm >> 6;
  const uint8_t rm = modRm & 7;
  ripRelative = false;
  if (mod == 3) return true;
  if (rm == 4) {
    uint8_t sib = 0;
    if (!cursor.Take(sib)) return false;
    if (mod == 0 && (sib & 7) == 5) return cursor.Skip(4);
  }
  if (mod == 0 && rm == 5) {
    ripRelative = mode == CodeMode::kX64;
    return cursor.Skip(4);
  }
  return cursor.Skip(mod == 1 ? 1 : mod == 2 ? 4 : 0);
}

// Forms that exist on x86 only are invalid opcodes (or other prefixes) on x86-64.
Form ForMode(Form form, CodeMode mode) {
  if (mode == CodeMode::kX64) {
    switch (form) {
      case X1: case X8: case XM: case XI: case RX:
        return BD;
      default:
        return form;
    }
  }
  switch (form) {
    case X1: case RX: return NO;
    case X8: return I8;
    case XM: return MR;
    case XI: return M8;
    default: return form;
  }
}

// The group opcodes whose ModRM reg field picks the instruction: its immediate and its kind, or
// BD when that reg value is not one met in function prologues.
Form GroupForm(Form group, uint8_t reg, InstructionKind& kind) {
  switch (group) {
    case G6: return reg <= 1 ? M8 : MR;
    case G7: return reg <= 1 ? MZ : MR;
    case GC: return reg == 0 ? M8 : BD;
    case GD: return reg == 0 ? MZ : BD;
    case GE: return reg <= 1 ? MR : BD;
    case GF:
      if (reg == 4) kind = InstructionKind::kEndsFlow;  // jmp near indirect
      return (reg == 3 || reg == 5 || reg == 7) ? BD : MR;  // far call, far jmp, invalid
    default: return group;
  }
}

size_t ImmediateSize(Form form, CodeMode mode, bool operandSize16, bool rexW) {
  const size_t z = (operandSize16 && !rexW) ? 2 : 4;
  switch (form) {
    case M8: case I8: case R8: case TI: return 1;
    case RI: return 2;
    case EN: return 3;
    case MZ: case IZ: case RZ: return z;
    case IV: return rexW ? 8 : z;
    case MO: return mode == CodeMode::kX64 ? 8 : 4;
    default: return 0;
  }
}

InstructionKind KindOf(Form form) {
  switch (form) {
    case R8: case RZ: return InstructionKind::kRelativeBranch;
    case RT: case RI: return InstructionKind::kEndsFlow;
    case TP: case TI: return InstructionKind::kTrap;
    default: return InstructionKind::kPlain;
  }
}

bool HasModRm(Form form) { return form == MR || form == M8 || form == MZ || form == G6 || form == G7 || form == GC || form == GD || form == GE || form == GF; }

}  // namespace

DecodedInstruction DecodeInstruction(const uint8_t* start, const uint8_t* end, CodeMode mode) {
  if (!start || end < start) return kTruncated;
  Cursor cursor(start, end);
  uint8_t byte = 0;
  bool operandSize16 = false;
  // Legacy prefixes. 67 (address size) would switch x86 to 16-bit ModRM forms: not taken.
  while (cursor.Peek(byte) && IsLegacyPrefix(byte)) {
    operandSize16 = operandSize16 || byte == 0x66;
    cursor.Skip(1);
  }
  if (!cursor.Take(byte)) return kTruncated;
  if (byte == 0x67) return kUnknown;
  bool rexW = false;
  if (mode == CodeMode::kX64 && (byte & 0xF0) == 0x40) {
    rexW = (byte & 0x08) != 0;
    if (!cursor.Take(byte)) return kTruncated;
  }

  Form form = ForMode(kOneByteMap[byte], mode);
  if (form == T2) {
    if (!cursor.Take(byte)) return kTruncated;
    form = kTwoByteMap[byte];
    if (form == T8 || form == TA) {
      if (!cursor.Skip(1)) return kTruncated;
      form = form == T8 ? MR : M8;
    }
  }
  if (form == BD || form == PF) return kUnknown;

  InstructionKind kind = KindOf(form);
  if (HasModRm(form)) {
    uint8_t modRm = 0;
    if (!cursor.Take(modRm)) return kTruncated;
    form = GroupForm(form, (modRm >> 3) & 7, kind);
    if (form == BD) return kUnknown;
    bool ripRelative = false;
    if (!SkipModRm(cursor, modRm, mode, ripRelative)) return kTruncated;
    if (ripRelative) kind = InstructionKind::kRipRelative;
  }
  if (!cursor.Skip(ImmediateSize(form, mode, operandSize16, rexW))) return kTruncated;
  if (cursor.consumed() > kLongestInstruction) return kUnknown;
  return {cursor.consumed(), kind};
}

ProloguePlan PlanPrologueMove(const uint8_t* code, const uint8_t* end, CodeMode mode, size_t minimum) {
  size_t length = 0;
  while (length < minimum) {
    const DecodedInstruction instruction = DecodeInstruction(code + length, end, mode);
    switch (instruction.kind) {
      case InstructionKind::kPlain:
        break;
      case InstructionKind::kEndsFlow:
        // What follows belongs to something else: the function must already be long enough.
        if (length + instruction.length < minimum) return {0, PrologueVerdict::kTooShort};
        break;
      case InstructionKind::kRelativeBranch:
        return {0, PrologueVerdict::kRelativeBranch};
      case InstructionKind::kRipRelative:
        return {0, PrologueVerdict::kRipRelative};
      case InstructionKind::kTrap:
      case InstructionKind::kUnknown:
      case InstructionKind::kTruncated:
        return {0, PrologueVerdict::kUnknownInstruction};
    }
    length += instruction.length;
  }
  return {length, PrologueVerdict::kMovable};
}
