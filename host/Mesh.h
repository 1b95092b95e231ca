// Mesh: the host's triangle mesh: vertices, faces of three vertex indices with smoothing
// bits, a material ID, edge visibility and a hidden flag, texture vertices and faces (map
// channel 1), further map channels, given normals, face normals and a bounding box.
// The one-argument setNum* calls keep the contents that fit; the calls with a keep flag
// discard every earlier element when it is FALSE (new elements are zero).
#pragma once

#include <cstdint>
#include <vector>

#include "host/Matrix3.h"

using DWORD = std::uint32_t;
using MtlID = std::uint16_t;

// Face flag bits.
inline constexpr DWORD EDGE_A = 1u << 0;
inline constexpr DWORD EDGE_B = 1u << 1;
inline constexpr DWORD EDGE_C = 1u << 2;
inline constexpr DWORD EDGE_ALL = EDGE_A | EDGE_B | EDGE_C;
inline constexpr DWORD FACE_HIDDEN = 1u << 3;
inline constexpr int FACE_MATID_SHIFT = 16;
inline constexpr DWORD FACE_MATID_MASK = 0xFFFFu;

struct Face {
  DWORD v[3] = {0, 0, 0};
  DWORD smGroup = 0;
  DWORD flags = EDGE_ALL;

  void setVerts(DWORD a, DWORD b, DWORD c) { v[0] = a; v[1] = b; v[2] = c; }
  void setEdgeVisFlags(bool a, bool b, bool c) { setEdgeVis(0, a); setEdgeVis(1, b); setEdgeVis(2, c); }
  DWORD getVert(int i) const { return v[i]; }
  void setSmGroup(DWORD s) { smGroup = s; }
  DWORD getSmGroup() const { return smGroup; }
  MtlID getMatID() const { return static_cast<MtlID>((flags >> FACE_MATID_SHIFT) & FACE_MATID_MASK); }
  void setMatID(MtlID id) {
    flags = (flags & ~(FACE_MATID_MASK << FACE_MATID_SHIFT)) | (DWORD(id) << FACE_MATID_SHIFT);
  }
  bool Hidden() const { return (flags & FACE_HIDDEN) != 0; }
  void SetHide(bool hide) { flags = hide ? (flags | FACE_HIDDEN) : (flags & ~FACE_HIDDEN); }
  bool getEdgeVis(int edge) const { return (flags & (EDGE_A << edge)) != 0; }
  void setEdgeVis(int edge, bool visible) {
    flags = visible ? (flags | (EDGE_A << edge)) : (flags & ~(EDGE_A << edge));
  }
};

// A face of a texture or map channel: three indices into that channel's vertices.
struct TVFace {
  DWORD t[3] = {0, 0, 0};
  void setTVerts(DWORD a, DWORD b, DWORD c) { t[0] = a; t[1] = b; t[2] = c; }
  DWORD getTVert(int i) const { return t[i]; }
};

struct MeshMap {
  std::vector<UVVert> tv;
  std::vector<TVFace> tf;
};

class Mesh {
 public:
  std::vector<Point3> verts;
  std::vector<Face> faces;
  // Map channel 1 (the texture coordinates).
  std::vector<UVVert> tVerts;
  std::vector<TVFace> tvFace;
  // Normals given with the mesh: per vertex (setNormal), and per face corner (three a face,
  // face f's corner c at 3f + c; empty when none were given).
  std::vector<Point3> vertexNormals;
  std::vector<Point3> cornerNormals;

  int getNumVerts() const { return static_cast<int>(verts.size()); }
  int getNumFaces() const { return static_cast<int>(faces.size()); }
  int getNumTVerts() const { return static_cast<int>(tVerts.size()); }
  void setNumVerts(int n) { verts.resize(static_cast<size_t>(n)); }
  void setNumFaces(int n) { faces.resize(static_cast<size_t>(n)); }
  void setNumTVerts(int n) { tVerts.resize(static_cast<size_t>(n)); }
  void setNumTVFaces(int n) { tvFace.resize(static_cast<size_t>(n)); }
  void setNumVerts(int n, int keep) { Size(verts, n, keep); }
  void setNumFaces(int n, int keep) { Size(faces, n, keep); }
  void setNumTVerts(int n, int keep) { Size(tVerts, n, keep); }
  void setNumTVFaces(int n, int keep) { Size(tvFace, n, keep); }
  void setTVert(int i, const UVVert& p) { tVerts[static_cast<size_t>(i)] = p; }
  void setTVert(int i, float u, float v, float w) { tVerts[static_cast<size_t>(i)] = UVVert(u, v, w); }
  Point3& getVert(int i) { return verts[static_cast<size_t>(i)]; }
  const Point3& getVert(int i) const { return verts[static_cast<size_t>(i)]; }
  void setVert(int i, const Point3& p) { verts[static_cast<size_t>(i)] = p; }
  UVVert& getTVert(int i) { return tVerts[static_cast<size_t>(i)]; }
  const UVVert& getTVert(int i) const { return tVerts[static_cast<size_t>(i)]; }

  // Map channels: 1 is tVerts/tvFace; others (2 and up) live in their own maps.
  int getNumMaps() const;
  bool mapSupport(int channel) const;
  void setMapSupport(int channel, bool support = true);
  int getNumMapVerts(int channel) const;
  UVVert* mapVerts(int channel);
  TVFace* mapFaces(int channel);
  void setNumMapVerts(int channel, int n);
  void setNumMapFaces(int channel, int n);
  void setNumMapVerts(int channel, int n, int keep);
  void setNumMapFaces(int channel, int n, int keep);
  void setMapVert(int channel, int i, const UVVert& p) { mapVerts(channel)[i] = p; }

  // Face normals (unit, from the corners in order: (p1 − p0) ^ (p2 − p1)).
  void buildNormals();
  const Point3& getFaceNormal(int face) const { return faceNormals_[static_cast<size_t>(face)]; }
  int numFaceNormals() const { return static_cast<int>(faceNormals_.size()); }

  // The normal of vertex i (sized to the vertices on first use).
  void setNormal(int i, const Point3& n);
  Point3 getNormal(int i) const;
  // Computes and keeps the bounding box of the vertices.
  void buildBoundingBox();
  const Point3& getBoundingBoxMin() const { return bbMin_; }
  const Point3& getBoundingBoxMax() const { return bbMax_; }
  // Drops derived edge data after a topology change (this mesh keeps none).
  void InvalidateEdgeList() { ++edgeListInvalidations_; }
  int EdgeListInvalidations() const { return edgeListInvalidations_; }

  // Bounding box of the vertices, optionally transformed by tm; an empty mesh gives min > max.
  void boundingBox(Point3& min, Point3& max, const Matrix3* tm = nullptr) const;

 private:
  template <class T>
  static void Size(std::vector<T>& v, int n, int keep) {
    if (!keep) v.clear();
    v.resize(n > 0 ? static_cast<size_t>(n) : 0);
  }

  std::vector<MeshMap> maps_;  // index = channel; 0 and 1 unused here
  std::vector<Point3> faceNormals_;
  Point3 bbMin_, bbMax_;
  int edgeListInvalidations_ = 0;
};
