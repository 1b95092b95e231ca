// The header of a draw batch in the level-of-detail mesh section, as the batch writer fills
// it and the reader decodes it: 42 bytes in the file, little-endian, fields back to back.
#pragma once

#include <cstdint>

namespace tz2 {

inline constexpr int kMaxPalette = 25;
inline constexpr std::uint32_t kBatchHeaderSize = 42;

struct BatchHeader {
  std::uint16_t material = 0;
  std::uint16_t detailMarker = 0;
  std::uint8_t flag = 0;
  std::uint8_t scaleClass = 0;
  std::uint16_t vertexRange = 0;
  std::uint16_t vertexCount = 0;
  std::uint16_t triangleCount = 0;
  std::uint8_t paletteCount = 0;
  std::uint8_t palette[kMaxPalette] = {};  // bone indices; the vertices name palette slots
  std::uint32_t usageMask = 0;
};

}  // namespace tz2
