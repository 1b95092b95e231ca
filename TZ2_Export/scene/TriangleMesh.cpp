// The triangle mesh of a node at a time, and the mesh validity test (see TriangleMesh.h).
#include "TZ2_Export/scene/TriangleMesh.h"

#include "host/INode.h"
#include "host/Mesh.h"
#include "host/Object.h"

namespace tz2 {

NodeTriangleMesh::NodeTriangleMesh(INode* node, TimeValue t, bool geometricOnly) {
  if (node == nullptr) return;
  ObjectState os = node->EvalWorldState(t);
  Object* obj = os.obj;
  if (obj == nullptr) return;
  if (geometricOnly && obj->SuperClassID() != GEOMOBJECT_CLASS_ID) return;
  if (!obj->CanConvertToType(triObjectClassID)) return;
  Object* result = obj->ConvertToType(t, triObjectClassID);
  if (result == nullptr) return;
  if (result != obj) converted_ = result;
  if (result->ClassID() == triObjectClassID) mesh_ = &static_cast<TriObject*>(result)->GetMesh();
}

NodeTriangleMesh::~NodeTriangleMesh() {
  if (converted_ != nullptr) converted_->DeleteMe();
}

bool NodeTriangleMesh::HasGeometry() const {
  return mesh_ != nullptr && mesh_->getNumVerts() > 0 && mesh_->getNumFaces() > 0;
}

int MeshProblem(INode* node, bool needsMaterial) {
  NodeTriangleMesh tri(node, 0);
  if (!tri) return kNoTriangleMesh;
  if (tri.Get()->getNumVerts() <= 0) return kNoVertices;
  if (tri.Get()->getNumFaces() <= 0) return kNoFaces;
  if (needsMaterial) {
    if (tri.Get()->getNumTVerts() <= 0) return kNoTextureVertices;
    if (node->GetMtl() == nullptr) return kNoMaterial;
  }
  return kMeshOk;
}

}  // namespace tz2
