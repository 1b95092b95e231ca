// Literal implementations of welding, batch merging and the vertex cache order (BatchOracle.h).
#include "tests/TZ2_Export/geometry/BatchOracle.h"

#include <algorithm>

namespace oracle {

using namespace tz2;

std::uint32_t Weld(MeshBatch& batch, const BatchVertex& v) {
  for (std::uint32_t i = 0; i < batch.vertices.Count(); ++i)
    if (WeldMatch(batch.vertices[i], v)) return i;
  batch.vertices.Append(v);
  batch.header.vertexRange = batch.header.vertexCount = static_cast<std::uint16_t>(batch.vertices.Count());
  return batch.vertices.Count() - 1;
}

namespace {

bool Eligible(int phase, const MeshBatch& a, const MeshBatch& b) {
  switch (phase) {
    case 1: return a.weightsPerVertex == b.weightsPerVertex;
    case 2: return a.weightsPerVertex == 2 && b.weightsPerVertex == 1 && b.header.vertexRange < 200;
    case 3: return a.weightsPerVertex == 3 && b.weightsPerVertex == 2 && b.header.vertexRange < 100;
    default: return a.weightsPerVertex == 3 && b.weightsPerVertex == 1 && b.header.vertexRange < 100;
  }
}

bool MergeOnce(LodModel& model, const PartRecords& r, int phase) {
  const std::uint32_t n = model.batches.Count();
  float best = 0.0f;
  MeshBatch* ba = nullptr;
  MeshBatch* bb = nullptr;
  for (std::uint32_t i = 0; i < n; ++i)
    for (std::uint32_t j = phase <= 2 ? i + 1 : 0; j < n; ++j) {
      MeshBatch* a = model.batches[i];
      MeshBatch* b = model.batches[j];
      if (a == b || !Eligible(phase, *a, *b)) continue;
      const float s = BatchSimilarity(r, *a, *b);
      if (s > best) {
        best = s, ba = a, bb = b;
        if (phase == 1 && s == 1.0f) goto found;
      }
    }
found:
  if (ba == nullptr) return false;
  MergeInto(model, ba, bb);
  return true;
}

int CountIn(const std::vector<std::uint32_t>& cache, const std::uint32_t* c) {
  int n = 0;
  for (int k = 0; k < 3; ++k) n += std::find(cache.begin(), cache.end(), c[k]) != cache.end() ? 1 : 0;
  return n;
}

struct Fifo {
  std::vector<std::uint32_t> slots;
  std::size_t cursor = 0;
  explicit Fifo(std::size_t n) : slots(n, 0xFFFFFFFFu) {}
  void Push(std::uint32_t v) {
    if (std::find(slots.begin(), slots.end(), v) != slots.end()) return;
    slots[cursor] = v;
    cursor = (cursor + 1) % slots.size();
  }
};

}  // namespace

void MergeBatches(LodModel& model, const PartRecords& r) {
  for (;;) {
    bool merged = false;
    for (int phase = 1; phase <= 4; ++phase)
      while (MergeOnce(model, r, phase)) merged = true;
    if (!merged) return;
  }
}

std::vector<std::uint32_t> TriangleOrder(const GrowArray<BatchTriangle>& triangles, std::uint32_t vertexCount,
                                         bool pushAll, std::vector<std::uint32_t>* newIndex) {
  Fifo small(kSmallCacheSize), large(kLargeCacheSize);
  std::vector<bool> done(triangles.Count(), false);
  if (newIndex != nullptr) newIndex->assign(vertexCount, 0xFFFFFFFFu);
  std::uint32_t next = 0;
  std::vector<std::uint32_t> order;
  for (;;) {
    int bestSmall = -1, bestLarge = -1;
    std::uint32_t chosen = 0;
    for (std::uint32_t t = 0; t < triangles.Count(); ++t) {
      if (done[t]) continue;
      const int s = CountIn(small.slots, triangles[t].v), l = CountIn(large.slots, triangles[t].v);
      if (s > bestSmall || (s == bestSmall && l > bestLarge)) bestSmall = s, bestLarge = l, chosen = t;
    }
    if (bestSmall < 0) return order;
    done[chosen] = true;
    order.push_back(chosen);
    const std::uint32_t* c = triangles[chosen].v;
    for (int k = 0; k < 3; ++k) {
      if (pushAll) {
        small.Push(c[k]);
        continue;
      }
      if ((*newIndex)[c[k]] != 0xFFFFFFFFu) continue;
      (*newIndex)[c[k]] = next++;
      small.Push(c[k]);
      large.Push(c[k]);
    }
    if (pushAll)
      for (int k = 0; k < 3; ++k) large.Push(c[k]);
  }
}

void CacheOrder(MeshBatch& a) {
  const std::uint32_t n = a.vertices.Count();
  std::vector<std::uint32_t> newIndex;
  const std::vector<std::uint32_t> order = TriangleOrder(a.triangles, n, false, &newIndex);
  std::uint32_t next = 0;
  for (std::uint32_t v : newIndex) next += v != 0xFFFFFFFFu ? 1 : 0;
  a.header.vertexRange = static_cast<std::uint16_t>(next);
  for (std::uint32_t& v : newIndex)
    if (v == 0xFFFFFFFFu) v = next++;
  std::vector<BatchTriangle> triangles;
  for (std::uint32_t t : order)
    triangles.push_back({{newIndex[a.triangles[t].v[0]], newIndex[a.triangles[t].v[1]], newIndex[a.triangles[t].v[2]]}});
  std::vector<BatchVertex> vertices(n);
  for (std::uint32_t i = 0; i < n; ++i) vertices[newIndex[i]] = a.vertices[i];
  a.triangles.Clear();
  for (const BatchTriangle& t : triangles) a.triangles.Append(t);
  a.vertices.Clear();
  for (const BatchVertex& v : vertices) a.vertices.Append(v);
  for (MeshBatch* e = a.next; e != nullptr; e = e->next) {
    std::uint32_t range = 1;
    for (BatchTriangle& t : e->triangles)
      for (std::uint32_t& v : t.v) v = newIndex[v], range = std::max(range, v + 1);
    e->header.vertexRange = static_cast<std::uint16_t>(range);
    const std::vector<std::uint32_t> entryOrder = TriangleOrder(e->triangles, n, true, nullptr);
    std::vector<BatchTriangle> reordered;
    for (std::uint32_t t : entryOrder) reordered.push_back(e->triangles[t]);
    e->triangles.Clear();
    for (const BatchTriangle& t : reordered) e->triangles.Append(t);
  }
}

}  // namespace oracle
