#include "shell/ucStep0.h"

#include "resources/resource.h"
#include "helpers/appinfo.h"

namespace {

// Escapes text for a rich-text document.
std::string RtfText(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\' || c == '{' || c == '}') out += '\\';
    out += c;
  }
  return out;
}

}  // namespace

std::string MakeWelcomeRtf(const std::string& webSite) {
  std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Tahoma;}}\\f0\\fs17 ";
  rtf += "{\\b " + RtfText(appinfo::kTitle) + "} ";
  rtf += RtfText("allows you to back up and restore your Outlook Express data in minutes.");
  rtf += "\\par\\par ";
  rtf += RtfText(
      "It saves email and news messages, accounts, address book, message rules, list of blocked "
      "senders, and signatures to a single backup file; and restores the saved data back to "
      "Outlook Express.");
  rtf += "\\par\\par ";
  rtf += RtfText("For news and updates, visit " + webSite);
  rtf += "\\par}";
  return rtf;
}

ucStep0::ucStep0() : rtf_(MakeWelcomeRtf(appinfo::kWebSite)) {
  lblTitle.Caption(std::string("Welcome to ") + appinfo::kTitle);
  lblHint.Caption("Click Next to continue, or Cancel to exit");
}

int ucStep0::TemplateId() const { return IDD_STEP0; }

void ucStep0::Bind(controls::ControlBinder& binder) {
  binder.Bind(lblTitle, IDC_STEP0_TITLE);
  binder.Bind(lblHint, IDC_STEP0_HINT);
  binder.ShowRichText(IDC_STEP0_TEXT, rtf_);
}
