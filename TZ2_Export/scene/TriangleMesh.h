// The triangle mesh of a node at a time: the node's world state is evaluated and its object
// converted to the triangle-mesh class (Class_ID (9, 0)). A conversion that produced a new
// object (not the evaluated object itself) is deleted with DeleteMe when the holder goes, so
// the mesh is valid for the holder's lifetime only. No mesh when the state has no object or
// the object does not convert.
//
// MeshProblem tells why a node cannot be exported as a mesh (0 when it can).
#pragma once

#include "host/Interval.h"

class INode;
class Mesh;
class Object;

namespace tz2 {

class NodeTriangleMesh {
 public:
  // With geometricOnly, an evaluated object whose super class is not the geometric-object
  // class (0x10) gives no mesh either.
  NodeTriangleMesh(INode* node, TimeValue t, bool geometricOnly = false);
  ~NodeTriangleMesh();
  NodeTriangleMesh(const NodeTriangleMesh&) = delete;
  NodeTriangleMesh& operator=(const NodeTriangleMesh&) = delete;

  Mesh* Get() const { return mesh_; }
  explicit operator bool() const { return mesh_ != nullptr; }
  // Whether the mesh has at least one vertex and one face.
  bool HasGeometry() const;

 private:
  Mesh* mesh_ = nullptr;
  Object* converted_ = nullptr;  // owned when not null
};

enum MeshProblemCode {
  kMeshOk = 0,
  kNoTriangleMesh = 1,
  kNoVertices = 2,
  kNoFaces = 3,
  kNoTextureVertices = 4,
  kNoMaterial = 5,
};

// 1 no triangle mesh at time 0, 2 no vertices, 3 no faces; with needsMaterial: 4 no texture
// vertices, 5 no material; 0 otherwise.
int MeshProblem(INode* node, bool needsMaterial);

}  // namespace tz2
