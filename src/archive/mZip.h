#pragma once
// mZip: the binding to the zip library, its four callbacks and the run state
// of the one cZip that runs at a time.
#include <cstdint>
#include <string>
#include <vector>

#include "archive/ziplib.h"

class cZip;

namespace mZip {

constexpr std::size_t kMaxSpecs = 1023;
constexpr std::size_t kMaxPassword = 256;
constexpr std::size_t kMaxComment = 255;

// A run-time error met before or around the library call.
struct RunError {
  std::int32_t number = 0;
  std::string description;
};

// Runs the library for `owner`. Returns the library's result; false with
// `error` set when the library could not be run at all.
bool Run(cZip& owner, const ZpOptions& options, const std::string& basePath,
         const std::vector<std::string>& specs, std::int32_t& result, RunError& error);

// The run state, for the owner's handlers and tests.
bool Cancelled();
bool PasswordGiven();

// The four callbacks as the library calls them.
int PrintCallback(const char* text, unsigned long length);
int CommentCallback(char* buffer);
int PasswordCallback(char* buffer, int size, const char* prompt, const char* name);
int ServiceCallback(const char* name, unsigned long length);
void UnreadableCallback(const char* path, unsigned long length);

}  // namespace mZip
