// Inflate: a bit reader over the stream, canonical Huffman tables with a 10-bit lookup for the
// common short codes, and the three block kinds written into an output of the promised size.
#include "runtime/units/inflate.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace {

constexpr unsigned kMaxCodeBits = 15;
constexpr unsigned kLookupBits = 10;
constexpr size_t kMaxSymbols = 288;

// Bits come least significant first; the buffer holds up to 64 of them. Every take is checked
// against the end of the stream.
class BitReader {
 public:
  explicit BitReader(std::span<const unsigned char> bytes) : cursor_(bytes.data()), end_(bytes.data() + bytes.size()) {}

  bool Take(unsigned n, uint32_t& value) {
    if (count_ < n) Fill();
    if (count_ < n) return false;
    value = static_cast<uint32_t>(bits_ & ((uint64_t{1} << n) - 1));
    Drop(n);
    return true;
  }
  // The next n bits, zeros past the end of the stream: the caller drops only what it uses.
  uint32_t Peek(unsigned n) {
    if (count_ < n) Fill();
    return static_cast<uint32_t>(bits_ & ((uint64_t{1} << n) - 1));
  }
  bool Drop(unsigned n) {
    if (n > count_) return false;
    bits_ = n == 64 ? 0 : bits_ >> n;
    count_ -= n;
    return true;
  }
  void AlignToByte() { Drop(count_ % 8); }
  // Whole bytes after AlignToByte: first those already in the buffer, then from the stream.
  bool TakeBytes(unsigned char* to, size_t n) {
    for (; n > 0 && count_ >= 8; --n) {
      *to++ = static_cast<unsigned char>(bits_);
      Drop(8);
    }
    if (n > static_cast<size_t>(end_ - cursor_)) return false;
    if (n > 0) std::memcpy(to, cursor_, n);
    cursor_ += n;
    return true;
  }
  bool AtEnd() const { return count_ == 0 && cursor_ == end_; }

 private:
  void Fill() {
    while (count_ <= 56 && cursor_ != end_) {
      bits_ |= uint64_t{*cursor_++} << count_;
      count_ += 8;
    }
  }

  const unsigned char* cursor_;
  const unsigned char* end_;
  uint64_t bits_ = 0;
  unsigned count_ = 0;
};

// A canonical Huffman code: how many codes each length has and the symbols in code order, and a
// lookup by the next kLookupBits bits (bit-reversed, as the stream holds codes) of
// length << 9 | symbol for codes that short; 0 sends the decoder to the bit-by-bit walk.
struct Huffman {
  std::array<uint16_t, kMaxCodeBits + 1> count{};
  std::array<uint16_t, kMaxSymbols> symbol{};
  std::array<uint16_t, 1u << kLookupBits> lookup{};
};

enum class Completeness { kRequired, kSingleCodeAllowed };

// Refuses lengths over 15 and over-subscribed codes; an incomplete code only where deflate
// allows one (a single code of one bit, or no codes, for the literal and distance tables).
bool BuildHuffman(std::span<const uint8_t> lengths, Completeness completeness, Huffman& h) {
  h = Huffman{};
  if (lengths.size() > kMaxSymbols) return false;
  for (const uint8_t length : lengths) {
    if (length > kMaxCodeBits) return false;
    ++h.count[length];
  }
  h.count[0] = 0;
  int left = 1;
  unsigned codes = 0;
  for (unsigned length = 1; length <= kMaxCodeBits; ++length) {
    left = left * 2 - h.count[length];
    codes += h.count[length];
    if (left < 0) return false;
  }
  const bool single = codes == 0 || (codes == 1 && h.count[1] == 1);
  if (left > 0 && (completeness == Completeness::kRequired || !single)) return false;

  std::array<uint16_t, kMaxCodeBits + 2> offset{};
  for (unsigned length = 1; length <= kMaxCodeBits; ++length) offset[length + 1] = offset[length] + h.count[length];
  for (size_t s = 0; s < lengths.size(); ++s)
    if (lengths[s]) h.symbol[offset[lengths[s]]++] = static_cast<uint16_t>(s);

  unsigned code = 0, index = 0;
  for (unsigned length = 1; length <= kLookupBits; ++length, code <<= 1) {
    for (unsigned k = 0; k < h.count[length]; ++k, ++code, ++index) {
      unsigned reversed = 0;
      for (unsigned b = 0; b < length; ++b) reversed |= ((code >> b) & 1u) << (length - 1 - b);
      const auto entry = static_cast<uint16_t>(length << 9 | h.symbol[index]);
      for (unsigned i = reversed; i < (1u << kLookupBits); i += 1u << length) h.lookup[i] = entry;
    }
  }
  return true;
}

