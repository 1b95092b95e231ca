// Skin: Physique lookup, the skin bones of a mesh and the raw weights of its vertices.
//
// AddSkinBones with Physique runs two scans over the mesh's vertices: the deformable scan
// (blending allowed, deformable vertices shown as such) sets the export's deformable flag
// for a vertex without interface or with the deformable type bit; the bone scan (deformable
// vertices converted to rigid) adds every bone of every vertex in vertex order. RawWeights
// reads one vertex the same way and sums the weights per bone (AddWeight).
#include "TZ2_Export/skeleton/Skin.h"

#include <memory>

#include "TZ2_Export/scene/TriangleMesh.h"
#include "host/INode.h"
#include "host/Mesh.h"
#include "host/Object.h"
#include "host/Physique.h"
#include "platform/Windows.h"

namespace tz2 {

Modifier* FindPhysique(INode* node) {
  IDerivedObject* derived = AsDerivedObject(node != nullptr ? node->GetObjectRef() : nullptr);
  if (derived == nullptr) return nullptr;
  for (int i = 0; i < derived->NumModifiers(); ++i) {
    Modifier* mod = derived->GetModifier(i);
    if (mod != nullptr && mod->ClassID() == PHYSIQUE_CLASS_ID) return mod;
  }
  return nullptr;
}

namespace {

// The export interface and the node's context of a Physique modifier, released on exit.
class PhysiqueAccess {
 public:
  PhysiqueAccess(Modifier* mod, INode* node, bool trace) : mod_(mod) {
    export_ = static_cast<IPhysiqueExport*>(mod->GetInterface(I_PHYINTERFACE));
    if (export_ == nullptr) return;
    if (trace) OutputDebugStringA(" Got physique export interface");
    context_ = export_->GetContextInterface(node);
    if (context_ != nullptr && trace) OutputDebugStringA(" Got physique context export interface");
  }
  ~PhysiqueAccess() {
    if (context_ != nullptr) export_->ReleaseContextInterface(context_);
    if (export_ != nullptr) mod_->ReleaseInterface(I_PHYINTERFACE, export_);
  }
  PhysiqueAccess(const PhysiqueAccess&) = delete;
  PhysiqueAccess& operator=(const PhysiqueAccess&) = delete;

  IPhyContextExport* Context() const { return context_; }

 private:
  Modifier* mod_;
  IPhysiqueExport* export_ = nullptr;
  IPhyContextExport* context_ = nullptr;
};

// A vertex interface of a context, released on exit.
class VertexAccess {
 public:
  VertexAccess(IPhyContextExport* context, int i) : context_(context), vertex_(context->GetVertexInterface(i)) {}
  ~VertexAccess() {
    if (vertex_ != nullptr) context_->ReleaseVertexInterface(vertex_);
  }
  VertexAccess(const VertexAccess&) = delete;
  VertexAccess& operator=(const VertexAccess&) = delete;

  IPhyVertexExport* Get() const { return vertex_; }
  bool Blended() const { return (vertex_->GetVertexType() & BLENDED_TYPE) != 0; }

 private:
  IPhyContextExport* context_;
  IPhyVertexExport* vertex_;
};

void ScanDeformable(ExportState& s, IPhyContextExport* context, int vertexCount) {
  context->AllowBlending(TRUE);
  context->ConvertToRigid(FALSE);
  for (int i = 0; i < vertexCount; ++i) {
    VertexAccess v(context, i);
    if (v.Get() == nullptr || (v.Get()->GetVertexType() & DEFORMABLE_TYPE) != 0) s.deformableVerticesFound = true;
  }
}

void ScanBones(IPhyContextExport* context, int vertexCount, NodeList& skinBones) {
  context->AllowBlending(TRUE);
  context->ConvertToRigid(TRUE);
  for (int i = 0; i < vertexCount; ++i) {
    VertexAccess v(context, i);
    if (v.Get() == nullptr) continue;
    if (v.Blended()) {
      auto* blended = static_cast<IPhyBlendedRigidVertex*>(v.Get());
      for (int j = 0; j < blended->GetNumberNodes(); ++j) {
        if (INode* bone = blended->GetNode(j))
          AddUnlessListed(skinBones, bone);
        else
          OutputDebugStringA(" ERROR: BONE=NULL");
      }
    } else {
      if (INode* bone = static_cast<IPhyRigidVertex*>(v.Get())->GetNode())
        AddUnlessListed(skinBones, bone);
      else
        OutputDebugStringA(" ERROR: ROOTBONE=NULL");
    }
  }
}

}  // namespace

void AddSkinBones(ExportState& s, INode* node, NodeList& skinBones) {
  NodeTriangleMesh tri(node, 0);
  if (!tri) return;
  const int vertexCount = tri.Get()->getNumVerts();
  if (Modifier* physique = FindPhysique(node)) {
    OutputDebugStringA(" Got physique modifier");
    PhysiqueAccess access(physique, node, true);
    if (access.Context() == nullptr) return;
    ScanDeformable(s, access.Context(), vertexCount);
    ScanBones(access.Context(), vertexCount, skinBones);
    return;
  }
  INode* parent = node->GetParentNode();
  if (parent == nullptr) return;
  AddUnlessListed(skinBones, node);
  if (!parent->IsRootNode()) AddUnlessListed(skinBones, parent);
}

void AddWeight(std::vector<WeightPair>& weights, std::uint32_t bone, float weight) {
  for (WeightPair& p : weights)
    if (p.bone == bone) {
      p.weight += weight;
      return;
    }
  weights.push_back(WeightPair{bone, weight});
}

namespace {

void AddBoneWeight(std::vector<WeightPair>& weights, const NodeIndex& boneIndex, INode* bone, float weight) {
  if (bone == nullptr) return;
  const int index = boneIndex.IndexOf(bone);
  if (index >= 0) AddWeight(weights, static_cast<std::uint32_t>(index), weight);
}

}  // namespace

std::vector<WeightPair> RawWeights(INode* node, int meshVertex, const NodeIndex& boneIndex) {
  std::vector<WeightPair> weights;
  if (Modifier* physique = FindPhysique(node)) {
    PhysiqueAccess access(physique, node, false);
    IPhyContextExport* context = access.Context();
    if (context == nullptr) return weights;
    context->ConvertToRigid(TRUE);
    context->AllowBlending(TRUE);
    VertexAccess v(context, meshVertex);
    if (v.Get() == nullptr) return weights;
    if (v.Blended()) {
      auto* blended = static_cast<IPhyBlendedRigidVertex*>(v.Get());
      for (int j = 0; j < blended->GetNumberNodes(); ++j)
        AddBoneWeight(weights, boneIndex, blended->GetNode(j), blended->GetWeight(j));
    } else {
      AddBoneWeight(weights, boneIndex, static_cast<IPhyRigidVertex*>(v.Get())->GetNode(), 1.0f);
    }
    return weights;
  }
  int bone = boneIndex.IndexOf(node);
  if (bone < 0) {
    INode* parent = node->GetParentNode();
    bone = parent != nullptr ? boneIndex.IndexOf(parent) : -1;
  }
  AddWeight(weights, static_cast<std::uint32_t>(bone < 0 ? 0 : bone), 1.0f);
  return weights;
}

std::vector<WeightPair> RawWeights(INode* node, int meshVertex, const NodeList& boneList) {
  return RawWeights(node, meshVertex, NodeIndex(boneList));
}

}  // namespace tz2
