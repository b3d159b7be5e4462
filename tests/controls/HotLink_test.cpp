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

TEST(Hover, EnterAndLeaveSwitchTheLookAndRaiseEachOnce) {
  HotLink link;
  std::vector<std::string> events;
  link.MouseEnter = [&] { events.push_back("enter"); };
  link.MouseExist = [&] { events.push_back("exist"); };
  link.MouseMove(0, 0, 5, 5, 100, 12);
  link.MouseMove(0, 0, 6, 5, 100, 12);
  EXPECT_TRUE(link.HoverLook());
  EXPECT_EQ(link.CurrentColor(), 0xFF0000u);
  link.MouseMove(0, 0, 120, 5, 100, 12);
  EXPECT_FALSE(link.HoverLook());
  EXPECT_EQ(link.CurrentColor(), 0u);
  EXPECT_EQ(events, (std::vector<std::string>{"enter", "exist"}));
}

TEST(Hover, EdgesCountAsInside) {
  HotLink link;
  link.MouseMove(0, 0, 100, 12, 100, 12);
  EXPECT_TRUE(link.Hovering());
  link.MouseMove(0, 0, -1, 0, 100, 12);
  EXPECT_FALSE(link.Hovering());
}

TEST(Pointer, HandUnlessMousePIsOff) {
  HotLink link;
  EXPECT_EQ(link.MousePointer(), 99);
  link.MouseP(false);
  EXPECT_EQ(link.MousePointer(), 0);
}

TEST(Defaults, AsANewControl) {
  HotLink link;
  EXPECT_EQ(link.Caption(), appinfo::kWebSite);
  EXPECT_EQ(link.NormalColor(), 0u);
  EXPECT_EQ(link.HoverColor(), 0xFF0000u);
  EXPECT_EQ(link.BackColor(), 0x8000000Fu);
  EXPECT_TRUE(link.AutoSize());
  EXPECT_TRUE(link.Enabled());
}

#ifndef _WIN32
TEST(AboutBox, LinksOpenTheSiteAndTheMailClient) {
  testsupport::Sandbox box;
  frmAbout about;
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

TEST(AboutBox, NameAndVersion) {
  frmAbout about;
  EXPECT_EQ(about.lblName.Caption(), "Quillmere");
  EXPECT_EQ(about.lblVersion.Caption(), std::string("Version ") + appinfo::kVersion);
  EXPECT_EQ(about.FormName(), "frmAbout");
}

}  // namespace
