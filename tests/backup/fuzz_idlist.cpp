// Fuzz target: the identity list of an archive from anywhere. Whatever is
// read from it is written and read back to the same identities.
#include <cstddef>
#include <cstdint>
#include <string>

#include "backup/IdentityList.h"
#include "support/fuzz_support.h"

using testsupport::Require;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const OneBasedList<IdListEntry> lists[] = {
      {{"Main Identity", "{3F2A8C41-7B1E-4D5A-9C3E-1A2B3C4D5E6F}", "1,1,1,1,1,1"}},
      {{"Anna Berger", "{8D4E2B17-5C3A-4F6B-A1D2-9E8F7A6B5C4D}", "1,0,1,1,0,0"},
       {"Work", "{C1B2A3D4-E5F6-4789-ABCD-0123456789AB}", "0,0,0,0,0,1"},
       {"K\xF6ln", "", ""}},
  };
  int n = 0;
  for (const auto& entries : lists) {
    std::string bytes;
    if (IdentityList::Build(entries, bytes)) testsupport::WriteSeed("idlist-" + std::to_string(++n), bytes);
  }
  // Records that do not frame: read by splitting at NULs.
  testsupport::WriteSeed("idlist-split", std::string("Anna\x01{1}\x01" "1,1\0Ben\x01{2}\x01" "0,1\0", 25));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const OneBasedList<IdListEntry> entries = IdentityList::Parse(std::string(reinterpret_cast<const char*>(data), size));
  std::string bytes;
  if (!IdentityList::Build(entries, bytes)) return 0;  // a record longer than its 16-bit length allows
  Require(IdentityList::Parse(bytes) == entries, "a written identity list reads back to other identities");
  return 0;
}
