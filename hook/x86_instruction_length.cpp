// The instruction length decoder: legacy prefixes, REX, the one- and two-byte opcode maps, ModRM
// with SIB and displacements, and the immediates; the instruction kind from the opcode's form.
// It knows the instructions that open functions and refuses the rest: an encoding it cannot size
// exactly, an invalid one, and those whose meaning differs between processors.
#include "hook/x86_instruction_length.h"

#include <array>

namespace {

// What follows an opcode byte, and what the instruction does to the flow of control.
enum Form : uint8_t {
  BD,   // unknown here, or invalid in both modes (first, so that a map's gaps are BD)
  NO,   // nothing more
  MR,   // ModRM
  MM,   // ModRM with a memory operand only (lea, movnt..., lss)
  MX,   // ModRM with a register operand only (movmskps, pmovmskb)
  MXI,  // ModRM with a register operand only, imm8 (pextrw)
  MC,   // ModRM that the processor takes as register form whatever its mod (mov to or from CRn, DRn)
  M8,   // ModRM, imm8
  MZ,   // ModRM, imm16/32 by operand size
  I8,   // imm8
  IZ,   // imm16/32 by operand size
  IV,   // imm16/32, imm64 with REX.W (mov reg, imm)
  EN,   // imm16, imm8 (enter)
  MO,   // an absolute address as wide as the address size (mov al/eax <-> moffs)
  R8,   // rel8
  RZ,   // rel16/32
  RT,   // return
  RI,   // return, imm16
  TP,   // trap
  TI,   // trap, imm8 (int n)
  PF,   // a prefix met where an opcode belongs
  RX,   // REX on x86-64 (where it is taken before the table), inc/dec reg on x86
  T2,   // 0F: the two-byte map
  X1,   // nothing more; x86 only
  X8,   // imm8; x86 only
  XN,   // ModRM with a memory operand; x86 only (bound, les, lds; with mod 3, and on x86-64, the
        // EVEX and VEX prefixes)
  XI,   // ModRM, imm8; x86 only
  G6,   // F6 group: ModRM, imm8 for test (reg 0)
  G7,   // F7 group: ModRM, imm16/32 for test (reg 0)
  GC,   // C6: mov r/m8, imm8 (reg 0 only)
  GD,   // C7: mov r/m, imm16/32 (reg 0 only; C7 F8 is xbegin, relative)
  GE,   // FE: inc, dec r/m8 (reg 0, 1)
  GF,   // FF: inc, dec, call near, jmp near, push (reg 0, 1, 2, 4, 6)
  GP,   // 8F: pop r/m (reg 0); any other reg makes it the XOP prefix
  GS,   // C0, C1, D0-D3: shifts and rotates (reg 6 is an undocumented alias)
  GB,   // 0F BA: bt, bts, btr, btc r/m, imm8 (reg 4-7)
  FP,   // D8-DF: x87
  EB,   // F3 0F 1E: endbr64, endbr32 (ModRM FA, FB); other forms are hint nops or CET
  SA,   // 0F 78 with 66 or F2: SSE4a extrq, insertq: register form, imm8, imm8
};

// The prefix an SSE opcode of the two-byte map needs: none, 66, F3 or F2, one bit each. Opcodes
// that are not SSE take any of them (66 sets the operand size, F2 and F3 are ignored or rep).
enum Mandatory : uint8_t { kNone = 1, k66 = 2, kF3 = 4, kF2 = 8, kAnyPrefix = 15 };

using OpcodeMap = std::array<Form, 256>;

// Opcodes 00-FF, sixteen to a row.
constexpr OpcodeMap kOneByteMap = {
    MR, MR, MR, MR, I8, IZ, X1, X1, MR, MR, MR, MR, I8, IZ, X1, T2,  // 00
    MR, MR, MR, MR, I8, IZ, X1, X1, MR, MR, MR, MR, I8, IZ, X1, X1,  // 10
    MR, MR, MR, MR, I8, IZ, PF, X1, MR, MR, MR, MR, I8, IZ, PF, X1,  // 20
    MR, MR, MR, MR, I8, IZ, PF, X1, MR, MR, MR, MR, I8, IZ, PF, X1,  // 30
    RX, RX, RX, RX, RX, RX, RX, RX, RX, RX, RX, RX, RX, RX, RX, RX,  // 40
    NO, NO, NO, NO, NO, NO, NO, NO, NO, NO, NO, NO, NO, NO, NO, NO,  // 50
    X1, X1, XN, MR, PF, PF, PF, PF, IZ, MZ, I8, M8, NO, NO, NO, NO,  // 60
    R8, R8, R8, R8, R8, R8, R8, R8, R8, R8, R8, R8, R8, R8, R8, R8,  // 70
    M8, MZ, XI, M8, MR, MR, MR, MR, MR, MR, MR, MR, BD, MM, BD, GP,  // 80: 8C, 8E segment moves
    NO, NO, NO, NO, NO, NO, NO, NO, NO, NO, BD, NO, NO, NO, NO, NO,  // 90
    MO, MO, MO, MO, NO, NO, NO, NO, I8, IZ, NO, NO, NO, NO, NO, NO,  // A0
    I8, I8, I8, I8, I8, I8, I8, I8, IV, IV, IV, IV, IV, IV, IV, IV,  // B0
    GS, GS, RI, RT, XN, XN, GC, GD, EN, NO, RI, RT, TP, TI, BD, TP,  // C0: CE into
    GS, GS, GS, GS, X8, X8, BD, NO, FP, FP, FP, FP, FP, FP, FP, FP,  // D0
    R8, R8, R8, R8, I8, I8, I8, I8, RZ, RZ, BD, R8, NO, NO, NO, NO,  // E0
    PF, TP, PF, PF, TP, NO, G6, G7, NO, NO, NO, NO, NO, NO, GE, GF,  // F0
};

struct TwoByteOpcode {
  Form form;
  uint8_t prefixes;  // Mandatory bits
};
struct TwoByteRange {
  uint8_t first;
  uint8_t last;
  Form form;
  uint8_t prefixes;
};

constexpr uint8_t kNo66 = kNone | k66;
constexpr uint8_t kNo66F3 = kNone | k66 | kF3;

// The 0F map: what it holds beyond the gaps. Left out, and so refused: the system groups (0F 00,
// 01, C7), the three-byte maps (0F 38, 0F 3A), 3DNow! (0F 0E, 0F 0F), prefetch and hint nops
// (0D, 18-1D), the MMX shift groups (71-73), the state groups (AE), vmread and vmwrite, ud0 and
// ud1 (whose ModRM depends on the processor), and whatever is not met in functions at all.
constexpr TwoByteRange kTwoByteRanges[] = {
    {0x06, 0x06, NO, kAnyPrefix},  // clts
    {0x08, 0x09, NO, kAnyPrefix},  // invd, wbinvd
    {0x0B, 0x0B, TP, kAnyPrefix},  // ud2
    {0x10, 0x11, MR, kAnyPrefix},  // movups, movupd, movss, movsd
    {0x12, 0x12, MR, kNone | kF3 | kF2},  // movlps/movhlps, movsldup, movddup (66: memory only)
    {0x13, 0x13, MM, kNo66},
    {0x14, 0x15, MR, kNo66},
    {0x16, 0x16, MR, kNone | kF3},  // movhps/movlhps, movshdup (66: memory only)
    {0x17, 0x17, MM, kNo66},
    {0x1E, 0x1E, EB, kF3},
    {0x1F, 0x1F, MM, kNo66},  // nop r/m (the register form is a hint nop references reject)
    {0x20, 0x23, MC, kNo66},
    {0x28, 0x29, MR, kNo66},
    {0x2A, 0x2A, MR, kAnyPrefix},
    {0x2B, 0x2B, MM, kNo66},
    {0x2C, 0x2D, MR, kAnyPrefix},
    {0x2E, 0x2F, MR, kNo66},
    {0x30, 0x33, NO, kNo66},  // wrmsr, rdtsc, rdmsr, rdpmc
    {0x40, 0x4F, MR, kAnyPrefix},  // cmovcc
    {0x50, 0x50, MX, kNo66},
    {0x51, 0x51, MR, kAnyPrefix},
    {0x52, 0x53, MR, kNone | kF3},
    {0x54, 0x57, MR, kNo66},
    {0x58, 0x5A, MR, kAnyPrefix},
    {0x5B, 0x5B, MR, kNo66F3},
    {0x5C, 0x5F, MR, kAnyPrefix},
    {0x60, 0x6B, MR, kNo66},
    {0x6C, 0x6D, MR, k66},
    {0x6E, 0x6E, MR, kNo66},
    {0x6F, 0x6F, MR, kNo66F3},
    {0x70, 0x70, M8, kAnyPrefix},
    {0x74, 0x76, MR, kNo66},
    {0x77, 0x77, NO, kNone},  // emms
    {0x78, 0x78, SA, k66 | kF2},
    {0x79, 0x79, MX, k66 | kF2},  // extrq, insertq xmm, xmm
    {0x7C, 0x7D, MR, k66 | kF2},
    {0x7E, 0x7F, MR, kNo66F3},
    {0x80, 0x8F, RZ, kAnyPrefix},  // jcc rel32
    {0x90, 0x9F, MR, kAnyPrefix},  // setcc
    {0xA0, 0xA2, NO, kAnyPrefix},  // push fs, pop fs, cpuid
    {0xA3, 0xA3, MR, kAnyPrefix},
    {0xA4, 0xA4, M8, kAnyPrefix},
    {0xA5, 0xA5, MR, kAnyPrefix},
    {0xA8, 0xA9, NO, kAnyPrefix},  // push gs, pop gs
    {0xAB, 0xAB, MR, kAnyPrefix},
    {0xAC, 0xAC, M8, kAnyPrefix},
    {0xAD, 0xAD, MR, kAnyPrefix},
    {0xAF, 0xB1, MR, kAnyPrefix},  // imul, cmpxchg
    {0xB2, 0xB2, MM, kAnyPrefix},  // lss
    {0xB3, 0xB3, MR, kAnyPrefix},
    {0xB4, 0xB5, MM, kAnyPrefix},  // lfs, lgs
    {0xB6, 0xB7, MR, kAnyPrefix},  // movzx
    {0xB8, 0xB8, MR, kF3},         // popcnt
    {0xBA, 0xBA, GB, kAnyPrefix},
    {0xBB, 0xC1, MR, kAnyPrefix},  // btc, bsf/tzcnt, bsr/lzcnt, movsx, xadd
    {0xC2, 0xC2, M8, kAnyPrefix},
    {0xC3, 0xC3, MM, kNone},  // movnti
    {0xC4, 0xC4, M8, kNo66},
    {0xC5, 0xC5, MXI, kNo66},
    {0xC6, 0xC6, M8, kNo66},
    {0xC8, 0xCF, NO, kNone},  // bswap
    {0xD0, 0xD0, MR, k66 | kF2},
    {0xD1, 0xD5, MR, kNo66},
    {0xD6, 0xD6, MR, k66},
    {0xD7, 0xD7, MX, kNo66},
    {0xD8, 0xE5, MR, kNo66},
    {0xE6, 0xE6, MR, k66 | kF3 | kF2},
    {0xE7, 0xE7, MM, kNo66},
    {0xE8, 0xEF, MR, kNo66},
    {0xF0, 0xF0, MM, kF2},  // lddqu
    {0xF1, 0xF6, MR, kNo66},
    {0xF7, 0xF7, MX, kNo66},
    {0xF8, 0xFE, MR, kNo66},
};

constexpr std::array<TwoByteOpcode, 256> kTwoByteMap = [] {
  std::array<TwoByteOpcode, 256> map{};
  for (const TwoByteRange& range : kTwoByteRanges)
    for (unsigned opcode = range.first; opcode <= range.last; ++opcode) map[opcode] = {range.form, range.prefixes};
  return map;
}();

// The x87 register forms (mod 3) that exist, one bit per ModRM byte C0-FF, for D8-DF; and the
// reg values of their memory forms that exist.
constexpr uint64_t Bits(unsigned first, unsigned last) {
  uint64_t bits = 0;
  for (unsigned modRm = first; modRm <= last; ++modRm) bits |= uint64_t{1} << (modRm - 0xC0);
  return bits;
}
constexpr uint64_t kX87RegisterForms[8] = {
    Bits(0xC0, 0xFF),                                                                          // D8
    Bits(0xC0, 0xD0) | Bits(0xE0, 0xE1) | Bits(0xE4, 0xE5) | Bits(0xE8, 0xEE) | Bits(0xF0, 0xFF),  // D9
    Bits(0xC0, 0xDF) | Bits(0xE9, 0xE9),                                                      // DA
    Bits(0xC0, 0xDF) | Bits(0xE2, 0xE3) | Bits(0xE8, 0xF7),                                   // DB
    Bits(0xC0, 0xCF) | Bits(0xE0, 0xFF),                                                      // DC
    Bits(0xC0, 0xC7) | Bits(0xD0, 0xEF),                                                      // DD
    Bits(0xC0, 0xCF) | Bits(0xD9, 0xD9) | Bits(0xE0, 0xFF),                                   // DE
    Bits(0xE0, 0xE0) | Bits(0xE8, 0xF7),                                                      // DF
};
// D9 /1, DB /4, DB /6 and DD /5 are reserved.
constexpr uint8_t kX87MemoryForms[8] = {0xFF, 0xFD, 0xFF, 0xAF, 0xFF, 0xDF, 0xFF, 0xFF};

constexpr size_t kLongestInstruction = 15;

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

// The legacy prefixes seen before the opcode.
struct Prefixes {
  bool operandSize = false;  // 66
  bool repne = false;        // F2
  bool rep = false;          // F3
  bool lock = false;         // F0
  bool segment = false;      // 26 2E 36 3E 64 65
  uint8_t last = 0;          // the one right before the opcode (or REX)

