// Field-by-field little-endian (de)serialisation of the 90-byte model header.
#include "TZ2_Export/format/ModelHeader.h"

#include "collect/ByteStream.h"

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
  h.magic = ReadU16(p + kOffMagic);
  h.version = p[kOffVersion];
  h.meshLevelCount = p[kOffLevelCount];
  h.frameCount = ReadU16(p + kOffFrameCount);
  h.materialOffset = ReadU32(p + kOffMaterialSection);
  h.animationOffset = ReadU32(p + kOffAnimationSection);
  h.meshOffset = ReadU32(p + kOffMeshSection);
  h.cameraOffset = ReadU32(p + kOffCameraSection);
  h.hitMeshOffset = ReadU32(p + kOffHitMeshSection);
  h.partsOffset = ReadU32(p + kOffPartsSection);
  h.collisionOffset = ReadU32(p + kOffCollisionSection);
  for (int i = 0; i < 3; ++i) {
    h.boundsMin[i] = ReadF32(p + kOffBoundsMin + 4 * i);
    h.boundsMax[i] = ReadF32(p + kOffBoundsMax + 4 * i);
  }
  h.fov = ReadF32(p + kOffFov);
  h.flags = ReadU32(p + kOffFlags);
  for (int i = 0; i < 6; ++i) h.lodDistances[i] = ReadF32(p + kOffLodDistances + 4 * i);
  return h;
}

}  // namespace tz2
