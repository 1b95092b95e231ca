// The animation writer's pieces: the prepared animation (sampled, reduced, checked against
// the index limits) and the section's bytes.
//
// Section layout (little-endian, packed):
//   bone count u8 | per bone: name 20 bytes (cut to 19, zero padded), parent u8 (0xFF root),
//   part u8, part root u8 (the part again for a part root, else 0xFF), block size u32, block =
//   position KeyTrack + rotation KeyTrack | per bone: inverse bind and bind matrix (2 × 16
//   f32) | the six skeleton map rows, bone count bytes each.
#pragma once

#include <string>
#include <vector>

#include "TZ2_Export/skeleton/AnimationSampling.h"
#include "collect/ByteStream.h"

namespace tz2 {

struct PreparedAnimation {
  std::vector<BoneAnimation> bones;  // frames released, samples and tracks kept
  std::vector<int> parents;          // parent bone index, −1 for a root
  std::vector<std::string> nonUniformScale;
  bool refused = false;              // over the limits: nothing may be written
};

// Samples, builds the local samples, fills the camera sample buffer and reduces every track
// (parents and subtree heights from the bone hierarchy); sets s.animationRatio. Refusals
// show their message and leave refused set.
std::shared_ptr<PreparedAnimation> PrepareAnimation(ExportState& s);

// The ratio of step 6: (mean position ratio + mean rotation ratio) × 6 × 8.333333; 0 without
// bones or frames.
float AnimationRatio(const std::vector<BoneAnimation>& bones, int frameCount);

// The whole section's bytes for the prepared animation (a refused or missing one gives the
// empty section: bone count 0).
void BuildAnimationSection(const ExportState& s, const PreparedAnimation* prepared, ByteStream& out);

// The warning text for the bones that failed the scale test (empty when none did).
std::string NonUniformScaleMessage(const std::vector<std::string>& names);

}  // namespace tz2
