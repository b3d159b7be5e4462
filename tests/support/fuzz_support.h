#pragma once
// What the fuzz targets share: a property check that stops the program with a
// message (libFuzzer then keeps the input), and the folder their seed inputs
// go to when QM_FUZZ_SEEDS names one.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace testsupport {

inline void Require(bool holds, const std::string& what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz property violated: %s\n", what.c_str());
  std::abort();
}

// The host folder seeds are written to, "" when none is wanted.
inline std::string SeedFolder() {
  const char* folder = std::getenv("QM_FUZZ_SEEDS");
  return folder ? folder : "";
}

inline void WriteSeed(const std::string& name, const std::string& bytes) {
  const std::string folder = SeedFolder();
  if (folder.empty()) return;
  std::filesystem::create_directories(folder);
  std::ofstream(folder + "/" + name, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace testsupport
