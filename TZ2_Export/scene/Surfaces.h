// Surfaces and materials: the material list, the surfaces (one per mesh and leaf material)
// with their triangles and welded vertices, normals and weights, the detail triangles, the
// model's bounding box, the 16-bit chunks and the material section.
//
// Steps, as the export driver calls them: CollectMaterials after gathering; BuildSurfaces
// once the bone list holds its candidates (weights name bone list positions); BuildChunks
// after the bone list has its final order; WriteMaterialSection as the file's first section.
// Everything built here is owned by ExportState.
#pragma once

#include <string>

#include "TZ2_Export/format/OutputFile.h"
#include "TZ2_Export/shell/ExportState.h"

namespace tz2 {

// Appends every leaf material of the mesh list's materials that has a diffuse map
// (sub-texmap 1), once each, in first-seen order.
void CollectMaterials(ExportState& s);
// The index of a material in the list, or −1.
int MaterialIndexOf(const std::vector<MaterialEntry>& materials, const Mtl* material);

// Builds s.surfaceList (and the mesh entries' surface indices), fills s.trianglePool from
// the "TAG_DETAIL" mesh and the header's bounding box.
void BuildSurfaces(ExportState& s, ModelHeader& header);
// The header's bounding box (part of BuildSurfaces): from "tag_BBox" when it has a mesh,
// else over every mesh list entry at every exported frame.
void BuildBoundingBox(ExportState& s, ModelHeader& header);

// The weight clean-up of a new vertex: empty becomes {0, 1.0}; sorted largest first; cut
// before the first weight below 0.00001, unless the largest is itself below that, which then
// becomes 1.0 with the list kept whole.
void CleanUpWeights(std::vector<WeightPair>& weights);

// Splits every surface's triangles into chunks of 16-bit addressable vertices with their
// detail coordinates, and marks the materials of chunked triangles used.
void BuildChunks(ExportState& s);
// The packed bones (bytes 0-2) and weights (low byte second, high byte third, relative to
// the sum of the first three) of a vertex's first three weight pairs.
void PackBonesAndWeights(const std::vector<WeightPair>& weights, std::uint32_t& bones, std::uint16_t& packed);

// Writes the material section; materialTable gets, per material list entry, its index in
// the section or 0xFFFFFFFF (for an unused material).
void WriteMaterialSection(OutputFile& file, ExportState& s, std::vector<std::uint32_t>& materialTable);
// A material name as the section stores it: spaces trimmed at both ends, upper case
// (ASCII and the code page 1251 letters), at most 254 bytes so that its length byte with
// the terminating zero fits.
std::string MaterialSectionName(const std::string& name);

}  // namespace tz2
