#include "support/registry_keys.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/registry.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include "platform/emulated/emulation.h"
#endif

namespace testsupport {

namespace {
int g_keys = 0;

long ProcessId() {
#ifdef _WIN32
  return static_cast<long>(::GetCurrentProcessId());
#else
  return static_cast<long>(::getpid());
#endif
}
}  // namespace

TestKey::TestKey() {
  path_ = "Software\\QuillmereTest\\" + std::to_string(ProcessId()) + "-" + std::to_string(++g_keys);
  (void)platform::DeleteRegBranch(platform::kRegCurrentUser, path_);
  platform::RegKey key;
  (void)platform::CreateRegKey(platform::kRegCurrentUser, path_, key);
}

TestKey::~TestKey() {
  (void)platform::DeleteRegBranch(platform::kRegCurrentUser, path_);
  // The parent goes too once the last test of any run has left it empty.
  platform::RegKey parent;
  std::string name;
  if (platform::OpenRegKey(platform::kRegCurrentUser, "Software\\QuillmereTest",
                           platform::kRegKeyRead, parent) == platform::kRegOk &&
      platform::EnumRegSubkey(parent, 0, name) != platform::kRegOk) {
    parent.Close();
    (void)platform::DeleteRegBranch(platform::kRegCurrentUser, "Software\\QuillmereTest");
  }
}

void PutRawValue(const std::string& path, const std::string& name, std::uint32_t type,
                 const std::string& data) {
  platform::RegKey key;
  ASSERT_EQ(platform::kRegOk, platform::CreateRegKey(platform::kRegCurrentUser, path, key));
  ASSERT_EQ(platform::kRegOk, platform::SetRegValue(key, name, type, data));
}

platform::RegValue RawValue(const std::string& path, const std::string& name) {
  platform::RegValue v;
  platform::RegKey key;
  if (platform::OpenRegKey(platform::kRegCurrentUser, path, platform::kRegKeyRead, key) ==
      platform::kRegOk)
    (void)platform::QueryRegValue(key, name, v);
  return v;
}

std::string MoveBelow(const std::string& regText, const std::string& keyPath) {
  const std::string from = "[HKEY_CURRENT_USER\\";
  const std::string to = from + keyPath + "\\";
  std::string out = regText;
  for (std::size_t pos = out.find(from); pos != std::string::npos;
       pos = out.find(from, pos + to.size()))
    out.replace(pos, from.size(), to);
  return out;
}

std::string ReadFixture(const std::string& relative) {
  std::string path = std::string(QM_FIXTURES_DIR) + "/" + relative;
#ifdef _WIN32
  path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
#endif
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

#ifdef _WIN32
bool SeedRegistry(const std::string& regText, const Sandbox& sandbox) {
  std::string file = sandbox.Path("seed.reg");
  sandbox.WriteFile("seed.reg", regText);
  std::string cmd = "regedit.exe /s \"" + file + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return false;
  ::WaitForSingleObject(pi.hProcess, 60000);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return true;
}

std::string RunForOutput(const std::string& commandLine) {
  std::string out;
  FILE* pipe = ::_popen(commandLine.c_str(), "rb");
  if (!pipe) return out;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  ::_pclose(pipe);
  return out;
}
#else
bool SeedRegistry(const std::string& regText, const Sandbox&) {
  return platform::emu::LoadRegText(regText);
}

std::string RunForOutput(const std::string&) { return ""; }
#endif

RegListing RegQueryTree(const std::string& root) {
  RegListing out;
  const std::string hive = "HKEY_CURRENT_USER\\", gap = "    ";
  std::istringstream lines(RunForOutput("reg.exe query \"" + hive + root + "\" /s 2>&1"));
  std::string line, key;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind(hive, 0) == 0) {
      key = line.substr(hive.size());
      out[key];
    } else if (!key.empty() && line.rfind(gap, 0) == 0) {  // "    name    TYPE    data"
      const std::size_t name = line.find(gap, gap.size());
      if (name == std::string::npos) continue;
      std::string rest = line.substr(name + gap.size());
      const std::size_t type = rest.find(gap);
      if (type != std::string::npos) rest.replace(type, gap.size(), " ");
      out[key][line.substr(gap.size(), name - gap.size())] = rest;
    }
  }
  return out;
}

std::string Listed(const RegListing& listing, const std::string& key, const std::string& name) {
  auto k = listing.find(key);
  if (k == listing.end()) return "(no key " + key + ")";
  auto v = k->second.find(name);
  return v == k->second.end() ? "(no value " + name + ")" : v->second;
}

}  // namespace testsupport
