// Animation sampling: the per-bone working records of the animation writer and the three
// steps that turn the scene into per-frame samples.
//
//   SampleBones         W_b(f) = Orthogonalize(NoScale(GetNodeTM × ModelFrame × axis swap))
//                       for every bone b and frame f, made a rotation (row 2 negated when
//                       it is mirrored, as the Y/Z exchange makes it of every unmirrored
//                       node, so that the samples are rotations a quaternion holds and the
//                       rebuild below is exact); "PORT_CAMERAFOV" carries the camera
//                       port's field of view as an X rotation, the camera rotation port
//                       fills the rotation half of the camera sample buffer and samples as
//                       the identity.
//   ComputeBindPose     bind = W(first), inverse bind = its rigid inverse.
//   ComputeLocalSamples K_i(f) = W_i(f) × W_p(f)⁻¹ × bind_i⁻¹ split into a translation and a
//                       unit quaternion with w ≥ 0; a reader rebuilds W_i(f) = K_i(f) × bind_i
//                       × W_p(f) from the roots down.
// Every frame of every bone is held at once (64 bytes of matrix and 28 of sample per bone
// and frame); the matrices are dropped once the samples exist.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "TZ2_Export/geometry/Mat4.h"
#include "TZ2_Export/shell/ExportState.h"
#include "TZ2_Export/skeleton/KeyReduction.h"
#include "TZ2_Export/skeleton/KeyTrack.h"

namespace tz2 {

struct BoneAnimation {
  Mat4 inverseBind = Mat4Identity();
  Mat4 bind = Mat4Identity();
  std::vector<Mat4> frames;              // W(f), frame count entries
  std::vector<std::uint8_t> mirrored;    // per frame: 1 when W(f) had row 2 negated
  std::vector<AnimationSample> samples;  // K(f), frame count entries
  KeyTrack positionTrack;
  KeyTrack rotationTrack;
};

// The frame count of the export's range (last − first + 1).
int FrameCountOf(const ExportState& s);

// The scale test of a node matrix: with the translation removed, the lengths sx, sy, sz of
// the images of the unit axes (each at least 0.0000001) are uniform when sx ÷ sy and sx ÷ sz
// lie within 1 % of 1.
bool HasUniformScale(Matrix3 nodeTM);

// Fills bones[i].frames for every bone of s.boneList (bones is resized to the list). The
// names of bones that fail the scale test at the first frame go to nonUniform. The camera
// messages share one flag: at most one of them is shown per call.
void SampleBones(ExportState& s, std::vector<BoneAnimation>& bones, std::vector<std::string>& nonUniform);

void ComputeBindPose(std::vector<BoneAnimation>& bones);
// parents[i]: the list index of bone i's parent bone, −1 for a root.
void ComputeLocalSamples(std::vector<BoneAnimation>& bones, const std::vector<int>& parents);
// The camera path's translation of bone i at frame f: row 3 of K_i(f) made from the
// orthonormal matrices with their mirror kept (the path the camera ports section has always
// held). Needs the frames.
Point3 PortTranslation(const std::vector<BoneAnimation>& bones, const std::vector<int>& parents, std::size_t i,
                       std::size_t f);
// The translation of k's row 3 and the normalised quaternion of its rotation rows, negated
// when w < 0.
AnimationSample SampleOf(const Mat4& k);

}  // namespace tz2
