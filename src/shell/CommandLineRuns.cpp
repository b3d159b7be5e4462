#include "shell/CommandLineRuns.h"

#include <stdexcept>

#include "backup/ucBack1.h"
#include "backup/ucBack2.h"
#include "backup/ucBack4.h"
#include "catalog/ItemFlags.h"
#include "catalog/ucBack3.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "restore/ucRestor1.h"
#include "schedule/OleDate.h"
#include "schedule/ScriptCFG.h"
#include "shell/CommandLine.h"
#include "shell/modFunction.h"

namespace CommandLineRuns {

namespace {

// The program's own pages behind the roles the frame knows.
template <typename Page, typename Role>
Page& Concrete(Role& role) {
  auto* page = dynamic_cast<Page*>(&role);
  if (!page) throw std::logic_error("the wizard has no page of this kind");
  return *page;
}

class Hourglass {
 public:
  Hourglass() { platform::SetMousePointer(platform::MousePointer::ArrowHourglass); }
  ~Hourglass() { platform::SetMousePointer(platform::MousePointer::Default); }
};

// Exactly the identities and kinds of data the script names: everything is
// cleared first, then each identity is ticked with its own rows.
void ApplySelection(ucBack1& page, const ScriptCFG& script) {
  for (int row = 0; row < page.lstIdentity.ListCount(); ++row) {
    page.lstIdentity.ListIndex(row);
    for (int item = 0; item < page.lstDetail.ListCount(); ++item) page.lstDetail.Checked(item, false);
    page.lstIdentity.Checked(row, false);
  }
  for (std::int32_t k = 1; k <= script.Identities().Count(); ++k) {
    const std::string& name = script.Identities().At(k);
    const std::string detail = script.IDdetails().Value(k);
    page.SelectItem(name, detail);
    for (int row = 0; row < page.lstIdentity.ListCount(); ++row) {
      if (page.lstIdentity.List(row) != name) continue;
      // Ticking the identity chose all its kinds of data: take back the
      // ones the script leaves out.
      for (int item = 0; item < page.lstDetail.ListCount(); ++item)
        if (!ItemFlags::CharacterIsOne(detail, item + 1)) page.lstDetail.Checked(item, false);
      break;
    }
  }
}

// Next, and whether the wizard went on (a page that refuses keeps it).
bool Next(frmMain& form) {
  const std::int32_t before = form.CurrentPage();
  form.cmdNext_Click();
  return form.CurrentPage() != before;
}

}  // namespace

void OpenBackupFromCommandLine(frmMain& form, const std::string& line) {
  Hourglass busy;
  platform::DoEvents();
  const std::string path = CommandLine::RemoveQuotes(line);
  platform::DoEvents();
  form.cmdNext_Click();
  form.ucStep11.Method(ucStep1::kRestore);
  form.cmdNext_Click();
  auto& source = Concrete<ucRestor1>(form.ucRestor11);
  source.RestoreFile(path);
  source.Loadbackupfile();
}

bool RunBackupScript(frmMain& form, const std::string& line) {
  bool recorded = false;
  try {
    const CommandLine::UnattendedSwitches switches = CommandLine::ParseUnattendedSwitches(line);
    const std::string path = CommandLine::RemoveQuotes(switches.ScriptPath);
    if (!modFunction::FileExists(path)) {
      platform::MsgBox(kNoScriptMessage + path, platform::kInformation);
      form.bNotAskExit(true);
      form.Unload();
      return false;
    }
    ScriptCFG script;
    if (!script.ReadScriptFile(path)) {
      platform::MsgBox(kInvalidScriptMessage + path, platform::kInformation);
      form.bNotAskExit(true);
      form.Unload();
      return false;
    }
    script.Interval(switches.Interval);
    script.OverwriteFile(switches.Overwrite);
    if (!CommandLine::IsBackupDue(script.LastBackupDate(), OleDate::Now(), script.Interval()) ||
        script.IDdetails().Count() == 0) {
      form.bNotAskExit(true);
      form.Unload();
      return false;
    }
    std::string target = script.BackupFile();
    if (modFunction::FileExists(target) && !script.OverwriteFile()) target = CommandLine::MakeUniqueBackupName(target);

    Hourglass busy;
    platform::DoEvents();
    form.bNotAskExit(true);
    // Each step goes on only when the page before it accepted: a page that
    // refuses ends the run, and the script keeps its date.
    bool ok = Next(form);
    if (ok) {
      form.ucStep11.Method(ucStep1::kBackup);
      ok = Next(form);
    }
    if (ok) {
      ApplySelection(Concrete<ucBack1>(form.ucBack11), script);
      ok = Next(form);
    }
    if (ok) {
      auto& destination = Concrete<ucBack2>(form.ucBack21);
      destination.ZipFileName(target);
      destination.Password(script.Password());
      destination.CompatibleEncryption(script.CompatibleEncryption());
      destination.Comment(script.Comments());
      destination.PromptExist(false);
      ok = Next(form);
    }
    if (ok) {
      auto& running = Concrete<ucBack3>(form.ucBack31);
      running.OEvalue(1);
      running.MessengerValue(1);
      ok = Next(form) && Next(form);
    }
    const bool backedUp = ok && Concrete<ucBack4>(form.ucBack41).Succeeded();
    form.Unload();
    if (backedUp) {
      script.LastBackupDate(OleDate::Now());
      recorded = script.WriteScriptFile(path);
      if (!recorded) platform::MsgBox(kNotRecordedMessage + path, platform::kExclamation);
    }
  } catch (const std::exception& e) {
    platform::MsgBox(std::string(kFailMessage) + "\r\n" + e.what(), platform::kCritical, "RunBackupScript");
    form.bNotAskExit(true);
    form.Unload();
  }
  return recorded;
}

}  // namespace CommandLineRuns