  // More than one of 66, F2, F3: the processor takes 66 as the operand size of a general
  // instruction where disassemblers drop it for the F2 or F3 (capstone sizes 66 F2 68 with an
  // imm32), and which of F2 and F3 picks an SSE instruction the manuals leave undefined.
  bool Ambiguous() const { return (operandSize && (repne || rep)) || (repne && rep); }
  Mandatory Selected() const { return repne ? kF2 : rep ? kF3 : operandSize ? k66 : kNone; }
  // The prefix that selects an SSE instruction, as the processor finds it anywhere among the
  // prefixes; disassemblers take it only right before the opcode, so another one between the two
  // makes them read another instruction (capstone reads 66 64 0F 78 as vmread, not extrq).
  bool SelectorIsLast() const {
    switch (Selected()) {
      case kF2: return last == 0xF2;
      case kF3: return last == 0xF3;
      case k66: return last == 0x66;
      default: return true;
    }
  }
};

bool TakePrefix(uint8_t byte, Prefixes& prefixes) {
  switch (byte) {
    case 0x26: case 0x2E: case 0x36: case 0x3E: case 0x64: case 0x65: prefixes.segment = true; break;
    case 0x66: prefixes.operandSize = true; break;
    case 0xF0: prefixes.lock = true; break;
    case 0xF2: prefixes.repne = true; break;
    case 0xF3: prefixes.rep = true; break;
    default: return false;
  }
  prefixes.last = byte;
  return true;
}

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
      case X1: case X8: case XN: case XI: case RX:
        return BD;
      default:
        return form;
    }
  }
  switch (form) {
    case X1: case RX: return NO;
    case X8: return I8;
    case XN: return MM;
    case XI: return M8;
    default: return form;
  }
}

