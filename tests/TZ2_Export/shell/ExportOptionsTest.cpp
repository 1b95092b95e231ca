// Export options: ini and scene storage, the options dialog, the exporter class's answers.
#include <gtest/gtest.h>

#include "ShellFixture.h"
#include "TZ2_Export/shell/ExportDriver.h"
#include "TZ2_Export/shell/ExportOptions.h"
#include "TZ2_Export/shell/SceneProperties.h"
#include "TZ2_Export/shell/Tz2Exporter.h"
#include "platform/Interaction.h"

namespace tz2test {
namespace {

using tz2::ExportOptions;

TEST_F(ShellTest, IniDefaultsApplyWithoutIniOrScene) {
  ExportOptions o;
  tz2::LoadOptions(o, GetCOREInterface());
  EXPECT_EQ(o.Scale, 100.0f);
  EXPECT_FALSE(o.ExportHidden);
  EXPECT_TRUE(o.ExportSelectedOnly);
  EXPECT_TRUE(o.ExportAnimation);
  EXPECT_TRUE(o.TwoSidedLighting);
  EXPECT_TRUE(o.GenerateLOD);
  EXPECT_TRUE(o.GenerateSkeletonLOD);
  EXPECT_TRUE(o.Preview);
  EXPECT_EQ(o.TZ2ViewPath, "");
  EXPECT_EQ(o.AnimationQuality, 3);
}

TEST_F(ShellTest, SceneBoolPropertyWinsOverIniButOnlyWithItsType) {
  WritePrivateProfileStringA("TZ2EXPORT OPTIONS", "ExportHidden", "0", Ini().c_str());
  WritePrivateProfileStringA("TZ2EXPORT OPTIONS", "AnimationQuality", "9", Ini().c_str());
  Interface* ip = GetCOREInterface();
  tz2::SetSceneBool(ip, L"ExportHidden", true);
  ExportOptions o;
  tz2::LoadOptions(o, ip);
  EXPECT_TRUE(o.ExportHidden);
  EXPECT_EQ(o.AnimationQuality, 3);  // 9 is outside 1..5

  TheScene().Properties().SetInt(L"ExportHidden", 1);  // VT_I4: ignored
  tz2::LoadOptions(o, ip);
  EXPECT_FALSE(o.ExportHidden);
}

TEST_F(ShellTest, QualitySevenIsStoredAsThreeAndScaleKeepsItsFraction) {
  ScriptedDriver driver;
  ScopedInteractionDriver scoped(driver);
  driver.ExpectDialog({101, std::nullopt,
                       {DialogStep::SetText(1032, "7"), DialogStep::SetText(1002, "12.5"), DialogStep::Press(1)}});
  // The export after Ok finds nothing to write and reports it.
  driver.ExpectBox({std::nullopt, "Error", MB_OK, MB_ICONERROR, IDOK});
  // The next opening shows the stored scale with no decimals, then is cancelled.
  driver.ExpectDialog({101, std::nullopt,
                       {DialogStep::ExpectText(1002, "13"), DialogStep::ExpectText(1032, "3"), DialogStep::Press(2)}});
  const std::string out = Path("model.tz2");
  tz2::DoExport(out.c_str(), GetCOREInterface(), 0);
  EXPECT_EQ(IniValue("AnimationQuality"), "3");
  EXPECT_EQ(IniValue("Scale"), "12.500000");
  EXPECT_EQ(tz2::GetSceneFloat(GetCOREInterface(), L"AnimationQuality"), 3.0f);
  EXPECT_EQ(tz2::GetSceneFloat(GetCOREInterface(), L"Scale"), 12.5f);
  EXPECT_EQ(tz2::GetSceneText(GetCOREInterface(), L"OutputFileName"), out);
  tz2::DoExport(out.c_str(), GetCOREInterface(), 0);
  EXPECT_TRUE(driver.Done()) << driver.Report();
}

TEST_F(ShellTest, ViewerPathAndPreviewLiveInTheIniOnly) {
  ScriptedDriver driver;
  ScopedInteractionDriver scoped(driver);
  driver.ExpectDialog({101, std::nullopt,
                       {DialogStep::SetText(1025, "/opt/viewer/_TZ2View.exe"), DialogStep::Check(1027, false),
                        DialogStep::Press(1)}});
  driver.ExpectBox({std::nullopt, "Error", MB_OK, MB_ICONERROR, IDOK});
  tz2::DoExport(Path("m.tz2").c_str(), GetCOREInterface(), 0);
  EXPECT_EQ(IniValue("TZ2ViewPath"), "/opt/viewer/_TZ2View.exe");
  EXPECT_EQ(IniValue("Preview"), "0");
  EXPECT_FALSE(tz2::GetSceneText(GetCOREInterface(), L"TZ2ViewPath"));
  EXPECT_FALSE(tz2::GetSceneBool(GetCOREInterface(), L"Preview"));
  EXPECT_TRUE(driver.Done()) << driver.Report();
}

TEST_F(ShellTest, CancellingTheDialogWritesNothingAndEndsTheProgressBar) {
  ScriptedDriver driver;
  ScopedInteractionDriver scoped(driver);
  driver.ExpectDialog({101, std::string("TZ2 Export,  Build: Fri Jul  8 17:16:04 2005"), {DialogStep::Press(2)}});
  const std::string out = Path("never.tz2");
  EXPECT_EQ(tz2::DoExport(out.c_str(), GetCOREInterface(), 0), 1);
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_TRUE(MessageBoxRecords().empty());
  const auto& progress = GetCOREInterface()->ProgressEvents();
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.front().kind, ProgressEvent::Start);
  EXPECT_EQ(progress.front().title, "TZ2 Export");
  EXPECT_EQ(progress.back().kind, ProgressEvent::End);
  EXPECT_EQ(GetCOREInterface()->ForceCompleteRedrawCount(), 1);
  EXPECT_EQ(tz2::LastExportResult(), tz2::Cancelled);
  EXPECT_TRUE(driver.Done()) << driver.Report();
}

TEST_F(ShellTest, HostSelectedFlagIsOverriddenByTheStoredOption) {
  WritePrivateProfileStringA("TZ2EXPORT OPTIONS", "ExportSelectedOnly", "0", Ini().c_str());
  ScriptedDriver driver;
  ScopedInteractionDriver scoped(driver);
  driver.ExpectDialog({101, std::nullopt, {DialogStep::ExpectChecked(1015, false), DialogStep::Press(2)}});
  tz2::DoExport(Path("m.tz2").c_str(), GetCOREInterface(), SCENE_EXPORT_SELECTED);
  EXPECT_TRUE(driver.Done()) << driver.Report();
}

TEST(Tz2Exporter, AnswersAsAnExporterOfTz2Files) {
  tz2::Tz2Exporter e;
  EXPECT_EQ(e.ExtCount(), 1);
  EXPECT_STREQ(e.Ext(0), "tz2");
  EXPECT_STREQ(e.LongDesc(), "TZ2 File");
  EXPECT_EQ(e.Version(), 100u);
  EXPECT_TRUE(e.SupportsOptions(0, SCENE_EXPORT_SELECTED));
  EXPECT_FALSE(e.SupportsOptions(0, 0));
  EXPECT_FALSE(e.SupportsOptions(0, SCENE_EXPORT_SELECTED | 2));
  ClassDesc2* desc = tz2::GetTz2ExportDesc();
  EXPECT_EQ(desc->SuperClassID(), SCENE_EXPORT_CLASS_ID);
  EXPECT_EQ(desc->ClassID(), Class_ID(0x1A415687, 0x55D27CC6));
  EXPECT_STREQ(desc->Category(), "Quarn Engine");
  EXPECT_STREQ(desc->InternalName(), "TZ2_Export");
}

}  // namespace
}  // namespace tz2test
