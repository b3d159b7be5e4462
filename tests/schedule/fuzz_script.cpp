// Fuzz target: a backup script from anywhere is refused, leaving the object
// as it was, or read; what was read and is written again reads back to the
// same fields and writes the same bytes a second time.
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
  s.LastBackupDate(36526.5);  // 1 January 2000, 12:00
  s.Identities().Add("Main Identity");
  s.IDdetails().Add("1,1,1,1,1,1");
  return s;
}

bool SameFields(const ScriptCFG& a, const ScriptCFG& b) {
  const double da = a.LastBackupDate(), db = b.LastBackupDate();
  return a.BackupFile() == b.BackupFile() && a.Comments() == b.Comments() && a.Password() == b.Password() &&
         std::memcmp(&da, &db, sizeof da) == 0 && a.Identities() == b.Identities() &&
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

std::string Header() {
  ScriptCFG s = Filled();
  s.Password("");
  std::string bytes;
  (void)s.SaveBytes(bytes);
  return bytes.substr(0, ScriptCFG::kHeaderSize);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  struct Seed {
    const char* name;
    const char* file;
    const char* comment;
    const char* password;
    TextList names, flags;
  };
  const Seed seeds[] = {
      {"one", "D:\\B.qmb", "", "", {"Main"}, {"1,0,1,1,0,0"}},
      {"two", "C:\\Backups\\mail.qmb", "weekly", "secret", {"Anna", "Ben"}, {"1,1,1,1,1,1", "0,0,0,0,0,1"}},
      {"long-password", "E:\\x.qmb", "a\x01" "b", "ABCDEFGHIJKLMNO", {"A\xE9", "\x01"}, {"1", ""}},
  };
  for (const Seed& s : seeds) {
    ScriptCFG script = Filled();
    script.BackupFile(s.file);
    script.Comments(s.comment);
    script.Password(s.password);
    script.Identities(s.names);
    script.IDdetails(s.flags);
    std::string bytes;
    if (script.SaveBytes(bytes)) testsupport::WriteSeed(std::string("script-") + s.name, bytes);
  }
  // An older file whose identities are split at NULs rather than framed.
  testsupport::WriteSeed("script-split", Header() + "D:\\B.qmb" + std::string(6, '\0') + "Anna\x01" "1,1" +
                                             std::string(1, '\0') + "Ben\x01" "0,1");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  LoadSaveLoad(bytes);
  // The same bytes behind a valid header reach the text section's readers.
  LoadSaveLoad(Header() + bytes);
  return 0;
}
