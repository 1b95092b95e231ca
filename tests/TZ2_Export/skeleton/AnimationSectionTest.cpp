// The animation section from scenes: records, bind pose, maps, round trips of sampled
// animations through the reader, the camera messages, the scale warning and the limits.
#include "tests/TZ2_Export/skeleton/AnimationTestScene.h"

#include <string>

#include "TZ2_Export/geometry/Mat4.h"
#include "TZ2_Export/skeleton/Animation.h"
#include "TZ2_Export/skeleton/KeyReduction.h"
#include "platform/Interaction.h"

namespace tz2::testing {
namespace {

constexpr float kPi = 3.14159265f;

Quat Unsigned(Quat q) { return q.w < 0.0f ? Quat(-q.x, -q.y, -q.z, -q.w) : q; }
Quat OfDecoded(const std::array<float, 4>& r) { return Quat(r[0], r[1], r[2], r[3]); }

using AnimationSectionTest = AnimationSceneTest;

// Every decoded frame of every bone lies within what the passes promise: 0.001 plus the
// code's resolution for translations, the quality's angle for rotations.
void ExpectWithinTolerances(const AnimationSection& section, const PreparedAnimation& prepared,
                            const std::vector<std::uint8_t>& heights, int quality) {
  ASSERT_EQ(section.bones.size(), prepared.bones.size());
  for (std::size_t i = 0; i < prepared.bones.size(); ++i) {
    const float limit = 1.0f - std::cos(RotationThreshold(quality, heights[i]));
    for (std::size_t f = 0; f < prepared.bones[i].samples.size(); ++f) {
      const AnimationSample& want = prepared.bones[i].samples[f];
      for (int c = 0; c < 3; ++c) {
        const float tolerance = kPositionTolerance + 0.001f + std::fabs(want.translation[c]) / 1024.0f;
        EXPECT_NEAR(section.bones[i].translations[f][static_cast<std::size_t>(c)], want.translation[c], tolerance)
            << "bone " << i << " frame " << f << " axis " << c;
      }
      EXPECT_LE(RotationDifference(OfDecoded(section.bones[i].rotations[f]), want.rotation), limit + 1e-6f)
          << "bone " << i << " frame " << f;
    }
  }
}

TEST_F(AnimationSectionTest, StillBoneKeepsThreeKeysOnBothTracks) {
  Begin(10);
  AddBone(build::Dummy("Still", nullptr, Point3(3, 4, 5)));
  const AnimationSection section = Export();
  ASSERT_EQ(section.bones.size(), 1u);
  for (const AnimationTrack* t : {&section.bones[0].position, &section.bones[0].rotation}) {
    EXPECT_EQ(t->keyFrames, (std::vector<std::uint16_t>{0, 8, 9}));
    EXPECT_EQ(t->groupIndex, (std::vector<std::uint32_t>{0, 1u | (1u << 12)}));
  }
  EXPECT_FLOAT_EQ(s.animationRatio, (0.3f + 0.3f) * 6.0f * 8.333333f);
}

TEST_F(AnimationSectionTest, RecordsCarryNamesParentsPartsBindMatricesAndMaps) {
  Begin(4);
  INode* root = AddBone(build::Dummy("GR_turret_with_a_long_name", nullptr, Point3(1, 2, 3)));
  INode* child = AddBone(build::Dummy("Barrel", root, Point3(10, 0, 0)));
  s.bonePartRecords = {{2, 0}, {2, 0}};
  for (int level = 0; level < 6; ++level) {
    s.skeletonLodMap[static_cast<std::size_t>(level)][0] = 0;
    s.skeletonLodMap[static_cast<std::size_t>(level)][1] = level < 5 ? 1 : 0;
  }
  const AnimationSection section = Export();
  ASSERT_EQ(section.bones.size(), 2u);
  EXPECT_EQ(section.bones[0].name, "GR_turret_with_a_lo");  // 19 bytes, then the zero
  EXPECT_EQ(section.bones[0].name.size(), 19u);
  EXPECT_EQ(bytes[1 + 19], 0);
  EXPECT_EQ(section.bones[0].parent, 0xFF);
  EXPECT_EQ(section.bones[0].part, 2);
  EXPECT_EQ(section.bones[0].partRoot, 2);  // a group bone is its part's root
  EXPECT_EQ(section.bones[1].name, "Barrel");
  EXPECT_EQ(section.bones[1].parent, 0);
  EXPECT_EQ(section.bones[1].partRoot, 0xFF);
  EXPECT_EQ(section.maps[5], (std::vector<std::uint8_t>{0, 0}));
  EXPECT_EQ(section.maps[0], (std::vector<std::uint8_t>{0, 1}));
  // Bind = W(first) in model space: Y and Z exchanged, which mirrors, so row 2 is negated to
  // make it the rotation with rows (1, 0, 0), (0, 0, 1), (0, −1, 0). The inverse is its rigid
  // inverse: rotation transposed, translation −t × Rᵀ = −(11, 2, −3).
  const AnimationBone& barrel = section.bones[1];
  EXPECT_FLOAT_EQ(barrel.bind[12], 11.0f);
  EXPECT_FLOAT_EQ(barrel.bind[13], 3.0f);
  EXPECT_FLOAT_EQ(barrel.bind[14], 2.0f);
  EXPECT_FLOAT_EQ(barrel.bind[4 * 1 + 2], 1.0f);   // row 1 = (0, 0, 1)
  EXPECT_FLOAT_EQ(barrel.bind[4 * 2 + 1], -1.0f);  // row 2 = (0, −1, 0)
  EXPECT_FLOAT_EQ(barrel.inverseBind[12], -11.0f);
  EXPECT_FLOAT_EQ(barrel.inverseBind[13], -2.0f);
  EXPECT_FLOAT_EQ(barrel.inverseBind[14], 3.0f);
  (void)child;
}

TEST_F(AnimationSectionTest, RootStartsAtTheIdentityAndAChildNeedNot) {
  Begin(5);
  INode* root = AddBone(build::Dummy("Root"));
  build::Place(root, Point3(0, 0, 0), Turn(RotateZMatrix(kPi / 2)));
  AddBone(build::Dummy("Child", root, Point3(10, 0, 0)));
  const AnimationSection section = Export();
  ASSERT_EQ(section.bones.size(), 2u);
  EXPECT_EQ(section.bones[0].translations[0], (std::array<float, 3>{0, 0, 0}));
  EXPECT_EQ(section.bones[0].rotations[0], (std::array<float, 4>{0, 0, 0, 1}));
  const AnimationSample& child = prepared->bones[1].samples[0];
  EXPECT_GT(child.translation.Length() + std::fabs(1.0f - child.rotation.w), 0.01f);
}

TEST_F(AnimationSectionTest, SampledAnimationsRoundTripWithinTheirTolerances) {
  const int frames = 90;
  for (int quality : {1, 3, 5}) {
    SCOPED_TRACE(quality);
    ResetScene();
    Begin(frames, quality);
    // A walking chain: the hip moves forward and bobs, the thigh and shin swing.
    INode* hip = AddBone(build::Dummy("Hip"));
    INode* thigh = AddBone(build::Dummy("Thigh", hip));
    INode* shin = AddBone(build::Dummy("Shin", thigh));
    Animate(hip, frames, [](int f) {
      return Pose{Point3(0.8f * f, 0.0f, 90.0f + 2.0f * std::sin(f * 2 * kPi / 15)), Quat()};
    });
    Animate(thigh, frames, [](int f) {
      return Pose{Point3(0, 0, -5), Turn(RotateXMatrix(0.6f * std::sin(f * 2 * kPi / 30)))};
    });
    Animate(shin, frames, [](int f) {
      return Pose{Point3(0, 0, -40), Turn(RotateXMatrix(0.4f + 0.4f * std::sin(f * 2 * kPi / 30 + 1.0f)))};
    });
    // A spinning bone, a still bone and a camera path.
    INode* spinner = AddBone(build::Dummy("Spinner", nullptr, Point3(5, 5, 5)));
    Animate(spinner, frames, [](int f) { return Pose{Point3(5, 5, 5), Turn(RotateZMatrix(f * kPi / 90))}; });
    AddBone(build::Dummy("Still", nullptr, Point3(-3, 0, 1)));
    INode* camera = AddBone(build::Camera("PORT_CAMERA", 0.8f));
    Animate(camera, frames, [](int f) {
      return Pose{Point3(100 * std::cos(f * 0.05f), 100 * std::sin(f * 0.05f), 20.0f + 0.1f * f), Quat()};
    });
    s.special.cameraPort = camera;

    const AnimationSection section = Export();
    ASSERT_FALSE(prepared->refused);
    ExpectWithinTolerances(section, *prepared, {2, 1, 0, 0, 0, 0}, quality);

    // The spinner turns about the host's Z axis at constant speed (2° a frame, under half a
    // turn): slerp follows it, so at quality 1 it keeps three rotation keys. (From quality 3
    // on, a root's angle is below the float noise of the samples.)
    if (quality == 1) {
      EXPECT_EQ(section.bones[3].rotation.keys.size(), 3u);
    }
    const Quat want = Unsigned(Turn(RotateZMatrix(40 * kPi / 90)));
    EXPECT_LE(RotationDifference(OfDecoded(section.bones[3].rotations[40]), want), 1e-5f);
    // The camera port's translations went into the camera buffer before the reduction.
    const Point3 start = camera->GetNodeTM(0).GetTrans();
    for (int f : {0, 17, frames - 1}) {
      const Point3 moved = camera->GetNodeTM(f * GetTicksPerFrame()).GetTrans() - start;
      for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(s.cameraSamples[static_cast<std::size_t>(3 * f + c)], moved[c], 1e-3f) << f;
    }
  }
  EXPECT_TRUE(MessageBoxRecords().empty());
}

TEST_F(AnimationSectionTest, ReaderRebuildsEveryBoneOfAChainFromTheRootDown) {
  // W = K × bind × W_parent must give back each bone's model-space matrix, also for the
  // grandchild: the Y/Z exchange mirrors every sampled matrix, and the samples are rotations
  // only when that mirror is turned into a proper rotation before they are made.
  const int frames = 20;
  Begin(frames, 5);
  INode* hip = AddBone(build::Dummy("Hip"));
  INode* thigh = AddBone(build::Dummy("Thigh", hip));
  INode* shin = AddBone(build::Dummy("Shin", thigh));
  Animate(hip, frames, [](int f) { return Pose{Point3(0.5f * f, 1, 9), Turn(RotateZMatrix(0.05f * f))}; });
  Animate(thigh, frames, [](int f) { return Pose{Point3(0, 1, -4), Turn(RotateXMatrix(0.4f + 0.03f * f))}; });
  Animate(shin, frames, [](int f) { return Pose{Point3(0, 0, -5), Turn(RotateYMatrix(0.2f - 0.04f * f))}; });
  const AnimationSection section = Export();
  ASSERT_EQ(section.bones.size(), 3u);
  Mat4 swap = Mat4Identity();
  swap.m[1][1] = swap.m[2][2] = 0;
  swap.m[1][2] = swap.m[2][1] = 1;
  for (int f = 0; f < frames; ++f) {
    Mat4 world[3];
    INode* nodes[3] = {hip, thigh, shin};
    for (int i = 0; i < 3; ++i) {
      const AnimationBone& b = section.bones[static_cast<std::size_t>(i)];
      Mat4 bind;
      for (int k = 0; k < 16; ++k) bind.m[k / 4][k % 4] = b.bind[k];
      const auto& q = b.rotations[static_cast<std::size_t>(f)];
      const auto& t = b.translations[static_cast<std::size_t>(f)];
      world[i] = QuatTransToMat4(Quat(q[0], q[1], q[2], q[3]), Point3(t[0], t[1], t[2])) * bind;
      if (b.parent != 0xFF) world[i] = world[i] * world[b.parent];
      // The model-space position of the bone's origin is its node's, Y and Z exchanged.
      const Point3 want = nodes[i]->GetNodeTM(f * GetTicksPerFrame()).GetTrans();
      EXPECT_NEAR(world[i].m[3][0], want.x, 0.01f) << "bone " << i << " frame " << f;
      EXPECT_NEAR(world[i].m[3][1], want.z, 0.01f) << "bone " << i << " frame " << f;
      EXPECT_NEAR(world[i].m[3][2], want.y, 0.01f) << "bone " << i << " frame " << f;
      // Its X axis, likewise.
      const Point3 axis = nodes[i]->GetNodeTM(f * GetTicksPerFrame()).GetRow(0);
      EXPECT_NEAR(world[i].m[0][0], axis.x, 0.01f) << "bone " << i << " frame " << f;
      EXPECT_NEAR(world[i].m[0][1], axis.z, 0.01f) << "bone " << i << " frame " << f;
      EXPECT_NEAR(world[i].m[0][2], axis.y, 0.01f) << "bone " << i << " frame " << f;
    }
  }
}

TEST_F(AnimationSectionTest, HigherQualityKeepsMoreRotationKeys) {
  std::size_t keys[2] = {0, 0};
  const int qualities[2] = {1, 5};
  for (int k = 0; k < 2; ++k) {
    ResetScene();
    Begin(60, qualities[k]);
    INode* arm = AddBone(build::Dummy("Arm"));
    Animate(arm, 60, [](int f) { return Pose{Point3(), Turn(RotateYMatrix(0.0008f * f * f))}; });
    keys[k] = Export().bones[0].rotation.keys.size();
  }
  EXPECT_LE(keys[0], 12u);
  EXPECT_GE(keys[1], 55u);
}

TEST_F(AnimationSectionTest, FieldOfViewBoneWithoutCameraPortWarnsOnceAndIsAnimated) {
  Begin(6);
  INode* fov = AddBone(build::Dummy("port_CameraFov"));
  Animate(fov, 6, [](int f) { return Pose{Point3(0.5f * f, 0, 0), Quat()}; });
  INode* rot = AddBone(build::Dummy("PORT_CAMERAROT"));
  s.special.cameraRotationPort = rot;
  const AnimationSection section = Export();
  const std::vector<MessageBoxRecord> boxes = MessageBoxRecords();
  ASSERT_EQ(boxes.size(), 1u);  // the two camera messages share one flag
  EXPECT_EQ(boxes[0].text,
            "Выгружается объект PORT_CAMERAFOV, однако соответствующий объектPORT_CAMERA не найден. "
            "Убедитесь, что объект PORT_CAMERA есть и он экспортируется.");
  EXPECT_EQ(boxes[0].caption, "Warning !");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
  EXPECT_NEAR(section.bones[0].translations[4][0], 2.0f, 0.002f);
  // Without a camera port the rotation half of the buffer stays zero.
  for (std::size_t i = 18; i < 36; ++i) EXPECT_EQ(s.cameraSamples[i], 0.0f);
}

TEST_F(AnimationSectionTest, CameraPortDrivesTheFieldOfViewBoneAndTheRotationHalf) {
  Begin(8);
  INode* camera = AddBone(build::Camera("PORT_CAMERA", 0.5f));
  auto* cam = static_cast<GenCamera*>(camera->GetObjectRef());
  cam->SetFOVKeys({{0, 0.5f}, {7 * GetTicksPerFrame(), 1.2f}});
  Animate(camera, 8, [](int f) { return Pose{Point3(), Turn(RotateZMatrix(0.1f * f))}; });
  AddBone(build::Dummy("PORT_CAMERAFOV", nullptr, Point3(7, 7, 7)));
  INode* rot = AddBone(build::Dummy("PORT_CAMERAROT"));
  s.special.cameraPort = camera;
  s.special.cameraRotationPort = rot;
  const AnimationSection section = Export();
  EXPECT_TRUE(MessageBoxRecords().empty());
  // The field of view bone turns about X by the change of the field of view.
  const float fov7 = cam->GetFOV(7 * GetTicksPerFrame());
  const Quat want = Unsigned(Turn(RotateXMatrix(fov7 - 0.5f)));
  EXPECT_LE(RotationDifference(OfDecoded(section.bones[1].rotations[7]), want), 1e-5f);
  EXPECT_EQ(section.bones[1].translations[7], (std::array<float, 3>{0, 0, 0}));
  // The rotation port samples as the identity and fills entries frame count + f.
  EXPECT_EQ(section.bones[2].rotations[5], (std::array<float, 4>{0, 0, 0, 1}));
  Mat4 m = Mat4FromMatrix3(camera->GetNodeTM(3 * GetTicksPerFrame()) * s.axisSwap);
  Quat q;
  Point3 t;
  m.m[3][0] = m.m[3][1] = m.m[3][2] = 0.0f;
  Mat4ToQuatTrans(m, q, t);
  q = Unsigned(QuatNormalize(q));
  EXPECT_NEAR(s.cameraSamples[3 * (8 + 3) + 0], q.x, 1e-5f);
  EXPECT_NEAR(s.cameraSamples[3 * (8 + 3) + 1], q.y, 1e-5f);
  EXPECT_NEAR(s.cameraSamples[3 * (8 + 3) + 2], q.z, 1e-5f);
}

TEST_F(AnimationSectionTest, NonUniformScaleWarningListsTheBonesAfterTheSection) {
  Begin(3);
  INode* a = AddBone(build::Dummy("Stretched"));
  build::Place(a, Point3(), Quat(), Point3(1, 2, 1));
  AddBone(build::Dummy("Fine"));
  INode* b = AddBone(build::Dummy("Squashed"));
  build::Place(b, Point3(), Quat(), Point3(1, 1, 1.5f));
  ASSERT_TRUE(CheckAnimationLimits(s));
  EXPECT_TRUE(MessageBoxRecords().empty());
  OutputFile file;
  ASSERT_TRUE(file.Create(TempDir() + "/anim.tz2"));
  WriteAnimationSection(file, s, 3);
  file.Abandon();
  const std::vector<MessageBoxRecord> boxes = MessageBoxRecords();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            "The following bones has non-uniform scale or skew applied to them:\n\nStretched\nSquashed"
            "\n\nThis can lead to wrong animation in game.\nRefer to plug-in documentation.");
  EXPECT_EQ(boxes[0].caption, "Warning");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_FALSE(s.preparedAnimation);
}

TEST_F(AnimationSectionTest, NoBonesGiveAnEmptySectionAndRatioZero) {
  Begin(12);
  const AnimationSection section = Export();
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0}));
  EXPECT_TRUE(section.bones.empty());
  EXPECT_EQ(s.animationRatio, 0.0f);
}

