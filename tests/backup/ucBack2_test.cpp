// The backup destination page: the starting name, the order of its checks
// and their messages, and that an archive already there survives the check.
#include "backup/ucBack2.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/ui.h"
#include "helpers/modFunction.h"
#include "support/sandbox.h"
#include "support/scripted_user.h"

#ifndef _WIN32
#include <ctime>

#include "platform/emulated/emulation.h"
#include "platform/paths.h"
#endif

using testsupport::FileAnswer;
using testsupport::Sandbox;
using testsupport::ScriptedUser;

namespace {

class DestinationPage : public ::testing::Test {
 protected:
  std::string LastText() const { return user.Shown().empty() ? "" : user.Shown().back().text; }
  void Protect(const std::string& password, const std::string& confirm) {
    page.chkProtect.Value(1);
    page.txtPassword.Text(password);
    page.txtConfirm.Text(confirm);
  }
  std::string Bytes(const std::string& relative) const {
    std::string bytes;
    platform::ReadWholeFile(box.Path(relative), bytes);
    return bytes;
  }

  Sandbox box;
  ScriptedUser user;
  ucBack2 page;
};

// --- Starting values ---

TEST_F(DestinationPage, StartsInMyDocumentsWithOeAndTheShortDate) {
  const std::string name = page.ZipFileName();
  std::string documents = modFunction::SpecialFolderPath(platform::kCsidlPersonal);  // none natively
  if (!documents.empty() && documents.back() != '\\') documents += '\\';
  const std::string start = (documents.empty() ? modFunction::AppPath() : documents) + "OE";
  ASSERT_EQ(name.substr(0, start.size()), start);
  ASSERT_GT(name.size(), start.size() + 4);
  EXPECT_EQ(name.substr(name.size() - 4), ".qmb");
  EXPECT_EQ(name.find('/'), std::string::npos);
#ifndef _WIN32
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  EXPECT_EQ(name, start + std::to_string(local.tm_mon + 1) + "-" + std::to_string(local.tm_mday) +
                      "-" + std::to_string(local.tm_year + 1900) + ".qmb");
#endif
  EXPECT_EQ(page.Comment().substr(0, 16), "Quillmere File\r\n");
  EXPECT_FALSE(page.txtPassword.Enabled());
  EXPECT_TRUE(page.PromptExist());
}

#ifndef _WIN32
// The user's documents even where the program's folder could be written;
// the program's folder only when no documents folder is known.
TEST_F(DestinationPage, ProposedInMyDocumentsElseTheProgramFolder) {
  box.MakeFolder("docs");
  platform::emu::SetSpecialFolder(platform::kCsidlPersonal, box.Path("docs"));
  EXPECT_EQ(DefaultBackupFileName().rfind(box.Path("docs\\OE"), 0), 0u);
  platform::emu::SetSpecialFolder(platform::kCsidlPersonal, "");
  EXPECT_EQ(DefaultBackupFileName().rfind(modFunction::AppPath() + "OE", 0), 0u);
}
#endif

// The boxes and the choice of cipher (AES-256 unless the user picks the
// compatible one) go with the protection box; no password, no cipher.
TEST_F(DestinationPage, ProtectionBoxEnablesThePasswordBoxesAndTheCipherChoice) {
  EXPECT_FALSE(page.optEncryption.Button(ucBack2::kStrong).Enabled());
  page.chkProtect.Value(1);
  EXPECT_TRUE(page.txtPassword.Enabled());
  EXPECT_TRUE(page.txtConfirm.Enabled());
  EXPECT_TRUE(page.txtPassword.HasFocus());
  EXPECT_TRUE(page.optEncryption.Button(ucBack2::kCompatible).Enabled());
  EXPECT_EQ(page.optEncryption.Value(), ucBack2::kStrong);
  EXPECT_FALSE(page.CompatibleEncryption());
  page.optEncryption.Value(ucBack2::kCompatible);
  EXPECT_TRUE(page.CompatibleEncryption());
  page.chkProtect.Value(0);
  EXPECT_FALSE(page.txtConfirm.Enabled());
  EXPECT_FALSE(page.lblEncryptionCost.Enabled());
  EXPECT_FALSE(page.CompatibleEncryption());
}

// --- The file name ---

TEST_F(DestinationPage, BlankNameIsTrimmedAndRefused) {
  page.ZipFileName("    ");
  EXPECT_FALSE(page.CheckReady());
  EXPECT_EQ(page.ZipFileName(), "");
  EXPECT_EQ(LastText(), "The filename field is empty!     \r\n\r\nPlease choose a filename first");
  EXPECT_EQ(user.Shown().back().Icon(), platform::kInformation);
  EXPECT_TRUE(page.txtFileName.HasFocus());
}

TEST_F(DestinationPage, NameWithoutFolderCannotHaveItsPathCreated) {
  page.ZipFileName("  backup.qmb ");
  EXPECT_FALSE(page.CheckReady());
  EXPECT_EQ(page.ZipFileName(), "backup.qmb");
  EXPECT_EQ(LastText(), "Cann't create path ");
  EXPECT_EQ(user.Shown().back().Icon(), platform::kCritical);
}

TEST_F(DestinationPage, MissingFolderChainIsCreatedAndNoFileLeft) {
  page.ZipFileName(box.Path("one\\two\\three\\mail.qmb"));
  EXPECT_TRUE(page.CheckReady());
  EXPECT_TRUE(box.Exists("one\\two\\three"));
  EXPECT_FALSE(box.Exists("one\\two\\three\\mail.qmb"));
  std::vector<platform::DirEntry> left;
  platform::ListFolder(box.Path("one\\two\\three\\*.*"), left);
  EXPECT_EQ(left.size(), 2u);  // "." and ".." only: the probe cleaned up
  EXPECT_TRUE(user.Shown().empty());
}

TEST_F(DestinationPage, BrowseTakesTheConfirmedNameAndKeepsItOnCancel) {
  user.AnswerFile(FileAnswer::Confirm(box.Path("chosen.qmb"))).AnswerFile(FileAnswer::Cancel());
  page.cmdBrowse.Press();
  EXPECT_EQ(page.ZipFileName(), box.Path("chosen.qmb"));
  page.cmdBrowse.Press();
  EXPECT_EQ(page.ZipFileName(), box.Path("chosen.qmb"));
  ASSERT_EQ(user.FileDialogs().size(), 2u);
  EXPECT_TRUE(user.FileDialogs()[0].save);
  EXPECT_EQ(user.FileDialogs()[0].title, "Save as");
  EXPECT_EQ(user.FileDialogs()[0].defaultExt, "qmb");
  EXPECT_EQ(user.FileDialogs()[0].filter, std::string("Backup Files(*.qmb)\0*.qmb\0\0", 27));
}

// --- An archive already there ---

TEST_F(DestinationPage, ExistingFileAnsweredNoIsRefusedAndUntouched) {
  box.WriteFile("old.qmb", "earlier backup");
  page.ZipFileName(box.Path("old.qmb"));
  user.Answer(platform::kAnswerNo);
  EXPECT_FALSE(page.CheckReady());
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(LastText(), "\"" + box.Path("old.qmb") + "\" already exists,\r\nDo you want to replace it?");
  EXPECT_EQ(user.Shown()[0].style,
            platform::kYesNo | platform::kQuestion | platform::kDefaultButton2);
  EXPECT_EQ(Bytes("old.qmb"), "earlier backup");
}

// Guards against the check deleting the earlier backup before a new one exists.
TEST_F(DestinationPage, ExistingFileAnsweredYesSurvivesTheCheck) {
  box.WriteFile("old.qmb", "earlier backup");
  page.ZipFileName(box.Path("old.qmb"));
  user.Answer(platform::kAnswerYes);
  EXPECT_TRUE(page.CheckReady());
  EXPECT_EQ(Bytes("old.qmb"), "earlier backup");
  std::vector<platform::DirEntry> left;
  platform::ListFolder(box.Path("*.*"), left);
  for (const auto& e : left) EXPECT_EQ(e.name.find(".tmp"), std::string::npos) << e.name;
}

TEST_F(DestinationPage, NoPromptMeansNoQuestionAndTheFileStays) {
  box.WriteFile("old.qmb", "earlier backup");
  page.ZipFileName(box.Path("old.qmb"));
  page.PromptExist(false);
  EXPECT_TRUE(page.CheckReady());
  EXPECT_TRUE(user.Shown().empty());
  EXPECT_EQ(Bytes("old.qmb"), "earlier backup");
}

TEST_F(DestinationPage, ReadOnlyArchiveIsReportedWithTheSystemsWords) {
  box.WriteFile("locked.qmb", "earlier backup");
  ASSERT_TRUE(platform::SetAttributes(box.Path("locked.qmb"), platform::kAttrReadOnly));
  page.ZipFileName(box.Path("locked.qmb"));
  page.PromptExist(false);
  EXPECT_FALSE(page.CheckReady());
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].Icon(), platform::kCritical);
  const std::string named = std::string("\r\n") + ucBack2::kCannotWriteLine + box.Path("locked.qmb");
  EXPECT_GT(user.Shown()[0].text.size(), named.size());  // the system's words first
  EXPECT_EQ(user.Shown()[0].text.substr(user.Shown()[0].text.size() - named.size()), named);
  platform::SetAttributes(box.Path("locked.qmb"), platform::kAttrNormal);
  EXPECT_EQ(Bytes("locked.qmb"), "earlier backup");
}

