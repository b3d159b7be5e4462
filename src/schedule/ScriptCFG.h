#pragma once
// A backup script (".oes"): the choices of one backup, kept so the program
// can repeat it unattended. Byte layout, all integers little-endian:
//   0   45  signature: "OES1.00", six blanks, a fixed 32-character text
//   45   8  LastBackupDate, an OLE date double
//   53  12  password, each byte complemented, 0 past its end
//   65   .  BackupFile, 3 NULs, Comments, 3 NULs, then per identity a text
//           record (type 8, 16-bit length) holding the name, 0x01, the
//           item flags with "1" as CR and "," as LF, 0x00.
#include <cstdint>
#include <string>

#include "shell/OneBasedList.h"

class ScriptCFG {
 public:
  static constexpr char kSignature[] = "OES1.00      Quillmere backup script file 1.0";
  static constexpr std::size_t kSignatureSize = 45;
  static constexpr std::size_t kHeaderSize = 65;
  static constexpr std::size_t kPasswordOffset = 53;
  static constexpr std::size_t kPasswordSize = 12;

  ScriptCFG();  // empty lists and texts, LastBackupDate now

  const std::string& BackupFile() const { return backupFile_; }
  void BackupFile(const std::string& value) { backupFile_ = value; }
  const std::string& Comments() const { return comments_; }
  void Comments(const std::string& value) { comments_ = value; }
  const std::string& Password() const { return password_; }
  void Password(const std::string& value) { password_ = value; }
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
  // signature, damaged text section) and for an unreadable one (after a
  // message box titled "ReadScriptFile"); the object is then unchanged.
  bool ReadScriptFile(const std::string& sScrFile);
  // Writes the script, replacing the file only once the new content is
  // complete. False, writing nothing, when there are no identities; false
  // after a message box titled "WriteScriptFile" when the file cannot be
  // written.
  bool WriteScriptFile(const std::string& path);

  // The same two without files and without messages.
  bool LoadBytes(const std::string& bytes);
  // False when an identity record does not fit its 16-bit length, or an
  // identity has no flags.
  bool SaveBytes(std::string& out) const;

 private:
  std::string backupFile_, comments_, password_;
  double lastBackupDate_;
  TextList identities_, idDetails_;
  std::int32_t interval_ = 0;
  bool overwriteFile_ = false;
};
