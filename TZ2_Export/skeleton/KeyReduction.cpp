// The position and rotation passes (see KeyReduction.h).
//
// Each pass runs in two steps over a bone's frames:
//   1. the walk: frame f is a key when it is always kept, or when the interpolation from the
//      last key L towards f + 1 at s = (f − L) ÷ (f − L + 1) misses it. The reference is
//      only L and f + 1, so the walk is linear in the frame count;
//   2. the check of every kept segment: the walk compares a dropped frame with a line that
//      ends at the frame after it, not with the segment a reader finally interpolates, and
//      slow curved motion can drift from that segment by many times the tolerance. So each
//      segment between two keys is compared frame by frame with its own interpolation; the
//      frame that misses most becomes a key and both halves are checked again. Afterwards
//      every dropped frame lies within the tolerance of the interpolation a reader makes.
//      Motion the walk already follows (still bones, straight lines at constant speed,
//      turns at constant speed) gets no extra key.
#include "TZ2_Export/skeleton/KeyReduction.h"

#include <cmath>
#include <utility>
#include <vector>

#include "TZ2_Export/geometry/Mat4.h"

namespace tz2 {
namespace {

// Q per animation quality 1 .. 5: the lower the quality, the more a rotation may deviate.
constexpr float kQualityDivisor[5] = {0.5f, 15.0f, 40.0f, 80.0f, 100.0f};

// Whether frame f of n is kept whatever the samples: the first and the last two frames.
bool AlwaysKey(int f, int n) { return f == 0 || f >= n - 2; }

float Fraction(int a, int b, int f) { return static_cast<float>(f - a) / static_cast<float>(b - a); }

// The two steps for one track. Metric: Deviation(a, b, f) is how far frame f lies from the
// interpolation between frames a and b; Misses(d) whether that is beyond the tolerance.
template <class Metric>
std::vector<std::uint8_t> SelectKeys(int frameCount, const Metric& metric) {
  std::vector<std::uint8_t> key(static_cast<std::size_t>(frameCount > 0 ? frameCount : 0), 0);
  int last = 0;
  for (int f = 0; f < frameCount; ++f) {
    key[static_cast<std::size_t>(f)] = AlwaysKey(f, frameCount) || metric.Misses(metric.Deviation(last, f + 1, f));
    if (key[static_cast<std::size_t>(f)]) last = f;
  }
  std::vector<std::pair<int, int>> segments;
  for (int a = 0, b = 1; b < frameCount; ++b) {
    if (!key[static_cast<std::size_t>(b)]) continue;
    if (b - a > 1) segments.emplace_back(a, b);
    a = b;
  }
  while (!segments.empty()) {
    const auto [a, b] = segments.back();
    segments.pop_back();
    int worst = -1;
    float worstDeviation = 0.0f;
    for (int f = a + 1; f < b; ++f) {
      const float d = metric.Deviation(a, b, f);
      if (metric.Misses(d) && (worst < 0 || d > worstDeviation)) {
        worst = f;
        worstDeviation = d;
      }
    }
    if (worst < 0) continue;
    key[static_cast<std::size_t>(worst)] = 1;
    if (worst - a > 1) segments.emplace_back(a, worst);
    if (b - worst > 1) segments.emplace_back(worst, b);
  }
  return key;
}

template <class MakeKey>
KeyTrack BuildTrack(const std::vector<std::uint8_t>& key, MakeKey makeKey) {
  KeyTrack track;
  for (std::size_t f = 0; f < key.size(); ++f) track.AddFrame(key[f] != 0, key[f] ? makeKey(f) : TrackKey{});
  return track;
}

struct PositionMetric {
  const AnimationSample* samples;
  float Deviation(int a, int b, int f) const {
    const Point3& p = samples[a].translation;
    const Point3 q = p + (samples[b].translation - p) * Fraction(a, b, f);
    return (q - samples[f].translation).Length();
  }
  bool Misses(float d) const { return d >= kPositionTolerance; }
};

struct RotationMetric {
  const AnimationSample* samples;
  float limit;  // 1 − cos θ
  float Deviation(int a, int b, int f) const {
    const Quat r = QuatSlerp(samples[a].rotation, samples[b].rotation, Fraction(a, b, f));
    return RotationDifference(r, samples[f].rotation);
  }
  bool Misses(float d) const { return d > limit; }
};

}  // namespace

float RotationThreshold(int quality, int subtreeHeight) {
  const int q = quality < 1 ? 1 : (quality > 5 ? 5 : quality);
  return (2.35612488f / kQualityDivisor[q - 1]) * 0.0055555557f / static_cast<float>(subtreeHeight + 1);
}

KeyTrack ReducePositions(const AnimationSample* samples, int frameCount) {
  return BuildTrack(SelectKeys(frameCount, PositionMetric{samples}),
                    [samples](std::size_t f) { return PositionKey(samples[f].translation); });
}

KeyTrack ReduceRotations(const AnimationSample* samples, int frameCount, float threshold) {
  return BuildTrack(SelectKeys(frameCount, RotationMetric{samples, 1.0f - std::cos(threshold)}),
                    [samples](std::size_t f) { return RotationKey(samples[f].rotation); });
}

}  // namespace tz2
