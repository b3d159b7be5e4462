#include "helpers/NumericText.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double NumericValue(const std::string& text) {
  // Gather the characters that form the number, dropping blanks.
  std::string number;
  bool digits = false, dot = false, exponent = false;
  for (char c : text) {
    if (IsBlank(c)) continue;
    if (IsDigit(c)) {
      number += c;
      digits = true;
    } else if ((c == '+' || c == '-') &&
               (number.empty() || (exponent && (number.back() == 'E')))) {
      number += c;
    } else if (c == '.' && !dot && !exponent) {
      number += c;
      dot = true;
    } else if ((c == 'e' || c == 'E' || c == 'd' || c == 'D') && digits && !exponent) {
      number += 'E';
      exponent = true;
    } else {
      break;
    }
  }
  if (!digits) return 0.0;
  // A dangling exponent ("12E", "12E-") reads as the mantissa alone.
  while (!number.empty() && (number.back() == 'E' || number.back() == '+' || number.back() == '-'))
    number.pop_back();
  double value = std::strtod(number.c_str(), nullptr);
  return std::isfinite(value) ? value : 0.0;
}

std::int32_t RoundToWhole(double value) {
  if (std::isnan(value)) return 0;
  constexpr double kMax = std::numeric_limits<std::int32_t>::max();
  constexpr double kMin = std::numeric_limits<std::int32_t>::min();
  if (value >= kMax) return std::numeric_limits<std::int32_t>::max();
  if (value <= kMin) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(std::nearbyint(value));  // default mode: half to even
}
