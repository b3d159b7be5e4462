// The hyperlink label: hover look and events, pointer, and the shell calls
// of the about box's two links.
#include "controls/HotLink.h"

#include <gtest/gtest.h>

#include "helpers/appinfo.h"
#include "shell/frmAbout.h"
#include "support/sandbox.h"

#ifndef _WIN32
#include "platform/emulated/emulation.h"
#endif

using controls::HotLink;

namespace {

TEST(HotLink, EnterAndLeaveSwitchTheLookAndRaiseEachOnce) {
  HotLink link;
  std::vector<std::string> events;
  link.MouseEnter = [&] { events.push_back("enter"); };
  link.MouseExist = [&] { events.push_back("exist"); };
  link.MouseMove(0, 0, 100, 12, 100, 12);  // the edge counts as inside
  link.MouseMove(0, 0, 6, 5, 100, 12);
  EXPECT_TRUE(link.HoverLook());
  EXPECT_EQ(link.CurrentColor(), 0xFF0000u);
  link.MouseMove(0, 0, -1, 0, 100, 12);
  EXPECT_FALSE(link.Hovering() || link.HoverLook());
  EXPECT_EQ(link.CurrentColor(), 0u);
  EXPECT_EQ(events, (std::vector<std::string>{"enter", "exist"}));
  EXPECT_EQ(link.MousePointer(), 99);
  link.MouseP(false);
  EXPECT_EQ(link.MousePointer(), 0);
}

#ifndef _WIN32
TEST(HotLink, AboutBoxLinksOpenTheSiteAndTheMailClient) {
  testsupport::Sandbox box;
  frmAbout about;
  EXPECT_EQ(about.lblVersion.Caption(), std::string("Version ") + appinfo::kVersion);
  about.lnkWeb.DoClick();
  about.lnkMail.DoClick();
  const auto& calls = platform::emu::ShellCalls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].file, appinfo::kWebSite);
  EXPECT_EQ(calls[0].folder, "c:\\");
  EXPECT_EQ(calls[0].show, 1);
  EXPECT_EQ(calls[1].file, std::string("mailto:") + appinfo::kSupportMail);
}
#endif

}  // namespace
