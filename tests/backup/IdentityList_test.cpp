// The identity list of an archive and the archive's entry names.
#include "backup/IdentityList.h"

#include <gtest/gtest.h>

#include "backup/ArchiveLayout.h"
#include "support/sandbox.h"

namespace {

using List = OneBasedList<IdListEntry>;

std::string Build(const List& entries) {
  std::string bytes;
  EXPECT_TRUE(IdentityList::Build(entries, bytes));
  return bytes;
}

TEST(IdentityList, RecordsAreWrittenAsByHandAndReadBackInOrder) {
  EXPECT_EQ(Build({{"Anna", "{1234}", "1,1,1,1,1,1"}}),
            std::string("\x08\x00\x18\x00" "Anna\x01{1234}\x01" "1,1,1,1,1,1\x00", 28));
  const std::string id = "{12345678-1234-1234-1234-123456789012}";  // 38 bytes; text = name + 52
  // Guards against names of 256+ bytes lost when records were split at 0x00/0x01.
  for (std::size_t length : {3u, 204u, 205u, 300u, 460u, 461u, 716u}) {
    List entries{{std::string(length, 'n'), id, "1,1,1,1,1,1"}, {"Ben", "{2}", "0,0,0,0,1,0"}};
    EXPECT_EQ(IdentityList::Parse(Build(entries)), entries) << length;
  }
  std::string kept = "kept";
  EXPECT_FALSE(IdentityList::Build({{std::string(0x10000, 'n'), "{1}", "1,1,1,1,1,1"}}, kept));  // too long a record
  EXPECT_EQ(kept, "kept");
}

TEST(IdentityList, DamagedListsAreReadSafely) {
  EXPECT_TRUE(IdentityList::Parse("").Empty());
  EXPECT_TRUE(IdentityList::Parse("garbage").Empty());
  const std::string two = Build({{std::string(300, 'n'), "{1}", "1,1,1,1,1,1"}, {"Ben", "{2}", "1,0,0,0,0,0"}});
  // A record whose text has two fields only is skipped.
  EXPECT_EQ(IdentityList::Parse(Build({{"Anna", "{1}", "1,1,1,1,1,1"}}) + std::string("\x08\x00\x04\x00" "a\x01" "b\x00", 8)).Count(), 1);
  // A stray byte after the records: the older reading by splitting still finds both.
  auto split = IdentityList::Parse(Build({{"Anna", "{1}", "1,1,1,1,1,1"}, {"Ben", "{2}", "1,0,0,0,0,0"}}) + "z");
  ASSERT_EQ(split.Count(), 2);
  EXPECT_EQ(split.At(2).Name, "Ben");
  for (std::size_t n = 0; n < two.size(); ++n) EXPECT_LE(IdentityList::Parse(two.substr(0, n)).Count(), 2);
}

TEST(IdentityList, WriteAndReadFile) {
  testsupport::Sandbox box;
  List entries{{"Anna", "{1}", "1,1,1,1,1,1"}}, back;
  ASSERT_TRUE(IdentityList::Write(box.Path(ArchiveLayout::kIdListEntry), entries));
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
