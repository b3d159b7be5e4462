// The registry export file: one registry branch as ANSI text with CR LF line
// ends, key lines naming the branch by a placeholder so that the branch can
// be read back below another key.
//
//   Quillmere Registry File
//
//   [HKEY_CURRENT_USER\<%QuillmereKeyName%>]
//   @="Main"
//   "Path"="C:\\Data\\\"x\""
//   "Count"=dword:5
//
//   [HKEY_CURRENT_USER\<%QuillmereKeyName%>\Sub]
//   "Blob"=hex:01,A0
//
// Text data doubles backslashes and puts a backslash before double quotes;
// CR and LF are written as \r and \n so that a value never splits into lines
// (the writer never leaves a single backslash, so these escapes were free).
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/files.h"
#include "platform/system.h"
#include "registry/RegistryRoutines.h"

namespace {

const char kCrLf[] = "\r\n";

std::string RootName(std::uint32_t root) {
  switch (root) {
    case kHkeyClassesRoot: return "HKEY_CLASSES_ROOT\\";
    case kHkeyCurrentUser: return "HKEY_CURRENT_USER\\";
    case kHkeyLocalMachine: return "HKEY_LOCAL_MACHINE\\";
    case kHkeyUsers: return "HKEY_USERS\\";
    case kHkeyCurrentConfig: return "HKEY_CURRENT_CONFIG\\";
    default: return "";
  }
}

void AppendLineBreakEscaped(std::string& out, char c) {
  if (c == '\r') out += "\\r";
  else if (c == '\n') out += "\\n";
  else out += c;
}

void AppendEscapedText(std::string& out, const std::string& text) {
  for (char c : text) {
    if (c == '\\') out += "\\\\";
    else if (c == '"') out += "\\\"";
    else AppendLineBreakEscaped(out, c);
  }
}

void AppendValueLine(std::string& out, const RegistryValueEntry& e) {
  if (e.Name.empty()) {
    out += '@';
  } else {
    // Names are written as they are; only a line break is escaped.
    out += '"';
    for (char c : e.Name) AppendLineBreakEscaped(out, c);
    out += '"';
  }
  out += '=';
  const TaggedValue& d = e.Data;
  if (d.IsText()) {
    out += '"';
    AppendEscapedText(out, d.text());
    out += '"';
  } else if (d.IsNumber()) {
    out += "dword:" + std::to_string(d.number());
  } else if (d.IsBytes()) {
    static const char kHex[] = "0123456789ABCDEF";
    out += "hex:";
    bool first = true;
    for (std::uint8_t b : d.bytes()) {
      if (!first) out += ',';
      first = false;
      out += kHex[b >> 4];
      out += kHex[b & 0x0F];
    }
  }
  out += kCrLf;
}

bool IsFile(const std::string& path) {
  std::uint32_t a = platform::GetAttributes(path);
  return a != platform::kInvalidAttributes && !(a & platform::kAttrDirectory);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(pos, end - pos));
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
  }
  return lines;
}

std::string TrimSpaces(const std::string& s) {
  std::size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

std::string ReplaceAll(std::string s, const std::string& what, const std::string& with) {
  for (std::size_t pos = s.find(what); pos != std::string::npos;
       pos = s.find(what, pos + with.size()))
    s.replace(pos, what.size(), with);
  return s;
}

// The path below the target for a key line, or false when the line does not
// lead at or below the target: its path must begin with the placeholder and
// go on only by plain key names.
bool TargetPath(const std::string& keyLine, const std::string& target, std::string& path) {
  std::string inner = keyLine.substr(1, keyLine.size() - 2);
  std::size_t slash = inner.find('\\');
  if (slash == std::string::npos) return false;
  std::string below = inner.substr(slash + 1);
  const std::string placeholder = kKeyNamePlaceholder;
  if (below.compare(0, placeholder.size(), placeholder) != 0) return false;
  std::string rest = below.substr(placeholder.size());
  if (!rest.empty() && rest[0] != '\\') return false;
  for (std::size_t pos = 0; pos < rest.size();) {
    std::size_t next = rest.find('\\', pos + 1);
    if (next == std::string::npos) next = rest.size();
    std::string name = rest.substr(pos + 1, next - pos - 1);
    if (name.empty() || name == "." || name == "..") return false;
    pos = next;
  }
  rest = ReplaceAll(rest, placeholder, target);
  path = target.empty() && !rest.empty() ? rest.substr(1) : target + rest;
  return true;
}

// Text with \\ and \" read back, one escape at a time from the left; with
// lineBreaks, \r and \n too. Other backslashes stay. `origin` gets, for each
// character of the result, where it began in `raw`.
std::string Unescape(const std::string& raw, bool lineBreaks, std::vector<std::size_t>* origin) {
  std::string out;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (origin) origin->push_back(i);
    char c = raw[i];
    if (c == '\\' && i + 1 < raw.size()) {
      char n = raw[i + 1];
      if (n == '\\' || n == '"') c = n;
      else if (lineBreaks && n == 'r') c = '\r';
      else if (lineBreaks && n == 'n') c = '\n';
      if (c != '\\' || n == '\\') ++i;
    }
    out += c;
  }
  return out;
}

bool ParseBytes(const std::string& s, std::vector<std::uint8_t>& bytes) {
  if (s.empty()) return true;  // "hex:" alone: an empty binary value
  std::size_t pos = 0;
  while (pos <= s.size()) {
    std::size_t next = s.find(',', pos);
    if (next == std::string::npos) next = s.size();
    std::string piece = s.substr(pos, next - pos);
    char* end = nullptr;
    unsigned long b = std::strtoul(piece.c_str(), &end, 16);
    if (piece.empty() || piece.size() > 2 || *end != '\0' || piece[0] == '-' || piece[0] == '+')
      return false;
    bytes.push_back(static_cast<std::uint8_t>(b));
    pos = next + 1;
  }
  return true;
}

