// Inflating a zlib stream (RFC 1950 around RFC 1951's deflate) whose decompressed size is known
// beforehand, as a PNG's image data is. Plain C++ without the Windows headers, read natively too.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

// The stream's bytes decompressed, exactly `size` of them. Nothing when the stream is malformed
// (a bad header, a preset dictionary, a bad block type or Huffman table, a code the table does
// not hold, a distance before the start of the output), ends early, holds more or fewer than
// `size` bytes, fails its Adler-32 check, or has bytes after that check.
std::optional<std::vector<unsigned char>> InflateZlib(std::span<const unsigned char> stream, size_t size);