// --- Passwords ---

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

INSTANTIATE_TEST_SUITE_P(
    DestinationPage, PasswordOrder,
    ::testing::Values(PasswordCase{"", "", "Please input your protection password."},
                      // Blanks are no password, and do not count towards its length.
                      PasswordCase{"     ", "     ", "Please input your protection password."},
                      PasswordCase{"  abcd  ", "  abcd  ", "The password must be at least 5 characters! "},
                      PasswordCase{"abcd", "abcd", "The password must be at least 5 characters! "},
                      // Characters, not bytes: four Chinese ones are too few.
                      PasswordCase{"\xE5\xAF\x86\xE7\xA0\x81\xE5\xAF\x86\xE7\xA0\x81",
                                   "\xE5\xAF\x86\xE7\xA0\x81\xE5\xAF\x86\xE7\xA0\x81",
                                   "The password must be at least 5 characters! "},
                      PasswordCase{"abcde", "abcdf", "The new and confirm passwords do not match. Try again"},
                      // The match is tested before the length.
                      PasswordCase{"abcd", "abce", "The new and confirm passwords do not match. Try again"}));

// Passwords come in UTF-8. The compatible cipher takes only what the code
// page holds (Western accents here, no Cyrillic); AES takes any.
TEST_F(DestinationPage, CompatibleCipherRefusesAPasswordTheCodePageLacks) {
  struct Case {
    const char* password;
    int cipher;
    bool accepted;
  };
  const char* cyrillic = "\xD0\x9F\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C" "123";  // "Parol'123"
  const char* accents = "Gr\xC3\xBC\xC3\x9F" "e123";                                        // "Gruesse123"
  for (const Case& c : {Case{cyrillic, ucBack2::kCompatible, false}, Case{cyrillic, ucBack2::kStrong, true},
                        Case{accents, ucBack2::kCompatible, true}}) {
    page.ZipFileName(box.Path("p.qmb"));
    Protect(c.password, c.password);
    page.optEncryption.Value(c.cipher);
    const std::size_t before = user.Shown().size();
    EXPECT_EQ(page.CheckReady(), c.accepted) << c.password;
    if (c.accepted) {
      EXPECT_EQ(user.Shown().size(), before);
    } else {
      EXPECT_EQ(LastText(), ucBack2::kCompatiblePasswordMessage);
    }
    EXPECT_EQ(page.Password(), c.password);
  }
}

