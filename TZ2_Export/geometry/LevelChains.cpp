// Level chains, palette harmonisation and batch order (see LevelChains.h).
#include "TZ2_Export/geometry/LevelChains.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace tz2 {

namespace {

constexpr std::uint16_t kNoMaterial = 64536;  // -1000 as unsigned 16-bit

MeshBatch* LastInChain(MeshBatch& a) {
  MeshBatch* b = &a;
  while (b->next != nullptr) b = b->next;
  return b;
}

// An entry with a header's attributes and palette but no triangles.
MeshBatch* EmptyEntry(const BatchHeader& header, MeshBatch& owner) {
  auto* e = new MeshBatch;
  e->header = header;
  e->header.vertexRange = e->header.vertexCount = e->header.triangleCount = 0;
  e->owner = &owner;
  e->channels = owner.channels;
  e->weightsPerVertex = owner.weightsPerVertex;
  return e;
}

// Palettes of a (with its chain) and b become their union; b's vertices are welded into a's
// array. Returns the map from b's vertices to a's.
std::vector<std::uint32_t> JoinLevelBatch(MeshBatch& a, MeshBatch& b) {
  std::uint8_t palette[kMaxPalette];
  std::uint8_t count = 0;
  PaletteUnion(a.header, b.header, palette, count);
  SetChainPalette(a, palette, count);
  SetPalette(b, palette, count);
  const std::uint32_t range = std::min<std::uint32_t>(b.header.vertexRange, b.vertices.Count());
  std::vector<std::uint32_t> map(b.vertices.Count(), 0);
  for (std::uint32_t i = 0; i < range; ++i) map[i] = WeldVertex(a, b.vertices[i]);
  return map;
}

// Appends b's triangles through the map; returns the largest mapped index + 1 (0 for none).
std::uint32_t AppendMapped(MeshBatch& entry, const MeshBatch& b, const std::vector<std::uint32_t>& map) {
  std::uint32_t range = 0;
  for (const BatchTriangle& t : b.triangles) {
    BatchTriangle m{{map[t.v[0]], map[t.v[1]], map[t.v[2]]}};
    for (std::uint32_t v : m.v) range = std::max(range, v + 1);
    entry.triangles.Append(m);
  }
  entry.header.triangleCount = static_cast<std::uint16_t>(entry.triangles.Count());
  return range;
}

bool SameAttributes(const MeshBatch& a, const MeshBatch& b) {
  return a.header.material == b.header.material && a.header.detailMarker == b.header.detailMarker &&
         a.header.flag == b.header.flag && a.weightsPerVertex == b.weightsPerVertex && a.channels == b.channels;
}

bool SamePalette(const BatchHeader& a, const BatchHeader& b) {
  return a.paletteCount == b.paletteCount && std::memcmp(a.palette, b.palette, a.paletteCount) == 0;
}

std::uint32_t SortKey(const MeshBatch& b, const PartRecords& r) {
  const std::int64_t m = static_cast<std::int16_t>(b.header.material);
  const std::int64_t key = (m * 32768 + b.header.detailMarker) * 2 + (PartBound(r, b) ? 0 : 1);
  return static_cast<std::uint32_t>(key);
}

void UpdateUsageMask(MeshBatch& batch, const MeshBatch& owner) {
  std::uint32_t mask = 0;
  const int w = std::min<int>(owner.weightsPerVertex, 4);
  for (const BatchTriangle& t : batch.triangles)
    for (std::uint32_t v : t.v)
      for (int k = 0; k < w; ++k) mask |= 1u << owner.vertices[v].bones[k];
  batch.header.usageMask = mask;
}

// Moves the batches of material m within [first, last) to its end (toEnd) or its start,
// keeping the order of the rest.
void GatherMaterial(MeshBatch** first, MeshBatch** last, std::uint16_t m, bool toEnd) {
  std::stable_partition(first, last, [&](const MeshBatch* b) { return (b->header.material == m) != toEnd; });
}

}  // namespace

std::uint32_t EntryCount(const MeshBatch& a) {
  std::uint32_t n = 0;
  for (const MeshBatch* e = a.next; e != nullptr; e = e->next) ++n;
  return n;
}

MeshBatch* Entry(const MeshBatch& a, std::uint32_t l) {
  MeshBatch* e = a.next;
  for (std::uint32_t i = 1; e != nullptr && i < l; ++i) e = e->next;
  return l == 0 ? nullptr : e;
}

void SetChainPalette(MeshBatch& a, const std::uint8_t* palette, std::uint8_t count) {
  for (MeshBatch* e = &a; e != nullptr; e = e->next) SetPalette(*e, palette, count);
}

void AddLevelEntry(MeshBatch& a, MeshBatch& b) {
  const std::vector<std::uint32_t> map = JoinLevelBatch(a, b);
  auto* e = new MeshBatch;
  e->header = b.header;
  e->owner = &a;
  e->channels = a.channels;
  e->weightsPerVertex = a.weightsPerVertex;
  const std::uint32_t range = AppendMapped(*e, b, map);
  e->header.vertexRange = static_cast<std::uint16_t>(std::max<std::uint32_t>(range, 1));
  e->header.vertexCount = 0;
  LastInChain(a)->next = e;
}

