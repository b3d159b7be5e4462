// Fuzz target: a backup script from anywhere is refused, leaving the object
// as it was, or read; what was read and is written again reads back to the
// same fields and writes the same bytes a second time. The seeds hold scripts
// of the current form, with the password sealed for the emulated user, and of
// the earlier one.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "schedule/ScriptCFG.h"
#include "support/fuzz_support.h"

using testsupport::Require;

namespace {

// A script with every stored field set; loading over it shows what a load changed.
ScriptCFG Filled() {
  ScriptCFG s;
  s.BackupFile("D:\\Backups\\mail.qmb");
  s.Comments("weekly");
  s.Password("old");
  s.CompatibleEncryption(true);
  s.LastBackupDate(36526.5);  // 1 January 2000, 12:00
  s.Identities().Add("Main Identity");
  s.IDdetails().Add("1,1,1,1,1,1");
  return s;
}

bool SameFields(const ScriptCFG& a, const ScriptCFG& b) {
  const double da = a.LastBackupDate(), db = b.LastBackupDate();
  return a.BackupFile() == b.BackupFile() && a.Comments() == b.Comments() && a.Password() == b.Password() &&
         a.CompatibleEncryption() == b.CompatibleEncryption() && std::memcmp(&da, &db, sizeof da) == 0 && a.Identities() == b.Identities() &&
         a.IDdetails() == b.IDdetails();
}

void LoadSaveLoad(const std::string& bytes) {
  ScriptCFG first = Filled();
  if (!first.LoadBytes(bytes)) {
    Require(SameFields(first, Filled()), "a refused script changed the object");
    return;
  }
  Require(first.Identities().Count() == first.IDdetails().Count(), "names and flags differ in number");
  std::string saved;
  if (!first.SaveBytes(saved)) return;  // no identities, or a name too long for its record
  ScriptCFG again = Filled();
  Require(again.LoadBytes(saved), "a written script does not load");
  Require(SameFields(first, again), "a written script loads to other fields");
  std::string twice;
  Require(again.SaveBytes(twice) && twice == saved, "writing the script again gives other bytes");
}

// The header of the current form, and of the earlier form (no password).
std::string Header(bool sealed = true) {
  ScriptCFG s = Filled();
  s.Password("");
  std::string bytes;
  (void)s.SaveBytes(bytes);
  bytes.resize(ScriptCFG::kHeaderSize);
  if (!sealed) bytes.replace(ScriptCFG::kPasswordOffset, ScriptCFG::kPasswordSize, ScriptCFG::kPasswordSize, '\0');
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ScriptCFG one = Filled(), two = Filled(), odd = Filled();
  one.Comments("");
  one.Password("");
  one.CompatibleEncryption(false);
  one.IDdetails(TextList{"1,0,1,1,0,0"});
  two.Identities().Add("Ben");
  two.IDdetails().Add("0,0,0,0,0,1");
  odd.Comments("a\x01" "b");
  odd.Password("ABCDEFGHIJKLMNO");
  odd.Identities(TextList{"A\xE9", "\x01"});
  odd.IDdetails(TextList{"1", ""});
  for (const auto& [name, script] : {std::pair{"one", &one}, {"two", &two}, {"long-password", &odd}}) {
    std::string bytes;
    if (script->SaveBytes(bytes)) testsupport::WriteSeed(std::string("script-") + name, bytes);
  }
  // An older file whose identities are split at NULs rather than framed.
  testsupport::WriteSeed("script-split", Header(false) + "D:\\B.qmb" + std::string(6, '\0') + "Anna\x01" "1,1" +
                                             std::string(1, '\0') + "Ben\x01" "0,1");
  // A file of the earlier form: the password complemented in its field.
  std::string earlier = Header(false) + "D:\\B.qmb" + std::string(6, '\0') + std::string("\x08\x00\x04\x00", 4) +
                        "A\x01\r" + std::string(1, '\0');
  earlier.replace(ScriptCFG::kPasswordOffset, 3, "\x8C\x9A\x9C");  // "sec"
  testsupport::WriteSeed("script-earlier", earlier);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  LoadSaveLoad(bytes);
  // The same bytes behind a valid header reach the text section's readers
  // and the sealed tail's.
  LoadSaveLoad(Header() + bytes);
  LoadSaveLoad(Header(false) + bytes);
  return 0;
}
