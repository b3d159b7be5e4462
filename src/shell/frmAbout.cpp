#include "shell/frmAbout.h"

#include "platform/system.h"
#include "resources/resource.h"
#include "helpers/appinfo.h"

frmAbout::frmAbout() {
  lblName.Caption(appinfo::kTitle);
  lblVersion.Caption(std::string("Version ") + appinfo::kVersion);
  lblText.Caption("Backs up and restores Outlook Express data.");
  lnkWeb.Caption(appinfo::kWebSite);
  lnkMail.Caption(appinfo::kSupportMail);
  for (controls::HotLink* link : {&lnkWeb, &lnkMail}) link->NormalColor(0x00CC6600);  // link blue
  lnkWeb.Click = [this] { lnkWeb.Shell(lnkWeb.Caption(), "", "c:\\", platform::kSwShowNormal); };
  lnkMail.Click = [this] {
    lnkMail.Shell("mailto:" + lnkMail.Caption(), "", "c:\\", platform::kSwShowNormal);
  };
}

void frmAbout::Bind(controls::ControlBinder& binder) {
  binder.Bind(lblName, IDC_ABOUT_NAME);
  binder.Bind(lblVersion, IDC_ABOUT_VERSION);
  binder.Bind(lblText, IDC_ABOUT_TEXT);
  binder.BindHotLink(lnkWeb, IDC_ABOUT_WEB);
  binder.BindHotLink(lnkMail, IDC_ABOUT_MAIL);
}

#ifndef _WIN32
int frmAbout::ShowReal(void*) { return 0; }  // no real windows natively
#endif
