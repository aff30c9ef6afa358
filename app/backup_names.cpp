// The backup folders' names made and read back.
#include "app/backup_names.h"

#include <array>

namespace {

// "yyyy-mm-dd hh-mm-ss": each field's width and the separator before it.
struct Field {
  size_t width;
  wchar_t before;
};
constexpr std::array<Field, 6> kFields{{{4, 0}, {2, L'-'}, {2, L'-'}, {2, L' '}, {2, L'-'}, {2, L'-'}}};

void AppendNumber(std::wstring& text, unsigned value, size_t width) {
  std::wstring digits;
  do {
    digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + value % 10));
    value /= 10;
  } while (value);
  if (digits.size() < width) text.append(width - digits.size(), L'0');
  text += digits;
}

// Reads exactly `width` digits (any number of them when width is 0) at the cursor.
std::optional<unsigned> ReadNumber(std::wstring_view& cursor, size_t width) {
  size_t length = 0;
  while (length < cursor.size() && cursor[length] >= L'0' && cursor[length] <= L'9') ++length;
  if (length == 0 || (width && length != width) || length > 9) return std::nullopt;
  unsigned value = 0;
  for (size_t i = 0; i < length; ++i) value = value * 10 + static_cast<unsigned>(cursor[i] - L'0');
  cursor.remove_prefix(length);
  return value;
}

}  // namespace

std::wstring BackupName(const BackupTime& time, unsigned attempt) {
  const unsigned values[] = {time.year, time.month, time.day, time.hour, time.minute, time.second};
  std::wstring name;
  for (size_t i = 0; i < kFields.size(); ++i) {
    if (kFields[i].before) name += kFields[i].before;
    AppendNumber(name, values[i], kFields[i].width);
  }
  if (attempt > 1) {
    name += L" (";
    AppendNumber(name, attempt, 0);
    name += L')';
  }
  return name;
}

std::optional<BackupOrder> ParseBackupName(std::wstring_view name) {
  uint64_t stamp = 0;
  for (const Field& field : kFields) {
    if (field.before) {
      if (name.empty() || name.front() != field.before) return std::nullopt;
      name.remove_prefix(1);
    }
    const std::optional<unsigned> value = ReadNumber(name, field.width);
    if (!value) return std::nullopt;
    for (size_t i = 0; i < field.width; ++i) stamp *= 10;
    stamp += *value;
  }
  if (name.empty()) return BackupOrder{stamp, 1};
  if (!name.starts_with(L" (")) return std::nullopt;
  name.remove_prefix(2);
  const std::optional<unsigned> attempt = ReadNumber(name, 0);
  if (!attempt || *attempt < 2 || *attempt > kLargestBackupAttempt || name != L")") return std::nullopt;
  return BackupOrder{stamp, *attempt};
}
