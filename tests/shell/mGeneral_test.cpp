// Shell-open wrapper: results and the numbered errors.
#include "shell/mGeneral.h"

#include <gtest/gtest.h>

#include "platform/paths.h"
#include "platform/system.h"
#include "support/sandbox.h"

#ifndef _WIN32
#include "platform/emulated/emulation.h"
#endif

namespace {

TEST(ShellError, Table) {
  const std::int32_t def = -2147220456;  // value - 2147220456 for the default rows
  const struct {
    int value, number;
    const char* description;
  } rows[] = {
      {0, 7, "Out of memory"},
      {8, 7, "Out of memory"},
      {2, 53, "File not found"},
      {5, 75, "Path/file access error"},
      {11, def + 11, "The executable file is invalid or corrupt"},
      {26, 75, "A sharing violation occurred."},
      {28, 286, "The file could not be opened due to time out. Please try again in a moment."},
      {29, 285, "The file could not be opened because the DDE transaction failed. Please try again in a moment."},
      {32, 48, "The specified dynamic-link library was not found."},
      {15, def + 15, "An error occurred occurred whilst trying to open or print the selected file."},
  };
  for (const auto& r : rows) {
    mGeneral::ErrorRecord e = mGeneral::ShellError(r.value);
    EXPECT_EQ(e.number, r.number) << r.value;
    EXPECT_EQ(e.description, r.description) << r.value;
    EXPECT_EQ(e.source, platform::ProgramFileName() + ".GShell");
  }
}

TEST(ShellOpen, MissingDocumentIsFileNotFoundProgramsStartHidden) {
  testsupport::Sandbox box;
  std::string verb = "open";
  void* owner = nullptr;
  mGeneral::ErrorRecord e;
  EXPECT_FALSE(mGeneral::ShellOpen(box.Path("help-missing.chm"), 1, "", "", verb, owner, &e));
  EXPECT_EQ(e.number, 53);
#ifndef _WIN32
  box.WriteFile("tool.exe", "MZ");
  box.WriteFile("doc.chm", "ITSF");
  EXPECT_TRUE(mGeneral::ShellOpen(box.Path("tool.exe"), 1, "/x", "", verb, owner));
  EXPECT_TRUE(mGeneral::ShellOpen(box.Path("doc.chm"), 0, "", "", verb, owner));
  const auto& calls = platform::emu::ShellCalls();
  ASSERT_EQ(calls.size(), 3u);  // the missing document's too
  EXPECT_EQ(calls[1].show, platform::kSwHide);
  EXPECT_EQ(calls[1].parameters, "/x");
  EXPECT_EQ(calls[2].show, platform::kSwShowNormal);  // show argument unused without parameters
#endif
}

}  // namespace
