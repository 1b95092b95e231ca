// Level-of-detail distances: the reading rules and the overwrite question.
#include <gtest/gtest.h>

#include "ShellFixture.h"
#include "TZ2_Export/format/ModelHeader.h"
#include "TZ2_Export/shell/LodDistances.h"
#include "TZ2_Export/shell/SceneProperties.h"
#include "platform/Interaction.h"

namespace tz2test {
namespace {

void Expect(const float (&got)[6], std::array<float, 6> want) {
  for (int i = 0; i < 6; ++i) EXPECT_EQ(got[i], want[static_cast<std::size_t>(i)]) << "index " << i;
}

TEST_F(ShellTest, DistancesAreTypedAndNeverDecrease) {
  Interface* ip = GetCOREInterface();
  float d[6];
  tz2::ReadLodDistances(d, ip);
  Expect(d, {1000, 1500, 2000, 2500, 3500, 15000});
  tz2::SetSceneFloat(ip, L"LODDistance3", 900);
  tz2::ReadLodDistances(d, ip);
  Expect(d, {1000, 1000, 2000, 2500, 3500, 15000});
  TheScene().Properties().SetInt(L"LODDistance2", 5000);  // VT_I4: ignored
  tz2::ReadLodDistances(d, ip);
  Expect(d, {1000, 1000, 2000, 2500, 3500, 15000});
}

class ReconcileTest : public ShellTest {
 protected:
  // A TZ2 header with the given distances (version 6 unless told otherwise).
  void WriteOldFile(const std::string& path, std::array<float, 6> d, std::uint8_t version = 6,
                    std::size_t size = 90) {
    tz2::ModelHeader h;
    h.magic = tz2::kModelMagic;
    h.version = version;
    for (int i = 0; i < 6; ++i) h.lodDistances[i] = d[static_cast<std::size_t>(i)];
    const tz2::HeaderBytes b = tz2::SerializeHeader(h);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()),
                                                static_cast<std::streamsize>(size));
  }
};

TEST_F(ReconcileTest, DifferentDistancesAskAndCanBeCopiedIntoTheScene) {
  const std::string old = Path("old.tz2");
  WriteOldFile(old, {1200, 1500, 2000, 2500, 3500, 20000.7f});
  ScriptedDriver driver;
  ScopedInteractionDriver scoped(driver);
  std::vector<std::string> sceneLines, oldLines;
  driver.ExpectDialog({104, std::string("Overwriting TZ2"),
                       {DialogStep::Custom([&](HWND dlg) {
                          sceneLines = ListBoxItems(GetDlgItem(dlg, 1002));
                          oldLines = ListBoxItems(GetDlgItem(dlg, 1001));
                        }),
                        DialogStep::Press(1)}});
  tz2::ReconcileLodDistances(old, GetCOREInterface());
  EXPECT_TRUE(driver.Done()) << driver.Report();
  EXPECT_EQ(sceneLines, (std::vector<std::string>{"LOD2=1000", "LOD3=1500", "LOD4=2000", "LOD5=2500", "LOD6=3500",
                                                  "NODISP=15000"}));
  EXPECT_EQ(oldLines.front(), "LOD2=1200");
  EXPECT_EQ(oldLines.back(), "NODISP=20000");
  EXPECT_EQ(tz2::GetSceneFloat(GetCOREInterface(), L"LODDistance2"), 1200.0f);
  EXPECT_EQ(tz2::GetSceneFloat(GetCOREInterface(), L"LODDistance7"), 20000.7f);
}

TEST_F(ReconcileTest, KeepingTheSceneOrClosingChangesNothing) {
  const std::string old = Path("old.tz2");
  WriteOldFile(old, {1200, 1500, 2000, 2500, 3500, 15000});
  ScriptedDriver driver;
  ScopedInteractionDriver scoped(driver);
  driver.ExpectDialog({104, std::nullopt, {DialogStep::Press(2)}});
  driver.ExpectDialog({104, std::nullopt, {DialogStep::Close()}});
  tz2::ReconcileLodDistances(old, GetCOREInterface());
  tz2::ReconcileLodDistances(old, GetCOREInterface());
  EXPECT_TRUE(driver.Done()) << driver.Report();
  EXPECT_FALSE(tz2::GetSceneFloat(GetCOREInterface(), L"LODDistance2"));
}

TEST_F(ReconcileTest, NoQuestionForEqualNewShortOrForeignFiles) {
  ScriptedDriver driver;  // expects nothing
  ScopedInteractionDriver scoped(driver);
  const std::string near = Path("near.tz2"), shortFile = Path("short.tz2"), foreign = Path("foreign.tz2");
  WriteOldFile(near, {1001, 1499, 2000, 2500, 3501, 15000});  // within 1.0 each
  WriteOldFile(shortFile, {9, 9, 9, 9, 9, 9}, 6, 89);
  WriteOldFile(foreign, {9, 9, 9, 9, 9, 9}, 5);
  for (const std::string& f : {near, shortFile, foreign, Path("missing.tz2")})
    tz2::ReconcileLodDistances(f, GetCOREInterface());
  EXPECT_TRUE(driver.Done()) << driver.Report();
  EXPECT_TRUE(DialogRecords().empty());
}

}  // namespace
}  // namespace tz2test
