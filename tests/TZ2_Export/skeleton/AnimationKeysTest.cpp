// Key codes, the track index arrays and the two reduction passes, on samples built directly.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "TZ2_Export/format/AnimationSection.h"
#include "TZ2_Export/geometry/Mat4.h"
#include "TZ2_Export/skeleton/KeyCodes.h"
#include "TZ2_Export/skeleton/KeyReduction.h"
#include "TZ2_Export/skeleton/KeyTrack.h"

namespace tz2 {
namespace {

std::uint16_t Field(const TrackKey& key, int i) {
  return static_cast<std::uint16_t>(key.bytes[2 * i] | (key.bytes[2 * i + 1] << 8));
}

// A turn about Z stored with w ≥ 0, as the samples are.
Quat AroundZ(float angle) {
  const float z = std::sin(angle / 2), w = std::cos(angle / 2);
  return w < 0.0f ? Quat(0.0f, 0.0f, -z, -w) : Quat(0.0f, 0.0f, z, w);
}

std::vector<AnimationSample> Still(int frames) { return std::vector<AnimationSample>(static_cast<std::size_t>(frames)); }

TEST(PositionCodeTest, CodesFollowTheTruncatedHalfPattern) {
  struct Case {
    float c;
    std::uint16_t code;
  } cases[] = {
      {1.5f, 10 * 1024 + 476},           // 1500 = 1024 + 476
      {-1.5f, 32768 + 10 * 1024 + 476},
      {0.0009f, 0},                      // v = 0
      {0.0015f, 0},                      // v = 1 codes like 0
      {-0.0015f, 32768},
      {0.0025f, 1 * 1024 + 0},           // v = 2: e = 1, m = 0
      {0.0035f, 1 * 1024 + 512},         // v = 3: one bit below the leading one, left-aligned
      {2.0475f, 10 * 1024 + 1023},
      {4.0955f, 11 * 1024 + 1023},       // 4095: the lowest bit is truncated away
      {1.0e30f, 30 * 1024 + 1023},       // clamped to the 32-bit range
      {std::nanf(""), 0},
  };
  for (const Case& c : cases) EXPECT_EQ(PositionCode(c.c), c.code) << c.c;
}

TEST(PositionCodeTest, DecodingStaysWithinTheResolution) {
  for (float c : {0.0f, 0.0105f, -0.25f, 1.5f, 3.14159f, -17.3f, 250.0f, 1234.5f}) {
    const float back = DecodePositionCode(PositionCode(c));
    EXPECT_LE(std::fabs(back - c), 0.001f + std::fabs(c) / 1024.0f) << c;
  }
}

TEST(RotationKeyTest, ComponentsRoundHalvesAwayFromZero) {
  EXPECT_EQ(RotationComponent(0.5f / 32767.0f), 1);
  EXPECT_EQ(RotationComponent(-0.5f / 32767.0f), -1);
  EXPECT_EQ(RotationComponent(1.0f), 32767);
  EXPECT_EQ(RotationComponent(-1.0f), -32767);
  const TrackKey key = RotationKey(Quat(0.6f, -0.0f, -0.8f, 0.0f));
  EXPECT_EQ(Field(key, 0), 19660);
  EXPECT_EQ(static_cast<std::int16_t>(Field(key, 2)), -26214);
}

TEST(KeyTrackTest, StillBoneOverTenFramesKeepsFramesZeroEightAndNine) {
  const std::vector<AnimationSample> samples = Still(10);
  const KeyTrack tracks[2] = {ReducePositions(samples.data(), 10), ReduceRotations(samples.data(), 10, 0.01f)};
  for (const KeyTrack& t : tracks) {
    ASSERT_EQ(t.KeyCount(), 3u);
    ASSERT_EQ(t.KeyFrames().Count(), 3);
    EXPECT_EQ(t.KeyFrames().Get(0), 0u);
    EXPECT_EQ(t.KeyFrames().Get(1), 8u);
    EXPECT_EQ(t.KeyFrames().Get(2), 9u);
    ASSERT_EQ(t.GroupIndex().Count(), 2);
    EXPECT_EQ(t.GroupIndex().Get(0), 0u);
    EXPECT_EQ(t.GroupIndex().Get(1), 1u | (1u << 12));
    EXPECT_EQ(t.FrameCounter(), 10);
  }
}

TEST(KeyTrackTest, WritesCountKeysBothArraysAndTheCounter) {
  KeyTrack t;
  for (int f = 0; f < 10; ++f) t.AddFrame(f == 0 || f == 3 || f == 9, PositionKey(Point3(0.002f * f, 0, 0)));
  ByteStream out;
  t.Write(out);
  // 4 + 3 × 6 + (2 + 1 + 2 words) + (2 + 1 + 2 words) + 2
  ASSERT_EQ(out.Size(), 4u + 18u + 11u + 11u + 2u);
  const std::uint8_t* b = out.Buffer();
  EXPECT_EQ(ReadU32(b), 3u);
  EXPECT_EQ(ReadU16(b + 4 + 6), PositionCode(0.006f));
  const std::uint8_t* group = b + 22;
  EXPECT_EQ(ReadU16(group), 2);
  EXPECT_EQ(group[2], 19);
  EXPECT_EQ(ReadU32(group + 3) & 0x7FFFFu, 1u << 14);  // frame 3 has a key: bit 11 + 3
  const std::uint8_t* frames = group + 11;
  EXPECT_EQ(ReadU16(frames), 3);
  EXPECT_EQ(frames[2], 12);
  EXPECT_EQ(ReadU32(frames + 3), 0u | (3u << 12) | (9u << 24));
  EXPECT_EQ(ReadU16(b + out.Size() - 2), 10);
}

TEST(KeyReductionTest, StraightLineAtConstantSpeedKeepsThreePositionKeys) {
  std::vector<AnimationSample> samples(50);
  for (int f = 0; f < 50; ++f) samples[static_cast<std::size_t>(f)].translation = Point3(0.5f, -0.25f, 0.125f) * static_cast<float>(f);
  const KeyTrack t = ReducePositions(samples.data(), 50);
  ASSERT_EQ(t.KeyCount(), 3u);
  EXPECT_EQ(t.KeyFrames().Get(1), 48u);
  EXPECT_EQ(t.KeyFrames().Get(2), 49u);
}

TEST(KeyReductionTest, SlowRotationKeepsFewKeysAtQualityOneAndManyAtFive) {
  const int frames = 60;
  std::vector<AnimationSample> samples(frames);
  // A slowly accelerating turn: interpolating from the last key to the next frame misses
  // frame f by 0.001 × (f − L) radians.
  for (int f = 0; f < frames; ++f) samples[static_cast<std::size_t>(f)].rotation = AroundZ(0.001f * f * f);
  const std::uint32_t loose = ReduceRotations(samples.data(), frames, RotationThreshold(1, 0)).KeyCount();
  const std::uint32_t tight = ReduceRotations(samples.data(), frames, RotationThreshold(5, 0)).KeyCount();
  EXPECT_LE(loose, 12u);
  EXPECT_GE(tight, 55u);
}

TEST(KeyReductionTest, SlowCurvesStayWithinTheToleranceOfTheKeptSegments) {
  // A slow swing: each frame lies close to the line from the last key to the next frame, yet
  // far from the segment between the keys around it unless the segments are checked.
  const int frames = 1000;
  std::vector<AnimationSample> samples(frames);
  for (int f = 0; f < frames; ++f) {
    AnimationSample& s = samples[static_cast<std::size_t>(f)];
    s.translation = Point3(0.0f, 0.0f, 0.5f * std::sin(0.01f * f));
    s.rotation = AroundZ(0.4f * std::sin(0.01f * f));
  }
  const float theta = RotationThreshold(1, 0);
  const KeyTrack position = ReducePositions(samples.data(), frames);
  const KeyTrack rotation = ReduceRotations(samples.data(), frames, theta);
  EXPECT_LT(position.KeyCount(), 100u);
  EXPECT_LT(rotation.KeyCount(), 100u);
  for (const KeyTrack* t : {&position, &rotation}) {
    for (std::uint32_t k = 0; k + 1 < t->KeyCount(); ++k) {
      const int a = static_cast<int>(t->KeyFrames().Get(k)), b = static_cast<int>(t->KeyFrames().Get(k + 1));
      for (int f = a; f <= b; ++f) {
        const float u = static_cast<float>(f - a) / static_cast<float>(b - a);
        const AnimationSample& sa = samples[static_cast<std::size_t>(a)];
        const AnimationSample& sb = samples[static_cast<std::size_t>(b)];
        const AnimationSample& sf = samples[static_cast<std::size_t>(f)];
        if (t == &position)
          EXPECT_LT((sa.translation + (sb.translation - sa.translation) * u - sf.translation).Length(), kPositionTolerance) << f;
        else
          EXPECT_LE(RotationDifference(QuatSlerp(sa.rotation, sb.rotation, u), sf.rotation), 1.0f - std::cos(theta)) << f;
      }
    }
  }
}

TEST(KeyReductionTest, ThresholdFollowsQualityAndSubtreeHeight) {
  EXPECT_FLOAT_EQ(RotationThreshold(3, 0), (2.35612488f / 40.0f) * 0.0055555557f);
  EXPECT_FLOAT_EQ(RotationThreshold(5, 2), (2.35612488f / 100.0f) * 0.0055555557f / 3.0f);
  EXPECT_FLOAT_EQ(RotationThreshold(1, 0), (2.35612488f / 0.5f) * 0.0055555557f);
  EXPECT_FLOAT_EQ(RotationThreshold(0, 0), RotationThreshold(1, 0));
  EXPECT_GT(RotationThreshold(4, 0), RotationThreshold(4, 3));
}

}  // namespace
}  // namespace tz2
