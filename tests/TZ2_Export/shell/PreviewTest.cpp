// Preview: the viewer's model folder and command line, copying and starting a real viewer,
// and closing a running one.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "ShellFixture.h"
#include "TZ2_Export/shell/Preview.h"
#include "platform/Interaction.h"

namespace tz2test {
namespace {

TEST(PreviewPlan, ModelFolderAndCommandLineKeepThePathsSpelling) {
  struct Case {
    const char* file;
    const char* viewer;
    bool copy;
    const char* shown;
    const char* command;
  };
  const Case cases[] = {
      {"E:\\Game\\TZ2\\Models\\Tank.tz2", "E:\\Game\\_TZ2View.exe", false, "E:\\Game\\TZ2\\Models\\Tank.tz2",
       "E:\\Game\\_TZ2View.exe Models\\Tank.tz2"},
      // The model folder is found without regard to case and separators.
      {"e:/game/tz2/models/Tank.tz2", "E:\\Game\\_TZ2View.exe", false, "e:/game/tz2/models/Tank.tz2",
       "E:\\Game\\_TZ2View.exe models/Tank.tz2"},
      {"D:\\Work\\Tank.tz2", "E:\\Game\\_TZ2View.exe", true, "E:\\Game\\TZ2/PREVIEW.TZ2",
       "E:\\Game\\_TZ2View.exe PREVIEW.TZ2"},
      {"D:\\Work\\Tank.tz2", "E:_TZ2View.exe", true, "E:/TZ2/PREVIEW.TZ2", "E:_TZ2View.exe PREVIEW.TZ2"},
      {"D:\\Work\\Tank.tz2", "", true, "TZ2/PREVIEW.TZ2", " PREVIEW.TZ2"},
      {"/srv/game/TZ2/tank.tz2", "/srv/game/_TZ2View.exe", false, "/srv/game/TZ2/tank.tz2",
       "/srv/game/_TZ2View.exe tank.tz2"},
  };
  for (const Case& c : cases) {
    const tz2::PreviewPlan p = tz2::PlanPreview(c.file, c.viewer);
    EXPECT_EQ(p.copy, c.copy) << c.file << " " << c.viewer;
    EXPECT_EQ(p.fileToShow, c.shown) << c.file << " " << c.viewer;
    EXPECT_EQ(p.commandLine, c.command) << c.file << " " << c.viewer;
  }
  EXPECT_EQ(tz2::ViewerModelFolder("E:_TZ2View.exe"), "E:/TZ2/");
  EXPECT_EQ(tz2::ViewerModelFolder(""), "TZ2/");
}

class PreviewTest : public ShellTest {
 protected:
  // A viewer program that records its arguments.
  std::string MakeViewer() {
    std::filesystem::create_directories(dir_ / "game" / "TZ2");
    const std::string viewer = Path("game/_TZ2View.exe");
    std::ofstream(viewer) << "#!/bin/sh\necho \"$@\" > \"$(dirname \"$0\")/args.txt\"\n";
    chmod(viewer.c_str(), 0755);
    return viewer;
  }
  std::string WaitForArgs() {
    const std::string args = Path("game/args.txt");
    for (int i = 0; i < 200 && !std::filesystem::exists(args); ++i) ::usleep(10000);
    std::ifstream in(args);
    std::string line;
    std::getline(in, line);
    return line;
  }
};

TEST_F(PreviewTest, AFileFromElsewhereIsCopiedAndShown) {
  const std::string viewer = MakeViewer();
  const std::string model = Path("work/Tank.tz2");
  std::filesystem::create_directories(dir_ / "work");
  std::ofstream(model) << "model bytes";
  tz2::StartPreview(model, viewer);
  EXPECT_TRUE(MessageBoxRecords().empty());
  std::ifstream copy(Path("game/TZ2/PREVIEW.TZ2"));
  std::string content;
  std::getline(copy, content);
  EXPECT_EQ(content, "model bytes");
  ASSERT_EQ(StartedCommandLines().size(), 1u);
  EXPECT_EQ(StartedCommandLines()[0], viewer + " PREVIEW.TZ2");
  EXPECT_EQ(WaitForArgs(), "PREVIEW.TZ2");
}

TEST_F(PreviewTest, AFileInsideTheModelFolderIsShownInPlace) {
  const std::string viewer = MakeViewer();
  std::filesystem::create_directories(dir_ / "game" / "TZ2" / "Models");
  const std::string model = Path("game/TZ2/Models/Tank.tz2");
  std::ofstream(model) << "x";
  tz2::StartPreview(model, viewer);
  EXPECT_FALSE(std::filesystem::exists(Path("game/TZ2/PREVIEW.TZ2")));
  EXPECT_EQ(WaitForArgs(), "Models/Tank.tz2");
}

TEST_F(PreviewTest, FailuresAreReported) {
  ScriptedDriver driver;
  ScopedInteractionDriver scoped(driver);
  driver.ExpectBox({std::string("Unable to copy file for previewing.\nMake sure that path to _TZ2VIEW is valid."),
                    "Error", MB_OK, MB_ICONERROR, IDOK});
  driver.ExpectBox({std::string("Unable to execute TZ2 viewer"), "Error", MB_OK, MB_ICONERROR, IDOK});
  tz2::StartPreview(Path("work/missing.tz2"), Path("nowhere/_TZ2View.exe"));
  const std::string viewer = Path("nowhere/_TZ2View.exe");
  std::filesystem::create_directories(dir_ / "nowhere" / "TZ2" / "Models");
  std::ofstream(Path("nowhere/TZ2/Models/a.tz2")) << "x";
  tz2::StartPreview(Path("nowhere/TZ2/Models/a.tz2"), viewer);  // no such program
  EXPECT_TRUE(driver.Done()) << driver.Report();
}

LRESULT CALLBACK ClosingViewer(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_CLOSE) { DestroyWindow(w); return 0; }
  return DefWindowProcA(w, m, wp, lp);
}
LRESULT CALLBACK StubbornViewer(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_CLOSE) return 0;
  return DefWindowProcA(w, m, wp, lp);
}

TEST_F(ShellTest, CloseViewerAsksTheViewerThenTheUser) {
  SetSimulatedSleep(true);
  CreateDesktopWindow(tz2::kViewerWindowClass, tz2::kViewerWindowTitle, ClosingViewer);
  tz2::CloseViewer();
  EXPECT_FALSE(FindWindowA(tz2::kViewerWindowClass, tz2::kViewerWindowTitle));
  EXPECT_TRUE(MessageBoxRecords().empty());

  CreateDesktopWindow(tz2::kViewerWindowClass, tz2::kViewerWindowTitle, StubbornViewer);
  const std::uint64_t before = SimulatedSleepMilliseconds();
  tz2::CloseViewer();
  EXPECT_EQ(SimulatedSleepMilliseconds() - before, 3000u);
  ASSERT_EQ(MessageBoxRecords().size(), 1u);
  EXPECT_EQ(MessageBoxRecords()[0].caption, "Error");
  EXPECT_EQ(MessageBoxRecords()[0].Icon(), 0u);
  EXPECT_NE(MessageBoxRecords()[0].text.find("TZ2 Viewer should be closed."), std::string::npos);
}

}  // namespace
}  // namespace tz2test
