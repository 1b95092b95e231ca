// The collision box section: the box limit, extents in the pivot frame, the box test, and
// each frame's centre and unit rotation, read back through the reader.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/HostFixture.h"
#include "tests/support/SceneBuilder.h"
#include "tests/TZ2_Export/scene/SectionFile.h"
#include "TZ2_Export/format/Tz2Reader.h"
#include "TZ2_Export/scene/CollisionBoxes.h"
#include "host/Interface.h"
#include "platform/Interaction.h"

namespace {

// An axis-aligned box mesh with the given size, centred on the origin.
Mesh SizedBox(float sx, float sy, float sz) {
  Mesh m = build::Box(1.0f);
  for (Point3& v : m.verts) v = Point3(v.x * sx, v.y * sy, v.z * sz);
  return m;
}

class CollisionBoxesTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    s.Reset(tz2::ExportOptions{100, false, false, true, false, false, false, false, "", 3});
    s.host = GetCOREInterface();
    s.firstFrame = 0;
    s.lastFrame = 30;
  }
  std::vector<tz2::CollisionBox> WriteAndRead(std::size_t* size = nullptr) {
    const auto bytes = tz2test::WriteSection(TempDir(), [&](tz2::OutputFile& f) { tz2::WriteCollisionBoxes(f, s); });
    if (size) *size = bytes.size();
    tz2::ByteCursor c(bytes, 0);
    std::vector<tz2::CollisionBox> boxes;
    EXPECT_TRUE(tz2::ReadCollisionSection(c, static_cast<std::uint16_t>(s.lastFrame - s.firstFrame + 1), boxes))
        << c.Error();
    EXPECT_EQ(c.Position(), bytes.size());
    return boxes;
  }
  tz2::ExportState s;
};

TEST_F(CollisionBoxesTest, HalfExtentsAreXZYAndEachBoxTakes880BytesFor31Frames) {
  s.collisionList.Append(build::MeshNode("CL_box", SizedBox(20, 10, 4)));
  std::size_t size = 0;
  const auto boxes = WriteAndRead(&size);
  EXPECT_EQ(size, 2u + 880u);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_FLOAT_EQ(boxes[0].halfExtents[0], 10.0f);
  EXPECT_FLOAT_EQ(boxes[0].halfExtents[1], 2.0f);
  EXPECT_FLOAT_EQ(boxes[0].halfExtents[2], 5.0f);
  EXPECT_TRUE(MessageBoxRecords().empty());
}

TEST_F(CollisionBoxesTest, SeventeenBoxesWriteSixteenWithOneWarning) {
  for (int i = 0; i < 17; ++i) s.collisionList.Append(build::MeshNode("CL_" + std::to_string(i), build::Box()));
  s.lastFrame = 0;
  ScriptedDriver driver;
  ScopedInteractionDriver scoped(driver);
  driver.ExpectBox({std::string("Too many collision boxes in model. Some boxes have been ignored. Maximum 16 are allowed."),
                    "Warning !", MB_OK, 0, IDOK});
  EXPECT_EQ(WriteAndRead().size(), 16u);
  EXPECT_TRUE(driver.Done()) << driver.Report();
  EXPECT_EQ(MessageBoxRecords()[0].owner, nullptr);
}

TEST_F(CollisionBoxesTest, TheBoxTestAllowsOneUnitFromTheFaces) {
  struct Case {
    float inset;
    int extraVertices;
    bool box;
  };
  const Case cases[] = {{0.9f, 0, true}, {1.0f, 0, true}, {1.1f, 0, false}, {0.0f, 1, false}};
  for (const Case& c : cases) {
    Mesh m = SizedBox(20, 20, 20);
    m.verts[0] = m.verts[0] + Point3(c.inset, 0.0f, 0.0f) * (m.verts[0].x < 0 ? 1.0f : -1.0f);
    if (c.extraVertices) m.verts.push_back(Point3(0, 0, 10));  // a bevel's vertex
    EXPECT_EQ(tz2::MeasureBox(m, Matrix3()).isBox, c.box) << c.inset << " " << c.extraVertices;
  }
  s.collisionList.Append(build::MeshNode("CL_bevel", [] {
    Mesh m = SizedBox(20, 20, 20);
    m.verts.push_back(Point3(0, 0, 10));
    return m;
  }()));
  s.lastFrame = 0;
  ScriptedDriver driver;
  ScopedInteractionDriver scoped(driver);
  driver.ExpectBox({std::string("Collizion object 'CL_bevel' is not a box. \nPlease refer to plugin documentation"),
                    "Warning !", MB_OK, 0, IDOK});
  ASSERT_EQ(WriteAndRead().size(), 1u);  // still written
  EXPECT_TRUE(driver.Done()) << driver.Report();
}

TEST_F(CollisionBoxesTest, FramesFollowTheNodeWithUnitQuaternionsUnderScale) {
  INode* box = build::MeshNode("CL_moving", SizedBox(2, 2, 2));
  build::PosKeys(box, {{0, Point3(0, 0, 0)}, {30, Point3(30, 60, 90)}});
  s.collisionList.Append(box);
  s.modelScale = 0.5f;
  const auto boxes = WriteAndRead();
  ASSERT_EQ(boxes.size(), 1u);
  ASSERT_EQ(boxes[0].frames.size(), 31u);
  EXPECT_FLOAT_EQ(boxes[0].halfExtents[0], 0.5f);
  const auto& last = boxes[0].frames[30];
  // (30, 60, 90) scaled by 0.5, Y and Z exchanged.
  EXPECT_NEAR(last.translation[0], 15.0f, 1e-3f);
  EXPECT_NEAR(last.translation[1], 45.0f, 1e-3f);
  EXPECT_NEAR(last.translation[2], 30.0f, 1e-3f);
  for (const auto& f : boxes[0].frames) {
    const float len = std::sqrt(f.rotation[0] * f.rotation[0] + f.rotation[1] * f.rotation[1] +
                                f.rotation[2] * f.rotation[2] + f.rotation[3] * f.rotation[3]);
    EXPECT_NEAR(len, 1.0f, 1e-5f);
  }
}

}  // namespace
