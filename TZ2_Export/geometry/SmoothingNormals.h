// SmoothingNormals: per-vertex normals of a host Mesh by smoothing group.
//
// Build walks the faces in order. Each face's normal is Normalize((p1 − p0) ^ (p2 − p1)),
// unweighted by area or angle, and is added at each of its three corners with AddNormal to
// the corner vertex's list of entries, one entry per set of smoothing groups that meet there.
// Then every vertex's list is finished: for each entry in order, every later entry whose
// mask shares a bit with the entry's mask is summed into it (normals only; the entry's mask
// stays as it is) and removed, and the entry's normal is normalised.
// GetVertexNormal gives, for a corner of a face with smoothing groups s, the first entry of
// the vertex whose mask shares a bit with s, or the face's normal when none does (always for
// s = 0, so faces without smoothing group stay flat).
// Ownership: each vertex's first entry is embedded in the vertex array; further entries are
// allocated by the list and freed by Destroy or the destructor. Movable, not copyable. A face
// with a corner outside the mesh's vertices is skipped (normal zero, no entries).
#pragma once

#include <cstdint>
#include <vector>

#include "host/Mesh.h"

struct NormalEntry {
  Point3 normal;
  std::uint32_t mask = 0;
  NormalEntry* next = nullptr;  // owned by the vertex's list (null for the last entry)
  bool initialised = false;
};

// Adds the normal n of a face with smoothing groups s to the list that starts at first:
// into the first entry when it shares a bit with s or is not initialised yet, else into the
// first later entry that shares a bit with s; when none does, a new entry (n, s) is appended.
void AddNormal(NormalEntry& first, const Point3& n, std::uint32_t s);

class SmoothingNormals {
 public:
  SmoothingNormals() = default;
  ~SmoothingNormals() { Destroy(); }
  SmoothingNormals(const SmoothingNormals&) = delete;
  SmoothingNormals& operator=(const SmoothingNormals&) = delete;
  SmoothingNormals(SmoothingNormals&& other) noexcept;
  SmoothingNormals& operator=(SmoothingNormals&& other) noexcept;

  // Replaces any earlier content with the normals of mesh.
  void Build(const Mesh& mesh);
  Point3 GetVertexNormal(int vertex, std::uint32_t s, int face) const;

  int NumVertices() const { return static_cast<int>(vertices_.size()); }
  int NumFaces() const { return static_cast<int>(faceNormals_.size()); }
  const Point3& GetFaceNormal(int face) const { return faceNormals_[static_cast<size_t>(face)]; }
  // The vertex's list (for inspection).
  const NormalEntry& Entries(int vertex) const { return vertices_[static_cast<size_t>(vertex)]; }

  void Destroy();

 private:
  std::vector<NormalEntry> vertices_;
  std::vector<Point3> faceNormals_;
};
