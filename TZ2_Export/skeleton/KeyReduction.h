// Key reduction: the position and rotation passes that turn one bone's per-frame samples into
// its two KeyTracks.
//
// A frame is a key when it is the first frame or one of the last two. Any other frame f is
// compared with the interpolation from the last key L towards the next frame f + 1 at
// s = (f − L) ÷ (f − L + 1): linear for translations (a key when it lies 0.001 or more away),
// spherical (QuatSlerp) for rotations (a key when RotationDifference exceeds 1 − cos θ).
// Then every segment between two keys is checked against its own interpolation and split
// at its worst frame until no dropped frame misses (KeyReduction.cpp says why), so a reader
// that interpolates between the kept keys stays within the tolerance at every frame.
// θ depends on the animation quality and on the height of the bone's subtree
// (RotationThreshold). Frames are counted from the first frame (0 .. frameCount − 1).
#pragma once

#include <cstdint>

#include "TZ2_Export/skeleton/KeyTrack.h"
#include "host/Point3.h"
#include "host/Quat.h"

namespace tz2 {

// A bone's transform at one frame relative to its parent and to its own first-frame pose:
// translation and a unit quaternion with w ≥ 0.
struct AnimationSample {
  Point3 translation;
  Quat rotation;
};

inline constexpr float kPositionTolerance = 0.001f;

// θ in radians: (2.35612488 ÷ Q) × 0.0055555557 ÷ (height + 1), Q = 0.5, 15, 40, 80, 100 for
// quality 1 .. 5 (a quality outside 1 .. 5 counts as the nearest of them).
float RotationThreshold(int quality, int subtreeHeight);

KeyTrack ReducePositions(const AnimationSample* samples, int frameCount);
KeyTrack ReduceRotations(const AnimationSample* samples, int frameCount, float threshold);

}  // namespace tz2
