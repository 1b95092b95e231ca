// The animation and camera ports sections as the reader decodes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "TZ2_Export/format/ByteCursor.h"

namespace tz2 {

struct AnimationSection {
  bool decoded = false;
};

struct CameraSection {
  bool decoded = false;
};

// Read the section at the cursor; false with the cursor's error on damage. They leave
// decoded false when they do not decode the section.
bool ReadAnimationSection(ByteCursor& c, std::uint16_t frameCount, AnimationSection& out);
bool ReadCameraSection(ByteCursor& c, std::uint16_t frameCount, std::uint32_t flags, CameraSection& out);

}  // namespace tz2
