#pragma once
// A backup script (".oes"): the choices of one backup, kept so the program
// can repeat it unattended. Byte layout, all integers little-endian:
//   0   45  signature: "OES1.00", six blanks, a fixed 32-character text
//   45   8  LastBackupDate, an OLE date double
//   53  12  the password field: kSealedField (a 0, "PW-SEALED", two 0s)
//           in a script of the current form; in one of the earlier form
//           the password, each byte complemented, 0 past its end (so no
//           more than 12 bytes of it)
//   65   .  BackupFile, 3 NULs, Comments, 3 NULs, then per identity a text
//           record (type 8, 16-bit length) holding the name, 0x01, the
//           item flags with "1" as CR and "," as LF, 0x00.
// The current form goes on after the last record with a sealed tail:
//   +0   8  kExtensionMarker: three 0s, "QMPW", 0x1A
//   +8   2  kExtensionVersion (1)
//   +10  4  N, the length of the rest of the file
//   +14  N  platform::ProtectForUser of one byte for the encryption (0:
//           AES-256, 1: traditional ZIP) followed by the whole password:
//           only the user who saved the script, on that computer, reads it.
// A reader of the earlier form refuses a script of the current form as not
// a script: the marker is no record (its type is 0) and its three 0s break
// the text into more than the three pieces that reader's fallback accepts.
// Were the password field read alone, it would give no password (its first
// byte is 0), never another one. This reader takes kSealedField without the
// tail after the records, or that tail without kSealedField, for damage.
#include <cstdint>
#include <string>

#include "helpers/OneBasedList.h"

class ScriptCFG {
 public:
  static constexpr char kSignature[] = "OES1.00      Quillmere backup script file 1.0";
  static constexpr std::size_t kSignatureSize = 45;
  static constexpr std::size_t kHeaderSize = 65;
  static constexpr std::size_t kPasswordOffset = 53;
  static constexpr std::size_t kPasswordSize = 12;
  static constexpr char kSealedField[] = "\0PW-SEALED\0";  // and the final NUL: 12 bytes
  static constexpr char kExtensionMarker[] = "\0\0\0QMPW\x1A";  // 8 bytes
  static constexpr std::uint16_t kExtensionVersion = 1;

  // Why LoadBytes or SaveBytes refused a script.
  enum class Fault {
    kNone,
    kNotAScript,        // too short, another signature, no valid date, a damaged text section
    kPasswordDamaged,   // the sealed tail is missing, cut short or malformed
    kPasswordTooNew,    // that tail comes from a later version of the program
    kPasswordNotOurs,   // it does not unseal: another user, another computer or damage
    kNothingToSave,     // no identities, or fewer names than flags
    kNameTooLong,       // an identity does not fit its record
    kCannotSeal,        // the system refused to seal the password
  };

  ScriptCFG();  // empty lists and texts, LastBackupDate now

  const std::string& BackupFile() const { return backupFile_; }
  void BackupFile(const std::string& value) { backupFile_ = value; }
  const std::string& Comments() const { return comments_; }
  void Comments(const std::string& value) { comments_ = value; }
  // The whole password, as the user typed it.
  const std::string& Password() const { return password_; }
  void Password(const std::string& value) { password_ = value; }
  // True for traditional ZIP encryption, false (the default) for AES-256.
  bool CompatibleEncryption() const { return compatibleEncryption_; }
  void CompatibleEncryption(bool value) { compatibleEncryption_ = value; }
  double LastBackupDate() const { return lastBackupDate_; }
  void LastBackupDate(double value) { lastBackupDate_ = value; }
  // The lists themselves: a caller that adds to them changes the script.
  TextList& Identities() { return identities_; }
  const TextList& Identities() const { return identities_; }
  void Identities(const TextList& value) { identities_ = value; }
  TextList& IDdetails() { return idDetails_; }
  const TextList& IDdetails() const { return idDetails_; }
  void IDdetails(const TextList& value) { idDetails_ = value; }
  // Not stored in the file: the unattended run sets them from its command line.
  std::int32_t Interval() const { return interval_; }
  void Interval(std::int32_t value) { interval_ = value; }
  bool OverwriteFile() const { return overwriteFile_; }
  void OverwriteFile(bool value) { overwriteFile_ = value; }

  // Loads the file. False for a file that is not a script (too short, wrong
  // signature, damaged text section), and after a message box titled
  // "ReadScriptFile" for an unreadable one and for a script whose password
  // cannot be read; the object is then unchanged.
  bool ReadScriptFile(const std::string& sScrFile);
  // Writes the script, replacing the file only once the new content is
  // complete. False, writing nothing, when there are no identities; false
  // after a message box titled "WriteScriptFile" when the file cannot be
  // written.
  bool WriteScriptFile(const std::string& path);

  // The same two without files and without messages; `fault`, when given,
  // tells why one refused (kNone when it did not). A script of the earlier
  // form reads with CompatibleEncryption false; one whose field holds no
  // password leaves Password as it was.
  bool LoadBytes(const std::string& bytes, Fault* fault = nullptr);
  // Always writes the current form.
  bool SaveBytes(std::string& out, Fault* fault = nullptr) const;

 private:
  std::string backupFile_, comments_, password_;
  double lastBackupDate_;
  TextList identities_, idDetails_;
  std::int32_t interval_ = 0;
  bool overwriteFile_ = false;
  bool compatibleEncryption_ = false;
};
