#pragma once
// The numeric value of a text as the program reads numbers typed by people
// or kept in its own texts: leading blanks skipped, blanks between digits
// ignored, an optional sign, digits, an optional fraction and exponent; the
// reading stops at the first other character, and a text without a number
// is 0.
#include <cstdint>
#include <string>

double NumericValue(const std::string& text);

// Rounds half to even, as whole-number conversions of the program do, and
// clamps to the 32-bit range.
std::int32_t RoundToWhole(double value);
