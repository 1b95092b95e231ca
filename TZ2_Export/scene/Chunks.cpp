// Chunks: each surface's triangles, in order, go to the first of the surface's chunks that
// accepts them (a new chunk when none does). A chunk holds at most 65535 triangles, stays
// below 65535 vertices, and its triangles either all carry detail texture coordinates or
// none does (the first triangle decides). A triangle carries them when a detail triangle of
// the pool matches its world corners (DetailMatching.h). Chunk vertices are reused when the
// source surface vertex, the packed weights and the detail coordinates are the same (the
// search is keyed by source, VertexWelding.h). Chunked triangles mark their material used.
#include <algorithm>
#include <cmath>

#include "TZ2_Export/scene/DetailMatching.h"
#include "TZ2_Export/scene/Surfaces.h"
#include "TZ2_Export/scene/VertexWelding.h"
#include "host/INode.h"
#include "host/Time.h"

namespace tz2 {

namespace {

constexpr std::uint32_t kMaxChunkTriangles = 65535;
constexpr std::uint32_t kChunkVertexLimit = 65535;

// A chunk being filled, with its vertex reuse index.
struct ChunkFill {
  OrderedBuckets reuse;  // chunk vertices keyed by source
};

// What a triangle brings to a chunk: its three candidate vertices and its detail state.
struct TriangleCandidate {
  ChunkVertex corners[3];
  bool hasDetail = false;
};

ChunkVertex CandidateVertex(const Surface& surface, std::uint32_t source) {
  const SurfaceVertex& sv = surface.vertices[source];
  ChunkVertex cv;
  cv.source = source;
  for (int a = 0; a < 3; ++a) {
    cv.position[a] = sv.position[a];
    cv.normal[a] = sv.normal[a];
  }
  PackBonesAndWeights(sv.weights, cv.bones, cv.weights);
  cv.u = sv.u;
  cv.v = sv.v;
  return cv;
}

TriangleCandidate MakeCandidate(const Surface& surface, const SurfaceTriangle& tri, const Matrix3& tm,
                                const DetailMatcher& detail) {
  TriangleCandidate c;
  for (int k = 0; k < 3; ++k) c.corners[k] = CandidateVertex(surface, tri.corners[k]);
  const Point3 world[3] = {tri.objectPositions[0] * tm, tri.objectPositions[1] * tm, tri.objectPositions[2] * tm};
  float uv[3][2];
  if (detail.Match(world, uv)) {
    c.hasDetail = true;
    for (int k = 0; k < 3; ++k) {
      c.corners[k].detailU = uv[k][0];
      c.corners[k].detailV = uv[k][1];
    }
  }
  return c;
}

bool SameChunkVertex(const ChunkVertex& a, const ChunkVertex& b) {
  return a.source == b.source && a.weights == b.weights && a.detailU == b.detailU && a.detailV == b.detailV;
}

// Puts the triangle into the chunk when the chunk accepts it.
bool TryAddToChunk(SurfaceChunk& chunk, ChunkFill& fill, std::uint32_t triangleIndex, const TriangleCandidate& c) {
  if (chunk.TriangleCount() >= kMaxChunkTriangles) return false;
  if (chunk.sourceTriangles.empty())
    chunk.hasDetail = c.hasDetail ? 1 : 0;
  else if ((chunk.hasDetail != 0) != c.hasDetail)
    return false;
  if (chunk.VertexCount() + 3 >= kChunkVertexLimit) return false;

  chunk.sourceTriangles.push_back(triangleIndex);
  for (const ChunkVertex& candidate : c.corners) {
    std::uint32_t index = fill.reuse.FindFirst(
        candidate.source, [&](std::uint32_t i) { return SameChunkVertex(chunk.vertices[i], candidate); });
    if (index == OrderedBuckets::kNone) {
      index = chunk.VertexCount();
      chunk.vertices.push_back(candidate);
      fill.reuse.Add(candidate.source);
    }
    chunk.corners.push_back(index);
  }
  return true;
}

void ChunkSurface(ExportState& s, Surface& surface, const DetailMatcher& detail, TimeValue firstTime) {
  surface.chunks.clear();
  if (surface.triangles.empty()) return;
  INode* node = surface.meshIndex < s.meshList.Count() ? s.meshList[surface.meshIndex].node : nullptr;
  const Matrix3 tm = node != nullptr ? node->GetObjTMAfterWSM(firstTime) : Matrix3();
  std::vector<ChunkFill> fills;
  for (std::uint32_t t = 0; t < surface.triangles.size(); ++t) {
    const TriangleCandidate c = MakeCandidate(surface, surface.triangles[t], tm, detail);
    bool placed = false;
    for (std::size_t k = 0; k < surface.chunks.size() && !placed; ++k) placed = TryAddToChunk(surface.chunks[k], fills[k], t, c);
    if (!placed) {
      surface.chunks.emplace_back();
      fills.emplace_back();
      TryAddToChunk(surface.chunks.back(), fills.back(), t, c);
    }
    if (surface.materialIndex < s.materialList.size()) s.materialList[surface.materialIndex].used = 1;
  }
}

}  // namespace

void PackBonesAndWeights(const std::vector<WeightPair>& weights, std::uint32_t& bones, std::uint16_t& packed) {
  bones = 0;
  packed = 0;
  const std::size_t n = std::min<std::size_t>(weights.size(), 3);
  float sum = 0.0f;
  for (std::size_t i = 0; i < n; ++i) {
    bones |= (weights[i].bone & 0xFFu) << (8 * i);
    sum += weights[i].weight;
  }
  if (!(sum > 0.0f)) return;
  auto relative = [&](std::size_t i) -> std::uint16_t {
    if (i >= n) return 0;
    const float w = weights[i].weight / sum * 255.0f;
    if (!(w > 0.0f)) return 0;
    return static_cast<std::uint16_t>(w >= 255.0f ? 255 : static_cast<int>(w));
  };
  packed = static_cast<std::uint16_t>(relative(1) | (relative(2) << 8));
}

void BuildChunks(ExportState& s) {
  const DetailMatcher detail(s.trianglePool);
  const TimeValue firstTime = s.firstFrame * GetTicksPerFrame();
  for (Surface& surface : s.surfaceList) ChunkSurface(s, surface, detail, firstTime);
}

}  // namespace tz2
