#pragma once
// Opening documents and programs through the shell, with the shell's error
// codes turned into numbered errors the way the rest of the program reports them.
#include <cstdint>
#include <string>

namespace mGeneral {

struct ErrorRecord {
  std::int32_t number = 0;
  std::string source;
  std::string description;
};

// The error record for a failing shell value (0 to 32).
ErrorRecord ShellError(std::intptr_t shellValue);

// ShellExecute wrapper: true on success; otherwise false and `error` filled.
bool ShellOpen(const std::string& file, std::int32_t show, const std::string& parameters,
               const std::string& folder, std::string& verb, void*& owner,
               ErrorRecord* error = nullptr);

}  // namespace mGeneral