bool HasModRm(Form form) {
  switch (form) {
    case MR: case MM: case MX: case MXI: case MC: case M8: case MZ: case G6: case G7: case GC: case GD:
    case GE: case GF: case GP: case GS: case GB: case FP: case EB: case SA:
      return true;
    default:
      return false;
  }
}

// What the ModRM byte makes of the forms that depend on it: a plain form, or BD when that
// combination does not exist or is not met in function prologues. `opcode` is the last opcode
// byte.
Form FormWithModRm(Form form, uint8_t opcode, uint8_t modRm, const Prefixes& prefixes, InstructionKind& kind) {
  const uint8_t reg = (modRm >> 3) & 7;
  const bool registerForm = (modRm >> 6) == 3;
  switch (form) {
    case MM: return registerForm ? BD : MR;
    case MX: return registerForm ? MR : BD;
    case MXI: return registerForm ? M8 : BD;
    case G6: return reg == 0 ? M8 : reg == 1 ? BD : MR;  // reg 1: an undocumented test
    case G7: return reg == 0 ? MZ : reg == 1 ? BD : MR;
    case GC: return reg == 0 ? M8 : BD;
    case GD: return reg == 0 ? MZ : BD;
    case GE: return reg <= 1 ? MR : BD;
    case GF:
      if (reg == 4) kind = InstructionKind::kEndsFlow;  // jmp near indirect
      return (reg == 3 || reg == 5 || reg == 7) ? BD : MR;  // far call, far jmp, invalid
    case GP: return reg == 0 ? MR : BD;
    case GS: return reg == 6 ? BD : (opcode == 0xC0 || opcode == 0xC1) ? M8 : MR;
    case GB: return reg >= 4 ? M8 : BD;
    case FP:
      if (registerForm) return (kX87RegisterForms[opcode & 7] >> (modRm - 0xC0)) & 1 ? MR : BD;
      return (kX87MemoryForms[opcode & 7] >> reg) & 1 ? MR : BD;
    // Only the plain F3 0F 1E FA is endbr64 to every reader; more prefixes make it a hint nop.
    case EB: return (modRm == 0xFA || modRm == 0xFB) && !prefixes.segment ? MR : BD;
    case SA: return registerForm && (prefixes.Selected() == kF2 || reg == 0) ? SA : BD;
    default: return form;
  }
}

