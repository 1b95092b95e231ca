// The mesh section. Not built yet: no level is written (an empty section).
#include "TZ2_Export/geometry/LodMeshes.h"

namespace tz2 {

void WriteLodMeshes(OutputFile&, ExportState&, const std::vector<std::uint32_t>&, ModelHeader& header) {
  header.meshLevelCount = 0;
}

}  // namespace tz2