TEST_F(AnimationSectionTest, AnimationsBeyondTheIndexLimitsAreRefusedWithTheLimitNamed) {
  struct Case {
    int frames;
    bool jitter;
    const char* limit;
  } cases[] = {{4097, false, "4096"}, {3000, true, "2048"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.frames);
    ResetScene();
    ClearMessageBoxRecords();
    Begin(c.frames);
    INode* bone = AddBone(build::Dummy("Jitter"));
    if (c.jitter) Animate(bone, c.frames, [](int f) { return Pose{Point3(f % 2 ? 1.0f : 0.0f, 0, 0), Quat()}; });
    AllocateCameraBuffer();
    EXPECT_FALSE(CheckAnimationLimits(s));
    const std::vector<MessageBoxRecord> boxes = MessageBoxRecords();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find(c.limit), std::string::npos) << boxes[0].text;
    EXPECT_EQ(boxes[0].caption, "Error");
    ASSERT_TRUE(s.preparedAnimation);
    ByteStream out;
    BuildAnimationSection(s, s.preparedAnimation.get(), out);
    EXPECT_EQ(out.Size(), 1u);  // never the refused tracks
  }
  ResetScene();
  ClearMessageBoxRecords();
  Begin(4096);
  AddBone(build::Dummy("Longest"));
  AllocateCameraBuffer();
  EXPECT_TRUE(CheckAnimationLimits(s));
  EXPECT_TRUE(MessageBoxRecords().empty());
}

