// The level-of-detail mesh section as the reader decodes it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "TZ2_Export/format/ByteCursor.h"

namespace tz2 {

struct MeshSection {
  bool decoded = false;
};

// Reads the section at the cursor (levelCount from the header); false with the cursor's
// error on damage. Leaves decoded false when it does not decode this section.
bool ReadMeshSection(ByteCursor& c, std::uint8_t levelCount, MeshSection& out);

}  // namespace tz2
