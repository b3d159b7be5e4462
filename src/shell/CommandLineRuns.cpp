#include "shell/CommandLineRuns.h"

#include <algorithm>
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
#include "schedule/ScriptLog.h"
#include "schedule/CommandLine.h"
#include "helpers/modFunction.h"

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

// What an unattended run did, for its log.
struct Outcome {
  ScriptLog::Result result = ScriptLog::Result::kFailed;
  std::string archive, reason;
  bool recorded = false;  // backed up and its date written into the script
};

// Every message the unattended run shows goes through here: the first one
// is kept for the log and, while the hidden wizard is driven, each says on
// a line of its own that it comes from the automatic backup of the script.
class AutomaticBackupUi : public platform::UserInterface {
 public:
  explicit AutomaticBackupUi(std::string script) : inner_(platform::Ui()), script_(std::move(script)) {
    platform::SetUi(this);
  }
  ~AutomaticBackupUi() override { platform::SetUi(&inner_); }
  AutomaticBackupUi(const AutomaticBackupUi&) = delete;
  AutomaticBackupUi& operator=(const AutomaticBackupUi&) = delete;

  void Annotate(bool annotate) { annotate_ = annotate; }
  // The first message since the last Forget, on one line; "" when none.
  const std::string& First() const { return first_; }
  void Forget() { first_.clear(); }

  int ShowMessage(const std::string& text, unsigned style, const std::string& title, void* owner) override {
    if (first_.empty()) first_ = OneLine(text);
    return inner_.ShowMessage(annotate_ ? text + "\r\n\r\n" + kAutomaticBackupLine + script_ : text, style, title,
                              owner);
  }
  int ShowFileDialog(platform::FileDialogRecord& record) override { return inner_.ShowFileDialog(record); }
  int ShowModal(platform::ModalForm& form, void* owner) override { return inner_.ShowModal(form, owner); }

 private:
  static std::string OneLine(const std::string& text) {
    std::string out;
    for (char c : text) {
      if (c == '\r' || c == '\n') c = ' ';
      if (c != ' ' || (!out.empty() && out.back() != ' ')) out += c;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
  }

  platform::UserInterface& inner_;
  std::string script_, first_;
  bool annotate_ = false;
};

std::string Duration(std::chrono::milliseconds span) {
  const long long seconds = static_cast<long long>(span.count() / 1000);
  if (seconds >= 60 && seconds % 60 == 0)
    return std::to_string(seconds / 60) + (seconds == 60 ? " minute" : " minutes");
  return seconds >= 1 ? std::to_string(seconds) + (seconds == 1 ? " second" : " seconds")
                      : std::to_string(span.count()) + " ms";
}

// Waits, letting the hidden window's messages run, until the mail client
// is closed; false when it still runs at the end of the limit.
bool MailClientClosed(const ClientWait& wait) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + wait.limit;
  for (;;) {
    if (!ucBack3::MailClientRunning()) return true;
    const Clock::time_point now = Clock::now();
    if (now >= end) return false;
    const Clock::time_point next = std::min(end, now + wait.every);
    for (Clock::time_point t = now; t < next; t = Clock::now()) {
      platform::DoEvents();
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(next - t).count();
      platform::SleepMs(static_cast<unsigned>(std::max<long long>(1, std::min<long long>(left, 50))));
    }
  }
}

// The unattended backup up to the point where its log line is known; the
// form is unloaded by the caller.
Outcome Unattended(frmMain& form, const std::string& path, const CommandLine::UnattendedSwitches& switches,
                   const ClientWait& wait, AutomaticBackupUi& ui) {
  Outcome out;
  if (!modFunction::FileExists(path)) {
    out.reason = "script not found";
    platform::MsgBox(kNoScriptMessage + path, platform::kInformation);
    return out;
  }
  ScriptCFG script;
  if (!script.ReadScriptFile(path)) {
    out.reason = ui.First().empty() ? "script unreadable" : "script unreadable: " + ui.First();
    platform::MsgBox(kInvalidScriptMessage + path, platform::kInformation);
    return out;
  }
  script.Interval(switches.Interval);
  script.OverwriteFile(switches.Overwrite);
  out.archive = script.BackupFile();
  if (!CommandLine::IsBackupDue(script.LastBackupDate(), OleDate::Now(), script.Interval())) {
    out.result = ScriptLog::Result::kNotRun;
    out.reason = "not due yet: last backup on " + ScriptLog::DateText(script.LastBackupDate(), false) + ", every " +
                 (script.Interval() == 1 ? std::string("day") : std::to_string(script.Interval()) + " days");
    return out;
  }
  if (script.IDdetails().Count() == 0) {
    out.reason = "the script names no identity";
    return out;
  }
  std::string target = script.BackupFile();
  if (modFunction::FileExists(target) && !script.OverwriteFile()) target = CommandLine::MakeUniqueBackupName(target);
  out.archive = target;

  Hourglass busy;
  platform::DoEvents();
  form.bNotAskExit(true);
  ui.Forget();
  ui.Annotate(true);
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
  bool clientClosed = true;
  if (ok) {
    Concrete<ucBack3>(form.ucBack31).Unattended(true);
    clientClosed = MailClientClosed(wait);
    ok = clientClosed && Next(form) && Next(form);
  }
  auto& run = Concrete<ucBack4>(form.ucBack41);
  const bool backedUp = ok && run.Succeeded();
  const std::int32_t stoppedAt = form.CurrentPage();
  ui.Annotate(false);
  form.Unload();
  if (!backedUp) {
    out.reason = !clientClosed                 ? "Outlook Express was still running after " + Duration(wait.limit)
                 : ok && !run.Failure().empty() ? run.Failure()
                 : !ui.First().empty()          ? ui.First()
                                                : "the wizard stopped on page " + std::to_string(stoppedAt);
    return out;
  }
  out.result = ScriptLog::Result::kBackedUp;
  script.LastBackupDate(OleDate::Now());
  out.recorded = script.WriteScriptFile(path);
  if (!out.recorded) {
    out.reason = "its date could not be written into the script file";
    platform::MsgBox(kNotRecordedMessage + path, platform::kExclamation);
  }
  return out;
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

bool RunBackupScript(frmMain& form, const std::string& line, const ClientWait& wait) {
  const CommandLine::UnattendedSwitches switches = CommandLine::ParseUnattendedSwitches(line);
  const std::string path = CommandLine::ScriptFileOf(switches.ScriptPath);
  Outcome outcome;
  {
    AutomaticBackupUi ui(path);
    try {
      outcome = Unattended(form, path, switches, wait, ui);
    } catch (const std::exception& e) {
      outcome.result = ScriptLog::Result::kFailed;
      outcome.reason = std::string("unexpected error: ") + e.what();
      platform::MsgBox(std::string(kFailMessage) + "\r\n" + e.what(), platform::kCritical, "RunBackupScript");
    }
  }
  form.bNotAskExit(true);
  form.Unload();  // once only: a form the run unloaded stays so
  // A log that cannot be written does not undo the backup, and nobody is
  // there to tell: the result stands.
  if (!path.empty()) (void)ScriptLog::Append(path, ScriptLog::Line(OleDate::Now(), outcome.archive, outcome.result, outcome.reason));
  return outcome.recorded;
}

}  // namespace CommandLineRuns
