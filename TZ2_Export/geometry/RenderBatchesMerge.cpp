// The greedy merging of render batches: MergeInto and the four phases of MergeBatches.
//
// Each merge takes the pair of highest similarity, the first pair in scan order (a outer, b
// inner, both in model order) on ties, exactly as a fresh scan of all pairs would. Only batches
// of one material, marker, channel count and flag can be similar, so pairs are looked for
// within such groups, and similarities are cached per group and refreshed for the merged
// batch only. Model order is the batches' original order (merging only removes batches), so a
// batch's original number orders pairs across groups.
#include <algorithm>
#include <map>
#include <tuple>

#include "TZ2_Export/geometry/RenderBatches.h"

namespace tz2 {

void MergeInto(LodModel& model, MeshBatch* a, MeshBatch* b) {
  const std::uint8_t w = std::max(a->weightsPerVertex, b->weightsPerVertex);
  a->weightsPerVertex = b->weightsPerVertex = w;
  std::uint8_t palette[kMaxPalette];
  std::uint8_t count = 0;
  PaletteUnion(a->header, b->header, palette, count);
  SetPalette(*a, palette, count);
  SetPalette(*b, palette, count);
  std::vector<std::uint32_t> map(b->vertices.Count());
  for (std::uint32_t i = 0; i < b->vertices.Count(); ++i) map[i] = WeldVertex(*a, b->vertices[i]);
  a->header.vertexRange = static_cast<std::uint16_t>(a->vertices.Count());
  for (const BatchTriangle& t : b->triangles) a->triangles.Append(BatchTriangle{{map[t.v[0]], map[t.v[1]], map[t.v[2]]}});
  a->header.triangleCount = static_cast<std::uint16_t>(a->triangles.Count());
  model.batches.Remove(b);
  DestroyBatch(b);
}

namespace {

struct Group {
  std::vector<std::uint32_t> members;  // batch numbers in model order
  std::vector<float> similarity;       // size × size, by local number
  std::uint32_t size = 0;
};

class MergeScan {
 public:
  MergeScan(LodModel& model, const PartRecords& r) : model_(model), records_(r) {
    const std::uint32_t n = model.batches.Count();
    batches_.assign(model.batches.begin(), model.batches.end());
    group_.resize(n);
    local_.resize(n);
    std::map<std::tuple<int, int, int, int>, std::uint32_t> keys;
    for (std::uint32_t i = 0; i < n; ++i) {
      const MeshBatch& b = *batches_[i];
      const auto key = std::make_tuple(b.header.material, b.header.detailMarker, b.channels, b.header.flag);
      auto [it, added] = keys.emplace(key, static_cast<std::uint32_t>(groups_.size()));
      if (added) groups_.emplace_back();
      Group& g = groups_[it->second];
      group_[i] = it->second;
      local_[i] = g.size++;
      g.members.push_back(i);
    }
    for (Group& g : groups_) {
      g.similarity.assign(static_cast<std::size_t>(g.size) * g.size, 0.0f);
      for (std::uint32_t x = 0; x < g.members.size(); ++x)
        for (std::uint32_t y = x + 1; y < g.members.size(); ++y) Store(g, g.members[x], g.members[y]);
    }
  }

  // Runs one phase until it finds no candidate; true when it merged anything.
  bool RunPhase(int phase) {
    bool merged = false;
    for (;;) {
      float best = 0.0f;
      std::uint32_t ba = 0, bb = 0;
      for (Group& g : groups_)
        for (std::uint32_t a : g.members)
          for (std::uint32_t b : g.members) {
            if (!Eligible(phase, a, b)) continue;
            const float s = Similarity(g, a, b);
            if (s <= 0.0f) continue;
            if (s > best || (s == best && (a < ba || (a == ba && b < bb)))) best = s, ba = a, bb = b;
          }
      if (best <= 0.0f) return merged;
      Merge(ba, bb);
      merged = true;
    }
  }

 private:
  bool Eligible(int phase, std::uint32_t a, std::uint32_t b) const {
    const MeshBatch& x = *batches_[a];
    const MeshBatch& y = *batches_[b];
    switch (phase) {
      case 1: return a < b && x.weightsPerVertex == y.weightsPerVertex;
      case 2: return a < b && x.weightsPerVertex == 2 && y.weightsPerVertex == 1 && y.header.vertexRange < 200;
      case 3: return x.weightsPerVertex == 3 && y.weightsPerVertex == 2 && y.header.vertexRange < 100;
      default: return x.weightsPerVertex == 3 && y.weightsPerVertex == 1 && y.header.vertexRange < 100;
    }
  }

  float Similarity(const Group& g, std::uint32_t a, std::uint32_t b) const {
    return g.similarity[static_cast<std::size_t>(local_[a]) * g.size + local_[b]];
  }

  void Store(Group& g, std::uint32_t a, std::uint32_t b) {
    const float s = BatchSimilarity(records_, *batches_[a], *batches_[b]);
    g.similarity[static_cast<std::size_t>(local_[a]) * g.size + local_[b]] = s;
    g.similarity[static_cast<std::size_t>(local_[b]) * g.size + local_[a]] = s;
  }

  void Merge(std::uint32_t a, std::uint32_t b) {
    MergeInto(model_, batches_[a], batches_[b]);
    batches_[b] = nullptr;
    Group& g = groups_[group_[a]];
    g.members.erase(std::find(g.members.begin(), g.members.end(), b));
    for (std::uint32_t x : g.members)
      if (x != a) Store(g, a, x);
  }

  LodModel& model_;
  const PartRecords& records_;
  std::vector<MeshBatch*> batches_;
  std::vector<std::uint32_t> group_, local_;
  std::vector<Group> groups_;
};

}  // namespace

void MergeBatches(LodModel& model, const PartRecords& r) {
  MergeScan scan(model, r);
  for (;;) {
    bool merged = false;
    for (int phase = 1; phase <= 4; ++phase) merged |= scan.RunPhase(phase);
    if (!merged) return;
  }
}

}  // namespace tz2
