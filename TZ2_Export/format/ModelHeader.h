// ModelHeader: the 90-byte header at the start of every TZ2 file.
//
// Little-endian, packed: the 32-bit fields start at odd offsets (6, 10, ..., 30), so the
// header is serialised field by field, never copied as a struct. It is written twice: once
// with the section offsets at 0 before the sections, and again at the end with every offset
// and the mesh level count.
#pragma once

#include <array>
#include <cstdint>

namespace tz2 {

inline constexpr std::uint16_t kModelMagic = 0x4569;
inline constexpr std::uint8_t kModelVersion = 6;
inline constexpr std::size_t kModelHeaderSize = 90;
inline constexpr std::uint32_t kFlagTwoSidedLighting = 2;
inline constexpr std::uint32_t kFlagCameraRotationPort = 8;
// The field of view without a "tag_Camera" node: the float with bits 3FC90FD8.
inline constexpr std::uint32_t kDefaultFovBits = 0x3FC90FD8u;
inline constexpr float kBoundsEmptyMin = 10000000000.0f;
inline constexpr float kBoundsEmptyMax = -10000000000.0f;
inline constexpr std::array<float, 6> kDefaultLodDistances = {1000, 1500, 2000, 2500, 3500, 15000};

// Offsets of the header's fields.
enum HeaderOffset : std::size_t {
  kOffMagic = 0,
  kOffVersion = 2,
  kOffLevelCount = 3,
  kOffFrameCount = 4,
  kOffMaterialSection = 6,
  kOffAnimationSection = 10,
  kOffMeshSection = 14,
  kOffCameraSection = 18,
  kOffHitMeshSection = 22,
  kOffPartsSection = 26,
  kOffCollisionSection = 30,
  kOffBoundsMin = 34,
  kOffBoundsMax = 46,
  kOffFov = 58,
  kOffFlags = 62,
  kOffLodDistances = 66,
};

struct ModelHeader {
  std::uint16_t magic = 0;
  std::uint8_t version = 0;
  std::uint8_t meshLevelCount = 0;
  std::uint16_t frameCount = 0;
  std::uint32_t materialOffset = 0;
  std::uint32_t animationOffset = 0;
  std::uint32_t meshOffset = 0;
  std::uint32_t cameraOffset = 0;
  std::uint32_t hitMeshOffset = 0;
  std::uint32_t partsOffset = 0;
  std::uint32_t collisionOffset = 0;
  float boundsMin[3] = {0, 0, 0};
  float boundsMax[3] = {0, 0, 0};
  float fov = 0;
  std::uint32_t flags = 0;
  float lodDistances[6] = {0, 0, 0, 0, 0, 0};
};

using HeaderBytes = std::array<std::uint8_t, kModelHeaderSize>;

HeaderBytes SerializeHeader(const ModelHeader& header);
ModelHeader ParseHeader(const std::uint8_t* bytes);  // reads exactly 90 bytes

// The float whose bits are 3FC90FD8 (1.5707960).
float DefaultFov();

}  // namespace tz2
