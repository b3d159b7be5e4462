// The identity list of an archive and the archive's entry names.
#include "backup/IdentityList.h"

#include <gtest/gtest.h>

#include "backup/ArchiveLayout.h"
#include "support/sandbox.h"

using testsupport::Sandbox;

namespace {

std::string Build(const OneBasedList<IdListEntry>& entries) {
  std::string bytes;
  EXPECT_TRUE(IdentityList::Build(entries, bytes));
  return bytes;
}

TEST(IdentityList, RecordByHand) {
  std::string expected("\x08\x00\x18\x00" "Anna\x01{1234}\x01" "1,1,1,1,1,1\x00", 28);
  EXPECT_EQ(Build({{"Anna", "{1234}", "1,1,1,1,1,1"}}), expected);
}

TEST(IdentityList, TwoIdentitiesInOrder) {
  OneBasedList<IdListEntry> two{{"Anna", "{1}", "1,1,1,1,1,1"}, {"Ben", "{2}", "0,0,0,0,1,0"}};
  std::string bytes = Build(two);
  EXPECT_EQ(bytes.size(), 4u + 21 + 4 + 20);
  EXPECT_EQ(IdentityList::Parse(bytes), two);
}

TEST(IdentityList, EmptyAndDamagedLists) {
  EXPECT_TRUE(IdentityList::Parse("").Empty());
  EXPECT_TRUE(IdentityList::Parse("garbage").Empty());
  // A record whose text has two fields only is skipped.
  std::string bytes = Build({{"Anna", "{1}", "1,1,1,1,1,1"}});
  bytes += std::string("\x08\x00\x04\x00" "a\x01" "b\x00", 8);
  EXPECT_EQ(IdentityList::Parse(bytes).Count(), 1);
}

// Guards against names of 256+ bytes lost when records were split at 0x00/0x01.
TEST(IdentityList, LongNamesSurvive) {
  const std::string id = "{12345678-1234-1234-1234-123456789012}";  // 38 bytes; text = name + 52
  for (std::size_t length : {204u, 205u, 300u, 460u, 461u, 716u}) {
    OneBasedList<IdListEntry> entries{{std::string(length, 'n'), id, "1,1,1,1,1,1"},
                                      {"Ben", "{2}", "1,0,0,0,0,0"}};
    EXPECT_EQ(IdentityList::Parse(Build(entries)), entries) << length;
  }
}

TEST(IdentityList, ListThatDoesNotFrameIsReadBySplitting) {
  // A stray byte after the records: the older reading still finds both.
  std::string bytes = Build({{"Anna", "{1}", "1,1,1,1,1,1"}, {"Ben", "{2}", "1,0,0,0,0,0"}}) + "z";
  auto entries = IdentityList::Parse(bytes);
  ASSERT_EQ(entries.Count(), 2);
  EXPECT_EQ(entries.At(2).Name, "Ben");
}

TEST(IdentityList, EveryTruncationIsSafe) {
  std::string bytes = Build({{std::string(300, 'n'), "{1}", "1,1,1,1,1,1"}, {"Ben", "{2}", "1,0,0,0,0,0"}});
  for (std::size_t n = 0; n < bytes.size(); ++n) EXPECT_LE(IdentityList::Parse(bytes.substr(0, n)).Count(), 2);
}

TEST(IdentityList, RecordTooLongIsRefused) {
  std::string bytes = "kept";
  EXPECT_FALSE(IdentityList::Build({{std::string(0x10000, 'n'), "{1}", "1,1,1,1,1,1"}}, bytes));
  EXPECT_EQ(bytes, "kept");
}

TEST(IdentityList, WriteAndReadFile) {
  Sandbox box;
  OneBasedList<IdListEntry> entries{{"Anna", "{1}", "1,1,1,1,1,1"}};
  ASSERT_TRUE(IdentityList::Write(box.Path(ArchiveLayout::kIdListEntry), entries));
  OneBasedList<IdListEntry> back;
  ASSERT_TRUE(IdentityList::Read(box.Path("IdList.lst"), back));
  EXPECT_EQ(back, entries);
  EXPECT_FALSE(IdentityList::Read(box.Path("none.lst"), back));
}

TEST(ArchiveLayout, EntryNames) {
  using namespace ArchiveLayout;
  EXPECT_EQ(IdentityEntry("{1}", kBlockedFile), "{1}/Blocked.bkr");
  EXPECT_EQ(SignatureEntry("{1}", "00000000", "C:\\Sig\\my sig.txt"), "{1}/00000000/my sig.txt");
  EXPECT_EQ(AddressBookEntry("C:\\Documents and Settings\\demo\\Application Data\\Microsoft\\Address Book\\demo.wab"),
            "demo.wab");
  EXPECT_EQ(WorkPath("T:\\w\\", "{1}/00000000/s.txt"), "T:\\w\\{1}\\00000000\\s.txt");
  EXPECT_EQ(EntryFromWorkPath("T:\\w\\", "T:\\w\\{1}\\Rules.bkr"), "{1}/Rules.bkr");
  EXPECT_EQ(IdentityFolder("T:\\w\\", "{1}"), "T:\\w\\{1}\\");
}

}  // namespace
