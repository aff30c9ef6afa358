// Text forms of values and numeric conversions.
#include "runtime/value_text.h"

#include <cinttypes>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "runtime/value_helpers.h"

namespace {

// Days from 1970-01-01 to a civil date (proleptic Gregorian calendar).
void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

constexpr int64_t kDaysFrom1899To1970 = 25569;

// x86's truncating conversion yields 0x80000000 for NaN and out-of-range values; so does this,
// where a plain cast would be undefined.
int32_t TruncateToInt(double x) {
  if (std::isnan(x) || x >= 2147483648.0 || x <= -2147483649.0) return INT32_MIN;
  return static_cast<int32_t>(x);
}

OwnedText Formatted(const char* format, auto... args) {
  char buffer[96];
  const int n = std::snprintf(buffer, sizeof buffer, format, args...);
  return NewText(std::string_view(buffer, n > 0 ? static_cast<size_t>(n) : 0));
}

// The date, then the time down to its last part that is not 0.
OwnedText FormatDateTime(const CivilDateTime& t) {
  char buffer[96];
  int n = std::snprintf(buffer, sizeof buffer, "%d年%d月%d日", t.year, t.month, t.day);
  const size_t rest = sizeof buffer - static_cast<size_t>(n);
  if (t.second != 0)
    n += std::snprintf(buffer + n, rest, "%d时%d分%d秒", t.hour, t.minute, t.second);
  else if (t.minute != 0)
    n += std::snprintf(buffer + n, rest, "%d时%d分", t.hour, t.minute);
  else if (t.hour != 0)
    n += std::snprintf(buffer + n, rest, "%d时", t.hour);
  return NewText(std::string_view(buffer, static_cast<size_t>(n)));
}

}  // namespace

CivilDateTime DateTimeParts(double days) {
  days = ClampDateTime(days);
  double whole = std::trunc(days);
  int64_t seconds = std::llround(std::fabs(days - whole) * 86400.0);
  int64_t dayIndex = static_cast<int64_t>(whole);
  if (seconds >= 86400) {
    seconds -= 86400;
    dayIndex += 1;
  }
  CivilDateTime parts{};
  CivilFromDays(dayIndex - kDaysFrom1899To1970, parts.year, parts.month, parts.day);
  parts.hour = static_cast<int>(seconds / 3600);
  parts.minute = static_cast<int>(seconds / 60 % 60);
  parts.second = static_cast<int>(seconds % 60);
  return parts;
}

OwnedText FormatValueAsText(const ValueCell& cell) {
  switch (cell.type) {
    case TC_BYTE:
      return Formatted("%u", static_cast<unsigned>(cell.low & 0xFFu));
    case TC_SHORT:
      return Formatted("%d", static_cast<int>(static_cast<int16_t>(cell.low)));
    case TC_INT:
      return Formatted("%d", static_cast<int>(static_cast<int32_t>(cell.low)));
    case TC_INT64:
      return Formatted("%" PRId64, static_cast<int64_t>(CellBits(cell)));
    case TC_FLOAT:
      return Formatted("%.6g", static_cast<double>(CellFloat(cell)));
    case TC_DOUBLE:
      return Formatted("%.13g", CellDouble(cell));
    case TC_BOOL:
      return NewText(cell.low ? "真" : "假");
    case TC_TEXT:
      return NewText(CellPointer(cell) ? static_cast<TextValue>(CellPointer(cell)) : "");
    case TC_DATETIME:
      return FormatDateTime(DateTimeParts(CellDouble(cell)));
    default:
      return OwnedText();
  }
}

std::string FoldFullWidth(TextValue text) {
  std::string folded;
  if (!text) return folded;
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  while (*p) {
    const unsigned char lead = p[0];
    if (lead < 0x81 || lead == 0xFF || p[1] == 0) {
      folded += static_cast<char>(lead);
      ++p;
      continue;
    }
    const unsigned char trail = p[1];
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      folded += static_cast<char>(trail - 0x80);
    } else if (lead == 0xA1 && trail == 0xA1) {
      folded += ' ';
    } else if (lead == 0xA1 && trail == 0xAB) {
      folded += '~';
    } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
      folded += '*';
    } else {
      folded += static_cast<char>(lead);
      folded += static_cast<char>(trail);
    }
    p += 2;
  }
  return folded;
}

double TextToNumber(TextValue text) { return std::atof(FoldFullWidth(text).c_str()); }

int32_t TextToInt(TextValue text) {
  const std::string folded = FoldFullWidth(text);
  const long long value = std::strtoll(folded.c_str(), nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

int32_t ConvertToInt(const ValueCell& cell) {
  switch (cell.type) {
    case TC_BYTE:
      return static_cast<int32_t>(cell.low & 0xFFu);
    case TC_SHORT:
      return static_cast<int16_t>(cell.low);
    case TC_INT:
    case TC_INT64:
    case TC_SUBPTR:
      return static_cast<int32_t>(cell.low);
    case TC_BOOL:
      return cell.low != 0;
    case TC_FLOAT:
      return TruncateToInt(CellFloat(cell));
    case TC_DOUBLE:
      return TruncateToInt(CellDouble(cell));
    case TC_TEXT:
      return TextToInt(static_cast<TextValue>(CellPointer(cell)));
    default:
      return 0;
  }
}

double ConvertToNumber(const ValueCell& cell) {
  switch (cell.type) {
    case TC_BYTE:
      return static_cast<double>(cell.low & 0xFFu);
    case TC_SHORT:
      return static_cast<int16_t>(cell.low);
    case TC_INT:
      return static_cast<int32_t>(cell.low);
    case TC_INT64:
      return static_cast<double>(static_cast<int64_t>(CellBits(cell)));
    case TC_SUBPTR:
      return static_cast<double>(cell.low);
    case TC_BOOL:
      return cell.low != 0 ? 1.0 : 0.0;
    case TC_FLOAT:
      return CellFloat(cell);
    case TC_DOUBLE:
      return CellDouble(cell);
    case TC_TEXT:
      return TextToNumber(static_cast<TextValue>(CellPointer(cell)));
    default:
      return 0.0;
  }
}
