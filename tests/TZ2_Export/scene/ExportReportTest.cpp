// The export report's pieces, their order and the 1023-character bound.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/support/HostFixture.h"
#include "tests/support/SceneBuilder.h"
#include "TZ2_Export/scene/ExportReport.h"
#include "TZ2_Export/scene/Parts.h"
#include "host/Interface.h"
#include "platform/Interaction.h"

namespace {

class ExportReportTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    s.Reset(tz2::ExportOptions{100, false, false, false, false, false, false, false, "", 3});
    s.host = GetCOREInterface();
  }
  tz2::ExportState s;
};

TEST_F(ExportReportTest, AnEmptyModelListsOnlyTheHeadingsAndCounts) {
  EXPECT_EQ(tz2::BuildExportReport(s),
            "Created parts: \n\nPorts list:\n\nModel uses materials:\nBones count: 0\nHitMesh count: 0\n"
            "Collizion boxes: 0\n");
}

TEST_F(ExportReportTest, PiecesComeInOrderWithNamesAsTheSceneHasThem) {
  s.options.ExportAnimation = true;
  s.deformableVerticesFound = true;
  s.animationRatio = 37.9f;
  INode* door = build::Dummy("GR_door");
  INode* door2 = build::Dummy("GR_door");
  INode* hatch = build::Dummy("GRH_hatch");
  INode* port = build::Point("PORT_gun");
  for (INode* n : {door, door2, hatch}) s.groupList.Append(n);
  for (INode* n : {door, door2, hatch, port}) s.boneList.Append(n);
  tz2::BuildParts(s);
  StdMat* wood = build::Material("Wood ", "wood.tga");
  StdMat* unused = build::Material("Unused", "u.tga");
  s.materialList.push_back({wood, 1, 255, 0});
  s.materialList.push_back({unused, 0, 255, 0});
  for (int i = 0; i < 18; ++i) s.collisionList.Append(door);

  const std::string report = tz2::BuildExportReport(s);
  EXPECT_EQ(report,
            "*** WARNINIG: There are deformable vertices in model ! ***\n\n"
            "Created parts: \n'Main'\n'door'\n'hatch'\n"
            "\nPorts list:\n'PORT_gun'\n"
            "\nModel uses materials:\n'Wood '\n"
            "Bones count: 4\nHitMesh count: 0\nCollizion boxes: 18\n"
            "Animation compression ratio: 37%\n");

  tz2::ModelHeader header;
  tz2::ShowExportReport(s, header);
  ASSERT_EQ(MessageBoxRecords().size(), 1u);
  EXPECT_EQ(MessageBoxRecords()[0].caption, "TZ2 Export");
  EXPECT_EQ(MessageBoxRecords()[0].owner, nullptr);
  EXPECT_EQ(MessageBoxRecords()[0].type, static_cast<UINT>(MB_OK));
}

TEST_F(ExportReportTest, PiecesThatDoNotFitAreLeftOutWhole) {
  // Headings take 52 characters and each 100-character name 103: nine names fit (979), the
  // tenth and later do not; then "Bones count: 0\n" (994) and "HitMesh count: 0\n" (1011)
  // still fit, "Collizion boxes: 0\n" (1030) does not.
  auto name = [](int i) {
    char index[16];
    std::snprintf(index, sizeof index, "%03d", i);
    return std::string(97, char('a' + i % 26)) + index;
  };
  for (int i = 0; i < 12; ++i) s.materialList.push_back({build::Material(name(i), "x.tga"), 1, 255, 0});
  const std::string report = tz2::BuildExportReport(s);
  EXPECT_EQ(report.size(), 1011u);
  EXPECT_NE(report.find("'" + name(8) + "'\n"), std::string::npos);
  EXPECT_EQ(report.find(name(9)), std::string::npos);
  EXPECT_EQ(report.find(name(11)), std::string::npos);
  EXPECT_NE(report.find("Bones count: 0\nHitMesh count: 0\n"), std::string::npos);
  EXPECT_EQ(report.find("Collizion boxes"), std::string::npos);
}

}  // namespace
