// Mesh map channels, face normals and bounds.
#include "host/Mesh.h"

#include <limits>

int Mesh::getNumMaps() const { return maps_.size() > 2 ? static_cast<int>(maps_.size()) : 2; }

bool Mesh::mapSupport(int channel) const {
  if (channel == 1) return !tvFace.empty() || !tVerts.empty();
  return channel > 1 && channel < static_cast<int>(maps_.size()) &&
         (!maps_[static_cast<size_t>(channel)].tf.empty() ||
          !maps_[static_cast<size_t>(channel)].tv.empty());
}

void Mesh::setMapSupport(int channel, bool support) {
  if (channel == 1) {
    if (support) tvFace.resize(faces.size());
    else { tVerts.clear(); tvFace.clear(); }
    return;
  }
  if (channel < 2) return;
  if (static_cast<int>(maps_.size()) <= channel) maps_.resize(static_cast<size_t>(channel) + 1);
  MeshMap& map = maps_[static_cast<size_t>(channel)];
  if (support) map.tf.resize(faces.size());
  else { map.tv.clear(); map.tf.clear(); }
}

int Mesh::getNumMapVerts(int channel) const {
  if (channel == 1) return getNumTVerts();
  if (channel < 2 || channel >= static_cast<int>(maps_.size())) return 0;
  return static_cast<int>(maps_[static_cast<size_t>(channel)].tv.size());
}

UVVert* Mesh::mapVerts(int channel) {
  if (channel == 1) return tVerts.empty() ? nullptr : tVerts.data();
  if (channel < 2 || channel >= static_cast<int>(maps_.size())) return nullptr;
  auto& tv = maps_[static_cast<size_t>(channel)].tv;
  return tv.empty() ? nullptr : tv.data();
}

TVFace* Mesh::mapFaces(int channel) {
  if (channel == 1) return tvFace.empty() ? nullptr : tvFace.data();
  if (channel < 2 || channel >= static_cast<int>(maps_.size())) return nullptr;
  auto& tf = maps_[static_cast<size_t>(channel)].tf;
  return tf.empty() ? nullptr : tf.data();
}

void Mesh::setNumMapVerts(int channel, int n) {
  if (channel == 1) { setNumTVerts(n); return; }
  if (channel < 2) return;
  if (static_cast<int>(maps_.size()) <= channel) maps_.resize(static_cast<size_t>(channel) + 1);
  maps_[static_cast<size_t>(channel)].tv.resize(static_cast<size_t>(n));
}

void Mesh::setNumMapFaces(int channel, int n) {
  if (channel == 1) { setNumTVFaces(n); return; }
  if (channel < 2) return;
  if (static_cast<int>(maps_.size()) <= channel) maps_.resize(static_cast<size_t>(channel) + 1);
  maps_[static_cast<size_t>(channel)].tf.resize(static_cast<size_t>(n));
}

void Mesh::buildNormals() {
  faceNormals_.resize(faces.size());
  for (size_t f = 0; f < faces.size(); ++f) {
    const Face& face = faces[f];
    const Point3& p0 = verts[face.v[0]];
    const Point3& p1 = verts[face.v[1]];
    const Point3& p2 = verts[face.v[2]];
    faceNormals_[f] = ((p1 - p0) ^ (p2 - p1)).Normalize();
  }
}

void Mesh::boundingBox(Point3& min, Point3& max, const Matrix3* tm) const {
  const float big = std::numeric_limits<float>::max();
  min = Point3(big, big, big);
  max = Point3(-big, -big, -big);
  for (const Point3& v : verts) {
    const Point3 p = tm ? tm->PointTransform(v) : v;
    for (int i = 0; i < 3; ++i) {
      if (p[i] < min[i]) min[i] = p[i];
      if (p[i] > max[i]) max[i] = p[i];
    }
  }
}

void Mesh::setNormal(int i, const Point3& n) {
  if (i < 0) return;
  if (vertexNormals.size() < verts.size()) vertexNormals.resize(verts.size());
  if (static_cast<size_t>(i) >= vertexNormals.size()) vertexNormals.resize(static_cast<size_t>(i) + 1);
  vertexNormals[static_cast<size_t>(i)] = n;
}

Point3 Mesh::getNormal(int i) const {
  return i >= 0 && static_cast<size_t>(i) < vertexNormals.size() ? vertexNormals[static_cast<size_t>(i)] : Point3();
}

void Mesh::buildBoundingBox() { boundingBox(bbMin_, bbMax_); }

void Mesh::setNumMapVerts(int channel, int n, int keep) {
  if (!keep) setNumMapVerts(channel, 0);
  setNumMapVerts(channel, n);
}

void Mesh::setNumMapFaces(int channel, int n, int keep) {
  if (!keep) setNumMapFaces(channel, 0);
  setNumMapFaces(channel, n);
}
