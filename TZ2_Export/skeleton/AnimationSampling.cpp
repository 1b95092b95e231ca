// Animation sampling, bind pose and local samples (see AnimationSampling.h).
#include "TZ2_Export/skeleton/AnimationSampling.h"

#include <algorithm>
#include <cmath>

#include "TZ2_Export/scene/NameRules.h"
#include "TZ2_Export/scene/NodeClassification.h"
#include "host/INode.h"
#include "host/Object.h"
#include "host/Time.h"
#include "platform/Windows.h"

namespace tz2 {
namespace {

const char* const kFovWithoutCameraMessage =
    "Выгружается объект PORT_CAMERAFOV, однако соответствующий объектPORT_CAMERA не найден. "
    "Убедитесь, что объект PORT_CAMERA есть и он экспортируется.";
const char* const kRotationWithoutCameraMessage =
    "Выгружается объект PORT_CAMERAROT, однако соответствующий объектPORT_CAMERA не найден. "
    "Убедитесь, что объект PORT_CAMERA есть и он экспортируется.";

// The two camera messages of one sampling run; at most one of them is shown.
struct CameraMessages {
  bool shown = false;
  void Show(const char* text) {
    if (shown) return;
    shown = true;
    MessageBoxA(GetActiveWindow(), text, "Warning !", MB_OK);
  }
};

// Orthogonalize, then NoScale.
Mat4 OrthonormalSample(Matrix3 m) {
  m.Orthogonalize();
  m.NoScale();
  return Mat4FromMatrix3(m);
}

void NegateRow2(Mat4& m) {
  for (int c = 0; c < 3; ++c) m.m[2][c] = -m.m[2][c];
}

float Det3(const Mat4& m) {
  return m.m[0][0] * (m.m[1][1] * m.m[2][2] - m.m[1][2] * m.m[2][1]) -
         m.m[0][1] * (m.m[1][0] * m.m[2][2] - m.m[1][2] * m.m[2][0]) +
         m.m[0][2] * (m.m[1][0] * m.m[2][1] - m.m[1][1] * m.m[2][0]);
}

// The rigid world matrix the bone samples are made from. The samples and the bind pose are
// stored as rotations, so a mirrored matrix (which the Y/Z exchange makes of every
// unmirrored node) has its row 2 negated to the proper rotation r2 = r0 × r1. The negation
// cancels in the skin (inverse bind × sampled matrix), and a reader rebuilds every bone from
// the quaternions exactly; with the mirror kept, the local samples would be mirrors that no
// quaternion holds, and every bone below the root's children would decode displaced.
Mat4 RigidSample(const Matrix3& m, bool& mirrored) {
  Mat4 w = OrthonormalSample(m);
  mirrored = Det3(w) < 0.0f;
  if (mirrored) NegateRow2(w);
  return w;
}

float CameraFov(INode* cameraPort, TimeValue t) {
  Object* obj = cameraPort->GetObjectRef();
  if (obj == nullptr || obj->SuperClassID() != CAMERA_CLASS_ID) return 0.0f;
  return static_cast<CameraObject*>(obj)->GetFOV(t);
}

// x, y, z of the camera port's rotation at t into the buffer's rotation half.
void SampleCameraRotation(ExportState& s, const Matrix3& frame, TimeValue t, std::size_t entry) {
  Mat4 cam = OrthonormalSample(s.special.cameraPort->GetNodeTM(t) * frame);
  cam.m[3][0] = cam.m[3][1] = cam.m[3][2] = 0.0f;
  const AnimationSample q = SampleOf(cam);
  const std::size_t at = entry * 3;
  if (at + 3 > s.cameraSamples.size()) s.cameraSamples.resize(at + 3, 0.0f);
  s.cameraSamples[at + 0] = q.rotation.x;
  s.cameraSamples[at + 1] = q.rotation.y;
  s.cameraSamples[at + 2] = q.rotation.z;
}

}  // namespace

int FrameCountOf(const ExportState& s) { return s.lastFrame - s.firstFrame + 1; }

bool HasUniformScale(Matrix3 nodeTM) {
  nodeTM.NoTrans();
  const float sx = std::max(nodeTM.GetRow(0).Length(), 0.0000001f);
  const float sy = std::max(nodeTM.GetRow(1).Length(), 0.0000001f);
  const float sz = std::max(nodeTM.GetRow(2).Length(), 0.0000001f);
  return std::fabs(sx / sy - 1.0f) < 0.01f && std::fabs(sx / sz - 1.0f) < 0.01f;
}

void SampleBones(ExportState& s, std::vector<BoneAnimation>& bones, std::vector<std::string>& nonUniform) {
  const int frameCount = std::max(FrameCountOf(s), 0);
  const std::size_t boneCount = s.boneList.Count();
  bones.clear();
  bones.resize(boneCount);
  for (BoneAnimation& b : bones) {
    b.frames.resize(static_cast<std::size_t>(frameCount));
    b.mirrored.assign(static_cast<std::size_t>(frameCount), 0);
  }
  CameraMessages messages;
  const int ticks = GetTicksPerFrame();
  for (int f = 0; f < frameCount; ++f) {
    const TimeValue t = (s.firstFrame + f) * ticks;
    const Matrix3 frame = ModelFrame(s, t, true) * s.axisSwap;
    for (std::size_t i = 0; i < boneCount; ++i) {
      INode* node = s.boneList[i].node;
      const Matrix3 n = node->GetNodeTM(t);
      if (f == 0 && !HasUniformScale(n)) nonUniform.emplace_back(node->GetName());
      bool mirrored = false;
      Mat4 w = RigidSample(n * frame, mirrored);
      if (EqualsAnyCase(node->GetName(), "PORT_CAMERAFOV")) {
        if (s.special.cameraPort != nullptr) {
          w = Mat4FromMatrix3(RotateXMatrix(CameraFov(s.special.cameraPort, t)));
          mirrored = false;
        } else {
          messages.Show(kFovWithoutCameraMessage);
        }
      }
      if (node == s.special.cameraRotationPort) {
        if (s.special.cameraPort != nullptr) {
          SampleCameraRotation(s, frame, t, static_cast<std::size_t>(frameCount + f));
          w = Mat4Identity();
          mirrored = false;
        } else {
          messages.Show(kRotationWithoutCameraMessage);
        }
      }
      bones[i].frames[static_cast<std::size_t>(f)] = w;
      bones[i].mirrored[static_cast<std::size_t>(f)] = mirrored ? 1 : 0;
    }
  }
}

void ComputeBindPose(std::vector<BoneAnimation>& bones) {
  for (BoneAnimation& b : bones) {
    if (b.frames.empty()) continue;
    b.bind = b.frames.front();
    b.inverseBind = Mat4RigidInverse(b.bind);
  }
}

AnimationSample SampleOf(const Mat4& k) {
  AnimationSample sample;
  Mat4ToQuatTrans(k, sample.rotation, sample.translation);
  sample.rotation = QuatNormalize(sample.rotation);
  if (sample.rotation.w < 0.0f) {
    Quat& q = sample.rotation;
    q = Quat(-q.x, -q.y, -q.z, -q.w);
  }
  return sample;
}

void ComputeLocalSamples(std::vector<BoneAnimation>& bones, const std::vector<int>& parents) {
  for (std::size_t i = 0; i < bones.size(); ++i) {
    BoneAnimation& b = bones[i];
    const int p = i < parents.size() ? parents[i] : -1;
    const BoneAnimation* parent = p >= 0 && static_cast<std::size_t>(p) < bones.size() ? &bones[static_cast<std::size_t>(p)] : nullptr;
    b.samples.resize(b.frames.size());
    for (std::size_t f = 0; f < b.frames.size(); ++f) {
      Mat4 k = b.frames[f];
      if (parent != nullptr && f < parent->frames.size()) k = k * Mat4RigidInverse(parent->frames[f]);
      b.samples[f] = SampleOf(k * b.inverseBind);
    }
  }
}

Point3 PortTranslation(const std::vector<BoneAnimation>& bones, const std::vector<int>& parents, std::size_t i,
                       std::size_t f) {
  const auto orthonormal = [&](std::size_t b, std::size_t frame) {
    Mat4 w = bones[b].frames[frame];
    if (frame < bones[b].mirrored.size() && bones[b].mirrored[frame] != 0) NegateRow2(w);
    return w;
  };
  Mat4 k = orthonormal(i, f);
  const int p = i < parents.size() ? parents[i] : -1;
  if (p >= 0 && static_cast<std::size_t>(p) < bones.size() && f < bones[static_cast<std::size_t>(p)].frames.size())
    k = k * Mat4RigidInverse(orthonormal(static_cast<std::size_t>(p), f));
  k = k * Mat4RigidInverse(orthonormal(i, 0));
  return Point3(k.m[3][0], k.m[3][1], k.m[3][2]);
}

}  // namespace tz2
