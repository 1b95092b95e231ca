// Smoothing-group vertex normals (see SmoothingNormals.h).
#include "TZ2_Export/geometry/SmoothingNormals.h"

#include <utility>

namespace {

// Frees the allocated entries after first.
void FreeLaterEntries(NormalEntry& first) {
  NormalEntry* e = first.next;
  while (e) {
    NormalEntry* next = e->next;
    delete e;
    e = next;
  }
  first.next = nullptr;
}

void AddInto(NormalEntry& e, const Point3& n, std::uint32_t s) {
  e.normal += n;
  e.mask |= s;
  e.initialised = true;
}

// Sums later entries that share a bit with each entry into it, then normalises it.
void FinishList(NormalEntry& first) {
  for (NormalEntry* e = &first; e; e = e->next) {
    NormalEntry* prev = e;
    for (NormalEntry* later = e->next; later;) {
      if ((later->mask & e->mask) != 0) {
        e->normal += later->normal;
        prev->next = later->next;
        delete later;
        later = prev->next;
      } else {
        prev = later;
        later = later->next;
      }
    }
    e->normal = Normalize(e->normal);
  }
}

}  // namespace

void AddNormal(NormalEntry& first, const Point3& n, std::uint32_t s) {
  if ((first.mask & s) != 0 || !first.initialised) {
    AddInto(first, n, s);
    return;
  }
  NormalEntry* last = &first;
  for (NormalEntry* e = first.next; e; e = e->next) {
    if ((e->mask & s) != 0) {
      AddInto(*e, n, s);
      return;
    }
    last = e;
  }
  last->next = new NormalEntry{n, s, nullptr, true};
}

SmoothingNormals::SmoothingNormals(SmoothingNormals&& other) noexcept
    : vertices_(std::move(other.vertices_)), faceNormals_(std::move(other.faceNormals_)) {
  other.vertices_.clear();
  other.faceNormals_.clear();
}

SmoothingNormals& SmoothingNormals::operator=(SmoothingNormals&& other) noexcept {
  if (this != &other) {
    Destroy();
    vertices_ = std::move(other.vertices_);
    faceNormals_ = std::move(other.faceNormals_);
    other.vertices_.clear();
    other.faceNormals_.clear();
  }
  return *this;
}

void SmoothingNormals::Build(const Mesh& mesh) {
  Destroy();
  const int numVerts = mesh.getNumVerts();
  vertices_.resize(static_cast<size_t>(numVerts));
  faceNormals_.resize(static_cast<size_t>(mesh.getNumFaces()));
  for (int f = 0; f < mesh.getNumFaces(); ++f) {
    const Face& face = mesh.faces[static_cast<size_t>(f)];
    bool valid = true;
    for (DWORD v : face.v) valid = valid && v < static_cast<DWORD>(numVerts);
    if (!valid) continue;
    const Point3& p0 = mesh.getVert(static_cast<int>(face.v[0]));
    const Point3& p1 = mesh.getVert(static_cast<int>(face.v[1]));
    const Point3& p2 = mesh.getVert(static_cast<int>(face.v[2]));
    const Point3 n = Normalize((p1 - p0) ^ (p2 - p1));
    faceNormals_[static_cast<size_t>(f)] = n;
    for (DWORD v : face.v) AddNormal(vertices_[v], n, face.smGroup);
  }
  for (NormalEntry& first : vertices_) FinishList(first);
}

Point3 SmoothingNormals::GetVertexNormal(int vertex, std::uint32_t s, int face) const {
  if (vertex >= 0 && vertex < NumVertices()) {
    for (const NormalEntry* e = &vertices_[static_cast<size_t>(vertex)]; e; e = e->next)
      if ((e->mask & s) != 0) return e->normal;
  }
  if (face < 0 || face >= NumFaces()) return Point3();
  return faceNormals_[static_cast<size_t>(face)];
}

void SmoothingNormals::Destroy() {
  for (NormalEntry& first : vertices_) FreeLaterEntries(first);
  vertices_.clear();
  vertices_.shrink_to_fit();
  faceNormals_.clear();
  faceNormals_.shrink_to_fit();
}
