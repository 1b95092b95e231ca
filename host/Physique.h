// The skin modifier and its export interfaces. The modifier (class PHYSIQUE_CLASS_ID) keeps
// one skin entry per mesh vertex (rigid on one bone, blended over weighted bones, or
// deformable on one bone) and the bind pose. Plug-ins read it through the export interfaces:
//   Modifier::GetInterface(I_PHYINTERFACE) -> IPhysiqueExport (give back with
//     ReleaseInterface(I_PHYINTERFACE, ...)),
//   IPhysiqueExport::GetContextInterface(node) -> IPhyContextExport (ReleaseContextInterface),
//   IPhyContextExport::GetVertexInterface(i) -> IPhyVertexExport (ReleaseVertexInterface).
// How a context presents its vertices: a rigid entry is RIGID_TYPE; a blended entry is
// RIGID_BLENDED_TYPE (an IPhyBlendedRigidVertex) while blending is allowed (the default),
// else RIGID_TYPE on its heaviest bone; a deformable entry is DEFORMABLE_TYPE (read as rigid
// on its bone) unless ConvertToRigid(TRUE) presents it as RIGID_TYPE.
// Every interface handed out is counted until it is released (PhysiqueOpenInterfaces).
#pragma once

#include <map>
#include <utility>
#include <vector>

#include "host/Object.h"

class INode;

inline constexpr ULONG I_PHYINTERFACE = 0x00100100;
inline constexpr ULONG I_PHYEXPORT = I_PHYINTERFACE;

inline constexpr int RIGID_TYPE = 1;
inline constexpr int DEFORMABLE_TYPE = 2;
inline constexpr int BLENDED_TYPE = 4;
inline constexpr int FLOATING_TYPE = 8;
inline constexpr int RIGID_NON_BLENDED_TYPE = RIGID_TYPE;
inline constexpr int DEFORMABLE_NON_BLENDED_TYPE = DEFORMABLE_TYPE;
inline constexpr int RIGID_BLENDED_TYPE = RIGID_TYPE | BLENDED_TYPE;
inline constexpr int DEFORMABLE_BLENDED_TYPE = DEFORMABLE_TYPE | BLENDED_TYPE;

class IPhyVertexExport {
 public:
  virtual ~IPhyVertexExport() = default;
  virtual int GetVertexType() = 0;
};

class IPhyRigidVertex : public IPhyVertexExport {
 public:
  // The vertex's bone; null for a missing bone.
  virtual INode* GetNode() = 0;
};

class IPhyBlendedRigidVertex : public IPhyVertexExport {
 public:
  virtual int GetNumberNodes() = 0;
  virtual INode* GetNode(int i) = 0;
  virtual float GetWeight(int i) = 0;
};

class IPhyContextExport {
 public:
  virtual ~IPhyContextExport() = default;
  virtual int GetNumberVertices() = 0;
  // Null out of range.
  virtual IPhyVertexExport* GetVertexInterface(int i) = 0;
  virtual void ReleaseVertexInterface(IPhyVertexExport* v) = 0;
  virtual void ConvertToRigid(BOOL flag = TRUE) = 0;
  virtual void AllowBlending(BOOL flag = TRUE) = 0;
};

class IPhysiqueExport {
 public:
  virtual ~IPhysiqueExport() = default;
  virtual int Version() = 0;
  // The context of the skinned node; null when node is not skinned by this modifier.
  virtual IPhyContextExport* GetContextInterface(INode* node) = 0;
  virtual bool ReleaseContextInterface(IPhyContextExport* c) = 0;
  // The bind-pose world matrix of the skinned node or of one of its bones; MATRIX_RETURNED
  // (0) when found, NODE_NOT_FOUND (1) otherwise.
  virtual int GetInitNodeTM(INode* node, Matrix3& tm) = 0;
};

inline constexpr int MATRIX_RETURNED = 0;
inline constexpr int NODE_NOT_FOUND = 1;

// One vertex's skin entry.
struct SkinVertex {
  enum Kind { Rigid, Blended, Deformable };
  Kind kind = Rigid;
  // One bone for Rigid and Deformable; bones with weights for Blended. A null bone is
  // allowed (a missing bone).
  std::vector<std::pair<INode*, float>> bones;
};

class PhysiqueModifier : public Modifier {
 public:
  Class_ID ClassID() override { return PHYSIQUE_CLASS_ID; }
  void GetClassName(CStr& name) override { name = "Physique"; }
  Modifier* CloneModifier() const override { return new PhysiqueModifier(*this); }
  void* GetInterface(ULONG id) override;
  void ReleaseInterface(ULONG id, void* i) override;
  using Modifier::GetInterface;

  std::vector<SkinVertex> vertices;
  // The bind pose: the skinned node's and the bones' world matrices. Whatever is missing is
  // taken from the scene at time 0.
  bool hasMeshBind = false;
  Matrix3 meshBind;
  std::map<INode*, Matrix3> boneBinds;

  // The bind-pose world matrix of the skinned node (its object TM) / of a bone.
  Matrix3 MeshBindTM(INode* skinned) const;
  Matrix3 BoneBindTM(INode* bone) const;
  // The mesh of `skinned` at t: every vertex of bindMesh (the object space of the bind
  // pose) moved by the linear blend of its bones' motion since the bind pose, weights
  // normalised, brought into the node's object space at t. A vertex without an entry or
  // whose bones are all missing keeps its bind position.
  void Deform(INode* skinned, TimeValue t, const Mesh& bindMesh, Mesh& out) const;
};

// The first Physique modifier in a node's object reference; null when there is none.
PhysiqueModifier* FindPhysiqueModifier(Object* objectRef);

// Export, context and vertex interfaces handed out and not yet released.
struct PhysiqueInterfaceCounts {
  int exports = 0;
  int contexts = 0;
  int vertices = 0;
  int Total() const { return exports + contexts + vertices; }
};
PhysiqueInterfaceCounts PhysiqueOpenInterfaces();
