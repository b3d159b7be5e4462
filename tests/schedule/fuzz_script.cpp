// libFuzzer target: script files and identity lists from anywhere must be
// refused or read, never crash or read out of range. Built with clang only:
//   cmake -S . -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DQM_SANITIZE=ON
//   cmake --build build/fuzz --target fuzz_script && build/fuzz/tests/fuzz_script -max_total_time=60
#include <cstddef>
#include <cstdint>
#include <string>

#include "backup/IdentityList.h"
#include "schedule/ScriptCFG.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  ScriptCFG script;
  if (script.LoadBytes(bytes)) {
    // Whatever was read can be written again unless it has no identities.
    std::string again;
    (void)script.SaveBytes(again);
  }
  // The same bytes behind a valid header reach the text section's readers.
  std::string withHeader(ScriptCFG::kSignature, ScriptCFG::kSignatureSize);
  withHeader += std::string(20, '\0') + bytes;
  (void)script.LoadBytes(withHeader);
  (void)IdentityList::Parse(bytes);
  return 0;
}
