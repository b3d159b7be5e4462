// The backup destination page: the starting name, the order of its checks
// and their messages, and that an archive already there survives the check.
#include "backup/ucBack2.h"

#include <gtest/gtest.h>

#include "helpers/modFunction.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/ui.h"
#include "support/sandbox.h"
#include "support/scripted_user.h"

#ifndef _WIN32
#include <ctime>

#include "platform/emulated/emulation.h"
#endif

namespace {

class DestinationPage : public ::testing::Test {
 protected:
  std::string LastText() const { return user.Shown().empty() ? "" : user.Shown().back().text; }
  void Protect(const std::string& password, const std::string& confirm) {
    page.chkProtect.Value(1);
    page.txtPassword.Text(password);
    page.txtConfirm.Text(confirm);
  }
  std::size_t FilesIn(const std::string& rel) const {
    std::vector<platform::DirEntry> left;
    platform::ListFolder(box.Path(rel + "*.*"), left);
    return left.size() - 2;  // "." and ".."
  }

  testsupport::Sandbox box;
  testsupport::ScriptedUser user;
  ucBack2 page;
};

// In the user's documents (even where the program's folder could be
// written), else the program's folder: "OE", the short date, ".qmb".
TEST_F(DestinationPage, StartsInMyDocumentsWithOeAndTheShortDate) {
  const std::string name = page.ZipFileName();
  std::string documents = modFunction::SpecialFolderPath(platform::kCsidlPersonal);  // none natively
  if (!documents.empty() && documents.back() != '\\') documents += '\\';
  const std::string start = (documents.empty() ? modFunction::AppPath() : documents) + "OE";
  ASSERT_EQ(name.substr(0, start.size()), start);
  ASSERT_GT(name.size(), start.size() + 4);
  EXPECT_EQ(name.substr(name.size() - 4), ".qmb");
  EXPECT_EQ(name.find('/'), std::string::npos);
  EXPECT_EQ(page.Comment().substr(0, 16), "Quillmere File\r\n");
  EXPECT_FALSE(page.txtPassword.Enabled());
  EXPECT_TRUE(page.PromptExist());
#ifndef _WIN32
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  EXPECT_EQ(name, start + std::to_string(local.tm_mon + 1) + "-" + std::to_string(local.tm_mday) + "-" +
                      std::to_string(local.tm_year + 1900) + ".qmb");
  box.MakeFolder("docs");
  platform::emu::SetSpecialFolder(platform::kCsidlPersonal, box.Path("docs"));
  EXPECT_EQ(DefaultBackupFileName().rfind(box.Path("docs\\OE"), 0), 0u);
  platform::emu::SetSpecialFolder(platform::kCsidlPersonal, "");
#endif
}

// The boxes and the choice of cipher (AES-256 unless the user picks the
// compatible one) go with the protection box; no password, no cipher.
TEST_F(DestinationPage, ProtectionBoxEnablesThePasswordBoxesAndTheCipherChoice) {
  EXPECT_FALSE(page.optEncryption.Button(ucBack2::kStrong).Enabled());
  page.chkProtect.Value(1);
  EXPECT_TRUE(page.txtPassword.Enabled() && page.txtConfirm.Enabled() && page.txtPassword.HasFocus());
  EXPECT_TRUE(page.optEncryption.Button(ucBack2::kCompatible).Enabled());
  EXPECT_EQ(page.optEncryption.Value(), ucBack2::kStrong);
  EXPECT_FALSE(page.CompatibleEncryption());
  page.optEncryption.Value(ucBack2::kCompatible);
  EXPECT_TRUE(page.CompatibleEncryption());
  page.chkProtect.Value(0);
  EXPECT_FALSE(page.txtConfirm.Enabled() || page.lblEncryptionCost.Enabled() || page.CompatibleEncryption());
}

// A blank name, or one without a folder, is refused; a missing chain of
// folders is made and no file left in it.
TEST_F(DestinationPage, FileNameIsTrimmedAndItsFoldersMade) {
  page.ZipFileName("    ");
  EXPECT_FALSE(page.CheckReady());
  EXPECT_EQ(page.ZipFileName(), "");
  EXPECT_EQ(LastText(), "The filename field is empty!     \r\n\r\nPlease choose a filename first");
  EXPECT_EQ(user.Shown().back().Icon(), platform::kInformation);
  EXPECT_TRUE(page.txtFileName.HasFocus());
  page.ZipFileName("  backup.qmb ");
  EXPECT_FALSE(page.CheckReady());
  EXPECT_EQ(page.ZipFileName(), "backup.qmb");
  EXPECT_EQ(LastText(), "Cann't create path ");
  EXPECT_EQ(user.Shown().back().Icon(), platform::kCritical);
  page.ZipFileName(box.Path("one\\two\\three\\mail.qmb"));
  EXPECT_TRUE(page.CheckReady());
  EXPECT_TRUE(box.Exists("one\\two\\three"));
  EXPECT_EQ(FilesIn("one\\two\\three\\"), 0u);  // the probe cleaned up
  EXPECT_EQ(user.Shown().size(), 2u);
}

TEST_F(DestinationPage, BrowseTakesTheConfirmedNameAndKeepsItOnCancel) {
  user.AnswerFile(testsupport::FileAnswer::Confirm(box.Path("chosen.qmb"))).AnswerFile(testsupport::FileAnswer::Cancel());
  page.cmdBrowse.Press();
  page.cmdBrowse.Press();
  EXPECT_EQ(page.ZipFileName(), box.Path("chosen.qmb"));
  ASSERT_EQ(user.FileDialogs().size(), 2u);
  EXPECT_TRUE(user.FileDialogs()[0].save);
  EXPECT_EQ(user.FileDialogs()[0].title, "Save as");
  EXPECT_EQ(user.FileDialogs()[0].defaultExt, "qmb");
  EXPECT_EQ(user.FileDialogs()[0].filter, std::string("Backup Files(*.qmb)\0*.qmb\0\0", 27));
}

// Guards against the check deleting the earlier backup before a new one
// exists: asked (unless told not to), refused on No, and never touched; a
// read-only one is reported with the system's words and the file's name.
TEST_F(DestinationPage, ExistingArchiveIsAskedAboutAndSurvivesTheCheck) {
  const struct {
    int answer;  // 0: not asked
    bool readOnly, ready;
  } cases[] = {{platform::kAnswerNo, false, false}, {platform::kAnswerYes, false, true}, {0, false, true}, {0, true, false}};
  const std::string old = box.Path("old.qmb");
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.answer) + (c.readOnly ? " read-only" : ""));
    const std::size_t before = user.Shown().size();
    box.WriteFile("old.qmb", "earlier backup");
    if (c.readOnly) { ASSERT_TRUE(platform::SetAttributes(old, platform::kAttrReadOnly)); }
    page.ZipFileName(old);
    page.PromptExist(c.answer != 0);
    if (c.answer) user.Answer(c.answer);
    EXPECT_EQ(page.CheckReady(), c.ready);
    ASSERT_EQ(user.Shown().size(), before + (c.answer || c.readOnly ? 1u : 0u));
    if (c.answer) {
      EXPECT_EQ(user.Shown().back().text, "\"" + old + "\" already exists,\r\nDo you want to replace it?");
      EXPECT_EQ(user.Shown().back().style, platform::kYesNo | platform::kQuestion | platform::kDefaultButton2);
    } else if (c.readOnly) {
      const std::string& text = user.Shown().back().text;
      const std::string named = std::string("\r\n") + ucBack2::kCannotWriteLine + old;
      EXPECT_EQ(user.Shown().back().Icon(), platform::kCritical);
      EXPECT_GT(text.size(), named.size());  // the system's words first
      EXPECT_EQ(text.substr(text.size() - std::min(text.size(), named.size())), named);
    }
    platform::SetAttributes(old, platform::kAttrNormal);
    EXPECT_EQ(testsupport::FileBytes(old), "earlier backup");
    EXPECT_EQ(FilesIn(""), 1u);  // no temporary file beside it
  }
}

