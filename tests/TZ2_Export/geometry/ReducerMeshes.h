// Generated meshes for the reducer tests and benchmarks: open grids, closed spheres with
// texture seams, flat-shaded cubes, two-sided sheets, skinned and multi-material surfaces and
// meshes with degenerate faces. A GeneratedMesh is a plain vertex and face list that can be fed
// to any mesh with the ProgressiveMesh insertion interface (the production mesh or the oracle).
// Everything is deterministic (a fixed linear congruential generator).
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "TZ2_Export/geometry/ProgressiveMesh.h"

namespace reducer_meshes {

struct GenVertex {
  Point3 position, normal;
  UvPair uv[kPmUvChannels];
  std::uint8_t bones[kPmMaxWeights] = {};
  float weights[kPmMaxWeights] = {};
  std::uint8_t weightCount = 0;
};

struct GenFace {
  std::uint32_t corners[3];
  PmAttributes attributes;
  std::uint8_t flag = 0;
};

struct GeneratedMesh {
  std::vector<GenVertex> vertices;
  std::vector<GenFace> faces;
};

// Deterministic pseudo-random numbers in [0, 1).
class Lcg {
 public:
  explicit Lcg(std::uint32_t seed) : state_(seed * 2654435761u + 1u) {}
  float Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<float>(state_ >> 8) / 16777216.0f;
  }

 private:
  std::uint32_t state_;
};

inline GenVertex MakeVertex(const Point3& p, const Point3& n, float u, float v) {
  GenVertex g;
  g.position = p;
  g.normal = n;
  g.uv[0] = {u, v};
  g.uv[1] = {2.0f * u, 3.0f * v};
  g.bones[0] = 0;
  g.weights[0] = 1.0f;
  g.weightCount = 1;
  return g;
}

// Feeds the mesh to `sink` (AddVertex when weld, else AddVertexRaw; then AddFace).
template <typename Sink>
void Feed(const GeneratedMesh& mesh, Sink& sink, bool weld) {
  std::vector<std::uint32_t> map;
  map.reserve(mesh.vertices.size());
  for (const GenVertex& v : mesh.vertices)
    map.push_back(weld ? sink.AddVertex(v.position, v.normal, v.uv, v.bones, v.weights,
                                        v.weightCount)
                       : sink.AddVertexRaw(v.position, v.normal, v.uv, v.bones, v.weights,
                                           v.weightCount));
  for (const GenFace& f : mesh.faces)
    sink.AddFace(map[f.corners[0]], map[f.corners[1]], map[f.corners[2]], f.attributes, f.flag);
}

// An open grid of nx × ny quads (two triangles each) in the XY plane, z jittered by `jitter`.
// `diagonalFlip` alternates the quad diagonals.
inline GeneratedMesh Grid(int nx, int ny, float jitter, std::uint32_t seed,
                          bool diagonalFlip = false) {
  GeneratedMesh m;
  Lcg rng(seed);
  for (int y = 0; y <= ny; ++y)
    for (int x = 0; x <= nx; ++x) {
      const float z = jitter * (rng.Next() - 0.5f);
      m.vertices.push_back(MakeVertex(Point3(float(x), float(y), z), Point3(0, 0, 1),
                                      float(x) / nx, float(y) / ny));
    }
  auto at = [&](int x, int y) { return static_cast<std::uint32_t>(y * (nx + 1) + x); };
  for (int y = 0; y < ny; ++y)
    for (int x = 0; x < nx; ++x) {
      const std::uint32_t a = at(x, y), b = at(x + 1, y), c = at(x + 1, y + 1), d = at(x, y + 1);
      if (diagonalFlip && (x + y) % 2 == 1) {
        m.faces.push_back({{a, b, d}, {}, 0});
        m.faces.push_back({{b, c, d}, {}, 0});
      } else {
        m.faces.push_back({{a, b, c}, {}, 0});
        m.faces.push_back({{a, c, d}, {}, 0});
      }
    }
  return m;
}

