// Vertex cache order with incremental corner counts (see VertexCacheOrder.h).
#include "TZ2_Export/geometry/VertexCacheOrder.h"

#include <algorithm>
#include <functional>

namespace tz2 {

namespace {

constexpr std::uint32_t kNone = 0xFFFFFFFFu;

// The triangles waiting to be taken and their corner counts in the two caches.
class TriangleQueue {
 public:
  TriangleQueue(const GrowArray<BatchTriangle>& triangles, std::uint32_t vertexCount)
      : small_(triangles.Count(), 0), large_(triangles.Count(), 0), done_(triangles.Count(), 0) {
    // Corner occurrences per vertex, one entry per corner (a repeated corner counts twice).
    first_.assign(vertexCount + 1, 0);
    for (const BatchTriangle& t : triangles)
      for (std::uint32_t v : t.v) ++first_[v + 1];
    for (std::uint32_t v = 0; v < vertexCount; ++v) first_[v + 1] += first_[v];
    uses_.resize(first_[vertexCount]);
    std::vector<std::uint32_t> fill(first_.begin(), first_.end() - 1);
    for (std::uint32_t i = 0; i < triangles.Count(); ++i)
      for (std::uint32_t v : triangles[i].v) uses_[fill[v]++] = i;
    // All triangles start with no corner cached; an ascending array is a valid min-heap.
    heaps_[0].resize(triangles.Count());
    for (std::uint32_t i = 0; i < triangles.Count(); ++i) heaps_[0][i] = i;
  }

  // The triangle to take next, or kNone; it is marked done.
  std::uint32_t Take() {
    for (int key = 15; key >= 0; --key) {
      std::vector<std::uint32_t>& h = heaps_[key];
      while (!h.empty() && (done_[h.front()] || Key(h.front()) != key)) Pop(h);
      if (h.empty()) continue;
      const std::uint32_t t = h.front();
      Pop(h);
      done_[t] = 1;
      return t;
    }
    return kNone;
  }

  // A vertex entered (+1) or left (−1) the small or the large cache.
  void Count(std::uint32_t v, bool small, int delta) {
    for (std::uint32_t i = first_[v]; i < first_[v + 1]; ++i) {
      const std::uint32_t t = uses_[i];
      if (done_[t]) continue;
      (small ? small_[t] : large_[t]) += static_cast<std::uint8_t>(delta);
      std::vector<std::uint32_t>& h = heaps_[Key(t)];
      h.push_back(t);
      std::push_heap(h.begin(), h.end(), std::greater<>());
    }
  }

 private:
  int Key(std::uint32_t t) const { return std::min<int>(small_[t], 3) * 4 + std::min<int>(large_[t], 3); }
  static void Pop(std::vector<std::uint32_t>& h) {
    std::pop_heap(h.begin(), h.end(), std::greater<>());
    h.pop_back();
  }

  std::vector<std::uint8_t> small_, large_, done_;
  std::vector<std::uint32_t> first_, uses_;
  std::vector<std::uint32_t> heaps_[16];
};

// A FIFO cache of vertex indices; pushing a present vertex does nothing.
class Fifo {
 public:
  Fifo(std::uint32_t size, std::uint32_t vertexCount, bool small, TriangleQueue& queue)
      : slots_(size, kNone), present_(vertexCount, 0), small_(small), queue_(queue) {}

  void Push(std::uint32_t v) {
    if (present_[v]) return;
    cursor_ = (cursor_ + 1) % slots_.size();
    const std::uint32_t evicted = slots_[cursor_];
    if (evicted != kNone) {
      present_[evicted] = 0;
      queue_.Count(evicted, small_, -1);
    }
    slots_[cursor_] = v;
    present_[v] = 1;
    queue_.Count(v, small_, +1);
  }

 private:
  std::vector<std::uint32_t> slots_;
  std::vector<std::uint8_t> present_;
  std::size_t cursor_ = static_cast<std::size_t>(-1);
  bool small_;
  TriangleQueue& queue_;
};

}  // namespace

std::vector<std::uint32_t> CacheOrder(const GrowArray<BatchTriangle>& triangles, std::uint32_t vertexCount,
                                      bool pushAll, std::vector<std::uint32_t>* newIndex) {
  TriangleQueue queue(triangles, vertexCount);
  Fifo small(kSmallCacheSize, vertexCount, true, queue);
  Fifo large(kLargeCacheSize, vertexCount, false, queue);
  if (newIndex != nullptr) newIndex->assign(vertexCount, kNone);
  std::uint32_t next = 0;
  std::vector<std::uint32_t> order;
  order.reserve(triangles.Count());
  for (std::uint32_t t = queue.Take(); t != kNone; t = queue.Take()) {
    order.push_back(t);
    const std::uint32_t* c = triangles[t].v;
    if (pushAll) {
      for (int k = 0; k < 3; ++k) small.Push(c[k]);
      for (int k = 0; k < 3; ++k) large.Push(c[k]);
      continue;
    }
    for (int k = 0; k < 3; ++k) {
      if ((*newIndex)[c[k]] != kNone) continue;
      (*newIndex)[c[k]] = next++;
      small.Push(c[k]);
      large.Push(c[k]);
    }
  }
  return order;
}

void VertexCacheOrder(MeshBatch& a) {
  const std::uint32_t n = a.vertices.Count();
  std::vector<std::uint32_t> newIndex;
  const std::vector<std::uint32_t> order = CacheOrder(a.triangles, n, false, &newIndex);
  std::uint32_t next = 0;
  for (std::uint32_t v : newIndex) next += v != kNone ? 1 : 0;
  a.header.vertexRange = static_cast<std::uint16_t>(next);
  for (std::uint32_t& v : newIndex)
    if (v == kNone) v = next++;

  GrowArray<BatchTriangle> triangles;
  triangles.Reserve(a.triangles.Count());
  for (std::uint32_t t : order) {
    const BatchTriangle& o = a.triangles[t];
    triangles.Append(BatchTriangle{{newIndex[o.v[0]], newIndex[o.v[1]], newIndex[o.v[2]]}});
  }
  a.triangles = std::move(triangles);
  GrowArray<BatchVertex> vertices;
  vertices.Reserve(n);
  for (std::uint32_t i = 0; i < n; ++i) vertices.Append(a.vertices[0]);
  for (std::uint32_t i = 0; i < n; ++i) vertices[newIndex[i]] = a.vertices[i];
  a.vertices = std::move(vertices);
  a.grid.Clear();
  a.gridCount = 0;

  for (MeshBatch* e = a.next; e != nullptr; e = e->next) {
    std::uint32_t range = 0;
    for (BatchTriangle& t : e->triangles)
      for (std::uint32_t& v : t.v) v = newIndex[v], range = std::max(range, v + 1);
    e->header.vertexRange = static_cast<std::uint16_t>(std::max<std::uint32_t>(range, 1));
    const std::vector<std::uint32_t> entryOrder = CacheOrder(e->triangles, n, true, nullptr);
    GrowArray<BatchTriangle> reordered;
    reordered.Reserve(e->triangles.Count());
    for (std::uint32_t t : entryOrder) reordered.Append(e->triangles[t]);
    e->triangles = std::move(reordered);
  }
}

}  // namespace tz2
