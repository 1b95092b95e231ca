// The camera ports section: the buffer cases, the frame-centre movement and the absent
// section, read back through the reader.
#include "tests/TZ2_Export/skeleton/AnimationTestScene.h"

#include "TZ2_Export/format/ModelHeader.h"
#include "TZ2_Export/skeleton/CameraPorts.h"

namespace tz2::testing {
namespace {

class CameraPortsTest : public AnimationSceneTest {
 protected:
  // Builds the section; reads it back with the given header flags when it was written.
  bool Build(CameraSection& section, std::uint32_t flags) {
    ByteStream out;
    const bool written = BuildCameraSection(s, out);
    cameraBytes.assign(out.Buffer(), out.Buffer() + out.Size());
    if (written) {
      ByteCursor c(cameraBytes, 0);
      EXPECT_TRUE(ReadCameraSection(c, static_cast<std::uint16_t>(Frames()), flags, cameraBytes.size(), section))
          << c.Error();
    }
    return written;
  }
  std::vector<std::uint8_t> cameraBytes;
};

TEST_F(CameraPortsTest, PortBuffersHoldTwelveBytesPerFrameAndHalf) {
  struct Case {
    const char* port;
    bool rotation;
    std::size_t size;
  } cases[] = {{"PORT_CAMERA", false, 360}, {"PORT_CAMERA", true, 720}, {"PORT_ZERO", false, 360}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.port) + (c.rotation ? " with rotation" : ""));
    ResetScene();
    Begin(30);
    const bool camera = std::string(c.port) == "PORT_CAMERA";
    INode* port = AddBone(camera ? build::Camera(c.port, 0.7f) : build::Dummy(c.port));
    Animate(port, 30, [](int f) { return Pose{Point3(0.25f * f, 1.0f, -0.5f * f), Turn(RotateYMatrix(0.02f * f))}; });
    (camera ? s.special.cameraPort : s.special.zeroPort) = port;
    if (c.rotation) s.special.cameraRotationPort = AddBone(build::Dummy("PORT_CAMERAROT"));
    Export();
    CameraSection section;
    ASSERT_TRUE(Build(section, c.rotation ? kFlagCameraRotationPort : 0u));
    EXPECT_EQ(cameraBytes.size(), c.size);
    EXPECT_EQ(section.hasRotation, c.rotation);
    ASSERT_EQ(section.positions.size(), 30u);
    EXPECT_NEAR(section.positions[12][0], 3.0f, 1e-4f);
    EXPECT_NEAR(section.positions[12][2], -6.0f, 1e-4f);
    if (c.rotation) {
      ASSERT_EQ(section.rotations.size(), 30u);
      EXPECT_EQ(section.rotations[0], (std::array<float, 3>{s.cameraSamples[90], s.cameraSamples[91], s.cameraSamples[92]}));
      EXPECT_GT(std::fabs(section.rotations[20][0]) + std::fabs(section.rotations[20][1]) + std::fabs(section.rotations[20][2]), 0.1f);
    }
  }
}

TEST_F(CameraPortsTest, UnfilledBufferEntriesAreZeros) {
  // Animation not exported: the buffer was never filled, the case still writes it.
  Begin(5);
  s.special.cameraPort = build::Camera("PORT_CAMERA", 0.7f);
  s.special.cameraRotationPort = build::Dummy("PORT_CAMERAROT");
  s.cameraSamples.clear();
  CameraSection section;
  ASSERT_TRUE(Build(section, kFlagCameraRotationPort));
  EXPECT_EQ(cameraBytes, std::vector<std::uint8_t>(5 * 24, 0));
}

TEST_F(CameraPortsTest, FrameCentreMovementReachesOneFramePastTheRange) {
  Begin(10);
  INode* centre = build::Dummy("tag_FrameCenter");
  Animate(centre, 11, [](int f) { return Pose{Point3(1.0f * f, 2.0f * f, 3.0f * f), Quat()}; });
  s.special.frameCenter = centre;
  CameraSection section;
  ASSERT_TRUE(Build(section, 0));
  ASSERT_EQ(section.positions.size(), 10u);
  for (const auto& d : section.positions) {
    EXPECT_NEAR(d[0], 1.0f, 1e-4f);
    EXPECT_NEAR(d[1], 3.0f, 1e-4f);
    EXPECT_NEAR(d[2], 2.0f, 1e-4f);
  }
  EXPECT_TRUE(MessageBoxRecords().empty());
}

TEST_F(CameraPortsTest, RotationPortWithOnlyAFrameCentreWritesTheMovementAndWarnsOnce) {
  Begin(4);
  INode* centre = build::Dummy("tag_FrameCenter");
  Animate(centre, 5, [](int f) { return Pose{Point3(0, 0, 0.5f * f), Quat()}; });
  s.special.frameCenter = centre;
  s.special.cameraRotationPort = build::Dummy("PORT_CAMERAROT");
  AllocateCameraBuffer();
  CameraSection section;
  ASSERT_TRUE(Build(section, kFlagCameraRotationPort));
  EXPECT_EQ(cameraBytes.size(), 4u * 12u);
  EXPECT_FALSE(section.hasRotation);
  EXPECT_NEAR(section.positions[3][1], 0.5f, 1e-4f);  // host Z written second
  const std::vector<MessageBoxRecord> boxes = MessageBoxRecords();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find("PORT_CAMERAROT"), std::string::npos);
  EXPECT_EQ(boxes[0].caption, "Warning");
}

TEST_F(CameraPortsTest, NoSpecialNodeWritesNothing) {
  Begin(30);
  build::Dummy("Something");
  CameraSection section;
  EXPECT_FALSE(Build(section, 0));
  EXPECT_TRUE(cameraBytes.empty());
}

}  // namespace
}  // namespace tz2::testing
