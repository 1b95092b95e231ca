// The mesh section reader: a u32 byte count, the 22-byte section header (six class counts and
// the number of levels after the base), the base batches by skin class with their triangles and
// vertices, then every level's entries. A header level count of 0 means no section was
// written. Every count is checked against the bytes left before it is used, and the section
// must end exactly where its byte count says.
#include "TZ2_Export/format/MeshSection.h"

namespace tz2 {

namespace {

constexpr std::size_t kBatchHeaderBytes = 42;

bool ReadBatchHeader(ByteCursor& c, BatchHeader& h) {
  if (!c.Need(1, kBatchHeaderBytes, "mesh batch header")) return false;
  h.material = c.U16("batch material");
  h.detailMarker = c.U16("batch detail marker");
  h.flag = c.U8("batch flag");
  h.scaleClass = c.U8("batch texture scale class");
  h.vertexRange = c.U16("batch vertex range");
  h.vertexCount = c.U16("batch vertex count");
  h.triangleCount = c.U16("batch triangle count");
  h.paletteCount = c.U8("batch palette count");
  for (std::uint8_t& b : h.palette) b = c.U8("batch palette");
  h.usageMask = c.U32("batch palette usage mask");
  return c.Ok();
}

bool ReadIndices(ByteCursor& c, std::uint16_t triangles, std::vector<std::uint16_t>& out) {
  if (!c.Need(triangles, 6, "batch triangles")) return false;
  out.resize(static_cast<std::size_t>(triangles) * 3);
  for (std::uint16_t& i : out) i = c.U16("batch triangle index");
  return c.Ok();
}

bool ReadVertices(ByteCursor& c, int skinClass, std::uint16_t count, std::vector<MeshVertex>& out) {
  const int w = skinClass / 2 + 1, channels = skinClass % 2 + 1;
  const std::size_t size = 12 + 4 * (w - 1) + 4 + 12 + 8 * channels;
  if (!c.Need(count, size, "batch vertices")) return false;
  out.resize(count);
  for (MeshVertex& v : out) {
    for (float& x : v.position) x = c.F32("vertex position");
    float last = 1.0f;
    for (int i = 0; i + 1 < w; ++i) last -= (v.weights[i] = c.F32("vertex weight"));
    v.weights[w - 1] = last;
    for (std::uint8_t& b : v.bones) b = c.U8("vertex palette slot");
    for (float& x : v.normal) x = c.F32("vertex normal");
    for (int k = 0; k < channels; ++k)
      for (float& x : v.uv[k]) x = c.F32("vertex texture coordinates");
  }
  return c.Ok();
}

}  // namespace

bool ReadMeshSection(ByteCursor& c, std::uint8_t levelCount, MeshSection& out) {
  out = MeshSection{};
  out.decoded = true;
  if (levelCount == 0) return true;  // a model without faces writes no mesh section
  out.byteCount = c.U32("mesh section byte count");
  if (!c.Need(out.byteCount, 1, "mesh section")) return false;
  const std::size_t end = c.Position() + out.byteCount;
  c.Skip(6, "mesh section header");
  for (std::uint16_t& n : out.classCounts) n = c.U16("mesh batch count of a skin class");
  c.Skip(2, "mesh section header");
  out.levelsAfterBase = c.U16("mesh level count");
  if (!c.Ok()) return false;
  std::size_t total = 0;
  for (std::uint16_t n : out.classCounts) total += n;
  if (!c.Need(total, kBatchHeaderBytes, "mesh batches")) return false;
  out.batches.resize(total);
  std::size_t b = 0;
  for (int cls = 0; cls < 6; ++cls)
    for (std::uint16_t i = 0; i < out.classCounts[cls]; ++i, ++b) {
      MeshBaseBatch& batch = out.batches[b];
      batch.skinClass = cls;
      if (!ReadBatchHeader(c, batch.header) || !ReadIndices(c, batch.header.triangleCount, batch.indices) ||
          !ReadVertices(c, cls, batch.header.vertexCount, batch.vertices))
        return false;
    }
  if (!c.Need(static_cast<std::uint64_t>(out.levelsAfterBase) * total, kBatchHeaderBytes, "mesh level entries"))
    return false;
  for (std::uint16_t l = 0; l < out.levelsAfterBase; ++l)
    for (MeshBaseBatch& batch : out.batches) {
      MeshEntry& e = batch.levels.emplace_back();
      if (!ReadBatchHeader(c, e.header) || !ReadIndices(c, e.header.triangleCount, e.indices)) return false;
    }
  if (c.Position() != end) {
    c.Fail("end of mesh section (its byte count says " + std::to_string(out.byteCount) + ")",
           end > c.Position() ? end - c.Position() : 0);
    return false;
  }
  return true;
}

}  // namespace tz2