bool ParseInt32(const std::string& s, std::int32_t& n) {
  char* end = nullptr;
  long long v = std::strtoll(s.c_str(), &end, 10);
  if (s.empty() || *end != '\0' || s[0] == '+' || s[0] == ' ' || v < INT32_MIN || v > INT32_MAX)
    return false;
  n = static_cast<std::int32_t>(v);
  return true;
}

}  // namespace

bool RegistryRoutines::SaveKey(const std::string& sKeyName, const std::string& sRegFile,
                               std::uint32_t root, bool bIncludeSubKeys, bool bAppendToFile) {
  std::string keyName = sKeyName;
  if (keyName.size() >= 2 && keyName.back() == '\\') keyName.pop_back();
  platform::MousePointer pointer = platform::CurrentMousePointer();
  platform::SetMousePointer(platform::MousePointer::Hourglass);

  std::string existing;
  std::string out;
  const std::string header = std::string(kRegistryFileHeader) + kCrLf + kCrLf;
  if (!bAppendToFile) {
    out = header;
    subkey_ = keyName;
  } else {
    if (IsFile(sRegFile) && !platform::ReadWholeFile(sRegFile, existing)) {
      platform::SetMousePointer(pointer);
      return false;
    }
    if (existing.find(kRegistryFileHeader) == std::string::npos) out = header;
  }
  // The whole branch is gathered once and written once: the file is never
  // read back per key.
  AppendBranch(out, root, keyName, subkey_, RootName(root), bIncludeSubKeys);
  bool written = platform::WriteWholeFile(sRegFile, existing + out);
  platform::SetMousePointer(pointer);
  return written;
}

void RegistryRoutines::AppendBranch(std::string& out, std::uint32_t root, const std::string& keyName,
                                    const std::string& base, const std::string& rootName,
                                    bool includeSubKeys) const {
  // Only the leading base stands for the branch; the same text deeper down
  // is a key name of its own.
  std::string path = keyName;
  if (!base.empty() && keyName.compare(0, base.size(), base) == 0)
    path = kKeyNamePlaceholder + keyName.substr(base.size());
  out += "[" + rootName + path + "]" + kCrLf;
  for (const RegistryValueEntry& e : EnumRegistryValuesEx(root, keyName))
    AppendValueLine(out, e);
  out += kCrLf;
  if (!includeSubKeys) return;
  for (const std::string& name : EnumRegistryKeys(root, keyName))
    AppendBranch(out, root, keyName + "\\" + name, base, rootName, true);
}

bool RegistryRoutines::RestoreKey(const std::string& sKeyName, const std::string& sFileName,
                                  std::uint32_t lPredefinedKey) {
  if (!IsFile(sFileName)) return false;
  std::string target = sKeyName;
  if (target.size() >= 2) {
    if (target[0] == '\\') target.erase(0, 1);
    if (target.size() >= 2 && target.back() == '\\') target.pop_back();
  }
  hKey_ = lPredefinedKey;
  keyRoot_.clear();
  subkey_.clear();

  std::string text;
  if (!platform::ReadWholeFile(sFileName, text)) return false;
  std::vector<std::string> lines = SplitLines(text);
  if (lines.empty() || TrimSpaces(lines[0]) != kRegistryFileHeader) return false;

  // Values go only to a key that a key line below the target has named; a
  // file from elsewhere cannot write anywhere else.
  bool haveKey = false;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.size() < 4) continue;
    if (line[0] == '[') {
      std::string path;
      haveKey = TargetPath(line, target, path);
      if (haveKey) {
        keyRoot_ = path;
        CreateKey();
      }
    } else if ((line[0] == '"' || line[0] == '@') && haveKey) {
      RestoreValueLine(line);
    }
  }
  return true;
}

void RegistryRoutines::RestoreValueLine(const std::string& line) const {
  // Name and data are found in the line read back as the format always has
  // been; the text data is then read again from its raw form with the line
  // break escapes.
  std::string name;
  std::string raw;
  std::string data;
  if (line[0] == '@') {
    raw = line.substr(2);
    data = Unescape(raw, false, nullptr);
  } else {
    std::string body = line.substr(1);
    std::vector<std::size_t> origin;
    std::string plain = Unescape(body, false, &origin);
    std::size_t quote = plain.find('"');
    if (quote == std::string::npos) return;
    name = plain.substr(0, quote);
    if (quote + 2 >= plain.size()) return;
    data = plain.substr(quote + 2);
    raw = body.substr(origin[quote + 2]);
  }
  if (data.size() < 2) return;
  switch (data[0]) {
    case '"': {
      std::string text = Unescape(raw, true, nullptr);
      text = text.size() >= 2 ? text.substr(1, text.size() - 2) : std::string();
      SetRegistryValue(name, text, kRegSz);
      break;
    }
    case 'h': {
      std::vector<std::uint8_t> bytes;
      if (data.size() >= 4 && ParseBytes(data.substr(4), bytes))
        SetRegistryValue(name, TaggedValue::FromBytes(std::move(bytes)), kRegBinary);
      break;
    }
    case 'd': {
      std::int32_t n = 0;
      if (data.size() >= 6 && ParseInt32(data.substr(6), n)) SetRegistryValue(name, n, kRegDword);
      break;
    }
    default: break;
  }
}
