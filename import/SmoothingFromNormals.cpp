// Smoothing groups from corner normals: edge joins, components, greedy colouring.
#include "import/SmoothingFromNormals.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <unordered_map>

namespace tz2import {
namespace {

constexpr float kAgree = 0.9995f;  // cosine above which two normals are the same

bool Agree(const Point3& a, const Point3& b) {
  const float la = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
  const float lb = std::sqrt(b.x * b.x + b.y * b.y + b.z * b.z);
  if (la <= 0.0f || lb <= 0.0f) return false;
  return (a.x * b.x + a.y * b.y + a.z * b.z) / (la * lb) > kAgree;
}

int Find(std::vector<int>& parent, int i) {
  while (parent[static_cast<size_t>(i)] != i) {
    parent[static_cast<size_t>(i)] = parent[static_cast<size_t>(parent[static_cast<size_t>(i)])];
    i = parent[static_cast<size_t>(i)];
  }
  return i;
}

// The corner of face f at vertex v (-1 when f does not use v).
int CornerOf(const Face& f, DWORD v) {
  for (int k = 0; k < 3; ++k)
    if (f.v[k] == v) return k;
  return -1;
}

}  // namespace

void AssignSmoothingGroups(Mesh& mesh, const std::vector<Point3>& normals) {
  const int nf = mesh.getNumFaces();
  std::vector<int> parent(static_cast<size_t>(nf));
  std::iota(parent.begin(), parent.end(), 0);
  std::vector<bool> joined(static_cast<size_t>(nf), false);

  // Faces by undirected edge.
  std::unordered_map<uint64_t, std::vector<int>> edges;
  for (int f = 0; f < nf; ++f)
    for (int k = 0; k < 3; ++k) {
      DWORD a = mesh.faces[static_cast<size_t>(f)].v[k], b = mesh.faces[static_cast<size_t>(f)].v[(k + 1) % 3];
      if (a > b) std::swap(a, b);
      edges[(uint64_t(a) << 32) | b].push_back(f);
    }
  for (const auto& [key, faces] : edges) {
    const DWORD a = DWORD(key >> 32), b = DWORD(key & 0xFFFFFFFFu);
    for (size_t i = 0; i < faces.size(); ++i)
      for (size_t j = i + 1; j < faces.size(); ++j) {
        const int f = faces[i], g = faces[j];
        const Face &ff = mesh.faces[static_cast<size_t>(f)], &fg = mesh.faces[static_cast<size_t>(g)];
        const auto n = [&](int face, const Face& fc, DWORD v) { return normals[static_cast<size_t>(3 * face + CornerOf(fc, v))]; };
        if (!Agree(n(f, ff, a), n(g, fg, a)) || !Agree(n(f, ff, b), n(g, fg, b))) continue;
        joined[static_cast<size_t>(f)] = joined[static_cast<size_t>(g)] = true;
        parent[static_cast<size_t>(Find(parent, f))] = Find(parent, g);
      }
  }

  // Components meeting at a vertex are neighbours; colour them greedily in face order.
  std::vector<std::vector<int>> atVertex(static_cast<size_t>(mesh.getNumVerts()));
  for (int f = 0; f < nf; ++f)
    if (joined[static_cast<size_t>(f)])
      for (DWORD v : mesh.faces[static_cast<size_t>(f)].v) atVertex[v].push_back(Find(parent, f));
  // Each component's faces, components in order of their first face.
  std::unordered_map<int, std::vector<int>> facesOf;
  std::vector<int> order;
  for (int f = 0; f < nf; ++f) {
    if (!joined[static_cast<size_t>(f)]) {
      mesh.faces[static_cast<size_t>(f)].smGroup = 0;
      continue;
    }
    auto& list = facesOf[Find(parent, f)];
    if (list.empty()) order.push_back(Find(parent, f));
    list.push_back(f);
  }
  std::vector<DWORD> groupOf(static_cast<size_t>(nf), 0);
  std::vector<int> useCount(32, 0);
  for (int comp : order) {
    DWORD taken = 0;
    for (int f : facesOf[comp])
      for (DWORD v : mesh.faces[static_cast<size_t>(f)].v)
        for (int other : atVertex[v])
          if (other != comp) taken |= groupOf[static_cast<size_t>(other)];
    int bit = -1;
    for (int b = 0; b < 32; ++b)
      if (!(taken & (1u << b)) && (bit < 0 || useCount[static_cast<size_t>(b)] < useCount[static_cast<size_t>(bit)])) bit = b;
    if (bit < 0) bit = static_cast<int>(std::min_element(useCount.begin(), useCount.end()) - useCount.begin());
    ++useCount[static_cast<size_t>(bit)];
    groupOf[static_cast<size_t>(comp)] = 1u << bit;
    for (int f : facesOf[comp]) mesh.faces[static_cast<size_t>(f)].smGroup = 1u << bit;
  }
}

}  // namespace tz2import
