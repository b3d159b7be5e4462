#include "shell/ucStep1.h"

#include <cstdlib>

#include "resources/resource.h"

namespace {

const char* const kCaptions[] = {
    "Back&up Outlook Express data",
    "&Restore Outlook Express data from a backup file",
    "Config Auto-Backup Scr&ipt",
};
const char* const kExplanations[] = {
    "Saves email and news messages, accounts, address book, message rules, list of blocked "
    "senders, and signatures to a single backup file.",
    "Restores the saved data back to Outlook Express from a previously backup file. (.QMB)",
    "Setting up your auto-backup script, the software can backup the Outlook Express data "
    "automatically while system starting.",
};

}  // namespace

ucStep1::ucStep1() {
  lblTitle.Caption("What do you want to do?");
  for (int i = 0; i < 3; ++i) {
    optMethod.Button(i).Caption(kCaptions[i]);
    lblExplain[i].Caption(kExplanations[i]);
  }
  optMethod.Value(method_);
  optMethod.Click = [this](int index) {
    method_ = static_cast<std::int16_t>(index);
    changed_ = true;
  };
}

int ucStep1::TemplateId() const { return IDD_STEP1; }

void ucStep1::Bind(controls::ControlBinder& binder) {
  binder.Bind(lblTitle, IDC_STEP1_TITLE);
  binder.BindOptions(optMethod, {IDC_STEP1_OPT0, IDC_STEP1_OPT1, IDC_STEP1_OPT2});
  for (int i = 0; i < 3; ++i) binder.Bind(lblExplain[i], IDC_STEP1_EXPLAIN0 + i);
}

void ucStep1::Method(std::int16_t method) {
  method_ = method;
  changed_ = true;
  if (method >= 0 && method < optMethod.Count()) optMethod.Value(method);
}

void ucStep1::ReadProperties(const PropertyBag& bag) {
  auto it = bag.find("Method");
  std::int16_t m = it == bag.end() ? 0 : static_cast<std::int16_t>(std::atoi(it->second.c_str()));
  method_ = m;
  if (m >= 0 && m < optMethod.Count()) optMethod.Value(m);
  changed_ = false;
}

void ucStep1::WriteProperties(PropertyBag& bag) const { bag["Method"] = std::to_string(method_); }
