#pragma once
// Fresh registry keys for the registry tests, on either build: a new key
// below HKEY_CURRENT_USER\Software\QuillmereTest per test, deleted with
// everything under it afterwards. On the native build the emulated machine
// is fresh as well (the sandbox resets it).
#include <map>
#include <string>

#include "platform/registry.h"
#include "support/sandbox.h"

namespace testsupport {

class TestKey {
 public:
  TestKey();
  ~TestKey();
  TestKey(const TestKey&) = delete;
  TestKey& operator=(const TestKey&) = delete;

  // "Software\QuillmereTest\<unique>", below HKEY_CURRENT_USER.
  const std::string& Path() const { return path_; }
  std::string Path(const std::string& below) const { return path_ + "\\" + below; }
  const Sandbox& Files() const { return sandbox_; }

 private:
  Sandbox sandbox_;
  std::string path_;
};

// Loads REGEDIT4 text into the registry: the emulated one, or the real one
// through "regedit /s".
bool SeedRegistry(const std::string& regText, const Sandbox& sandbox);
// The text with every "[HKEY_CURRENT_USER\" moved below `keyPath`.
std::string MoveBelow(const std::string& regText, const std::string& keyPath);
// The bytes of a file of tests/fixtures.
std::string ReadFixture(const std::string& relative);
// Writes one raw value below HKEY_CURRENT_USER\path (the key made if
// missing); a failure fails the calling test.
void PutRawValue(const std::string& path, const std::string& name, std::uint32_t type,
                 const std::string& data);
// The raw value, or an empty one when the key or value is missing.
platform::RegValue RawValue(const std::string& path, const std::string& name);

// Runs a command line through the command processor and returns its output
// (Windows only; "" elsewhere).
std::string RunForOutput(const std::string& commandLine);

// HKEY_CURRENT_USER\<root> and everything below it as the system's own
// "reg.exe query /s" lists it: key (below HKEY_CURRENT_USER) -> value name
// -> "TYPE data" (Windows only; empty elsewhere).
using RegListing = std::map<std::string, std::map<std::string, std::string>>;
RegListing RegQueryTree(const std::string& root);
// One value of a listing, or a text that says what is missing.
std::string Listed(const RegListing& listing, const std::string& key, const std::string& name);

}  // namespace testsupport
