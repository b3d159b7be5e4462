// The welcome and method pages.
#include <gtest/gtest.h>

#include "shell/ucStep0.h"
#include "shell/ucStep1.h"

namespace {

TEST(ucStep1, CaptionsAndExplanationsInIndexOrder) {
  ucStep1 page;
  EXPECT_EQ(page.lblTitle.Caption(), "What do you want to do?");
  EXPECT_EQ(page.optMethod.Button(0).Caption(), "Back&up Outlook Express data");
  EXPECT_EQ(page.optMethod.Button(1).Caption(), "&Restore Outlook Express data from a backup file");
  EXPECT_EQ(page.optMethod.Button(2).Caption(), "Config Auto-Backup Scr&ipt");
  EXPECT_EQ(page.lblExplain[1].Caption(),
            "Restores the saved data back to Outlook Express from a previously backup file. (.QMB)");
  EXPECT_EQ(page.lblExplain[2].Caption(),
            "Setting up your auto-backup script, the software can backup the Outlook Express data "
            "automatically while system starting.");
}

TEST(ucStep1, NewPageStartsWithBackupChecked) {
  ucStep1 page;
  EXPECT_EQ(page.Method(), 0);
  EXPECT_EQ(page.optMethod.Value(), 0);
  EXPECT_FALSE(page.PropertyChanged());
}

TEST(ucStep1, ClickingAnOptionSetsMethodAndMarksItChanged) {
  ucStep1 page;
  page.optMethod.Value(2);
  EXPECT_EQ(page.Method(), 2);
  EXPECT_TRUE(page.PropertyChanged());
}

TEST(ucStep1, SettingMethodChecksItsOption) {
  ucStep1 page;
  page.Method(1);
  EXPECT_EQ(page.optMethod.Value(), 1);
  page.Method(0);
  EXPECT_EQ(page.optMethod.Value(), 0);
}

TEST(ucStep1, MethodTravelsThroughThePropertyStore) {
  ucStep1 page;
  page.Method(2);
  ucStep1::PropertyBag bag;
  page.WriteProperties(bag);
  EXPECT_EQ(bag.at("Method"), "2");
  ucStep1 loaded;
  loaded.ReadProperties(bag);
  EXPECT_EQ(loaded.Method(), 2);
  EXPECT_EQ(loaded.optMethod.Value(), 2);
  EXPECT_FALSE(loaded.PropertyChanged());
  ucStep1 fresh;
  fresh.ReadProperties({});
  EXPECT_EQ(fresh.Method(), 0);  // the store's default
}

TEST(ucStep0, WelcomeTextBoldNameThenPlainParagraphs) {
  ucStep0 page;
  EXPECT_EQ(page.lblTitle.Caption(), "Welcome to Quillmere");
  EXPECT_EQ(page.lblHint.Caption(), "Click Next to continue, or Cancel to exit");
  const std::string& rtf = page.WelcomeRtf();
  EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
  EXPECT_NE(rtf.find("{\\b Quillmere} allows you to back up and restore your Outlook Express data in minutes.\\par\\par "
                     "It saves email and news messages"),
            std::string::npos);
  EXPECT_NE(rtf.find("back to Outlook Express.\\par\\par For news and updates, visit "), std::string::npos);
  EXPECT_EQ(rtf.find("\\b ", rtf.find("Quillmere}")), std::string::npos);  // bold ends with the name
}

TEST(ucStep0, WebAddressIsEscapedForRichText) {
  EXPECT_NE(MakeWelcomeRtf("http://x/{a}\\b").find("http://x/\\{a\\}\\\\b"), std::string::npos);
}

}  // namespace
