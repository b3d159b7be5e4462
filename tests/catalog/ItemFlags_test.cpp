// The three readings of an item flags text and the text built from six choices.
#include "catalog/ItemFlags.h"

#include <gtest/gtest.h>

namespace {

using namespace ItemFlags;

TEST(ItemFlags, ReadingsAgreeOnTextsTheProgramWrites) {
  const std::string mixed = "1,0,1,1,0,0";
  const bool expected[] = {true, false, true, true, false, false};
  for (int item = 1; item <= kItemCount; ++item) {
    EXPECT_EQ(IsOne(mixed, item), expected[item - 1]) << item;
    EXPECT_EQ(IsNotZero(mixed, item), expected[item - 1]) << item;
    EXPECT_EQ(CharacterIsOne(mixed, item), expected[item - 1]) << item;
    EXPECT_TRUE(IsOne(kAll, item));
    EXPECT_FALSE(IsNotZero(kNone, item));
  }
}

TEST(ItemFlags, ReadingsDifferOnForeignTexts) {
  // A field of 2 counts for the display but not for the run.
  EXPECT_FALSE(IsOne("2,1,1,1,1,1", kMessages));
  EXPECT_TRUE(IsNotZero("2,1,1,1,1,1", kMessages));
  EXPECT_FALSE(CharacterIsOne("2,1,1,1,1,1", kMessages));
  // A blank before the digit: numeric readings skip it, the character reading does not.
  EXPECT_TRUE(IsOne(" 1,1,1,1,1,1", kMessages));
  EXPECT_FALSE(CharacterIsOne(" 1,1,1,1,1,1", kMessages));
  EXPECT_FALSE(CharacterIsOne(" 1,1,1,1,1,1", kSignatures));  // shifted past the end
}

TEST(ItemFlags, MissingFieldsAreNotSet) {
  for (const char* text : {"", "1,1", "1"}) {
    EXPECT_FALSE(IsOne(text, kAddressBook)) << text;
    EXPECT_FALSE(IsNotZero(text, kAddressBook)) << text;
    EXPECT_FALSE(CharacterIsOne(text, kAddressBook)) << text;
  }
  EXPECT_FALSE(IsOne(kAll, 0));
  EXPECT_FALSE(IsOne(kAll, 7));
  EXPECT_FALSE(CharacterIsOne(kAll, 0));
  EXPECT_FALSE(CharacterIsOne(kAll, 7));
}

TEST(ItemFlags, BuildGivesElevenCharacters) {
  EXPECT_EQ(Build({true, true, true, true, true, true}), kAll);
  EXPECT_EQ(Build({false, false, false, false, false, false}), kNone);
  EXPECT_EQ(Build({true, false, true, true, false, false}), "1,0,1,1,0,0");
}

}  // namespace
