// The position and rotation passes (see KeyReduction.h). Both walk the frames once; the
// interpolation reference is always the last key and the next frame, so a pass is linear in
// the frame count.
#include "TZ2_Export/skeleton/KeyReduction.h"

#include <cmath>

#include "TZ2_Export/geometry/Mat4.h"

namespace tz2 {
namespace {

// Q per animation quality 1 .. 5: the lower the quality, the more a rotation may deviate.
constexpr float kQualityDivisor[5] = {0.5f, 15.0f, 40.0f, 80.0f, 100.0f};

// Whether frame f of n is kept whatever the samples: the first and the last two frames.
bool AlwaysKey(int f, int n) { return f == 0 || f >= n - 2; }

float Fraction(int f, int last) {
  return static_cast<float>(f - last) / static_cast<float>(f - last + 1);
}

// The shared walk: deviates(L, f, s) decides a frame that is not always kept, makeKey(f)
// builds its key.
template <class Deviates, class MakeKey>
KeyTrack Reduce(int frameCount, Deviates deviates, MakeKey makeKey) {
  KeyTrack track;
  int last = 0;
  for (int f = 0; f < frameCount; ++f) {
    const bool key = AlwaysKey(f, frameCount) || deviates(last, f, Fraction(f, last));
    track.AddFrame(key, key ? makeKey(f) : TrackKey{});
    if (key) last = f;
  }
  return track;
}

}  // namespace

float RotationThreshold(int quality, int subtreeHeight) {
  const int q = quality < 1 ? 1 : (quality > 5 ? 5 : quality);
  return (2.35612488f / kQualityDivisor[q - 1]) * 0.0055555557f / static_cast<float>(subtreeHeight + 1);
}

KeyTrack ReducePositions(const AnimationSample* samples, int frameCount) {
  return Reduce(
      frameCount,
      [samples](int last, int f, float s) {
        const Point3& a = samples[last].translation;
        const Point3 p = a + (samples[f + 1].translation - a) * s;
        return (p - samples[f].translation).Length() >= kPositionTolerance;
      },
      [samples](int f) { return PositionKey(samples[f].translation); });
}

KeyTrack ReduceRotations(const AnimationSample* samples, int frameCount, float threshold) {
  const float limit = 1.0f - std::cos(threshold);
  return Reduce(
      frameCount,
      [samples, limit](int last, int f, float s) {
        const Quat r = QuatSlerp(samples[last].rotation, samples[f + 1].rotation, s);
        return RotationDifference(r, samples[f].rotation) > limit;
      },
      [samples](int f) { return RotationKey(samples[f].rotation); });
}

}  // namespace tz2
