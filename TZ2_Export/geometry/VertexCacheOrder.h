// Vertex cache order: reorders a base batch's triangles and vertices for a small FIFO vertex
// cache, and each of its level entries' triangles likewise.
//
// The triangle taken next is the one, among those not yet taken, with the most corners in a
// 15-entry FIFO cache, then the most in a 100-entry FIFO cache, the first in list order on
// ties. Base batch: each corner seen for the first time gets the next new index and is pushed
// into both caches; vertices no base triangle uses follow in array order; the vertex array is
// permuted to the new indices. Level entry: indices are only mapped, every chosen triangle's
// three corners are pushed. Corner counts are kept per triangle and updated when a vertex enters
// or leaves a cache, and triangles wait in one queue per (small, large) count pair, so each
// choice costs a logarithm instead of a scan of all triangles.
#pragma once

#include <cstdint>
#include <vector>

#include "TZ2_Export/geometry/RenderBatches.h"

namespace tz2 {

inline constexpr std::uint32_t kSmallCacheSize = 15;
inline constexpr std::uint32_t kLargeCacheSize = 100;

void VertexCacheOrder(MeshBatch& a);

// The order in which the rule takes the triangles (indices into `triangles`) over vertices
// 0 to vertexCount − 1; pushAll selects the level entry's push rule. For the base rule,
// `newIndex` receives each vertex's new index (kNoIndex for vertices no triangle uses).
std::vector<std::uint32_t> CacheOrder(const GrowArray<BatchTriangle>& triangles, std::uint32_t vertexCount,
                                      bool pushAll, std::vector<std::uint32_t>* newIndex);

}  // namespace tz2
