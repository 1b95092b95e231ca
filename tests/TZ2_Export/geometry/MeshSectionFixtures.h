// Export states with generated surfaces for the mesh section tests and benchmarks: open grids
// with a bump, closed spheres with a texture seam, skinned along their length, two-sided
// sheets and degenerate faces. Everything is deterministic.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "TZ2_Export/shell/ExportState.h"

namespace mesh_fixtures {

using namespace tz2;

struct GridSpec {
  std::uint32_t nx = 10, ny = 10;  // cells; 2 × nx × ny faces
  std::uint32_t materialIndex = 0;
  float size = 10.0f;
  float bump = 1.0f;        // height of the bump in the middle
  int bones = 0;            // > 0: skinned along x over this many bones (three per vertex)
  bool detail = false;      // hasDetail with detail coordinates
  float uvScale = 1.0f;     // texture repeats over the grid
  float offset = 0.0f;      // moves the grid along z (separate grids do not touch)
  std::uint32_t degenerate = 0;  // every n-th face repeats a corner (0: none)
};

inline ChunkVertex GridVertex(const GridSpec& g, std::uint32_t i, std::uint32_t j) {
  ChunkVertex v;
  const float x = g.size * static_cast<float>(i) / static_cast<float>(g.nx);
  const float y = g.size * static_cast<float>(j) / static_cast<float>(g.ny);
  const float cx = x - g.size / 2, cy = y - g.size / 2;
  const float z = g.bump * std::exp(-(cx * cx + cy * cy) / (g.size * g.size / 8)) + g.offset;
  v.position[0] = x, v.position[1] = y, v.position[2] = z;
  // An approximate normal of the bump.
  const float k = -2.0f * z / (g.size * g.size / 8);
  const float nx = -k * cx, ny = -k * cy, len = std::sqrt(nx * nx + ny * ny + 1);
  v.normal[0] = nx / len, v.normal[1] = ny / len, v.normal[2] = 1 / len;
  v.u = g.uvScale * static_cast<float>(i) / static_cast<float>(g.nx);
  v.v = g.uvScale * static_cast<float>(j) / static_cast<float>(g.ny);
  if (g.detail) v.detailU = 4 * v.u, v.detailV = 4 * v.v;
  if (g.bones > 0) {
    const float t = static_cast<float>(i) / static_cast<float>(g.nx) * static_cast<float>(g.bones - 1);
    const auto b0 = static_cast<std::uint32_t>(t);
    const std::uint32_t b1 = std::min<std::uint32_t>(b0 + 1, g.bones - 1);
    const std::uint32_t b2 = (b0 + 2 + j % 3) % g.bones;
    const float f = t - static_cast<float>(b0);
    const auto w1 = static_cast<std::uint32_t>(f * 200);
    const std::uint32_t w2 = (j % 4) * 10;
    v.bones = b0 | (b1 << 8) | (b2 << 16);
    v.weights = static_cast<std::uint16_t>(w1 | (w2 << 8));
  }
  return v;
}

// One chunk holding the whole grid.
inline SurfaceChunk GridChunk(const GridSpec& g) {
  SurfaceChunk c;
  c.hasDetail = g.detail ? 1 : 0;
  for (std::uint32_t j = 0; j <= g.ny; ++j)
    for (std::uint32_t i = 0; i <= g.nx; ++i) c.vertices.push_back(GridVertex(g, i, j));
  std::uint32_t face = 0;
  for (std::uint32_t j = 0; j < g.ny; ++j)
    for (std::uint32_t i = 0; i < g.nx; ++i) {
      const std::uint32_t a = j * (g.nx + 1) + i, b = a + 1, d = a + g.nx + 1, e = d + 1;
      std::uint32_t tri[2][3] = {{a, b, e}, {a, e, d}};
      for (auto& t : tri) {
        ++face;
        if (g.degenerate != 0 && face % g.degenerate == 0) t[2] = t[1];
        c.corners.insert(c.corners.end(), t, t + 3);
        c.sourceTriangles.push_back(face);
      }
    }
  return c;
}

// A closed sphere of nu × nv cells with a texture seam at u = 0/1 (the seam column's vertices
// are duplicated with u = 1), and poles collapsed into single vertices.
inline SurfaceChunk SphereChunk(std::uint32_t nu, std::uint32_t nv, float radius, int bones) {
  SurfaceChunk c;
  const float pi = 3.14159265f;
  for (std::uint32_t j = 0; j <= nv; ++j)
    for (std::uint32_t i = 0; i <= nu; ++i) {
      ChunkVertex v;
      const float th = pi * static_cast<float>(j) / static_cast<float>(nv);
      const float ph = 2 * pi * static_cast<float>(i % nu) / static_cast<float>(nu);
      const float n[3] = {std::sin(th) * std::cos(ph), std::sin(th) * std::sin(ph), std::cos(th)};
      for (int k = 0; k < 3; ++k) v.position[k] = radius * n[k], v.normal[k] = n[k];
      v.u = static_cast<float>(i) / static_cast<float>(nu);
      v.v = static_cast<float>(j) / static_cast<float>(nv);
      if (bones > 0) {
        const auto b0 = static_cast<std::uint32_t>(static_cast<float>(j) / static_cast<float>(nv + 1) * bones);
        v.bones = b0 | (((b0 + 1) % bones) << 8);
        v.weights = static_cast<std::uint16_t>((i * 37) % 120);
      }
      c.vertices.push_back(v);
    }
  std::uint32_t face = 0;
  for (std::uint32_t j = 0; j < nv; ++j)
    for (std::uint32_t i = 0; i < nu; ++i) {
      const std::uint32_t a = j * (nu + 1) + i, b = a + 1, d = a + nu + 1, e = d + 1;
      const std::uint32_t tri[2][3] = {{a, d, e}, {a, e, b}};
      for (auto& t : tri) {
        c.corners.insert(c.corners.end(), t, t + 3);
        c.sourceTriangles.push_back(face++);
      }
    }
  return c;
}

inline Surface MakeSurface(std::uint32_t materialIndex, std::vector<SurfaceChunk> chunks) {
  Surface s;
  s.materialIndex = materialIndex;
  s.chunks = std::move(chunks);
  return s;
}

// A reset state at 100 % scale with `materials` materials (twoSided as given) and identity
// skeleton level maps.
inline void ResetState(ExportState& s, ExportOptions o, std::uint32_t materials, std::uint32_t twoSidedMask = 0) {
  o.Scale = 100.0f;
  s.Reset(o);
  s.materialList.resize(materials);
  for (std::uint32_t i = 0; i < materials; ++i) s.materialList[i].twoSided = (twoSidedMask >> i) & 1;
  for (auto& row : s.skeletonLodMap)
    for (int b = 0; b < kMaxBones; ++b) row[b] = static_cast<std::uint8_t>(b);
}

// The identity material table for `n` materials.
inline std::vector<std::uint32_t> IdentityTable(std::uint32_t n) {
  std::vector<std::uint32_t> t(n);
  for (std::uint32_t i = 0; i < n; ++i) t[i] = i;
  return t;
}

}  // namespace mesh_fixtures
