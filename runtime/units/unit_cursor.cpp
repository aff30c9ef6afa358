// Unit cursors from their bytes: system cursors by number, cursor files, and the cache.
#include "runtime/units/unit_cursor.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "runtime/units/icon_file.h"

HCURSOR UnitCursor::For(std::span<const unsigned char> bytes) {
  if (std::equal(bytes.begin(), bytes.end(), bytes_.begin(), bytes_.end())) return cursor_;
  bytes_.assign(bytes.begin(), bytes.end());
  own_.reset();
  cursor_ = nullptr;
  int32_t number = 0;
  if (bytes.size() < sizeof number) return cursor_;
  std::memcpy(&number, bytes.data(), sizeof number);
  if (number == kCursorFromFile) {
    own_ = CursorFromFile(bytes.subspan(sizeof number));
    cursor_ = own_.get();
  } else if (number > 0 && number <= 0xFFFF) {
    cursor_ = LoadCursorA(nullptr, MAKEINTRESOURCEA(number));
  }
  return cursor_;
}
