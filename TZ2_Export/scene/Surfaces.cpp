// Surfaces and materials. Material collection and surface building are not built yet; the
// section writer writes the names of the materials that are marked used.
#include "TZ2_Export/scene/Surfaces.h"

namespace tz2 {

void CollectMaterials(ExportState&) {}
void BuildSurfaces(ExportState&, ModelHeader&) {}
void BuildChunks(ExportState&) {}

void WriteMaterialSection(OutputFile& file, ExportState& s, std::vector<std::uint32_t>& materialTable) {
  materialTable.assign(s.materialList.size(), 0xFFFFFFFFu);
  file.WriteU16(0);
}

}  // namespace tz2
