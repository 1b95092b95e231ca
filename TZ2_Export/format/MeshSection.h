// The level-of-detail mesh section as the reader decodes it: the base batches by skin class
// (header, triangles, vertices) and, per level after the base, each base batch's level entry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "TZ2_Export/format/BatchHeader.h"
#include "TZ2_Export/format/ByteCursor.h"

namespace tz2 {

struct MeshVertex {
  float position[3] = {0, 0, 0};
  float weights[3] = {0, 0, 0};  // all of the class's weights, the last one 1 − the stored ones
  std::uint8_t bones[4] = {0, 0, 0, 0};  // palette slots
  float normal[3] = {0, 0, 0};
  float uv[2][2] = {{0, 0}, {0, 0}};  // uv0, uv1 (uv1 only with two channels)
};

struct MeshEntry {
  BatchHeader header;
  std::vector<std::uint16_t> indices;  // 3 per triangle
};

struct MeshBaseBatch {
  int skinClass = 0;  // 0 to 5: (weights − 1) × 2 + (channels − 1)
  BatchHeader header;
  std::vector<std::uint16_t> indices;  // 3 per triangle
  std::vector<MeshVertex> vertices;
  std::vector<MeshEntry> levels;  // entry l − 1 holds level l + 1
};

struct MeshSection {
  bool decoded = false;
  std::uint32_t byteCount = 0;
  std::uint16_t classCounts[6] = {0, 0, 0, 0, 0, 0};
  std::uint16_t levelsAfterBase = 0;
  std::vector<MeshBaseBatch> batches;  // file order
};

// Reads the section at the cursor (levelCount from the header); false with the cursor's
// error on damage. Leaves decoded false when it does not decode this section.
bool ReadMeshSection(ByteCursor& c, std::uint8_t levelCount, MeshSection& out);

}  // namespace tz2
