// Plain, literal implementations of the searching steps of the mesh section: welding by a scan
// of the batch's vertices, batch merging by a fresh scan of all pairs per merge, and the vertex
// cache order by a scan of all triangles per choice. The tests compare the fast code with them.
#pragma once

#include <cstdint>
#include <vector>

#include "TZ2_Export/geometry/LodMeshes.h"
#include "TZ2_Export/geometry/VertexCacheOrder.h"

namespace oracle {

std::uint32_t Weld(tz2::MeshBatch& batch, const tz2::BatchVertex& v);
void MergeBatches(tz2::LodModel& model, const tz2::PartRecords& r);
void CacheOrder(tz2::MeshBatch& a);
// The order in which the rule takes the triangles; for the base rule `newIndex` gets each
// vertex's new index (0xFFFFFFFF for unused ones).
std::vector<std::uint32_t> TriangleOrder(const GrowArray<tz2::BatchTriangle>& triangles, std::uint32_t vertexCount,
                                         bool pushAll, std::vector<std::uint32_t>* newIndex);

inline tz2::LodHooks Hooks() { return {&Weld, &MergeBatches, &CacheOrder}; }

}  // namespace oracle
