// Field-by-field little-endian (de)serialisation of the 90-byte model header.
#include "TZ2_Export/format/ModelHeader.h"

#include <cstring>

namespace tz2 {
namespace {

void Put16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void PutF(std::uint8_t* p, float f) {
  std::uint32_t v;
  std::memcpy(&v, &f, 4);
  Put32(p, v);
}

std::uint16_t Get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t Get32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
         (std::uint32_t(p[3]) << 24);
}

float GetF(const std::uint8_t* p) {
  const std::uint32_t v = Get32(p);
  float f;
  std::memcpy(&f, &v, 4);
  return f;
}

}  // namespace

float DefaultFov() {
  float f;
  const std::uint32_t bits = kDefaultFovBits;
  std::memcpy(&f, &bits, 4);
  return f;
}

HeaderBytes SerializeHeader(const ModelHeader& h) {
  HeaderBytes b{};
  std::uint8_t* p = b.data();
  Put16(p + kOffMagic, h.magic);
  p[kOffVersion] = h.version;
  p[kOffLevelCount] = h.meshLevelCount;
  Put16(p + kOffFrameCount, h.frameCount);
  Put32(p + kOffMaterialSection, h.materialOffset);
  Put32(p + kOffAnimationSection, h.animationOffset);
  Put32(p + kOffMeshSection, h.meshOffset);
  Put32(p + kOffCameraSection, h.cameraOffset);
  Put32(p + kOffHitMeshSection, h.hitMeshOffset);
  Put32(p + kOffPartsSection, h.partsOffset);
  Put32(p + kOffCollisionSection, h.collisionOffset);
  for (int i = 0; i < 3; ++i) {
    PutF(p + kOffBoundsMin + 4 * i, h.boundsMin[i]);
    PutF(p + kOffBoundsMax + 4 * i, h.boundsMax[i]);
  }
  PutF(p + kOffFov, h.fov);
  Put32(p + kOffFlags, h.flags);
  for (int i = 0; i < 6; ++i) PutF(p + kOffLodDistances + 4 * i, h.lodDistances[i]);
  return b;
}

ModelHeader ParseHeader(const std::uint8_t* p) {
  ModelHeader h;
  h.magic = Get16(p + kOffMagic);
  h.version = p[kOffVersion];
  h.meshLevelCount = p[kOffLevelCount];
  h.frameCount = Get16(p + kOffFrameCount);
  h.materialOffset = Get32(p + kOffMaterialSection);
  h.animationOffset = Get32(p + kOffAnimationSection);
  h.meshOffset = Get32(p + kOffMeshSection);
  h.cameraOffset = Get32(p + kOffCameraSection);
  h.hitMeshOffset = Get32(p + kOffHitMeshSection);
  h.partsOffset = Get32(p + kOffPartsSection);
  h.collisionOffset = Get32(p + kOffCollisionSection);
  for (int i = 0; i < 3; ++i) {
    h.boundsMin[i] = GetF(p + kOffBoundsMin + 4 * i);
    h.boundsMax[i] = GetF(p + kOffBoundsMax + 4 * i);
  }
  h.fov = GetF(p + kOffFov);
  h.flags = Get32(p + kOffFlags);
  for (int i = 0; i < 6; ++i) h.lodDistances[i] = GetF(p + kOffLodDistances + 4 * i);
  return h;
}

}  // namespace tz2
