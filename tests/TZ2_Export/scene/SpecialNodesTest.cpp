// The special-node checks (conflicts, filters, the camera port's class) and ModelFrame.
#include <gtest/gtest.h>

#include <cmath>

#include "TZ2_Export/scene/NodeClassification.h"
#include "host/standalone/Scene.h"
#include "tests/TZ2_Export/scene/SceneFixture.h"

namespace tz2 {
namespace {

class SpecialNodesTest : public SceneFixture {};

const char* const kZeroConflict =
    "Найдено несколько объектов \"PORT_ZERO\".\nПожалуйста удалите лишние, или используйте \"export selected\".\nПонял ?";

TEST_F(SpecialNodesTest, TwoZeroPortsConflictUnlessTheSelectionFiltersOneOut) {
  INode* first = build::Dummy("PORT_ZERO");
  INode* second = build::Dummy("port_zero", first);
  EXPECT_FALSE(CheckSpecialNode(s, kZeroPort));
  auto boxes = MessageBoxRecords();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, kZeroConflict);
  EXPECT_EQ(boxes[0].caption, "Error !");
  EXPECT_EQ(boxes[0].type, MB_OK);

  ClearMessageBoxRecords();
  options.ExportSelectedOnly = true;
  Restart();
  TheScene().Select(second, true);
  EXPECT_TRUE(CheckSpecialNode(s, kZeroPort));
  EXPECT_EQ(s.special.zeroPort, second);
  EXPECT_TRUE(MessageBoxRecords().empty());
}

TEST_F(SpecialNodesTest, HiddenDuplicatesCountOnlyWhenHiddenNodesAreExported) {
  build::Dummy("tag_FrameCenter");
  build::Dummy("TAG_FRAMECENTER")->Hide(TRUE);
  EXPECT_TRUE(CheckSpecialNode(s, kFrameCenter));
  EXPECT_STREQ(s.special.frameCenter->GetName(), "tag_FrameCenter");
  options.ExportHidden = true;
  Restart();
  EXPECT_FALSE(CheckSpecialNode(s, kFrameCenter));
  ASSERT_EQ(BoxTexts().size(), 1u);
  EXPECT_NE(BoxTexts()[0].find("\"tag_FrameCenter\""), std::string::npos);
}

TEST_F(SpecialNodesTest, EachKindHasItsOwnConflictMessage) {
  const struct {
    int kind;
    const char* name;
  } kinds[] = {{kFrameCenter, "tag_FrameCenter"}, {kZeroPort, "PORT_ZERO"}, {kCameraRotationPort, "PORT_CAMERAROT"}};
  for (const auto& k : kinds) {
    ResetScene();
    ClearMessageBoxRecords();
    build::Dummy(k.name);
    build::Dummy(k.name);
    EXPECT_FALSE(CheckSpecialNode(s, k.kind)) << k.name;
    ASSERT_EQ(BoxTexts().size(), 1u);
    EXPECT_EQ(BoxTexts()[0], std::string("Найдено несколько объектов \"") + k.name +
                                 "\".\nПожалуйста удалите лишние, или используйте \"export selected\".\nПонял ?");
  }
}

TEST_F(SpecialNodesTest, CameraPortMustBeACamera) {
  build::Dummy("PORT_CAMERA");
  EXPECT_FALSE(CheckSpecialNode(s, kCameraPort));
  ASSERT_EQ(BoxTexts().size(), 1u);
  EXPECT_EQ(BoxTexts()[0], "Объект  \"PORT_CAMERA\" должен быть камерой. \nПонял ?");
  EXPECT_EQ(MessageBoxRecords()[0].caption, "Error !");

  ResetScene();
  ClearMessageBoxRecords();
  INode* camera = build::Camera("Port_Camera", 1.0f);
  build::Camera("PORT_CAMERA", 1.0f);
  EXPECT_FALSE(CheckSpecialNode(s, kCameraPort));
  EXPECT_EQ(BoxTexts().size(), 1u);
  TheScene().DeleteNode(TheScene().GetRootNode()->GetChildNode(1));
  ClearMessageBoxRecords();
  EXPECT_TRUE(CheckSpecialNode(s, kCameraPort));
  EXPECT_EQ(s.special.cameraPort, camera);
  EXPECT_TRUE(MessageBoxRecords().empty());
}

TEST_F(SpecialNodesTest, ModelFrameIsTheIdentityWithoutCameraAndFrameCentre) {
  EXPECT_TRUE(ModelFrame(s, 0, true).Equals(Matrix3(), 1e-6f));
  options.Scale = 50;
  Restart();
  const Matrix3 half = ModelFrame(s, 0, true);
  EXPECT_TRUE(Near(Point3(2, 4, 6) * half, Point3(1, 2, 3), 1e-6f));
}

TEST_F(SpecialNodesTest, ModelFrameLooksThroughTagCameraAndCentresOnTheFrameCentre) {
  // The camera stands at (0, 0, 10) turned 90 degrees about Z.
  INode* camera = build::Camera("tag_Camera", 1.0f);
  const float h = std::sqrt(0.5f);
  build::Place(camera, Point3(0, 0, 10), Quat(0, 0, h, h));
  const Matrix3 k = ModelFrame(s, 0, true);
  // K = Inverse(R) × A with A mapping y to z and z to −y.
  const Matrix3 r = camera->GetNodeTM(0);
  Matrix3 a;
  a.SetRow(1, Point3(0, 0, 1));
  a.SetRow(2, Point3(0, -1, 0));
  const Point3 p(3, 4, 5);
  EXPECT_TRUE(Near(p * k, (p * Inverse(r)) * a));
  EXPECT_TRUE(Near(Point3(0, 0, 10) * k, Point3(0, 0, 0)));

  // The frame centre adds only its position; its rotation and scale do not count.
  INode* centre = build::Dummy("tag_FrameCenter");
  build::Place(centre, Point3(1, 2, 3), Quat(0, 0, h, h), Point3(2, 2, 2));
  ASSERT_TRUE(CheckSpecialNode(s, kFrameCenter));
  const Matrix3 withCentre = ModelFrame(s, 0, true);
  EXPECT_TRUE(Near(p * withCentre, (p - Point3(1, 2, 3)) * k));
  EXPECT_TRUE(ModelFrame(s, 0, false).Equals(k, 1e-5f));
}

}  // namespace
}  // namespace tz2