struct PasswordCase {
  const char* password;
  const char* confirm;
  const char* message;
};

class PasswordOrder : public DestinationPage, public ::testing::WithParamInterface<PasswordCase> {};

TEST_P(PasswordOrder, RefusedWithTheFirstFailingRule) {
  page.ZipFileName(box.Path("new\\p.qmb"));
  Protect(GetParam().password, GetParam().confirm);
  page.txtFileName.SetFocus();
  EXPECT_FALSE(page.CheckReady());
  EXPECT_EQ(LastText(), GetParam().message);
  EXPECT_EQ(user.Shown().back().Icon(), platform::kInformation);
  EXPECT_TRUE(page.txtPassword.HasFocus());
  EXPECT_FALSE(box.Exists("new"));  // a refused destination leaves no folder
}

const char kNoPassword[] = "Please input your protection password.", kShort[] = "The password must be at least 5 characters! ",
           kNoMatch[] = "The new and confirm passwords do not match. Try again";
INSTANTIATE_TEST_SUITE_P(
    DestinationPage, PasswordOrder,
    ::testing::Values(PasswordCase{"", "", kNoPassword},
                      // Blanks are no password, and do not count towards its length.
                      PasswordCase{"     ", "     ", kNoPassword}, PasswordCase{"  abcd  ", "  abcd  ", kShort},
                      PasswordCase{"abcd", "abcd", kShort},
                      // Characters, not bytes: four Chinese ones are too few.
                      PasswordCase{"\xE5\xAF\x86\xE7\xA0\x81\xE5\xAF\x86\xE7\xA0\x81",
                                   "\xE5\xAF\x86\xE7\xA0\x81\xE5\xAF\x86\xE7\xA0\x81", kShort},
                      // The match is tested before the length.
                      PasswordCase{"abcde", "abcdf", kNoMatch}, PasswordCase{"abcd", "abce", kNoMatch}));

