// The 1-based list, the text splitting helpers, numeric texts and the
// type-8 record framing.
#include <gtest/gtest.h>

#include "helpers/NumericText.h"
#include "helpers/OneBasedList.h"
#include "helpers/TextRecords.h"

namespace {

TEST(OneBasedList, PositionsStartAtOneRefuseOutsideAndRemoveCloses) {
  TextList list{"a", "b", "c"};
  EXPECT_EQ(list.At(1) + list.At(3) + list.Value(0, "none") + list.Value(4), "acnone");
  EXPECT_THROW(list.At(0), std::out_of_range);
  EXPECT_THROW(list.At(4), std::out_of_range);
  EXPECT_FALSE(list.Set(0, "x") || list.Set(4, "x"));
  ASSERT_TRUE(list.Remove(2));
  EXPECT_EQ(list, (TextList{"a", "c"}));
  EXPECT_FALSE(list.Remove(3));
  ASSERT_TRUE(list.Remove(1) && list.Remove(1));
  EXPECT_TRUE(list.Empty());
  EXPECT_FALSE(list.Remove(1));
}

TEST(SplitList, PiecesBetweenSeparators) {
  EXPECT_EQ(SplitList("", ","), TextList{""});
  EXPECT_EQ(SplitList("1,0,,1", ","), (TextList{"1", "0", "", "1"}));
  EXPECT_EQ(SplitList(",", ","), (TextList{"", ""}));
  // Six NULs are two separators of three with an empty piece between.
  EXPECT_EQ(SplitList(std::string("a\0\0\0\0\0\0b", 8), std::string(3, '\0')),
            (TextList{"a", "", "b"}));
  EXPECT_EQ(JoinList(TextList{"1", "0", "1"}, ","), "1,0,1");
  EXPECT_EQ(JoinList(TextList{}, ","), "");
}

TEST(NumericValue, ReadsTheLeadingNumber) {
  for (auto [text, value] : {std::pair{"3", 3.0}, {"  12  ", 12.0}, {"1 2", 12.0}, {"2.5", 2.5}, {"-4x", -4.0},
                             {"1E3", 1000.0}, {"1d3", 1000.0}, {"2D-1", 0.2}, {"12E", 12.0}, {"", 0.0},
                             {"abc", 0.0}, {"-", 0.0}, {"1E999", 0.0}})  // no infinity comes out
    EXPECT_EQ(NumericValue(text), value) << text;
}

TEST(RoundToWhole, HalfToEvenAndClamped) {
  for (auto [value, whole] : {std::pair{2.5, 2}, {3.5, 4}, {-2.6, -3}, {1e300, 2147483647}, {-1e300, -2147483647 - 1}})
    EXPECT_EQ(RoundToWhole(value), whole) << value;
}

TEST(TextRecords, FramingIsTypeEightAndLittleEndianLength) {
  std::string out;
  ASSERT_TRUE(TextRecords::Append(out, "ab"));
  EXPECT_EQ(out, std::string("\x08\x00\x02\x00" "ab", 6));
  EXPECT_FALSE(TextRecords::Append(out, std::string(0x10000, 'x')));
  EXPECT_EQ(out.size(), 6u);  // nothing appended
  ASSERT_TRUE(TextRecords::Append(out, std::string(0xFFFF, 'y')));
  EXPECT_EQ(out.substr(6, 4), std::string("\x08\x00\xFF\xFF", 4));
  TextList texts;
  ASSERT_TRUE(TextRecords::Parse(out, 0, texts));
  ASSERT_EQ(texts.Count(), 2);
  EXPECT_EQ(texts.At(1), "ab");
  EXPECT_EQ(texts.At(2).size(), 0xFFFFu);
}

TEST(TextRecords, RefusesWhatDoesNotFrame) {
  TextList texts{"kept"};
  EXPECT_FALSE(TextRecords::Parse(std::string("\x08\x00\x05\x00" "ab", 6), 0, texts));  // length past end
  EXPECT_FALSE(TextRecords::Parse(std::string("\x02\x00\x01\x00" "a", 5), 0, texts));   // other type
  EXPECT_FALSE(TextRecords::Parse(std::string("\x08\x00\x01", 3), 0, texts));           // cut head
  EXPECT_FALSE(TextRecords::Parse("ab", 3, texts));                                     // offset past end
  EXPECT_EQ(texts, TextList{"kept"});
  EXPECT_TRUE(TextRecords::Parse("ab", 2, texts));
  EXPECT_TRUE(texts.Empty());
}

}  // namespace