TEST_F(DestinationPage, ClearProtectionLeavesTheBoxesUnexamined) {
  page.ZipFileName(box.Path("p.qmb"));
  page.txtPassword.Text("abc");
  page.txtConfirm.Text("xyz");
  EXPECT_TRUE(page.CheckReady());
  EXPECT_TRUE(user.Shown().empty());
}

TEST_F(DestinationPage, WritingPasswordTicksProtectionAndFillsBothBoxes) {
  page.Password("secret1");
  EXPECT_EQ(page.chkProtect.Value(), 1);
  EXPECT_EQ(page.txtConfirm.Text(), "secret1");
  EXPECT_EQ(page.Password(), "secret1");
  page.Password("   ");
  EXPECT_EQ(page.txtPassword.Text(), "   ");
  EXPECT_EQ(page.txtConfirm.Text(), "secret1");
}

// Guards against encrypting with a password the user took back.
TEST_F(DestinationPage, PasswordIsEmptyWhileProtectionIsClear) {
  Protect(" secret1 ", " secret1 ");
  page.chkProtect.Value(0);
  EXPECT_EQ(page.Password(), "");
  EXPECT_EQ(page.txtPassword.Text(), " secret1 ");
  page.chkProtect.Value(1);
  EXPECT_EQ(page.Password(), "secret1");  // as it encrypts
}

}  // namespace
