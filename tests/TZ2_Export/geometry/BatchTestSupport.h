// Small builders for the batch tests: vertices, triangles with their palettes, random batch
// models, and a dump of a model's batches in list order for byte comparisons.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

#include "TZ2_Export/geometry/LevelChains.h"
#include "tests/TZ2_Export/geometry/BatchOracle.h"

namespace batch_support {

inline tz2::BatchVertex Vertex(float x, float y, float z, float u = 0, float v = 0) {
  tz2::BatchVertex b{};
  b.position[0] = x, b.position[1] = y, b.position[2] = z;
  b.normal[2] = 1.0f;
  b.uv0[0] = u, b.uv0[1] = v;
  return b;
}

// A triangle whose corner k carries the bones bones[k] with equal weights.
inline void Triangle(tz2::LodModel& m, const tz2::BatchVertex (&corners)[3],
                     std::initializer_list<std::initializer_list<std::uint8_t>> bones, std::uint16_t material = 0,
                     std::uint8_t channels = 1) {
  tz2::BatchVertex c[3] = {corners[0], corners[1], corners[2]};
  std::uint8_t counts[3] = {0, 0, 0};
  int k = 0;
  for (auto list : bones) {
    int i = 0;
    for (std::uint8_t b : list) c[k].bones[i] = b, c[k].weights[i] = 1.0f / static_cast<float>(list.size()), ++i;
    counts[k++] = static_cast<std::uint8_t>(list.size());
  }
  tz2::AddTriangle(m, c, material, channels == 2 ? 0 : tz2::kNoDetail, counts, channels, 0);
}

// A deterministic generator.
struct Lcg {
  std::uint32_t state;
  explicit Lcg(std::uint32_t seed) : state(seed * 2654435761u + 7u) {}
  std::uint32_t Next(std::uint32_t n) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % n;
  }
  float Unit() { return static_cast<float>(Next(1 << 20)) / static_cast<float>(1 << 20); }
};

// A model of random triangles on a small lattice (so many corners weld), with random palettes
// from `bones` bones, 1 to 3 weights, `materials` materials.
inline std::unique_ptr<tz2::LodModel> RandomModel(std::uint32_t seed, std::uint32_t triangles, std::uint32_t bones,
                                                  std::uint32_t materials, tz2::WeldFn weld) {
  Lcg r(seed);
  auto m = std::make_unique<tz2::LodModel>();
  m->weld = weld;
  for (std::uint32_t t = 0; t < triangles; ++t) {
    tz2::BatchVertex c[3];
    std::uint8_t counts[3];
    const std::uint32_t w = 1 + r.Next(3);
    for (auto& v : c) v = Vertex(static_cast<float>(r.Next(6)), static_cast<float>(r.Next(6)), 0, 0.25f * r.Next(3), 0);
    for (int k = 0; k < 3; ++k) {
      counts[k] = static_cast<std::uint8_t>(w);
      const std::uint32_t base = r.Next(bones);
      for (std::uint32_t i = 0; i < w; ++i) {
        c[k].bones[i] = static_cast<std::uint8_t>((base + i) % bones);
        c[k].weights[i] = 1.0f / static_cast<float>(w);
      }
      // Positions decide the bones, so that welded corners agree.
      c[k].bones[0] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(c[k].position[0] + c[k].position[1]) % bones);
    }
    const auto material = static_cast<std::uint16_t>(r.Next(materials));
    tz2::AddTriangle(*m, c, material, tz2::kNoDetail, counts, 1, 0);
  }
  return m;
}

inline void Put(std::vector<std::uint8_t>& out, const void* p, std::size_t n) {
  const auto* b = static_cast<const std::uint8_t*>(p);
  out.insert(out.end(), b, b + n);
}

// Every batch and entry in list order: header fields, channels, weights, triangles, vertices.
inline std::vector<std::uint8_t> Dump(const tz2::LodModel& m) {
  std::vector<std::uint8_t> out;
  for (const tz2::MeshBatch* a : m.batches)
    for (const tz2::MeshBatch* e = a; e != nullptr; e = e->next) {
      const tz2::BatchHeader& h = e->header;
      Put(out, &h.material, 2), Put(out, &h.detailMarker, 2), Put(out, &h.flag, 1), Put(out, &h.scaleClass, 1);
      Put(out, &h.vertexRange, 2), Put(out, &h.vertexCount, 2), Put(out, &h.triangleCount, 2);
      Put(out, &h.paletteCount, 1), Put(out, h.palette, 25), Put(out, &h.usageMask, 4);
      Put(out, &e->channels, 1), Put(out, &e->weightsPerVertex, 1);
      for (const tz2::BatchTriangle& t : e->triangles) Put(out, t.v, sizeof t.v);
      for (const tz2::BatchVertex& v : e->vertices) {
        Put(out, v.position, 12), Put(out, v.weights, 16), Put(out, v.bones, 4);
        Put(out, v.normal, 12), Put(out, v.uv0, 8), Put(out, v.uv1, 8);
      }
    }
  return out;
}

// The bone number of slot k of vertex v of a batch.
inline int BoneOf(const tz2::MeshBatch& b, const tz2::BatchVertex& v, int k) { return b.header.palette[v.bones[k]]; }

}  // namespace batch_support