size_t ImmediateSize(Form form, CodeMode mode, bool operandSize16, bool rexW) {
  const size_t z = (operandSize16 && !rexW) ? 2 : 4;
  switch (form) {
    case M8: case I8: case R8: case TI: return 1;
    case RI: case SA: return 2;
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

}  // namespace

DecodedInstruction DecodeInstruction(const uint8_t* start, const uint8_t* end, CodeMode mode) {
  if (!start || end < start) return kTruncated;
  Cursor cursor(start, end);
  uint8_t byte = 0;
  Prefixes prefixes;
  // Legacy prefixes. 67 (address size) would switch x86 to 16-bit ModRM forms: not taken.
  while (cursor.Peek(byte) && TakePrefix(byte, prefixes)) cursor.Skip(1);
  // A lock is valid only on a read-modify-write of memory, and such an instruction does not open
  // a function.
  if (prefixes.lock || prefixes.Ambiguous()) return kUnknown;
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
    const TwoByteOpcode opcode = kTwoByteMap[byte];
    const bool selected = opcode.prefixes == kAnyPrefix ||
                          ((opcode.prefixes & prefixes.Selected()) && prefixes.SelectorIsLast());
    form = selected ? opcode.form : BD;
  }
  if (form == BD || form == PF) return kUnknown;
  // Near branches and returns with 66 on x86-64: AMD processors take a 16-bit operand (rel16,
  // a 16-bit return address), Intel processors ignore the prefix.
  if (mode == CodeMode::kX64 && prefixes.operandSize && (form == RZ || form == RT || form == RI)) return kUnknown;

  InstructionKind kind = KindOf(form);
  if (HasModRm(form)) {
    uint8_t modRm = 0;
    if (!cursor.Take(modRm)) return kTruncated;
    form = FormWithModRm(form, byte, modRm, prefixes, kind);
    if (form == BD) return kUnknown;
    bool ripRelative = false;
    // mov to or from a control or debug register ignores mod: no SIB, no displacement.
    if (form != MC && !SkipModRm(cursor, modRm, mode, ripRelative)) return kTruncated;
    if (ripRelative) kind = InstructionKind::kRipRelative;
  }
  if (!cursor.Skip(ImmediateSize(form, mode, prefixes.operandSize, rexW))) return kTruncated;
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
