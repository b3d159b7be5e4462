// The three readings of an item flags text and the text built from six choices.
#include "catalog/ItemFlags.h"

#include <gtest/gtest.h>

namespace {

using namespace ItemFlags;

TEST(ItemFlags, ReadingsAgreeOnTextsTheProgramWrites) {
  const bool expected[] = {true, false, true, true, false, false};
  EXPECT_EQ(Build({true, false, true, true, false, false}), "1,0,1,1,0,0");
  EXPECT_EQ(Build({true, true, true, true, true, true}), kAll);
  EXPECT_EQ(Build({false, false, false, false, false, false}), kNone);
  for (int item = 1; item <= kItemCount; ++item) {
    for (auto reading : {IsOne, IsNotZero, CharacterIsOne}) {
      EXPECT_EQ(reading("1,0,1,1,0,0", item), expected[item - 1]) << item;
      EXPECT_TRUE(reading(kAll, item));
      EXPECT_FALSE(reading(kNone, item));
    }
  }
  // Missing fields are not set.
  for (auto reading : {IsOne, IsNotZero, CharacterIsOne}) {
    for (const char* text : {"", "1,1", "1"}) EXPECT_FALSE(reading(text, kAddressBook)) << text;
    EXPECT_FALSE(reading(kAll, 0));
    EXPECT_FALSE(reading(kAll, 7));
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

}  // namespace