bool Decode(BitReader& in, const Huffman& h, unsigned& symbol) {
  const uint16_t entry = h.lookup[in.Peek(kLookupBits)];
  if (entry) {
    symbol = entry & 0x1FFu;
    return in.Drop(entry >> 9);
  }
  // Longer codes (and codes the table lacks): walk the code lengths a bit at a time.
  int code = 0, first = 0, index = 0;
  for (unsigned length = 1; length <= kMaxCodeBits; ++length) {
    uint32_t bit = 0;
    if (!in.Take(1, bit)) return false;
    code |= static_cast<int>(bit);
    const int count = h.count[length];
    if (code - count < first) {
      symbol = h.symbol[static_cast<size_t>(index + code - first)];
      return true;
    }
    index += count;
    first = (first + count) << 1;
    code <<= 1;
  }
  return false;
}

constexpr std::array<uint16_t, 29> kLengthBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                  31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<uint16_t, 30> kDistanceBase = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,
                                                    33,  49,  65,  97,  129, 193,  257,  385,  513,  769,
                                                    1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<uint8_t, 30> kDistanceExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr std::array<uint8_t, 19> kCodeLengthOrder = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

struct FixedCodes {
  Huffman literals, distances;
};

// The fixed codes: all 288 literal/length and 32 distance symbols, so that both codes are
// complete; the symbols deflate never uses (286, 287, 30, 31) are refused when met.
const FixedCodes& Fixed() {
  static const FixedCodes codes = [] {
    FixedCodes made;
    std::array<uint8_t, 288> literal{};
    for (size_t s = 0; s < literal.size(); ++s) literal[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
    std::array<uint8_t, 32> distance{};
    distance.fill(5);
    BuildHuffman(literal, Completeness::kRequired, made.literals);
    BuildHuffman(distance, Completeness::kRequired, made.distances);
    return made;
  }();
  return codes;
}

class Inflater {
 public:
  Inflater(std::span<const unsigned char> stream, size_t size) : in_(stream), out_(size) {}

  std::optional<std::vector<unsigned char>> Run() {
    if (!Header()) return std::nullopt;
    uint32_t last = 0, type = 0;
    do {
      if (!in_.Take(1, last) || !in_.Take(2, type)) return std::nullopt;
      const bool read = type == 0   ? Stored()
                        : type == 1 ? Codes(Fixed().literals, Fixed().distances)
                        : type == 2 ? Dynamic()
                                    : false;
      if (!read) return std::nullopt;
    } while (!last);
    if (at_ != out_.size()) return std::nullopt;
    in_.AlignToByte();
    unsigned char check[4];
    if (!in_.TakeBytes(check, 4) || !in_.AtEnd()) return std::nullopt;
    if ((uint32_t{check[0]} << 24 | uint32_t{check[1]} << 16 | uint32_t{check[2]} << 8 | check[3]) != Adler32())
      return std::nullopt;
    return std::move(out_);
  }

 private:
  // CMF and FLG: deflate with a window of at most 32K, the check bits right, no dictionary.
  bool Header() {
    unsigned char header[2];
    if (!in_.TakeBytes(header, 2)) return false;
    const bool deflate = (header[0] & 0x0F) == 8 && (header[0] >> 4) <= 7;
    return deflate && (header[0] * 256u + header[1]) % 31 == 0 && !(header[1] & 0x20);
  }

  bool Stored() {
    in_.AlignToByte();
    unsigned char sizes[4];
    if (!in_.TakeBytes(sizes, 4)) return false;
    const unsigned length = sizes[0] | sizes[1] << 8;
    const unsigned complement = sizes[2] | sizes[3] << 8;
    if ((length ^ 0xFFFFu) != complement || length > out_.size() - at_) return false;
    if (!in_.TakeBytes(out_.data() + at_, length)) return false;
    at_ += length;
    return true;
  }

  bool Dynamic() {
    uint32_t literalCount = 0, distanceCount = 0, lengthCodeCount = 0;
    if (!in_.Take(5, literalCount) || !in_.Take(5, distanceCount) || !in_.Take(4, lengthCodeCount)) return false;
    literalCount += 257;
    distanceCount += 1;
    lengthCodeCount += 4;
    if (literalCount > 286 || distanceCount > 30) return false;
    std::array<uint8_t, 19> codeLengths{};
    for (uint32_t i = 0; i < lengthCodeCount; ++i) {
      uint32_t length = 0;
      if (!in_.Take(3, length)) return false;
      codeLengths[kCodeLengthOrder[i]] = static_cast<uint8_t>(length);
    }
    if (!BuildHuffman(codeLengths, Completeness::kRequired, lengthCode_)) return false;

    std::array<uint8_t, 286 + 30> lengths{};
    const uint32_t total = literalCount + distanceCount;
    for (uint32_t i = 0; i < total;) {
      unsigned symbol = 0;
      if (!Decode(in_, lengthCode_, symbol)) return false;
      if (symbol < 16) {
        lengths[i++] = static_cast<uint8_t>(symbol);
        continue;
      }
      uint8_t value = 0;
      uint32_t repeat = 0;
      if (symbol == 16) {
        if (i == 0 || !in_.Take(2, repeat)) return false;
        value = lengths[i - 1];
        repeat += 3;
      } else if (symbol == 17) {
        if (!in_.Take(3, repeat)) return false;
        repeat += 3;
      } else {
        if (!in_.Take(7, repeat)) return false;
        repeat += 11;
      }
      if (repeat > total - i) return false;
      for (; repeat > 0; --repeat) lengths[i++] = value;
    }
    if (lengths[256] == 0) return false;  // no end-of-block code
    const std::span<const uint8_t> all(lengths.data(), total);
    return BuildHuffman(all.first(literalCount), Completeness::kSingleCodeAllowed, literals_) &&
           BuildHuffman(all.subspan(literalCount), Completeness::kSingleCodeAllowed, distances_) &&
           Codes(literals_, distances_);
  }

  bool Codes(const Huffman& literals, const Huffman& distances) {
    for (;;) {
      unsigned symbol = 0;
      if (!Decode(in_, literals, symbol)) return false;
      if (symbol < 256) {
        if (at_ == out_.size()) return false;
        out_[at_++] = static_cast<unsigned char>(symbol);
        continue;
      }
      if (symbol == 256) return true;
      symbol -= 257;
      if (symbol >= kLengthBase.size()) return false;
      uint32_t extra = 0;
      if (!in_.Take(kLengthExtra[symbol], extra)) return false;
      const size_t length = kLengthBase[symbol] + extra;
      if (!Decode(in_, distances, symbol) || symbol >= kDistanceBase.size()) return false;
      if (!in_.Take(kDistanceExtra[symbol], extra)) return false;
      const size_t distance = kDistanceBase[symbol] + extra;
      if (distance > at_ || length > out_.size() - at_) return false;
      // Byte by byte: a copy may overlap what it writes (distance shorter than length).
      unsigned char* to = out_.data() + at_;
      const unsigned char* from = to - distance;
      for (size_t i = 0; i < length; ++i) to[i] = from[i];
      at_ += length;
    }
  }

  uint32_t Adler32() const {
    uint32_t a = 1, b = 0;
    size_t i = 0;
    while (i < out_.size()) {
      // 5552 bytes is the longest run for which b cannot overflow before the reduction.
      const size_t run = std::min<size_t>(5552, out_.size() - i);
      for (const size_t stop = i + run; i < stop; ++i) {
        a += out_[i];
        b += a;
      }
      a %= 65521;
      b %= 65521;
    }
    return b << 16 | a;
  }

  BitReader in_;
  std::vector<unsigned char> out_;
  size_t at_ = 0;
  Huffman lengthCode_, literals_, distances_;
};

}  // namespace

std::optional<std::vector<unsigned char>> InflateZlib(std::span<const unsigned char> stream, size_t size) {
  // Deflate expands at most 1032 times (a copy of 258 bytes for two bits of codes): a stream too
  // short for the size is refused before the output is allocated.
  if (size / 1032 > stream.size()) return std::nullopt;
  return Inflater(stream, size).Run();
}