// A closed sphere made of the six subdivided faces of a cube pushed onto the unit sphere. The
// cube faces keep their own texture coordinates, so the vertices along the cube edges are
// duplicated with different coordinates (texture seams) and smooth normals.
inline GeneratedMesh CubeSphere(int n, float jitter, std::uint32_t seed, bool flatCube = false) {
  GeneratedMesh m;
  Lcg rng(seed);
  const Point3 axes[6][3] = {
      {Point3(1, 0, 0), Point3(0, 1, 0), Point3(0, 0, 1)},
      {Point3(-1, 0, 0), Point3(0, 0, 1), Point3(0, 1, 0)},
      {Point3(0, 1, 0), Point3(0, 0, 1), Point3(1, 0, 0)},
      {Point3(0, -1, 0), Point3(1, 0, 0), Point3(0, 0, 1)},
      {Point3(0, 0, 1), Point3(1, 0, 0), Point3(0, 1, 0)},
      {Point3(0, 0, -1), Point3(0, 1, 0), Point3(1, 0, 0)},
  };
  for (int face = 0; face < 6; ++face) {
    const Point3 normal = axes[face][0], s = axes[face][1], t = axes[face][2];
    const std::uint32_t base = static_cast<std::uint32_t>(m.vertices.size());
    for (int j = 0; j <= n; ++j)
      for (int i = 0; i <= n; ++i) {
        const float a = 2.0f * i / n - 1.0f, b = 2.0f * j / n - 1.0f;
        Point3 p = normal + s * a + t * b;
        if (!flatCube) {
          // Jitter by a function of the position, so coincident seam vertices stay coincident.
          const float r = 1.0f + jitter * std::sin(13.0f * p.x + 7.0f * p.y + 5.0f * p.z);
          p = p.Normalize() * r;
        }
        m.vertices.push_back(MakeVertex(p, flatCube ? normal : p.Normalize(),
                                        float(i) / n + face, float(j) / n));
      }
    // Winding so that (s × t) · normal > 0 gives outward faces.
    const bool flip = ((s ^ t) % normal) < 0.0f;
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i) {
        const std::uint32_t a = base + j * (n + 1) + i, b = a + 1, c = a + n + 2, d = a + n + 1;
        if (flip) {
          m.faces.push_back({{a, c, b}, {}, 0});
          m.faces.push_back({{a, d, c}, {}, 0});
        } else {
          m.faces.push_back({{a, b, c}, {}, 0});
          m.faces.push_back({{a, c, d}, {}, 0});
        }
      }
  }
  (void)rng;
  return m;
}

// The mesh with a mirrored copy of every face: same positions, negated normals, reversed
// winding (a two-sided surface).
inline GeneratedMesh TwoSided(const GeneratedMesh& front) {
  GeneratedMesh m = front;
  const std::uint32_t n = static_cast<std::uint32_t>(front.vertices.size());
  for (GenVertex v : front.vertices) {
    v.normal = -v.normal;
    m.vertices.push_back(v);
  }
  for (const GenFace& f : front.faces)
    m.faces.push_back({{n + f.corners[1], n + f.corners[0], n + f.corners[2]}, f.attributes, f.flag});
  return m;
}

// Gives every vertex one to three weights on bones chosen by its position (so coincident
// vertices get identical skins), some below the 2/255 threshold.
inline GeneratedMesh Skinned(GeneratedMesh m, int bands) {
  for (GenVertex& v : m.vertices) {
    const float h = v.position.x * 0.37f + v.position.y * 0.61f + v.position.z * 0.23f;
    const int band = static_cast<int>(std::floor(h * bands)) % bands;
    const float frac = h * bands - std::floor(h * bands);
    v.bones[0] = static_cast<std::uint8_t>(band < 0 ? -band : band);
    v.bones[1] = static_cast<std::uint8_t>(v.bones[0] + 1);
    v.bones[2] = static_cast<std::uint8_t>(v.bones[0] + 7);
    v.weights[0] = 1.0f - frac;
    v.weights[1] = frac * 0.8f;
    v.weights[2] = frac * 0.2f;
    v.weightCount = 3;
  }
  return m;
}

