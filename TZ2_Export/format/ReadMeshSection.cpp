// The mesh section reader: not decoded yet (the section is only located).
#include "TZ2_Export/format/MeshSection.h"

namespace tz2 {

bool ReadMeshSection(ByteCursor&, std::uint8_t, MeshSection& out) {
  out.decoded = false;
  return true;
}

}  // namespace tz2
