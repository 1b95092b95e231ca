// The animation and camera section readers: not decoded yet (the sections are only located).
#include "TZ2_Export/format/AnimationSection.h"

namespace tz2 {

bool ReadAnimationSection(ByteCursor&, std::uint16_t, AnimationSection& out) {
  out.decoded = false;
  return true;
}

bool ReadCameraSection(ByteCursor&, std::uint16_t, std::uint32_t, CameraSection& out) {
  out.decoded = false;
  return true;
}

}  // namespace tz2
