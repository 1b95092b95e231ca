// The animation and camera ports section readers (see AnimationSection.h). Every count is
// checked against the bytes left before it is used, every track's index arrays are checked
// against each other (widths, counts, key frame order, the key the group index gives for
// every frame), and the block size must match what the two tracks occupy.
#include "TZ2_Export/format/AnimationSection.h"

#include <bit>
#include <cmath>

#include "TZ2_Export/geometry/Mat4.h"
#include "TZ2_Export/format/ModelHeader.h"

namespace tz2 {
namespace {

constexpr std::uint8_t kGroupWidth = 19;
constexpr std::uint8_t kKeyFrameWidth = 12;

std::string BoneLabel(std::size_t i) { return "bone " + std::to_string(i); }

// A packed bit array as written: u16 count, u8 width, the words covering the elements.
template <class T>
bool ReadPacked(ByteCursor& c, std::uint8_t expectedWidth, std::vector<T>& out, const std::string& what) {
  const std::uint16_t count = c.U16("packed array count");
  const std::uint8_t width = c.U8("packed array width");
  if (!c.Ok()) return false;
  if (width != expectedWidth) {
    c.Fail(what + " has width " + std::to_string(width) + ", expected " + std::to_string(expectedWidth), 0);
    return false;
  }
  const std::uint32_t words = (static_cast<std::uint32_t>(count) * width + 31) / 32;
  if (!c.Need(words, 4, "packed array words")) return false;
  std::vector<std::uint32_t> bits(words);
  for (std::uint32_t& w : bits) w = c.U32("packed array word");
  const std::uint64_t mask = (std::uint64_t{1} << width) - 1;
  out.resize(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint64_t first = static_cast<std::uint64_t>(i) * width;
    const std::uint32_t w = static_cast<std::uint32_t>(first / 32), shift = static_cast<std::uint32_t>(first % 32);
    std::uint64_t v = bits[w] >> shift;
    if (shift + width > 32) v |= static_cast<std::uint64_t>(bits[w + 1]) << (32 - shift);
    out[i] = static_cast<T>(v & mask);
  }
  return c.Ok();
}

// Checks a track's arrays against each other and the frame count.
bool CheckTrack(ByteCursor& c, const AnimationTrack& t, std::uint16_t frameCount, const std::string& what) {
  auto fail = [&](const std::string& problem) {
    c.Fail(what + ": " + problem, 0);
    return false;
  };
  if (t.frameCounter != frameCount)
    return fail("frame counter " + std::to_string(t.frameCounter) + " is not the header's frame count " +
                std::to_string(frameCount));
  if (t.keyFrames.size() != t.keys.size())
    return fail(std::to_string(t.keyFrames.size()) + " key frames for " + std::to_string(t.keys.size()) + " keys");
  if (t.groupIndex.size() != (frameCount + 7u) / 8u)
    return fail(std::to_string(t.groupIndex.size()) + " group index elements for " + std::to_string(frameCount) +
                " frames");
  if (frameCount == 0) return true;
  if (t.keys.empty() || t.keyFrames[0] != 0) return fail("frame 0 has no key");
  for (std::size_t k = 1; k < t.keyFrames.size(); ++k)
    if (t.keyFrames[k] <= t.keyFrames[k - 1] || t.keyFrames[k] >= frameCount)
      return fail("key " + std::to_string(k) + " is made at frame " + std::to_string(t.keyFrames[k]) +
                  ", out of order or past the range");
  for (std::uint32_t f = 0; f < frameCount; ++f) {
    const std::uint32_t k = t.KeyOfFrame(f);
    const bool holds = k < t.keys.size() && t.keyFrames[k] <= f && (k + 1 == t.keys.size() || t.keyFrames[k + 1] > f);
    if (!holds) return fail("the group index gives key " + std::to_string(k) + " for frame " + std::to_string(f));
  }
  return true;
}

bool ReadTrack(ByteCursor& c, std::uint16_t frameCount, AnimationTrack& t, const std::string& what) {
  const std::uint32_t keyCount = c.U32("track key count");
  if (!c.Need(keyCount, 6, "track keys")) return false;
  t.keys.resize(keyCount);
  for (auto& key : t.keys)
    for (std::uint16_t& v : key) v = c.U16("track key");
  if (!ReadPacked(c, kGroupWidth, t.groupIndex, what + " group index")) return false;
  if (!ReadPacked(c, kKeyFrameWidth, t.keyFrames, what + " key frames")) return false;
  t.frameCounter = c.U16("track frame counter");
  return c.Ok() && CheckTrack(c, t, frameCount, what);
}

std::array<float, 3> PositionOfKey(const std::array<std::uint16_t, 3>& key) {
  return {DecodePositionCode(key[0]), DecodePositionCode(key[1]), DecodePositionCode(key[2])};
}

Quat RotationOfKey(const std::array<std::uint16_t, 3>& key) {
  const float x = static_cast<std::int16_t>(key[0]) / 32767.0f;
  const float y = static_cast<std::int16_t>(key[1]) / 32767.0f;
  const float z = static_cast<std::int16_t>(key[2]) / 32767.0f;
  return Quat(x, y, z, std::sqrt(std::fmax(0.0f, 1.0f - x * x - y * y - z * z)));
}

// The fraction of frame f between the key holding it and the next key (0 at or past the last).
float Between(const AnimationTrack& t, std::uint32_t k, std::uint32_t f) {
  if (k + 1 >= t.keys.size()) return 0.0f;
  return static_cast<float>(f - t.keyFrames[k]) / static_cast<float>(t.keyFrames[k + 1] - t.keyFrames[k]);
}

void DecodeTracks(std::uint16_t frameCount, AnimationBone& b) {
  b.translations.resize(frameCount);
  b.rotations.resize(frameCount);
  for (std::uint32_t f = 0; f < frameCount; ++f) {
    const std::uint32_t kp = b.position.KeyOfFrame(f);
    const float sp = Between(b.position, kp, f);
    const std::array<float, 3> p0 = PositionOfKey(b.position.keys[kp]);
    const std::array<float, 3> p1 = sp > 0.0f ? PositionOfKey(b.position.keys[kp + 1]) : p0;
    for (int i = 0; i < 3; ++i) b.translations[f][i] = p0[i] + (p1[i] - p0[i]) * sp;

    const std::uint32_t kr = b.rotation.KeyOfFrame(f);
    const float sr = Between(b.rotation, kr, f);
    Quat q = RotationOfKey(b.rotation.keys[kr]);
    if (sr > 0.0f) q = QuatSlerp(q, RotationOfKey(b.rotation.keys[kr + 1]), sr);
    b.rotations[f] = {q.x, q.y, q.z, q.w};
  }
}

bool ReadBone(ByteCursor& c, std::size_t i, std::uint16_t frameCount, AnimationBone& b) {
  b.name = c.FixedText(20, "bone name");
  b.parent = c.U8("bone parent");
  b.part = c.U8("bone part");
  b.partRoot = c.U8("bone part root");
  const std::uint32_t blockSize = c.U32("bone block size");
  if (!c.Ok()) return false;
  if (b.parent != 0xFF && b.parent >= i) {
    c.Fail(BoneLabel(i) + " has parent " + std::to_string(b.parent) + ", which does not precede it", 0);
    return false;
  }
  const std::size_t blockStart = c.Position();
  if (!c.Need(blockSize, 1, "bone block")) return false;
  if (!ReadTrack(c, frameCount, b.position, BoneLabel(i) + " position track")) return false;
  if (!ReadTrack(c, frameCount, b.rotation, BoneLabel(i) + " rotation track")) return false;
  if (c.Position() - blockStart != blockSize) {
    c.Fail(BoneLabel(i) + " block size " + std::to_string(blockSize) + " differs from its tracks' " +
               std::to_string(c.Position() - blockStart) + " byte(s)", 0);
    return false;
  }
  DecodeTracks(frameCount, b);
  return true;
}

}  // namespace

std::uint32_t AnimationTrack::KeyOfFrame(std::uint32_t frame) const {
  const std::uint32_t g = groupIndex[frame / 8];
  const std::uint32_t below = (frame % 8) == 0 ? 0u : ((1u << (frame % 8)) - 1u) << 12;  // bits 12 .. 11 + F mod 8
  return (g & 0x7FFu) + static_cast<std::uint32_t>(std::popcount(g & below));
}

float AnimationSection::CompressionRatio(std::uint16_t frameCount) const {
  if (bones.empty() || frameCount == 0) return 0.0f;
  float position = 0.0f, rotation = 0.0f;
  for (const AnimationBone& b : bones) {
    position += static_cast<float>(b.position.keys.size()) / frameCount;
    rotation += static_cast<float>(b.rotation.keys.size()) / frameCount;
  }
  const float n = static_cast<float>(bones.size());
  return (position / n + rotation / n) * 6.0f * 8.333333f;
}

float DecodePositionCode(std::uint16_t code) {
  const int e = (code >> 10) & 31;
  const int m = code & 1023;
  if (e == 0 && m == 0) return 0.0f;
  const float magnitude = std::ldexp(static_cast<float>(1024 + m), e - 10) / 1000.0f;
  return (code & 0x8000u) != 0 ? -magnitude : magnitude;
}

bool ReadAnimationSection(ByteCursor& c, std::uint16_t frameCount, AnimationSection& out) {
  const std::uint8_t count = c.U8("bone count");
  if (!c.Need(count, 27, "bone records")) return false;
  out.bones.resize(count);
  for (std::size_t i = 0; i < count; ++i)
    if (!ReadBone(c, i, frameCount, out.bones[i])) return false;
  if (!c.Need(count, 128, "bind matrices")) return false;
  for (AnimationBone& b : out.bones) {
    for (float& v : b.inverseBind) v = c.F32("inverse bind matrix");
    for (float& v : b.bind) v = c.F32("bind matrix");
  }
  for (std::size_t level = 0; level < 6 && c.Ok(); ++level) {
    out.maps[level] = c.Bytes(count, "skeleton map row");
    for (std::size_t i = 0; i < out.maps[level].size(); ++i)
      if (out.maps[level][i] >= count) {
        c.Fail("skeleton map row " + std::to_string(level) + " sends bone " + std::to_string(i) + " to " +
                   std::to_string(out.maps[level][i]) + ", not a bone",
               0);
        break;
      }
  }
  out.decoded = c.Ok();
  return c.Ok();
}

bool ReadCameraSection(ByteCursor& c, std::uint16_t frameCount, std::uint32_t flags, std::size_t sectionEnd,
                       CameraSection& out) {
  if (sectionEnd < c.Position()) {
    c.Fail("the next section starts before the camera section", 0);
    return false;
  }
  const std::size_t size = sectionEnd - c.Position();
  if (size % 12 != 0) {
    c.Fail("camera section size " + std::to_string(size) + " is not a whole number of 12-byte entries", 0);
    return false;
  }
  const std::size_t entries = size / 12;
  if (!c.Need(entries, 12, "camera entries")) return false;
  const bool rotationFlag = (flags & kFlagCameraRotationPort) != 0;
  out.hasRotation = rotationFlag && entries != 0 && entries % 2 == 0 &&
                    (frameCount == 0 || entries == 2u * frameCount);
  const std::size_t positions = out.hasRotation ? entries / 2 : entries;
  if (frameCount != 0 && positions != frameCount) {
    c.Fail("camera section holds " + std::to_string(entries) + " entries, not one per frame of " +
               std::to_string(frameCount) + (rotationFlag ? " (or two with the rotation port)" : ""),
           0);
    return false;
  }
  auto readEntries = [&](std::size_t n, std::vector<std::array<float, 3>>& into) {
    into.resize(n);
    for (auto& e : into)
      for (float& v : e) v = c.F32("camera entry");
  };
  readEntries(positions, out.positions);
  readEntries(entries - positions, out.rotations);
  out.decoded = c.Ok();
  return c.Ok();
}

}  // namespace tz2
