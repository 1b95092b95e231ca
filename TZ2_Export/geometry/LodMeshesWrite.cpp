// WriteModel: a LodModel in the mesh section's layout (after the leading byte count): the
// 22-byte section header, every base batch (header, triangles, vertices) by skin class, then
// for each level every batch's level entry (header, triangles) in the same order.
#include "TZ2_Export/geometry/LevelChains.h"
#include "TZ2_Export/geometry/LodMeshes.h"

namespace tz2 {

namespace {

void WriteHeader(ByteStream& out, const BatchHeader& h) {
  WriteU16(out, h.material);
  WriteU16(out, h.detailMarker);
  WriteU8(out, h.flag);
  WriteU8(out, h.scaleClass);
  WriteU16(out, h.vertexRange);
  WriteU16(out, h.vertexCount);
  WriteU16(out, h.triangleCount);
  WriteU8(out, h.paletteCount);
  WriteBytes(out, h.palette, kMaxPalette);
  WriteU32(out, h.usageMask);
}

void WriteTriangles(ByteStream& out, const MeshBatch& b) {
  for (const BatchTriangle& t : b.triangles)
    for (std::uint32_t v : t.v) WriteU16(out, static_cast<std::uint16_t>(v));
}

void WriteVertex(ByteStream& out, const BatchVertex& v, int weights, int channels) {
  for (float x : v.position) WriteF32(out, x);
  for (int i = 0; i + 1 < weights; ++i) WriteF32(out, v.weights[i]);
  WriteBytes(out, v.bones, 4);
  for (float x : v.normal) WriteF32(out, x);
  WriteF32(out, v.uv0[0]);
  WriteF32(out, v.uv0[1]);
  if (channels == 2) {
    WriteF32(out, v.uv1[0]);
    WriteF32(out, v.uv1[1]);
  }
}

}  // namespace

void WriteModel(LodModel& model, const PartRecords& r, ByteStream& stream) {
  std::uint16_t counts[kSkinClasses] = {};
  for (const MeshBatch* b : model.batches) ++counts[SkinClass(*b)];
  for (int i = 0; i < 6; ++i) WriteU8(stream, 0);
  for (std::uint16_t c : counts) WriteU16(stream, c);
  WriteU16(stream, 0);
  WriteU16(stream, model.levelCount);
  SortBatches(model, r);
  for (int cls = 0; cls < kSkinClasses; ++cls)
    for (MeshBatch* b : model.batches) {
      if (SkinClass(*b) != cls) continue;
      b->header.vertexCount = static_cast<std::uint16_t>(b->vertices.Count());
      b->header.triangleCount = static_cast<std::uint16_t>(b->triangles.Count());
      WriteHeader(stream, b->header);
      WriteTriangles(stream, *b);
      const int w = cls / 2 + 1, c = cls % 2 + 1;
      for (const BatchVertex& v : b->vertices) WriteVertex(stream, v, w, c);
    }
  for (std::uint32_t l = 1; l <= model.levelCount; ++l)
    for (int cls = 0; cls < kSkinClasses; ++cls)
      for (const MeshBatch* b : model.batches) {
        if (SkinClass(*b) != cls) continue;
        const MeshBatch* e = Entry(*b, l);
        if (e == nullptr) continue;  // every base batch has levelCount entries
        WriteHeader(stream, e->header);
        WriteTriangles(stream, *e);
      }
}

}  // namespace tz2
