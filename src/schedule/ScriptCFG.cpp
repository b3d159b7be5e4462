#include "schedule/ScriptCFG.h"

#include <cstring>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/ui.h"
#include "schedule/OleDate.h"
#include "shell/TextRecords.h"

namespace {

constexpr char kTextSeparator[] = {'\0', '\0', '\0'};
const std::string kSeparator(kTextSeparator, 3);
// A script holds a few paths and names; anything far larger is not one.
constexpr std::uint64_t kMaxScriptSize = 16u * 1024u * 1024u;

std::string ReplaceAll(std::string text, char from, char to) {
  for (char& c : text)
    if (c == from) c = to;
  return text;
}

std::string EncodeFlags(const std::string& flags) { return ReplaceAll(ReplaceAll(flags, '1', '\r'), ',', '\n'); }
std::string DecodeFlags(const std::string& flags) { return ReplaceAll(ReplaceAll(flags, '\r', '1'), '\n', ','); }

void PutDouble(std::string& out, double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  for (int i = 0; i < 8; ++i) out += static_cast<char>((bits >> (8 * i)) & 0xFF);
}

double GetDouble(const std::string& bytes, std::size_t at) {
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | static_cast<unsigned char>(bytes[at + i]);
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// One identity from a record text without its final NUL: the name before
// the first 0x01, the flags after it. False when there is no 0x01.
bool TakeIdentity(const std::string& piece, TextList& names, TextList& details) {
  std::size_t cut = piece.find('\x01');
  if (piece.empty() || cut == std::string::npos) return false;
  names.Add(piece.substr(0, cut));
  details.Add(DecodeFlags(piece.substr(cut + 1)));
  return true;
}

// The records read by their type codes and lengths: every byte after the
// second separator belongs to a whole record whose text ends in its only NUL.
bool ParseRecords(const std::string& text, std::size_t from, TextList& names, TextList& details) {
  TextList records;
  if (!TextRecords::Parse(text, from, records)) return false;
  for (const std::string& record : records) {
    if (record.empty() || record.find('\0') != record.size() - 1) return false;
  }
  for (const std::string& record : records) TakeIdentity(record.substr(0, record.size() - 1), names, details);
  return true;
}

// The older reading, kept for files whose records do not frame: the text
// splits at each run of three NULs into exactly three parts, the third at
// each NUL into pieces, and the pieces with a 0x01 are the identities.
bool ParseBySplitting(const std::string& text, std::string& file, std::string& comment,
                      TextList& names, TextList& details) {
  TextList parts = SplitList(text, kSeparator);
  if (parts.Count() != 3) return false;
  file = parts.At(1);
  comment = parts.At(2);
  for (const std::string& piece : SplitList(parts.At(3), std::string(1, '\0'))) TakeIdentity(piece, names, details);
  return true;
}

bool ParseTextSection(const std::string& text, std::string& file, std::string& comment,
                      TextList& names, TextList& details) {
  std::size_t first = text.find(kSeparator);
  std::size_t second = first == std::string::npos ? first : text.find(kSeparator, first + 3);
  if (second != std::string::npos && ParseRecords(text, second + 3, names, details)) {
    file = text.substr(0, first);
    comment = text.substr(first + 3, second - first - 3);
    return true;
  }
  names.Clear();
  details.Clear();
  return ParseBySplitting(text, file, comment, names, details);
}

}  // namespace

static_assert(sizeof(ScriptCFG::kSignature) - 1 == ScriptCFG::kSignatureSize, "signature is 45 bytes");

ScriptCFG::ScriptCFG() : lastBackupDate_(OleDate::Now()) {}

bool ScriptCFG::LoadBytes(const std::string& bytes) {
  if (bytes.size() < kHeaderSize) return false;
  if (bytes.compare(0, kSignatureSize, kSignature, kSignatureSize) != 0) return false;
  double date = GetDouble(bytes, kSignatureSize);
  if (!OleDate::IsValid(date)) return false;

  std::string file, comment;
  TextList names, details;
  if (!ParseTextSection(bytes.substr(kHeaderSize), file, comment, names, details)) return false;

  if (bytes[kPasswordOffset] != '\0') {
    std::string password;
    for (std::size_t i = 0; i < kPasswordSize && bytes[kPasswordOffset + i] != '\0'; ++i)
      password += static_cast<char>(~static_cast<unsigned char>(bytes[kPasswordOffset + i]));
    password_ = password;
  }
  lastBackupDate_ = date;
  backupFile_ = file;
  comments_ = comment;
  identities_ = names;
  idDetails_ = details;
  return true;
}

bool ScriptCFG::SaveBytes(std::string& out) const {
  if (identities_.Empty() || idDetails_.Empty() || identities_.Count() < idDetails_.Count()) return false;
  std::string bytes(kSignature, kSignatureSize);
  PutDouble(bytes, lastBackupDate_);
  for (std::size_t i = 0; i < kPasswordSize; ++i)
    bytes += i < password_.size() ? static_cast<char>(~static_cast<unsigned char>(password_[i])) : '\0';
  bytes += backupFile_ + kSeparator + comments_ + kSeparator;
  for (std::int32_t i = 1; i <= idDetails_.Count(); ++i) {
    std::string record = identities_.At(i) + '\x01' + EncodeFlags(idDetails_.At(i)) + '\0';
    if (!TextRecords::Append(bytes, record)) return false;
  }
  out = std::move(bytes);
  return true;
}

bool ScriptCFG::ReadScriptFile(const std::string& sScrFile) {
  std::uint64_t size = 0;
  if (!platform::GetFileSize(sScrFile, size)) {
    platform::MsgBox("File not found", platform::kCritical, "ReadScriptFile");
    return false;
  }
  if (platform::IsDirectory(sScrFile)) {
    platform::MsgBox("Path/File access error", platform::kCritical, "ReadScriptFile");
    return false;
  }
  if (size > kMaxScriptSize) return false;
  std::string bytes;
  if (!platform::ReadWholeFile(sScrFile, bytes)) {
    platform::MsgBox("Permission denied", platform::kCritical, "ReadScriptFile");
    return false;
  }
  return LoadBytes(bytes);
}

bool ScriptCFG::WriteScriptFile(const std::string& path) {
  if (identities_.Empty() || idDetails_.Empty()) return false;
  std::string bytes;
  if (!SaveBytes(bytes)) {
    platform::MsgBox(identities_.Count() < idDetails_.Count()
                         ? "Subscript out of range"
                         : "An identity name is too long to be kept in a script file",
                     platform::kCritical, "WriteScriptFile");
    return false;
  }
  // The new content goes to a file beside the old one first, so a failing
  // write leaves the old script whole.
  std::size_t slash = path.find_last_of('\\');
  std::string folder = slash == std::string::npos ? platform::CurrentFolder() : path.substr(0, slash + 1);
  std::string temp = platform::TempFileName(folder, "oes");
  // A read-only script stays as it is (not every system refuses to replace it).
  std::uint32_t attributes = platform::GetAttributes(path);
  bool replaceable = attributes == platform::kInvalidAttributes ||
                     !(attributes & (platform::kAttrReadOnly | platform::kAttrDirectory));
  bool written = replaceable && !temp.empty() && platform::WriteWholeFile(temp, bytes) &&
                 platform::MoveFileReplace(temp, path);
  if (!written) {
    if (!temp.empty()) platform::RemoveFile(temp);
    platform::MsgBox(temp.empty() && !platform::IsDirectory(folder) ? "Path not found" : "Permission denied",
                     platform::kCritical, "WriteScriptFile");
    return false;
  }
  return true;
}
