// Values as text and texts as numbers: the text form of every scalar, the folding of full-width
// characters before a text is read as a number, and the numeric conversions between scalars.
#pragma once

#include <string>

#include "runtime/owned_value.h"
#include "runtime/value.h"

// The text form of a scalar, a boolean ("真"/"假"), a date-time or a text; null for other types.
OwnedText FormatValueAsText(const ValueCell& cell);

// Full-width GBK digits, signs and letters folded to ASCII; other characters unchanged.
std::string FoldFullWidth(TextValue text);

// The leading number of a text after folding; 0 when there is none. Integers beyond int32
// saturate, as the Windows C library does, instead of being undefined.
double TextToNumber(TextValue text);
int32_t TextToInt(TextValue text);

// Conversions between scalar types; a type that has none converts to 0.
int32_t ConvertToInt(const ValueCell& cell);
double ConvertToNumber(const ValueCell& cell);

struct CivilDateTime {
  int year, month, day, hour, minute, second;
};
// A date-time (days since 1899-12-30, fraction = time of day) broken into its parts, to the
// nearest second. A negative value counts its fraction forward from the start of its day.
CivilDateTime DateTimeParts(double days);
