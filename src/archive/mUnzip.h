#pragma once
// mUnzip: the binding to the unzip library, its callbacks and the run state
// of the one cUnzip that runs at a time.
#include <cstdint>
#include <string>
#include <vector>

#include "archive/ziplib.h"

class cUnzip;

namespace mUnzip {

constexpr std::size_t kMaxPassword = 256;  // NUL included: 255 characters, as the writer keeps

struct RunResult {
  std::int32_t result = 0;
  std::string comment;  // "" when the archive has none
};

// One library run for `owner`; throws UnzipError on a run-time error.
RunResult Run(cUnzip& owner, const UzOptions& options, const std::vector<std::string>& includes);

bool Cancelled();

// The callbacks as the library calls them.
int PrintCallback(const char* text, unsigned long length);
int ReplaceCallback(const char* name);
int PasswordCallback(char* buffer, int size, const char* prompt, const char* name);
void ListingCallback(const UzListEntry* entry);
int ServiceCallback(const char* name, unsigned long length);

}  // namespace mUnzip