void AppendToLastEntry(MeshBatch& a, MeshBatch& b) {
  const std::vector<std::uint32_t> map = JoinLevelBatch(a, b);
  MeshBatch* last = LastInChain(a);
  const std::uint32_t range = AppendMapped(*last, b, map);
  const std::uint32_t old = last->header.vertexRange;
  last->header.vertexRange = static_cast<std::uint16_t>(1 + std::max<std::int64_t>(std::int64_t(old) - 1, std::int64_t(range) - 1));
}

void MergeLevel(LodModel& model, LodModel& level, const PartRecords& r) {
  const std::uint32_t n = ++model.levelCount;
  bool created = false;
  for (MeshBatch* b : level.batches) {
    MeshBatch* chosen = nullptr;
    float best = 0.0f;
    for (MeshBatch* a : model.batches) {
      if (!SameAttributes(*a, *b)) continue;
      const float s = BatchSimilarity(r, *a, *b);
      if (s > best) best = s, chosen = a;
    }
    if (chosen != nullptr) {
      if (EntryCount(*chosen) >= n)
        AppendToLastEntry(*chosen, *b);
      else
        AddLevelEntry(*chosen, *b);
      continue;
    }
    auto* base = new MeshBatch;
    base->header = b->header;
    base->header.vertexRange = base->header.vertexCount = base->header.triangleCount = 0;
    base->channels = b->channels;
    base->weightsPerVertex = b->weightsPerVertex;
    base->weld = model.weld;
    model.batches.Append(base);
    AddLevelEntry(*base, *b);
    MeshBatch* entry = base->next;
    MeshBatch** link = &base->next;
    for (std::uint32_t i = 1; i < n; ++i) {
      MeshBatch* e = EmptyEntry(b->header, *base);
      *link = e;
      link = &e->next;
    }
    *link = entry;
    created = true;
  }
  for (MeshBatch* a : model.batches)
    while (EntryCount(*a) < n) LastInChain(*a)->next = EmptyEntry(a->header, *a);
  if (created) SortBatches(model, r);
}

void HarmonisePalettes(LodModel& model, const PartRecords& r) {
  SortBatches(model, r);
  MeshBatch** t = model.batches.Data();
  const std::uint32_t n = model.batches.Count();
  for (bool changed = true; changed;) {
    changed = false;
    for (std::uint32_t i = 0; i + 1 < n; ++i) {
      MeshBatch& p = *t[i];
      MeshBatch& q = *t[i + 1];
      if (p.weightsPerVertex != q.weightsPerVertex || p.header.material != q.header.material ||
          p.header.detailMarker != q.header.detailMarker || p.header.flag != q.header.flag ||
          SamePalette(p.header, q.header))
        continue;
      std::uint8_t palette[kMaxPalette];
      std::uint8_t count = 0;
      if (!PaletteUnion(p.header, q.header, palette, count)) continue;
      SetChainPalette(p, palette, count);
      SetChainPalette(q, palette, count);
      changed = true;
    }
  }
  for (std::uint32_t i = 1; i < n; ++i) {
    const BatchHeader& p = t[i - 1]->header;
    MeshBatch& q = *t[i];
    std::uint8_t palette[kMaxPalette];
    std::memcpy(palette, q.header.palette, kMaxPalette);
    const std::uint8_t count = q.header.paletteCount;
    bool exchanged = false;
    for (int j = 0; j < std::min(p.paletteCount, count); ++j)
      for (int s = 0; s < count; ++s)
        if (palette[s] == p.palette[j]) {
          if (s != j) std::swap(palette[s], palette[j]), exchanged = true;
          break;
        }
    if (exchanged) SetChainPalette(q, palette, count);
  }
  for (MeshBatch* a : model.batches)
    for (MeshBatch* e = a; e != nullptr; e = e->next) UpdateUsageMask(*e, *a);
}

void SortBatches(LodModel& model, const PartRecords& r) {
  MeshBatch** first = model.batches.Data();
  MeshBatch** last = first + model.batches.Count();
  std::stable_sort(first, last, [&](const MeshBatch* a, const MeshBatch* b) { return SortKey(*a, r) > SortKey(*b, r); });
  std::stable_sort(first, last, [](const MeshBatch* a, const MeshBatch* b) { return SkinClass(*a) < SkinClass(*b); });
  // The ranges of the classes present.
  std::vector<std::pair<MeshBatch**, MeshBatch**>> classes;
  for (MeshBatch** p = first; p != last;) {
    MeshBatch** q = p;
    while (q != last && SkinClass(**q) == SkinClass(**p)) ++q;
    classes.emplace_back(p, q);
    p = q;
  }
  const std::size_t n = classes.size();
  if (n < 2) return;
  std::vector<std::uint16_t> e(n + 1, kNoMaterial);
  for (std::size_t k = 0; k < n; ++k) {
    auto [a0, a1] = classes[k];
    auto [b0, b1] = classes[(k + 1) % n];
    bool found = false;
    std::uint16_t m = 0;
    for (MeshBatch** x = a0; x != a1 && !found; ++x)
      for (MeshBatch** y = b0; y != b1; ++y) {
        const std::uint16_t mx = (*x)->header.material;
        if (mx == (*y)->header.material && mx != e[k] && mx != e[k + 1]) {
          m = mx, found = true;
          break;
        }
      }
    if (found) {
      e[k] = e[k + 1] = m;
      GatherMaterial(a0, a1, m, true);
      GatherMaterial(b0, b1, m, false);
    }
    if (k == 0) e[n] = e[0];
  }
}

}  // namespace tz2
