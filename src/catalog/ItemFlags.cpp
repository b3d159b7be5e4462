#include "catalog/ItemFlags.h"

#include "helpers/NumericText.h"
#include "helpers/OneBasedList.h"

namespace ItemFlags {

namespace {

double FieldValue(const std::string& flags, int item) {
  TextList fields = SplitList(flags, ",");
  return fields.Has(item) ? NumericValue(fields.At(item)) : 0.0;
}

}  // namespace

bool IsOne(const std::string& flags, int item) { return FieldValue(flags, item) == 1.0; }

bool IsNotZero(const std::string& flags, int item) { return FieldValue(flags, item) != 0.0; }

bool CharacterIsOne(const std::string& flags, int item) {
  if (item < 1 || item > kItemCount) return false;
  std::size_t at = static_cast<std::size_t>(2 * item - 2);
  return at < flags.size() && flags[at] == '1';
}

std::string Build(const std::array<bool, kItemCount>& set) {
  std::string out;
  for (int i = 0; i < kItemCount; ++i) {
    if (i > 0) out += ',';
    out += set[static_cast<std::size_t>(i)] ? '1' : '0';
  }
  return out;
}

}  // namespace ItemFlags
