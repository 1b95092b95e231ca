// The animation and camera ports sections as the reader decodes them.
//
// Animation: every bone's record (name, parent, part, part root), both tracks as stored
// (keys, group index, key frames, frame counter) and decoded back to one translation and one
// rotation per frame, the bind matrices and the six skeleton map rows. The key of frame F is
// found through the group index in constant time: element F ÷ 8 gives the key holding the
// group's first frame, each set bit 12 .. 11 + (F mod 8) adds one. Between two keys the
// translation is interpolated linearly and the rotation spherically.
//
// Camera ports: the section has no count of its own; its size is the distance to the next
// section. With the header's camera rotation port flag and twice the frame count of entries
// it holds positions then rotations (x, y, z, w ≥ 0 implied); otherwise one entry per frame
// (camera or zero port positions, or the frame centre's movement).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "TZ2_Export/format/ByteCursor.h"

namespace tz2 {

struct AnimationTrack {
  std::vector<std::array<std::uint16_t, 3>> keys;  // raw 16-bit fields
  std::vector<std::uint32_t> groupIndex;           // 19-bit elements
  std::vector<std::uint16_t> keyFrames;            // 12-bit elements
  std::uint16_t frameCounter = 0;
  // The key holding frame F (F below the frame counter), through the group index.
  std::uint32_t KeyOfFrame(std::uint32_t frame) const;
};

struct AnimationBone {
  std::string name;  // up to 19 bytes
  std::uint8_t parent = 0xFF;
  std::uint8_t part = 0;
  std::uint8_t partRoot = 0xFF;
  AnimationTrack position;
  AnimationTrack rotation;
  // Decoded, one per frame.
  std::vector<std::array<float, 3>> translations;
  std::vector<std::array<float, 4>> rotations;  // x, y, z, w
  float inverseBind[16] = {};
  float bind[16] = {};
};

struct AnimationSection {
  bool decoded = false;
  std::vector<AnimationBone> bones;
  std::array<std::vector<std::uint8_t>, 6> maps;  // bone count bytes each
  // (mean position keys per frame + mean rotation keys per frame) × 6 × 8.333333, as the
  // export report prints it; 0 without bones.
  float CompressionRatio(std::uint16_t frameCount) const;
};

struct CameraSection {
  bool decoded = false;
  bool hasRotation = false;
  std::vector<std::array<float, 3>> positions;  // per frame
  std::vector<std::array<float, 3>> rotations;  // per frame, x, y, z
};

// The decoded value of a position code (millimetre steps: the code's value ÷ 1000).
float DecodePositionCode(std::uint16_t code);

// Read the section at the cursor; false with the cursor's error on damage.
bool ReadAnimationSection(ByteCursor& c, std::uint16_t frameCount, AnimationSection& out);
// sectionEnd: the file offset where the next section starts.
bool ReadCameraSection(ByteCursor& c, std::uint16_t frameCount, std::uint32_t flags, std::size_t sectionEnd,
                       CameraSection& out);

}  // namespace tz2
