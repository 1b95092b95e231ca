// The export driver: the file it writes for a scene without geometry, result codes and
// their messages, and the safe replacement of the output file.
#include <gtest/gtest.h>

#include "ShellFixture.h"
#include "TZ2_Export/format/Tz2Reader.h"
#include "TZ2_Export/shell/ExportDriver.h"
#include "TZ2_Export/shell/SceneProperties.h"
#include "platform/Interaction.h"

namespace tz2test {
namespace {

tz2::ExportOptions Options() {
  tz2::ExportOptions o;
  o.Scale = 100;
  o.AnimationQuality = 3;
  o.GenerateLOD = true;
  return o;
}

TEST_F(ShellTest, AFileWithoutGeometryIsCompleteAndReportsNoValidObjects) {
  tz2::ExportOptions o = Options();
  o.TwoSidedLighting = true;
  const std::string out = Path("empty.tz2");
  EXPECT_EQ(tz2::RunExport(&o, out.c_str(), GetCOREInterface()), tz2::NoValidObjects);
  tz2::Tz2File f;
  std::string error;
  ASSERT_TRUE(tz2::ReadTz2File(out, f, error)) << error;
  const std::vector<std::uint8_t> bytes = ReadBytes(out);
  EXPECT_EQ(bytes[0], 0x69);
  EXPECT_EQ(bytes[1], 0x45);
  EXPECT_EQ(f.header.meshLevelCount, 0);
  // Without animation: no frame count, no animation offset, materials followed by meshes.
  EXPECT_EQ(f.header.frameCount, 0);
  EXPECT_EQ(f.header.animationOffset, 0u);
  EXPECT_EQ(f.header.materialOffset, 90u);
  EXPECT_EQ(f.header.meshOffset, 92u);
  EXPECT_EQ(f.header.cameraOffset, 0u);
  EXPECT_EQ(f.header.hitMeshOffset, f.header.meshOffset);  // the empty mesh section
  std::uint32_t fov = 0;
  for (int i = 0; i < 4; ++i) fov |= std::uint32_t(bytes[58 + i]) << (8 * i);
  EXPECT_EQ(fov, 0x3FC90FD8u);
  EXPECT_EQ(f.header.flags, tz2::kFlagTwoSidedLighting);
  const float defaults[6] = {1000, 1500, 2000, 2500, 3500, 15000};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(f.header.lodDistances[i], defaults[i]);
  EXPECT_EQ(GetCOREInterface()->SaveRequiredSetCount(), 1);
  EXPECT_FALSE(std::filesystem::exists(out + ".part"));
}

TEST_F(ShellTest, AnimationExportSetsTheFrameCountFromTheRange) {
  TheScene().SetAnimRangeFrames(0, 30);
  tz2::ExportOptions o = Options();
  o.ExportAnimation = true;
  const std::string out = Path("anim.tz2");
  tz2::RunExport(&o, out.c_str(), GetCOREInterface());
  tz2::Tz2File f;
  std::string error;
  ASSERT_TRUE(tz2::ReadTz2File(out, f, error)) << error;
  EXPECT_EQ(f.header.frameCount, 31);
  EXPECT_EQ(f.header.animationOffset, 92u);
}

TEST_F(ShellTest, MissingArgumentsGiveNoValidObjects) {
  tz2::ExportOptions o = Options();
  EXPECT_EQ(tz2::RunExport(&o, "", GetCOREInterface()), tz2::NoValidObjects);
  EXPECT_EQ(tz2::RunExport(nullptr, "x.tz2", GetCOREInterface()), tz2::NoValidObjects);
  EXPECT_EQ(tz2::RunExport(&o, "x.tz2", nullptr), tz2::NoValidObjects);
  EXPECT_FALSE(std::filesystem::exists("x.tz2"));
}

TEST_F(ShellTest, AnUncreatableFileIsReportedAndAnExistingTargetKept) {
  tz2::ExportOptions o = Options();
  // A folder that does not exist: the file cannot be created.
  EXPECT_EQ(tz2::RunExport(&o, Path("no/such/folder/m.tz2").c_str(), GetCOREInterface()), tz2::CannotCreateFile);
  // A target that cannot be replaced (a folder of that name): the temporary file is removed
  // and the target stays as it was.
  const std::string blocked = Path("blocked.tz2");
  std::filesystem::create_directories(blocked + "/inside");
  EXPECT_EQ(tz2::RunExport(&o, blocked.c_str(), GetCOREInterface()), tz2::CannotCreateFile);
  EXPECT_TRUE(std::filesystem::is_directory(blocked + "/inside"));
  EXPECT_FALSE(std::filesystem::exists(blocked + ".part"));
}

TEST_F(ShellTest, DoExportShowsEachResultsMessage) {
  char buffer[256];
  EXPECT_STREQ(tz2::ResultMessage(tz2::CannotCreateFile, buffer, sizeof buffer), "Unable to Create File!");
  EXPECT_STREQ(tz2::ResultMessage(tz2::NoMaterials, buffer, sizeof buffer), "No materials to Export!");
  EXPECT_STREQ(tz2::ResultMessage(tz2::TooManyGroups, buffer, sizeof buffer),
               "There are too many groups in model. Maximum number of groups is 60.");
  EXPECT_EQ(tz2::ResultMessage(tz2::Ok, buffer, sizeof buffer), nullptr);
  EXPECT_EQ(tz2::ResultMessage(tz2::Cancelled, buffer, sizeof buffer), nullptr);

  ScriptedDriver driver;
  ScopedInteractionDriver scoped(driver);
  driver.ExpectDialog({101, std::nullopt, {DialogStep::Check(1027, false), DialogStep::Press(1)}});
  driver.ExpectBox({std::string("Unable to Create File!"), "Error", MB_OK, MB_ICONERROR, IDOK});
  driver.ExpectDialog({101, std::nullopt, {DialogStep::Press(1)}});
  driver.ExpectBox({std::string(tz2::ResultMessage(tz2::NoValidObjects, buffer, sizeof buffer)), "Error", MB_OK,
                    MB_ICONERROR, IDOK});
  // CannotCreateFile is not a negative code: DoExport still answers 1.
  EXPECT_EQ(tz2::DoExport(Path("no/such/m.tz2").c_str(), GetCOREInterface(), 0), 1);
  EXPECT_EQ(tz2::LastExportResult(), tz2::CannotCreateFile);
  EXPECT_EQ(tz2::DoExport(Path("m.tz2").c_str(), GetCOREInterface(), 0), 0);
  EXPECT_EQ(tz2::LastExportResult(), tz2::NoValidObjects);
  EXPECT_TRUE(driver.Done()) << driver.Report();
  for (const MessageBoxRecord& box : MessageBoxRecords()) EXPECT_EQ(box.owner, GetActiveWindow());
}

}  // namespace
}  // namespace tz2test
