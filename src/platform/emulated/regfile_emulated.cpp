// REGEDIT4 files into the emulated registry, so that one set of fixtures
// seeds both the emulated registry and the real one ("regedit /s").
#include <cctype>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/emulated/emulation.h"
#include "platform/registry.h"

namespace platform::emu {

namespace {

std::string Trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  std::size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

// Physical lines joined where a line ends in a backslash outside quotes
// (regedit wraps long hex data that way).
std::vector<std::string> LogicalLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string current;
  bool continuing = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
    if (continuing) line = Trim(line);
    current += line;
    std::string trimmed = Trim(current);
    continuing = !trimmed.empty() && trimmed.back() == '\\' && trimmed[0] != '[' &&
                 trimmed.find("=hex") != std::string::npos;
    if (continuing) {
      current = trimmed.substr(0, trimmed.size() - 1);
      continue;
    }
    lines.push_back(current);
    current.clear();
  }
  if (!current.empty()) lines.push_back(current);
  return lines;
}

bool RootByName(const std::string& name, std::uint32_t& root) {
  static const struct { const char* longName; const char* shortName; std::uint32_t root; } kRoots[] = {
      {"HKEY_CLASSES_ROOT", "HKCR", kRegClassesRoot},
      {"HKEY_CURRENT_USER", "HKCU", kRegCurrentUser},
      {"HKEY_LOCAL_MACHINE", "HKLM", kRegLocalMachine},
      {"HKEY_USERS", "HKU", kRegUsers},
      {"HKEY_CURRENT_CONFIG", "HKCC", kRegCurrentConfig},
  };
  for (const auto& r : kRoots) {
    if (name == r.longName || name == r.shortName) {
      root = r.root;
      return true;
    }
  }
  return false;
}

// A quoted text starting at s[pos] == '"'; pos ends after the closing quote.
bool ReadQuoted(const std::string& s, std::size_t& pos, std::string& out) {
  out.clear();
  for (++pos; pos < s.size(); ++pos) {
    char c = s[pos];
    if (c == '"') {
      ++pos;
      return true;
    }
    if (c == '\\' && pos + 1 < s.size()) {
      char n = s[++pos];
      out += n == 'n' ? '\n' : n == 'r' ? '\r' : n == '0' ? '\0' : n;
      continue;
    }
    out += c;
  }
  return false;
}

bool ReadHexBytes(const std::string& s, std::string& out) {
  out.clear();
  std::stringstream in(s);
  std::string piece;
  while (std::getline(in, piece, ',')) {
    piece = Trim(piece);
    if (piece.empty()) continue;
    if (piece.size() > 2 || !std::isxdigit(static_cast<unsigned char>(piece[0])) ||
        !std::isxdigit(static_cast<unsigned char>(piece.back())))
      return false;
    out += static_cast<char>(std::stoul(piece, nullptr, 16));
  }
  return true;
}

// The data part of a value line: type and raw bytes; false when unreadable.
bool ReadData(const std::string& s, std::uint32_t& type, std::string& data) {
  if (!s.empty() && s[0] == '"') {
    std::size_t pos = 0;
    if (!ReadQuoted(s, pos, data)) return false;
    data += '\0';
    type = kRegTypeSz;
    return true;
  }
  if (s.compare(0, 6, "dword:") == 0) {
    std::string digits = Trim(s.substr(6));
    if (digits.empty() || digits.size() > 8 ||
        digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
      return false;
    std::uint32_t v = static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16));
    data.assign(reinterpret_cast<const char*>(&v), 4);
    type = kRegTypeDword;
    return true;
  }
  if (s.compare(0, 4, "hex:") == 0) {
    type = kRegTypeBinary;
    return ReadHexBytes(s.substr(4), data);
  }
  if (s.compare(0, 4, "hex(") == 0) {
    std::size_t close = s.find("):", 4);
    if (close == std::string::npos || close == 4) return false;
    std::string number = s.substr(4, close - 4);
    if (number.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
    type = static_cast<std::uint32_t>(std::stoul(number, nullptr, 16));
    return ReadHexBytes(s.substr(close + 2), data);
  }
  return false;
}

void ReadValueLine(const std::string& line, const RegKey& key) {
  std::string name;
  std::size_t pos = 0;
  if (line[0] == '@') {
    pos = 1;
  } else if (!ReadQuoted(line, pos, name)) {
    return;
  }
  std::string rest = Trim(line.substr(pos));
  if (rest.empty() || rest[0] != '=') return;
  rest = Trim(rest.substr(1));
  if (rest == "-") return;  // value deletion: the seam has no use for it elsewhere
  std::uint32_t type = kRegTypeNone;
  std::string data;
  if (ReadData(rest, type, data)) (void)SetRegValue(key, name, type, data);
}

}  // namespace

bool LoadRegText(const std::string& text) {
  std::vector<std::string> lines = LogicalLines(text);
  if (lines.empty() || Trim(lines[0]) != "REGEDIT4") return false;
  RegKey key;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::string line = Trim(lines[i]);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      key.Close();
      std::size_t close = line.rfind(']');
      if (close == std::string::npos) continue;
      std::string path = line.substr(1, close - 1);
      bool remove = !path.empty() && path[0] == '-';
      if (remove) path.erase(0, 1);
      std::size_t slash = path.find('\\');
      std::uint32_t root = 0;
      if (!RootByName(path.substr(0, slash), root)) continue;
      std::string below = slash == std::string::npos ? "" : path.substr(slash + 1);
      if (remove) (void)DeleteRegBranch(root, below);
      else (void)CreateRegKey(root, below, key);
      continue;
    }
    if (key && (line[0] == '"' || line[0] == '@')) ReadValueLine(line, key);
  }
  return true;
}

bool LoadRegFile(const std::string& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  if (!in) return false;
  std::stringstream buffer;
  buffer << in.rdbuf();
  return LoadRegText(buffer.str());
}

}  // namespace platform::emu