// Assigns material 1 to the faces whose first corner has x above `split`, and the detail marker
// 0xFFFF to every third face.
inline GeneratedMesh Materials(GeneratedMesh m, float split) {
  for (std::size_t i = 0; i < m.faces.size(); ++i) {
    GenFace& f = m.faces[i];
    f.attributes.material = m.vertices[f.corners[0]].position.x > split ? 1 : 0;
    if (i % 3 == 0) f.attributes.detailMarker = 0xFFFF;
    f.flag = f.attributes.detailMarker == 0 ? 255 : 0;
  }
  return m;
}

// Adds degenerate faces: repeated corners, collinear corners and a sliver, plus an isolated
// vertex and a coincident vertex with opposite normal.
inline GeneratedMesh WithDegenerates(GeneratedMesh m) {
  const std::uint32_t n = static_cast<std::uint32_t>(m.vertices.size());
  if (n < 3) return m;
  m.faces.push_back({{0, 0, 1}, {}, 0});
  m.faces.push_back({{2, 1, 2}, {}, 0});
  const GenVertex a = m.vertices[0], b = m.vertices[1];
  GenVertex mid = a;
  mid.position = (a.position + b.position) * 0.5f;
  m.vertices.push_back(mid);  // n: on the segment 0-1
  m.faces.push_back({{0, 1, n}, {}, 0});
  GenVertex lone = a;
  lone.position = Point3(50.0f, 50.0f, 50.0f);
  m.vertices.push_back(lone);  // n + 1: no face
  GenVertex opposite = a;
  opposite.normal = -a.normal;
  m.vertices.push_back(opposite);  // n + 2: same place as 0, other side
  m.faces.push_back({{n + 2, 2, 1}, {}, 0});
  return m;
}

// A non-manifold triangle soup: random faces over a few vertices on a coarse lattice (so that
// positions coincide), with edges shared by many faces, repeated faces and repeated corners.
inline GeneratedMesh Soup(int vertexCount, int faceCount, std::uint32_t seed) {
  GeneratedMesh m;
  Lcg rng(seed);
  for (int i = 0; i < vertexCount; ++i) {
    const Point3 p(std::floor(rng.Next() * 4), std::floor(rng.Next() * 4), std::floor(rng.Next() * 2));
    const Point3 n = rng.Next() < 0.2f ? Point3(0, 0, -1) : Point3(0, 0, 1);
    m.vertices.push_back(MakeVertex(p, n, rng.Next(), rng.Next()));
  }
  auto pick = [&] { return static_cast<std::uint32_t>(rng.Next() * vertexCount); };
  for (int i = 0; i < faceCount; ++i) {
    GenFace f{{pick(), pick(), pick()}, {static_cast<std::uint16_t>(rng.Next() * 2), 0}, 0};
    m.faces.push_back(f);
    if (rng.Next() < 0.05f) m.faces.push_back(f);
  }
  return m;
}

// Moves one vertex to a NaN position and one far away (beyond the position hash's cells).
inline GeneratedMesh WithOddPositions(GeneratedMesh m) {
  if (m.vertices.size() < 3) return m;
  m.vertices[1].position.x = std::nanf("");
  m.vertices[2].position = Point3(3e9f, 1.0f, 1.0f);
  GenVertex twin = m.vertices[2];
  twin.uv[0].u += 0.5f;
  m.vertices.push_back(twin);  // coincident with the far vertex
  const std::uint32_t last = static_cast<std::uint32_t>(m.vertices.size() - 1);
  m.faces.push_back({{last, 3, 4}, {}, 0});
  return m;
}

}  // namespace reducer_meshes
