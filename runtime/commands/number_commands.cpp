// Commands on numbers: whole division and remainder, bit operations, rounding, the sine and
// cosine, random numbers, the current date-time, conversions to numbers, and colours.
#include <atomic>
#include <climits>
#include <cmath>
#include <ctime>

#include "runtime/commands/command_forms.h"
#include "runtime/runtime_error.h"
#include "runtime/value_text.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <time.h>
#endif

namespace {

// What x86 gives for a double that has no int32 value (NaN, out of range): 0x80000000. A plain
// cast would be undefined there.
int32_t DoubleToInt(double x) {
  if (std::isnan(x) || x >= 2147483648.0 || x < -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(x);
}

// Folds the divisors into x, left to right; a divisor 0 is a runtime error. Every argument must
// be a number, and at least one divisor must be given; otherwise the result is 0.
template <class Step>
void FoldDivisors(ValueCell* result, Arguments arguments, const char* zeroMessage, Step step) {
  *result = DoubleCell(0.0);
  if (arguments.count() < 2) return;
  for (int32_t i = 0; i < arguments.count(); ++i) {
    if (!NumberArgument(arguments[i])) return;
  }
  double x = *NumberArgument(arguments[0]);
  for (int32_t i = 1; i < arguments.count(); ++i) {
    const double divisor = *NumberArgument(arguments[i]);
    if (divisor == 0.0) ReportRuntimeError(zeroMessage, 0);
    x = step(x, divisor);
  }
  *result = DoubleCell(x);
}

// a1 op a2 op ...; one argument gives itself. A missing or non-numeric argument gives 0.
template <class Op>
void FoldInts(ValueCell* result, Arguments arguments, Op op) {
  *result = IntCell(0);
  if (arguments.count() < 1) return;
  for (int32_t i = 0; i < arguments.count(); ++i) {
    if (!IntArgument(arguments[i])) return;
  }
  int32_t value = *IntArgument(arguments[0]);
  for (int32_t i = 1; i < arguments.count(); ++i) value = op(value, *IntArgument(arguments[i]));
  *result = IntCell(value);
}

template <class Function>
void MapNumber(ValueCell* result, Arguments arguments, Function function) {
  *result = DoubleCell(0.0);
  if (const std::optional<double> x = NumberArgument(arguments[0])) *result = DoubleCell(function(*x));
}

// The generator of the Windows C library's rand: 15-bit values from a linear congruence, one
// state per thread, as if seeded with 1 until a thread seeds it.
thread_local uint32_t randomState = 1;

void SeedGenerator(uint32_t seed) { randomState = seed; }

int32_t NextRandom() {
  randomState = randomState * 214013u + 2531011u;
  return static_cast<int32_t>((randomState >> 16) & 0x7FFFu);
}

// Grows with every seeding by the clock, so that two seedings within one tick still differ.
std::atomic<uint32_t> clockSeedCounter{0};

uint32_t TickCount() {
#if defined(_WIN32)
  return GetTickCount();
#else
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(now.tv_sec * 1000 + now.tv_nsec / 1000000);
#endif
}

// Days from 1899-12-30 to a civil date (proleptic Gregorian calendar).
int64_t DaysFromCivil(int64_t year, int month, int day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yoe = year - era * 400;
  const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + 25569;
}

}  // namespace

namespace CommandForms {

void IntDivide(ValueCell* result, int32_t count, const ValueCell* cells) {
  FoldDivisors(result, Arguments(count, cells), "不能整除于零",
               [](double x, double divisor) { return std::trunc(x / divisor); });
}

void Remainder(ValueCell* result, int32_t count, const ValueCell* cells) {
  FoldDivisors(result, Arguments(count, cells), "不能求余数于零",
               [](double x, double divisor) { return std::fmod(x, divisor); });
}

void BitNot(ValueCell* result, int32_t count, const ValueCell* cells) {
  *result = IntCell(0);
  if (const std::optional<int32_t> x = IntArgument(Arguments(count, cells)[0])) *result = IntCell(~*x);
}

void BitAnd(ValueCell* result, int32_t count, const ValueCell* cells) {
  FoldInts(result, Arguments(count, cells), [](int32_t a, int32_t b) { return a & b; });
}

void BitOr(ValueCell* result, int32_t count, const ValueCell* cells) {
  FoldInts(result, Arguments(count, cells), [](int32_t a, int32_t b) { return a | b; });
}

// Arithmetic: the sign fills in from the left. The count is taken modulo 32.
void ShiftRight(ValueCell* result, int32_t count, const ValueCell* cells) {
  *result = IntCell(0);
  const Arguments arguments(count, cells);
  const std::optional<int32_t> x = IntArgument(arguments[0]);
  const std::optional<int32_t> shift = IntArgument(arguments[1]);
  if (!x || !shift) return;
  *result = IntCell(*x >> (*shift & 31));
}

void Abs(ValueCell* result, int32_t count, const ValueCell* cells) {
  MapNumber(result, Arguments(count, cells), [](double x) { return std::fabs(x); });
}

void Sin(ValueCell* result, int32_t count, const ValueCell* cells) {
  MapNumber(result, Arguments(count, cells), [](double x) { return std::sin(x); });
}

void Cos(ValueCell* result, int32_t count, const ValueCell* cells) {
  MapNumber(result, Arguments(count, cells), [](double x) { return std::cos(x); });
}

// The floor, except that a fraction within 1e-12 of the next integer away from zero counts as
// that integer, which absorbs the noise of earlier floating-point arithmetic.
void RoundDown(ValueCell* result, int32_t count, const ValueCell* cells) {
  *result = IntCell(0);
  const std::optional<double> given = NumberArgument(Arguments(count, cells)[0]);
  if (!given) return;
  double x = *given;
  double whole;
  const double fraction = std::modf(x, &whole);
  if (std::fabs(fraction) > 0.999999999999) x = x > 0 ? whole + 1 : whole - 1;
  *result = IntCell(DoubleToInt(std::floor(x)));
}

// Random([min], [max]): min .. max inclusive, either order; omitted bounds are 0 and
// 2147483647, negative ones 0.
void Random(ValueCell* result, int32_t count, const ValueCell* cells) {
  const Arguments arguments(count, cells);
  int32_t low = arguments.given(0) ? IntArgument(arguments[0]).value_or(0) : 0;
  int32_t high = arguments.given(1) ? IntArgument(arguments[1]).value_or(0) : INT32_MAX;
  if (low < 0) low = 0;
  if (high < 0) high = 0;
  if (high < low) std::swap(low, high);
  *result = IntCell(low);
  if (low == high) return;
  int32_t range = high - low;
  if (range == INT32_MAX) range = INT32_MAX - 1;
  *result = IntCell(low + NextRandom() % (range + 1));
}

// SeedRandom([seed]): the given seed, or one made from the clock.
void SeedRandom(ValueCell* result, int32_t count, const ValueCell* cells) {
  *result = ValueCell{};
  const Arguments arguments(count, cells);
  if (arguments.given(0)) {
    SeedGenerator(static_cast<uint32_t>(IntArgument(arguments[0]).value_or(0)));
    return;
  }
  const uint32_t seed = TickCount() + clockSeedCounter.load();
  clockSeedCounter += (seed & 0xFFu) + 100u;
  SeedGenerator(seed);
}

// The local date and time to the whole second.
void Now(ValueCell* result, int32_t, const ValueCell*) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#if defined(_WIN32)
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  const int64_t day = DaysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  const int seconds = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
  *result = DoubleCell(static_cast<double>(day) + seconds / 86400.0, TC_DATETIME);
}

void ToNumber(ValueCell* result, int32_t count, const ValueCell* cells) {
  *result = DoubleCell(ConvertToNumber(Arguments(count, cells)[0]));
}

void ToInt(ValueCell* result, int32_t count, const ValueCell* cells) {
  *result = IntCell(ConvertToInt(Arguments(count, cells)[0]));
}

// A Windows colour reference 0x00BBGGRR from three components, each cut to its low 8 bits.
void MakeColor(ValueCell* result, int32_t count, const ValueCell* cells) {
  *result = IntCell(0);
  const Arguments arguments(count, cells);
  const std::optional<int32_t> red = IntArgument(arguments[0]);
  const std::optional<int32_t> green = IntArgument(arguments[1]);
  const std::optional<int32_t> blue = IntArgument(arguments[2]);
  if (!red || !green || !blue) return;
  *result = IntCell((*red & 0xFF) | (*green & 0xFF) << 8 | (*blue & 0xFF) << 16);
}

}  // namespace CommandForms
