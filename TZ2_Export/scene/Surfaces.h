// Surfaces and materials: the material list, the surfaces with their welded vertices,
// normals and weights, the bounding box, the 16-bit chunks and the material section.
#pragma once

#include "TZ2_Export/format/OutputFile.h"
#include "TZ2_Export/shell/ExportState.h"

namespace tz2 {

void CollectMaterials(ExportState& s);
// Builds s.surfaceList and fills the header's bounding box.
void BuildSurfaces(ExportState& s, ModelHeader& header);
void BuildChunks(ExportState& s);
// Writes the material section; materialTable gets, per material list entry, its index in
// the section or 0xFFFFFFFF.
void WriteMaterialSection(OutputFile& file, ExportState& s, std::vector<std::uint32_t>& materialTable);

}  // namespace tz2
