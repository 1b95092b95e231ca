// Render batches: extraction of a mesh's live faces into batches of one palette, welding,
// palettes, similarity and the texture scale class (see RenderBatches.h). The greedy merging
// of batches is in RenderBatchesMerge.cpp.
#include "TZ2_Export/geometry/RenderBatches.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "TZ2_Export/geometry/ProgressiveMesh.h"

namespace tz2 {

namespace {

constexpr float kWeldTolerance = 0.0001f;
constexpr float kWeightTolerance = 0.01f;
constexpr float kShiftLimit = 15.0f;
constexpr float kSmallestUvLength = 0.00001f;
constexpr float kScaleFactor = 6.25f;
constexpr float kScaleThresholds[7] = {0, 1150, 1800, 2950, 4600, 7200, 13000};

bool Near(float a, float b, float tolerance) { return std::fabs(a - b) < tolerance; }

bool NearAll(const float* a, const float* b, int n) {
  for (int i = 0; i < n; ++i)
    if (!Near(a[i], b[i], kWeldTolerance)) return false;
  return true;
}

bool SamePalette(const BatchHeader& a, const std::uint8_t* palette, std::uint8_t count) {
  return a.paletteCount == count && std::memcmp(a.palette, palette, count) == 0;
}

// Inserts a bone into an ascending list of distinct bytes.
void InsertAscending(std::uint8_t* list, std::uint8_t& count, std::uint8_t bone) {
  std::uint8_t i = 0;
  while (i < count && list[i] < bone) ++i;
  if (i < count && list[i] == bone) return;
  for (std::uint8_t j = count; j > i; --j) list[j] = list[j - 1];
  list[i] = bone;
  ++count;
}

int SlotOf(const std::uint8_t* palette, std::uint8_t count, std::uint8_t bone) {
  for (int i = 0; i < count; ++i)
    if (palette[i] == bone) return i;
  return -1;
}

// One coordinate of the three corners: the shift towards ±15 by whole units.
void ShiftCoordinate(float& x0, float& x1, float& x2) {
  float largest = std::max({x0, x1, x2});
  if (largest > kShiftLimit) {
    const float d = std::trunc(largest) - kShiftLimit;
    x0 -= d, x1 -= d, x2 -= d;
  }
  largest = std::max({x0, x1, x2});
  if (largest < -kShiftLimit) {
    const float d = std::trunc(largest) + kShiftLimit;
    x0 -= d, x1 -= d, x2 -= d;
  }
}

float Distance(const float* a, const float* b, int n) {
  float sum = 0.0f;
  for (int i = 0; i < n; ++i) sum += (a[i] - b[i]) * (a[i] - b[i]);
  return std::sqrt(sum);
}

int TriangleScaleClass(const MeshBatch& b, const BatchTriangle& t) {
  float largest = 0.0f;
  for (int e = 0; e < 3; ++e) {
    const BatchVertex& p = b.vertices[t.v[e]];
    const BatchVertex& q = b.vertices[t.v[(e + 1) % 3]];
    const float uv = std::max(Distance(p.uv0, q.uv0, 2), kSmallestUvLength);
    largest = std::max(largest, Distance(p.position, q.position, 3) / uv);
  }
  const float v = kScaleFactor * largest;
  for (int i = 0; i < 6; ++i)
    if (kScaleThresholds[i] < v && v < kScaleThresholds[i + 1]) return i;
  return 5;
}

}  // namespace

LodModel::~LodModel() {
  for (MeshBatch* b : batches) DestroyBatch(b);
}

void DestroyBatch(MeshBatch* b) {
  while (b != nullptr) {
    MeshBatch* next = b->next;
    delete b;
    b = next;
  }
}

int SkinClass(const MeshBatch& b) {
  const int w = std::clamp<int>(b.weightsPerVertex, 1, 3);
  const int c = std::clamp<int>(b.channels, 1, 2);
  return (w - 1) * 2 + (c - 1);
}

bool PartBound(const PartRecords& r, const MeshBatch& b) {
  if (!r.Present()) return false;
  for (int i = 0; i < b.header.paletteCount; ++i) {
    const std::uint8_t bone = b.header.palette[i];
    if (bone >= r.count || r.records[bone].grh == 0) return false;
  }
  return true;
}

bool WeldMatch(const BatchVertex& a, const BatchVertex& b) {
  if (!NearAll(a.position, b.position, 3) || !NearAll(a.normal, b.normal, 3) ||
      !NearAll(a.uv0, b.uv0, 2) || !NearAll(a.uv1, b.uv1, 2))
    return false;
  if (std::memcmp(a.bones, b.bones, 4) != 0) return false;
  for (int i = 0; i < 4; ++i)
    if (!Near(a.weights[i], b.weights[i], kWeightTolerance)) return false;
  return true;
}

std::uint32_t WeldVertex(MeshBatch& batch, const BatchVertex& v) {
  if (batch.weld != nullptr) return batch.weld(batch, v);
  for (; batch.gridCount < batch.vertices.Count(); ++batch.gridCount) {
    const float* p = batch.vertices[batch.gridCount].position;
    batch.grid.Insert(Point3(p[0], p[1], p[2]), batch.gridCount);
  }
  std::uint32_t found = kNoIndex;
  batch.grid.ForEachNear(Point3(v.position[0], v.position[1], v.position[2]),
                         [&](std::uint32_t i) {
                           if (i < found && WeldMatch(batch.vertices[i], v)) found = i;
                         });
  if (found != kNoIndex) return found;
  const std::uint32_t index = batch.vertices.Append(v);
  batch.grid.Insert(Point3(v.position[0], v.position[1], v.position[2]), index);
  batch.gridCount = batch.vertices.Count();
  batch.header.vertexRange = static_cast<std::uint16_t>(batch.vertices.Count());
  batch.header.vertexCount = static_cast<std::uint16_t>(batch.vertices.Count());
  return index;
}

void ShiftTextureCoordinates(BatchVertex corners[3]) {
  for (int axis = 0; axis < 2; ++axis) ShiftCoordinate(corners[0].uv0[axis], corners[1].uv0[axis], corners[2].uv0[axis]);
  for (int axis = 0; axis < 2; ++axis) ShiftCoordinate(corners[0].uv1[axis], corners[1].uv1[axis], corners[2].uv1[axis]);
}

void AddToBatch(MeshBatch& batch, BatchVertex corners[3]) {
  ShiftTextureCoordinates(corners);
  BatchTriangle t;
  for (int k = 0; k < 3; ++k) t.v[k] = WeldVertex(batch, corners[k]);
  batch.triangles.Append(t);
  batch.header.triangleCount = static_cast<std::uint16_t>(batch.triangles.Count());
}

void AddTriangle(LodModel& model, BatchVertex corners[3], std::uint16_t material,
                 std::uint16_t marker, const std::uint8_t weightCounts[3], std::uint8_t channels,
                 std::uint8_t flag) {
  std::uint8_t counts[3];
  for (int k = 0; k < 3; ++k) counts[k] = std::min<std::uint8_t>(weightCounts[k], 4);
  const std::uint8_t m = std::clamp<std::uint8_t>(std::max({counts[0], counts[1], counts[2]}), 1, 3);
  std::uint8_t palette[kMaxPalette] = {};
  std::uint8_t paletteCount = 0;
  for (int k = 0; k < 3; ++k)
    for (int i = 0; i < counts[k]; ++i) InsertAscending(palette, paletteCount, corners[k].bones[i]);
  for (int k = 0; k < 3; ++k) {
    for (int i = 0; i < counts[k]; ++i)
      corners[k].bones[i] = static_cast<std::uint8_t>(SlotOf(palette, paletteCount, corners[k].bones[i]));
    for (int i = counts[k]; i < 4; ++i) corners[k].bones[i] = 0, corners[k].weights[i] = 0.0f;
  }
  for (MeshBatch* b : model.batches) {
    const BatchHeader& h = b->header;
    if (h.material == material && h.detailMarker == marker && h.flag == flag &&
        b->weightsPerVertex == m && b->channels == channels && SamePalette(h, palette, paletteCount)) {
      AddToBatch(*b, corners);
      return;
    }
  }
  auto* b = new MeshBatch;
  b->header.material = material;
  b->header.detailMarker = marker;
  b->header.flag = flag;
  b->header.vertexRange = 3;
  b->header.vertexCount = 3;
  b->header.triangleCount = 1;
  b->header.paletteCount = paletteCount;
  std::memcpy(b->header.palette, palette, kMaxPalette);
  b->channels = channels;
  b->weightsPerVertex = m;
  b->weld = model.weld;
  for (int k = 0; k < 3; ++k) b->vertices.Append(corners[k]);
  b->triangles.Append(BatchTriangle{{0, 1, 2}});
  model.batches.Append(b);
}

std::unique_ptr<LodModel> ExtractBatches(const ProgressiveMesh& mesh, WeldFn weld) {
  auto model = std::make_unique<LodModel>();
  model->weld = weld;
  for (std::uint32_t f = 0; f < mesh.LiveFaceCount(); ++f) {
    const PmFace* face = mesh.Face(f);
    if (face == nullptr) continue;
    BatchVertex corners[3];
    std::uint8_t counts[3];
    for (int k = 0; k < 3; ++k) {
      const PmVertex& v = *face->corners[k];
      BatchVertex& c = corners[k];
      c.position[0] = v.position.x, c.position[1] = v.position.y, c.position[2] = v.position.z;
      c.normal[0] = v.normal.x, c.normal[1] = v.normal.y, c.normal[2] = v.normal.z;
      c.uv0[0] = v.uv[0].u, c.uv0[1] = v.uv[0].v;
      c.uv1[0] = v.uv[1].u, c.uv1[1] = v.uv[1].v;
      for (int i = 0; i < 4; ++i) {
        c.bones[i] = i < v.weightCount ? v.bones[i] : 0;
        c.weights[i] = v.weights[i];
      }
      counts[k] = v.weightCount;
    }
    const std::uint16_t marker = face->attributes.detailMarker;
    AddTriangle(*model, corners, face->attributes.material, marker, counts, marker != kNoDetail ? 2 : 1,
                face->flag);
  }
  return model;
}

float BatchSimilarity(const PartRecords& r, const MeshBatch& a, const MeshBatch& b) {
  const BatchHeader& ha = a.header;
  const BatchHeader& hb = b.header;
  if (ha.material != hb.material || ha.detailMarker != hb.detailMarker || a.channels != b.channels ||
      ha.flag != hb.flag)
    return 0.0f;
  if (r.Present() && (PartBound(r, a) || PartBound(r, b))) {
    // Every bone of a palette must lie in one part, the same for both palettes.
    int part = -1;
    for (const BatchHeader* h : {&ha, &hb})
      for (int i = 0; i < h->paletteCount; ++i) {
        const std::uint8_t bone = h->palette[i];
        const int p = bone < r.count ? r.records[bone].part : -2;
        if (part == -1) part = p;
        if (p != part) return 0.0f;
      }
  }
  int shared = 0;
  for (int i = 0; i < ha.paletteCount; ++i)
    if (SlotOf(hb.palette, hb.paletteCount, ha.palette[i]) >= 0) ++shared;
  if (ha.paletteCount + hb.paletteCount - shared > kMaxPalette) return 0.0f;
  return static_cast<float>(shared + 1) / static_cast<float>(std::max(ha.paletteCount, hb.paletteCount) + 1);
}

bool PaletteUnion(const BatchHeader& a, const BatchHeader& b, std::uint8_t* out, std::uint8_t& count) {
  std::uint8_t merged[2 * kMaxPalette];
  std::uint8_t n = 0;
  for (const BatchHeader* h : {&a, &b})
    for (int i = 0; i < h->paletteCount; ++i) InsertAscending(merged, n, h->palette[i]);
  if (n > kMaxPalette) return false;
  std::memcpy(out, merged, n);
  count = n;
  return true;
}

void SetPalette(MeshBatch& batch, const std::uint8_t* palette, std::uint8_t count) {
  if (batch.owner == nullptr) {
    const BatchHeader& h = batch.header;
    const int w = std::min<int>(batch.weightsPerVertex, 4);
    for (BatchVertex& v : batch.vertices) {
      for (int k = 0; k < w; ++k) {
        if (v.bones[k] >= h.paletteCount) continue;
        const int slot = SlotOf(palette, count, h.palette[v.bones[k]]);
        if (slot >= 0) v.bones[k] = static_cast<std::uint8_t>(slot);
      }
      for (int k = w; k < 4; ++k) v.bones[k] = 0, v.weights[k] = 0.0f;
    }
  }
  std::uint8_t copy[kMaxPalette] = {};
  std::memcpy(copy, palette, std::min<int>(count, kMaxPalette));
  std::memcpy(batch.header.palette, copy, kMaxPalette);
  batch.header.paletteCount = count;
}

void TextureScaleClass(LodModel& model) {
  for (MeshBatch* b : model.batches) {
    int cls = 0;
    for (const BatchTriangle& t : b->triangles) cls = std::max(cls, TriangleScaleClass(*b, t));
    b->header.scaleClass = static_cast<std::uint8_t>(cls);
  }
}

}  // namespace tz2
