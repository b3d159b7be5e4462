#include "shell/WizardParts.h"

#include <ctime>

#include "backup/ucBack1.h"
#include "backup/ucBack2.h"
#include "catalog/ucBack3.h"
#include "backup/ucBack4.h"
#include "resources/resource.h"
#include "restore/ucRestor1.h"
#include "restore/ucRestor2.h"
#include "restore/ucRestor3.h"
#include "schedule/OleDate.h"
#include "schedule/ScriptCFG.h"
#include "schedule/frmConfig.h"
#include "shell/CheckExtName.h"
#include "catalog/SharedObjects.h"

namespace wizard {

PageSet MakeProgramPages() {
  PageSet s;
  s.step0 = std::make_unique<ucStep0>();
  s.step1 = std::make_unique<ucStep1>();
  s.back1 = std::make_unique<ucBack1>();
  s.back2 = std::make_unique<ucBack2>();
  s.back3 = std::make_unique<ucBack3>();
  s.back4 = std::make_unique<ucBack4>();
  s.restor1 = std::make_unique<ucRestor1>();
  s.restor2 = std::make_unique<ucRestor2>();
  s.restor3 = std::make_unique<ucRestor3>();
  return s;
}

void ProgramServices::CreateSharedObjects() { shared::CreateSharedObjects(); }
void ProgramServices::ReleaseSharedObjects() { shared::ReleaseSharedObjects(); }

std::vector<std::pair<std::string, std::string>> ProgramServices::SelectedIdentities() {
  std::vector<std::pair<std::string, std::string>> out;
  if (!shared::HaveSharedObjects()) return out;
  const cProcessItem& items = shared::Catalogue();
  for (std::int32_t i = 1; i <= items.SelectIdentity().Count(); ++i)
    if (items.SelectIdentity().Value(i))
      out.emplace_back(items.Identities().Value(i), items.Detail().Value(i));
  return out;
}

bool ProgramServices::WriteScriptFile(const ScriptContent& content, const std::string& path) {
  ScriptCFG script;
  script.BackupFile(content.BackupFile);
  script.Comments(content.Comments);
  script.Password(content.Password);
  script.CompatibleEncryption(content.CompatibleEncryption);
  std::tm local{};
  std::time_t when = content.LastBackupDate;
#ifdef _WIN32
  local = *std::localtime(&when);
#else
  localtime_r(&when, &local);
#endif
  script.LastBackupDate(OleDate::FromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                           local.tm_hour, local.tm_min, local.tm_sec));
  for (const std::string& name : content.Identities) script.Identities().Add(name);
  for (const std::string& detail : content.IDdetails) script.IDdetails().Add(detail);
  return script.WriteScriptFile(path);
}

platform::ModalForm& ProgramServices::ScheduleDialog() {
  // A fresh dialog each time, loaded from the Run value before it shows.
  static std::unique_ptr<frmConfig> schedule;
  schedule = std::make_unique<frmConfig>();
  schedule->Form_Load();
  return *schedule;
}

void ProgramServices::CheckExtName() { ::CheckExtName(); }

}  // namespace wizard
