#include "schedule/ScriptCFG.h"

#include <cstring>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "schedule/OleDate.h"
#include "helpers/TextRecords.h"

namespace {

constexpr char kTextSeparator[] = {'\0', '\0', '\0'};
const std::string kSeparator(kTextSeparator, 3);
// A script holds a few paths and names; anything far larger is not one.
constexpr std::uint64_t kMaxScriptSize = 16u * 1024u * 1024u;
constexpr char kPasswordNotOursMessage[] =
    "The password in this backup script cannot be read. It was saved by another user or on another "
    "computer, or the file is damaged.";
constexpr char kPasswordDamagedMessage[] = "The password in this backup script cannot be read: the file is damaged.";
constexpr char kPasswordTooNewMessage[] =
    "The password in this backup script cannot be read: the script was saved by a later version of Quillmere.";
const std::string kSealedFieldBytes(ScriptCFG::kSealedField, ScriptCFG::kPasswordSize);
constexpr std::size_t kMarkerSize = sizeof ScriptCFG::kExtensionMarker - 1;
constexpr std::size_t kExtensionHeader = kMarkerSize + 2 + 4;  // marker, version, length

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

// Where the sealed tail begins in the text section: just past
// the last whole record, when the marker stands there; npos when it does not.
std::size_t ExtensionStart(const std::string& text) {
  std::size_t first = text.find(kSeparator);
  std::size_t at = first == std::string::npos ? first : text.find(kSeparator, first + 3);
  if (at == std::string::npos) return at;
  at += 3;
  while (text.size() - at >= 4 && TextRecords::GetUInt16(text, at) == TextRecords::kTextType &&
         text.size() - at - 4 >= TextRecords::GetUInt16(text, at + 2))
    at += 4 + TextRecords::GetUInt16(text, at + 2);
  return text.compare(at, kMarkerSize, ScriptCFG::kExtensionMarker, kMarkerSize) == 0 ? at : std::string::npos;
}

std::uint32_t GetUInt32(const std::string& bytes, std::size_t at) {
  return TextRecords::GetUInt16(bytes, at) | (static_cast<std::uint32_t>(TextRecords::GetUInt16(bytes, at + 2)) << 16);
}

// The password and encryption kept in the sealed tail `extension`.
ScriptCFG::Fault ReadExtension(const std::string& extension, std::string& password, bool& compatible) {
  if (extension.size() < kExtensionHeader) return ScriptCFG::Fault::kPasswordDamaged;
  if (TextRecords::GetUInt16(extension, kMarkerSize) != ScriptCFG::kExtensionVersion)
    return ScriptCFG::Fault::kPasswordTooNew;
  if (GetUInt32(extension, kMarkerSize + 2) != extension.size() - kExtensionHeader)
    return ScriptCFG::Fault::kPasswordDamaged;
  std::string payload;
  if (!platform::UnprotectForUser(extension.substr(kExtensionHeader), payload))
    return ScriptCFG::Fault::kPasswordNotOurs;
  if (payload.empty() || static_cast<unsigned char>(payload[0]) > 1) return ScriptCFG::Fault::kPasswordDamaged;
  compatible = payload[0] == 1;
  password = payload.substr(1);
  return ScriptCFG::Fault::kNone;
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
static_assert(sizeof(ScriptCFG::kSealedField) == ScriptCFG::kPasswordSize, "the sealed field fills the password's");

ScriptCFG::ScriptCFG() : lastBackupDate_(OleDate::Now()) {}

bool ScriptCFG::LoadBytes(const std::string& bytes, Fault* fault) {
  Fault why = Fault::kNone;
  Fault& result = fault ? *fault : why;
  result = Fault::kNotAScript;
  if (bytes.size() < kHeaderSize) return false;
  if (bytes.compare(0, kSignatureSize, kSignature, kSignatureSize) != 0) return false;
  double date = GetDouble(bytes, kSignatureSize);
  if (!OleDate::IsValid(date)) return false;

  std::string text = bytes.substr(kHeaderSize), extension;
  const bool sealed = bytes.compare(kPasswordOffset, kPasswordSize, kSealedFieldBytes) == 0;
  if (std::size_t at = ExtensionStart(text); at != std::string::npos) {
    extension = text.substr(at);
    text.erase(at);
  }
  // The field and the tail after the records come together or not at all.
  if (sealed == extension.empty()) {
    result = Fault::kPasswordDamaged;
    return false;
  }
  std::string file, comment;
  TextList names, details;
  if (!ParseTextSection(text, file, comment, names, details)) return false;

  std::string password = password_;
  bool compatible = false;
  if (sealed) {
    result = ReadExtension(extension, password, compatible);
    if (result != Fault::kNone) return false;
  } else if (bytes[kPasswordOffset] != '\0') {
    password.clear();
    for (std::size_t i = 0; i < kPasswordSize && bytes[kPasswordOffset + i] != '\0'; ++i)
      password += static_cast<char>(~static_cast<unsigned char>(bytes[kPasswordOffset + i]));
  }
  result = Fault::kNone;
  password_ = password;
  compatibleEncryption_ = compatible;
  lastBackupDate_ = date;
  backupFile_ = file;
  comments_ = comment;
  identities_ = names;
  idDetails_ = details;
  return true;
}

bool ScriptCFG::SaveBytes(std::string& out, Fault* fault) const {
  Fault why = Fault::kNone;
  Fault& result = fault ? *fault : why;
  result = Fault::kNothingToSave;
  if (identities_.Empty() || idDetails_.Empty() || identities_.Count() < idDetails_.Count()) return false;
  std::string bytes(kSignature, kSignatureSize);
  PutDouble(bytes, lastBackupDate_);
  bytes += kSealedFieldBytes;
  bytes += backupFile_ + kSeparator + comments_ + kSeparator;
  result = Fault::kNameTooLong;
  for (std::int32_t i = 1; i <= idDetails_.Count(); ++i) {
    std::string record = identities_.At(i) + '\x01' + EncodeFlags(idDetails_.At(i)) + '\0';
    if (!TextRecords::Append(bytes, record)) return false;
  }
  std::string sealed;
  result = Fault::kCannotSeal;
  if (!platform::ProtectForUser(std::string(1, compatibleEncryption_ ? '\x01' : '\x00') + password_, sealed) ||
      sealed.size() > kMaxScriptSize)
    return false;
  bytes.append(kExtensionMarker, kMarkerSize);
  TextRecords::PutUInt16(bytes, kExtensionVersion);
  TextRecords::PutUInt16(bytes, static_cast<std::uint16_t>(sealed.size() & 0xFFFF));
  TextRecords::PutUInt16(bytes, static_cast<std::uint16_t>(sealed.size() >> 16));
  bytes += sealed;
  result = Fault::kNone;
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
  Fault fault;
  if (LoadBytes(bytes, &fault)) return true;
  // Not a script at all: the caller says so, naming the file.
  const char* message = fault == Fault::kPasswordNotOurs ? kPasswordNotOursMessage
                        : fault == Fault::kPasswordTooNew ? kPasswordTooNewMessage
                        : fault == Fault::kPasswordDamaged ? kPasswordDamagedMessage
                                                           : nullptr;
  if (message) platform::MsgBox(message, platform::kCritical, "ReadScriptFile");
  return false;
}

bool ScriptCFG::WriteScriptFile(const std::string& path) {
  if (identities_.Empty() || idDetails_.Empty()) return false;
  std::string bytes;
  Fault fault;
  if (!SaveBytes(bytes, &fault)) {
    platform::MsgBox(fault == Fault::kCannotSeal    ? "The password could not be protected for your user account, "
                                                      "so the script was not saved."
                     : fault == Fault::kNameTooLong ? "An identity name is too long to be kept in a script file"
                                                    : "Subscript out of range",
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
