// The hit mesh section: codes, the bone followed, the model-space transform and the mirrored
// winding, read back through the reader.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/HostFixture.h"
#include "tests/support/SceneBuilder.h"
#include "tests/TZ2_Export/scene/SectionFile.h"
#include "TZ2_Export/format/Tz2Reader.h"
#include "TZ2_Export/scene/HitMeshes.h"
#include "host/Interface.h"
#include "platform/Interaction.h"

namespace {

class HitMeshesTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    s.Reset(tz2::ExportOptions{100, false, false, true, false, false, false, false, "", 3});
    s.host = GetCOREInterface();
  }
  std::vector<tz2::HitMesh> WriteAndRead() {
    const auto bytes = tz2test::WriteSection(TempDir(), [&](tz2::OutputFile& f) { tz2::WriteHitMeshes(f, s); });
    tz2::ByteCursor c(bytes, 0);
    std::vector<tz2::HitMesh> meshes;
    EXPECT_TRUE(tz2::ReadHitMeshSection(c, meshes)) << c.Error();
    EXPECT_EQ(c.Position(), bytes.size());
    return meshes;
  }
  tz2::ExportState s;
};

TEST(HitCode, IsTheLowByteOfTheNumberAfterThePrefix) {
  struct Case {
    const char* name;
    int code;
    bool valid;
  };
  const Case cases[] = {{"HIT_12", 12, true},       {"HIT_300", 44, true},        {"HIT_head", 0, true},
                        {"HIT_99999999999", 0, false}, {"hit_ -3x", 253, true},   {"Hit_2147483647", 255, true},
                        {"HIT_-2147483648", 0, true},  {"HIT_2147483648", 0, false}, {"HIT_", 0, true}};
  for (const Case& c : cases) {
    bool valid = true;
    EXPECT_EQ(tz2::HitCode(c.name, valid), c.code) << c.name;
    EXPECT_EQ(valid, c.valid) << c.name;
  }
}

TEST_F(HitMeshesTest, CodesBonesAndTheInvalidCodeWarning) {
  INode* bone = build::Dummy("Bip01");
  INode* between = build::Dummy("Helper", bone);
  INode* under = build::MeshNode("HIT_12", build::Box(), between);
  INode* self = build::MeshNode("HIT_300", build::Box(), bone);
  INode* loose = build::MeshNode("HIT_99999999999", build::Box());
  s.boneList.Append(self);
  s.boneList.Append(bone);
  for (INode* n : {under, self, loose}) s.hitList.Append(n);

  ScriptedDriver driver;
  ScopedInteractionDriver scoped(driver);
  driver.ExpectBox({std::string("Hitmesh has invalid code - 'HIT_99999999999', zero applied."), "Warning", MB_OK, 0, IDOK});
  const auto meshes = WriteAndRead();
  EXPECT_TRUE(driver.Done()) << driver.Report();
  EXPECT_EQ(MessageBoxRecords().at(0).owner, nullptr);
  ASSERT_EQ(meshes.size(), 3u);
  EXPECT_EQ(meshes[0].code, 12);
  EXPECT_EQ(meshes[0].bone, 1);  // through a node that is not a bone
  EXPECT_EQ(meshes[1].code, 44);
  EXPECT_EQ(meshes[1].bone, 0);  // itself
  EXPECT_EQ(meshes[2].code, 0);
  EXPECT_EQ(meshes[2].bone, 0xFFFF);
  EXPECT_EQ(meshes[0].indices.size(), 36u);
  EXPECT_EQ(meshes[0].positions.size(), 24u);

  s.options.ExportAnimation = false;
  s.hitList.Release();
  s.hitList.Append(under);
  EXPECT_EQ(WriteAndRead().at(0).bone, 0xFFFF);
}

TEST_F(HitMeshesTest, VerticesGoToModelSpaceAndMirroredFacesTurn) {
  INode* camera = build::Camera("tag_Camera", 1.0f);
  build::Place(camera, Point3(), Quat(Matrix3(RotateXMatrix(static_cast<float>(M_PI / 2)))));
  Mesh tri = build::Triangle();  // (0,0,0) (10,0,0) (0,10,0)
  INode* hit = build::MeshNode("HIT_1", tri);
  INode* mirrored = build::MeshNode("HIT_2", tri);
  build::Place(mirrored, Point3(), Quat(), Point3(-1, 1, 1));
  s.hitList.Append(hit);
  s.hitList.Append(mirrored);
  s.modelScale = 2.0f;
  const auto meshes = WriteAndRead();
  ASSERT_EQ(meshes.size(), 2u);
  EXPECT_EQ(meshes[0].indices, (std::vector<std::uint16_t>{0, 1, 2}));
  EXPECT_EQ(meshes[1].indices, (std::vector<std::uint16_t>{1, 0, 2}));
  // (0, 10, 0) in the frame of a camera turned a quarter about X: (0, 10, 0) after the frame's
  // axes, scaled by 2, written x, z, y.
  const std::vector<float>& p = meshes[0].positions;
  EXPECT_NEAR(p[6], 0.0f, 1e-4f);
  EXPECT_NEAR(p[7], 0.0f, 1e-4f);
  EXPECT_NEAR(p[8], 20.0f, 1e-4f);
  // (10, 0, 0) stays on X.
  EXPECT_NEAR(p[3], 20.0f, 1e-4f);
}

TEST_F(HitMeshesTest, AHitMeshTooLargeFor16BitsIsLeftOutWithAWarning) {
  Mesh big;
  big.setNumVerts(70000);
  for (int i = 0; i < 70000; ++i) big.setVert(i, Point3(float(i), 0.0f, 0.0f));
  big.setNumFaces(1);
  big.faces[0].setVerts(0, 1, 2);
  s.hitList.Append(build::MeshNode("HIT_big", big));
  s.hitList.Append(build::MeshNode("HIT_small", build::Triangle()));
  const auto meshes = WriteAndRead();
  ASSERT_EQ(meshes.size(), 1u);
  EXPECT_EQ(meshes[0].indices.size(), 3u);
  ASSERT_EQ(MessageBoxRecords().size(), 1u);
  EXPECT_NE(MessageBoxRecords()[0].text.find("HIT_big"), std::string::npos);
  EXPECT_NE(MessageBoxRecords()[0].text.find("65535"), std::string::npos);
}

}  // namespace