TEST_F(AnimationSectionTest, RangeNotStartingAtZeroAsksAndStartsAtZeroOnYes) {
  for (int answer : {IDYES, IDNO}) {
    ScriptedDriver driver;
    driver.ExpectBox({"Вы пытаетесь выгрузить анимацию, начиная с ненулевого кадра.\n"
                      "Это на данный момент не поддерживается,\n"
                      "поэтому анимация будет выгружена, начиная с нулевого кадра.\n"
                      "Продолжить ?",
                      "Warning !", MB_YESNO, 0, answer});
    ScopedInteractionDriver scoped(driver);
    Begin(1);
    TheScene().SetAnimRangeFrames(5, 20);
    EXPECT_EQ(ReadFrameRange(s), answer == IDYES);
    EXPECT_TRUE(driver.Done()) << driver.Report();
    if (answer == IDYES) {
      EXPECT_EQ(s.firstFrame, 0);
      EXPECT_EQ(s.lastFrame, 20);
    }
  }
  ClearMessageBoxRecords();
  TheScene().SetAnimRangeFrames(0, 33);
  EXPECT_TRUE(ReadFrameRange(s));
  EXPECT_EQ(s.lastFrame, 33);
  EXPECT_TRUE(MessageBoxRecords().empty());
}

}  // namespace
}  // namespace tz2::testing
