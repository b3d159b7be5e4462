// The welcome and method pages.
#include <gtest/gtest.h>

#include "shell/ucStep0.h"
#include "shell/ucStep1.h"

namespace {

TEST(ucStep1, OptionsAndMethodFollowEachOtherAndTheStore) {
  ucStep1 page;
  EXPECT_EQ(page.Method(), 0);
  EXPECT_EQ(page.optMethod.Value(), 0);
  EXPECT_FALSE(page.PropertyChanged());
  page.Method(1);
  EXPECT_EQ(page.optMethod.Value(), 1);
  page.optMethod.Value(2);  // as the user's click
  EXPECT_EQ(page.Method(), 2);
  EXPECT_TRUE(page.PropertyChanged());
  ucStep1::PropertyBag bag;
  page.WriteProperties(bag);
  EXPECT_EQ(bag.at("Method"), "2");
  ucStep1 loaded;
  loaded.ReadProperties(bag);
  EXPECT_EQ(loaded.optMethod.Value(), 2);
  EXPECT_FALSE(loaded.PropertyChanged());
  ucStep1 fresh;
  fresh.ReadProperties({});
  EXPECT_EQ(fresh.Method(), 0);
}

TEST(ucStep0, WelcomeTextBoldsOnlyTheNameAndEscapesTheAddress) {
  const std::string rtf = ucStep0().WelcomeRtf();
  EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
  EXPECT_NE(rtf.find("{\\b Quillmere} allows you"), std::string::npos);
  EXPECT_EQ(rtf.find("\\b ", rtf.find("Quillmere}")), std::string::npos);
  EXPECT_NE(MakeWelcomeRtf("http://x/{a}\\b").find("http://x/\\{a\\}\\\\b"), std::string::npos);
}

}  // namespace
