// The open-file dialog: the chosen path and its offsets, cancelling, a path that does not
// fit, and the record of what was shown.
#include "PlatformFixture.h"
#include "platform/Interaction.h"

namespace {

using CommonDialogsTest = PlatformTest;

struct Browse {
  char file[MAX_PATH] = "_TZ2View.exe";
  char title[64] = "";
  OPENFILENAMEA ofn;
  Browse() {
    ofn.lpstrFilter = "TZ2 Viewer\0_TZ2View.exe\0All\0*.*\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = sizeof title;
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  }
};

TEST_F(CommonDialogsTest, ChosenPathFillsTheRecordAndItsOffsets) {
  ScriptedDriver driver;
  driver.ExpectOpenFileName("/games/engine/_TZ2View.exe").ExpectOpenFileName(std::nullopt);
  ScopedInteractionDriver scoped(driver);
  Browse browse;
  ASSERT_TRUE(GetOpenFileNameA(&browse.ofn));
  EXPECT_STREQ(browse.file, "/games/engine/_TZ2View.exe");
  EXPECT_STREQ(browse.title, "_TZ2View.exe");
  EXPECT_EQ(browse.ofn.nFileOffset, 14);
  EXPECT_EQ(browse.ofn.nFileExtension, 23);
  Browse cancelled;
  EXPECT_FALSE(GetOpenFileNameA(&cancelled.ofn));
  EXPECT_STREQ(cancelled.file, "_TZ2View.exe") << "a cancelled dialog leaves the name";
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_TRUE(driver.Done()) << driver.Report();
  const auto records = OpenFileRecords();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].filters, (std::vector<std::pair<std::string, std::string>>{{"TZ2 Viewer", "_TZ2View.exe"},
                                                                                  {"All", "*.*"}}));
  EXPECT_EQ(records[1].answer, std::nullopt);
}

TEST_F(CommonDialogsTest, APathThatDoesNotFitFails) {
  ScriptedDriver driver;
  driver.ExpectOpenFileName(std::string(300, 'x'));
  ScopedInteractionDriver scoped(driver);
  Browse browse;
  EXPECT_FALSE(GetOpenFileNameA(&browse.ofn));
  EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
  EXPECT_STREQ(browse.file, "_TZ2View.exe");
}

TEST_F(CommonDialogsTest, DefaultDriverCancelsAndScriptedDriverReportsTheUnexpected) {
  Browse browse;
  EXPECT_FALSE(GetOpenFileNameA(&browse.ofn));
  ScriptedDriver driver;
  ScopedInteractionDriver scoped(driver);
  EXPECT_FALSE(GetOpenFileNameA(&browse.ofn));
  ASSERT_EQ(driver.Failures().size(), 1u);
  EXPECT_EQ(driver.Failures()[0], "unexpected open-file dialog \"Open\" (initial file \"_TZ2View.exe\")");
}

}  // namespace
