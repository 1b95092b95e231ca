// The Physique modifier: its export interfaces (per call objects, counted until released)
// and the skin deformation that EvalWorldState applies.
#include "host/Physique.h"

#include "host/INode.h"

namespace {

PhysiqueInterfaceCounts g_open;

INode* LiveBone(INode* bone) { return bone != nullptr && !bone->IsDeleted() ? bone : nullptr; }

class RigidVertex : public IPhyRigidVertex {
 public:
  RigidVertex(int type, INode* bone) : type_(type), bone_(bone) {}
  int GetVertexType() override { return type_; }
  INode* GetNode() override { return LiveBone(bone_); }

 private:
  int type_;
  INode* bone_;
};

class BlendedVertex : public IPhyBlendedRigidVertex {
 public:
  explicit BlendedVertex(const SkinVertex& v) : v_(v) {}
  int GetVertexType() override { return RIGID_BLENDED_TYPE; }
  int GetNumberNodes() override { return static_cast<int>(v_.bones.size()); }
  INode* GetNode(int i) override {
    return i >= 0 && i < GetNumberNodes() ? LiveBone(v_.bones[static_cast<size_t>(i)].first) : nullptr;
  }
  float GetWeight(int i) override {
    return i >= 0 && i < GetNumberNodes() ? v_.bones[static_cast<size_t>(i)].second : 0.0f;
  }

 private:
  const SkinVertex& v_;
};

class Context : public IPhyContextExport {
 public:
  explicit Context(const PhysiqueModifier& mod) : mod_(mod) {}
  int GetNumberVertices() override { return static_cast<int>(mod_.vertices.size()); }
  IPhyVertexExport* GetVertexInterface(int i) override {
    if (i < 0 || i >= GetNumberVertices()) return nullptr;
    const SkinVertex& v = mod_.vertices[static_cast<size_t>(i)];
    IPhyVertexExport* out = nullptr;
    switch (v.kind) {
      case SkinVertex::Rigid:
        out = new RigidVertex(RIGID_TYPE, v.bones.empty() ? nullptr : v.bones[0].first);
        break;
      case SkinVertex::Deformable:
        out = new RigidVertex(convertToRigid_ ? RIGID_TYPE : DEFORMABLE_TYPE,
                              v.bones.empty() ? nullptr : v.bones[0].first);
        break;
      case SkinVertex::Blended:
        if (allowBlending_) {
          out = new BlendedVertex(v);
        } else {
          INode* heaviest = nullptr;
          float best = 0.0f;
          for (const auto& [bone, weight] : v.bones)
            if (heaviest == nullptr || weight > best) { heaviest = bone; best = weight; }
          out = new RigidVertex(RIGID_TYPE, heaviest);
        }
        break;
    }
    ++g_open.vertices;
    return out;
  }
  void ReleaseVertexInterface(IPhyVertexExport* v) override {
    if (v == nullptr) return;
    --g_open.vertices;
    delete v;
  }
  void ConvertToRigid(BOOL flag) override { convertToRigid_ = flag != FALSE; }
  void AllowBlending(BOOL flag) override { allowBlending_ = flag != FALSE; }

 private:
  const PhysiqueModifier& mod_;
  bool convertToRigid_ = false;
  bool allowBlending_ = true;
};

class Export : public IPhysiqueExport {
 public:
  explicit Export(PhysiqueModifier& mod) : mod_(mod) {}
  int Version() override { return 30; }
  IPhyContextExport* GetContextInterface(INode* node) override {
    if (node == nullptr || FindPhysiqueModifier(node->GetObjectRef()) != &mod_) return nullptr;
    ++g_open.contexts;
    return new Context(mod_);
  }
  bool ReleaseContextInterface(IPhyContextExport* c) override {
    if (c == nullptr) return false;
    --g_open.contexts;
    delete c;
    return true;
  }
  int GetInitNodeTM(INode* node, Matrix3& tm) override {
    if (node == nullptr) return NODE_NOT_FOUND;
    if (FindPhysiqueModifier(node->GetObjectRef()) == &mod_) { tm = mod_.MeshBindTM(node); return MATRIX_RETURNED; }
    for (const SkinVertex& v : mod_.vertices)
      for (const auto& entry : v.bones)
        if (entry.first == node) { tm = mod_.BoneBindTM(node); return MATRIX_RETURNED; }
    return NODE_NOT_FOUND;
  }

 private:
  PhysiqueModifier& mod_;
};

}  // namespace

void* PhysiqueModifier::GetInterface(ULONG id) {
  if (id != I_PHYINTERFACE) return Modifier::GetInterface(id);
  ++g_open.exports;
  return static_cast<IPhysiqueExport*>(new Export(*this));
}

void PhysiqueModifier::ReleaseInterface(ULONG id, void* i) {
  if (id != I_PHYINTERFACE || i == nullptr) return;
  --g_open.exports;
  delete static_cast<IPhysiqueExport*>(i);
}

Matrix3 PhysiqueModifier::MeshBindTM(INode* skinned) const {
  if (hasMeshBind || skinned == nullptr) return meshBind;
  return skinned->GetObjectTM(0);
}

Matrix3 PhysiqueModifier::BoneBindTM(INode* bone) const {
  auto it = boneBinds.find(bone);
  if (it != boneBinds.end()) return it->second;
  return bone != nullptr ? bone->GetNodeTM(0) : Matrix3();
}

void PhysiqueModifier::Deform(INode* skinned, TimeValue t, const Mesh& bindMesh, Mesh& out) const {
  out = bindMesh;
  const Matrix3 meshBind = MeshBindTM(skinned);
  const Matrix3 toObject = Inverse(skinned->GetObjectTM(t));
  // Each bone's motion since the bind pose, computed once per bone.
  std::map<INode*, Matrix3> motion;
  auto motionOf = [&](INode* bone) -> const Matrix3& {
    auto it = motion.find(bone);
    if (it == motion.end()) it = motion.emplace(bone, Inverse(BoneBindTM(bone)) * bone->GetNodeTM(t)).first;
    return it->second;
  };
  const size_t n = std::min(out.verts.size(), vertices.size());
  for (size_t i = 0; i < n; ++i) {
    const Point3 world = bindMesh.verts[i] * meshBind;
    Point3 sum;
    float total = 0.0f;
    for (const auto& [bone, weight] : vertices[i].bones) {
      INode* live = LiveBone(bone);
      const float w = vertices[i].kind == SkinVertex::Blended ? weight : 1.0f;
      if (live == nullptr || w <= 0.0f) continue;
      sum += (world * motionOf(live)) * w;
      total += w;
      if (vertices[i].kind != SkinVertex::Blended) break;
    }
    if (total > 0.0f) out.verts[i] = (sum / total) * toObject;
  }
}

PhysiqueModifier* FindPhysiqueModifier(Object* objectRef) {
  IDerivedObject* derived = AsDerivedObject(objectRef);
  if (derived == nullptr) return nullptr;
  for (int i = 0; i < derived->NumModifiers(); ++i) {
    Modifier* m = derived->GetModifier(i);
    if (m->ClassID() == PHYSIQUE_CLASS_ID) return static_cast<PhysiqueModifier*>(m);
  }
  return nullptr;
}

PhysiqueInterfaceCounts PhysiqueOpenInterfaces() { return g_open; }