// Passwords come in UTF-8. The compatible cipher takes only what the code
// page holds (Western accents here, no Cyrillic); AES takes any.
TEST_F(DestinationPage, CompatibleCipherRefusesAPasswordTheCodePageLacks) {
  const char* cyrillic = "\xD0\x9F\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C" "123";  // "Parol'123"
  const char* accents = "Gr\xC3\xBC\xC3\x9F" "e123";                                        // "Gruesse123"
  const struct {
    const char* password;
    int cipher;
    bool accepted;
  } cases[] = {{cyrillic, ucBack2::kCompatible, false}, {cyrillic, ucBack2::kStrong, true},
               {accents, ucBack2::kCompatible, true}};
  for (const auto& c : cases) {
    page.ZipFileName(box.Path("p.qmb"));
    Protect(c.password, c.password);
    page.optEncryption.Value(c.cipher);
    const std::size_t before = user.Shown().size();
    EXPECT_EQ(page.CheckReady(), c.accepted) << c.password;
    EXPECT_EQ(user.Shown().size(), before + (c.accepted ? 0 : 1));
    if (!c.accepted) { EXPECT_EQ(LastText(), ucBack2::kCompatiblePasswordMessage); }
    EXPECT_EQ(page.Password(), c.password);
  }
}

// Guards against encrypting with a password the user took back: while the
// protection box is clear the boxes are not examined and there is no
// password; setting one ticks the box and fills both; blanks around it go.
TEST_F(DestinationPage, PasswordGoesWithTheProtectionBox) {
  page.ZipFileName(box.Path("p.qmb"));
  page.txtPassword.Text("abc");
  page.txtConfirm.Text("xyz");
  EXPECT_TRUE(page.CheckReady());
  EXPECT_TRUE(user.Shown().empty());
  EXPECT_EQ(page.Password(), "");
  page.Password("secret1");
  EXPECT_EQ(page.chkProtect.Value(), 1);
  EXPECT_EQ(page.txtConfirm.Text(), "secret1");
  EXPECT_EQ(page.Password(), "secret1");
  page.Password("   ");
  EXPECT_EQ(page.txtPassword.Text() + "|" + page.txtConfirm.Text(), "   |secret1");
  Protect(" secret1 ", " secret1 ");
  page.chkProtect.Value(0);
  EXPECT_EQ(page.Password(), "");
  EXPECT_EQ(page.txtPassword.Text(), " secret1 ");
  page.chkProtect.Value(1);
  EXPECT_EQ(page.Password(), "secret1");  // as it encrypts
}

}  // namespace
