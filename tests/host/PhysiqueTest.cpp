// The Physique export interfaces (vertex types under the two switches, release balance) and
// the skinned mesh that EvalWorldState answers.
#include <gtest/gtest.h>

#include "host/INode.h"
#include "host/Physique.h"
#include "tests/support/HostFixture.h"
#include "tests/support/SceneBuilder.h"

namespace {

class PhysiqueTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    boneA = build::Dummy("A");
    boneB = build::Dummy("B", nullptr, Point3(0, 10, 0));
    mesh = build::MeshNode("skin", build::Triangle());
    mod = build::Skin(mesh, {build::Rigid(boneA), build::Blended({{boneA, 0.25f}, {boneB, 0.75f}}),
                             build::Deformable(boneB)});
  }
  INode* boneA = nullptr;
  INode* boneB = nullptr;
  INode* mesh = nullptr;
  PhysiqueModifier* mod = nullptr;
};

TEST_F(PhysiqueTest, VertexTypesFollowTheContextSwitches) {
  struct Case { bool rigid; bool blend; int types[3]; } cases[] = {
      {false, true, {RIGID_TYPE, RIGID_BLENDED_TYPE, DEFORMABLE_TYPE}},
      {true, true, {RIGID_TYPE, RIGID_BLENDED_TYPE, RIGID_TYPE}},
      {true, false, {RIGID_TYPE, RIGID_TYPE, RIGID_TYPE}},
      {false, false, {RIGID_TYPE, RIGID_TYPE, DEFORMABLE_TYPE}},
  };
  Modifier* m = FindPhysiqueModifier(mesh->GetObjectRef());
  ASSERT_EQ(m, mod);
  for (const Case& c : cases) {
    auto* phy = static_cast<IPhysiqueExport*>(m->GetInterface(I_PHYINTERFACE));
    ASSERT_NE(phy, nullptr);
    IPhyContextExport* ctx = phy->GetContextInterface(mesh);
    ASSERT_NE(ctx, nullptr);
    ctx->ConvertToRigid(c.rigid ? TRUE : FALSE);
    ctx->AllowBlending(c.blend ? TRUE : FALSE);
    ASSERT_EQ(ctx->GetNumberVertices(), 3);
    for (int i = 0; i < 3; ++i) {
      IPhyVertexExport* v = ctx->GetVertexInterface(i);
      EXPECT_EQ(v->GetVertexType(), c.types[i]) << "vertex " << i << " rigid " << c.rigid << " blend " << c.blend;
      if ((v->GetVertexType() & BLENDED_TYPE) == 0) {
        // Read as rigid: the heaviest bone of the blended vertex, the bone of the others.
        INode* expected = i == 0 ? boneA : boneB;
        EXPECT_EQ(static_cast<IPhyRigidVertex*>(v)->GetNode(), expected);
      } else {
        auto* b = static_cast<IPhyBlendedRigidVertex*>(v);
        ASSERT_EQ(b->GetNumberNodes(), 2);
        EXPECT_EQ(b->GetNode(1), boneB);
        EXPECT_FLOAT_EQ(b->GetWeight(0), 0.25f);
      }
      ctx->ReleaseVertexInterface(v);
    }
    EXPECT_EQ(ctx->GetVertexInterface(3), nullptr);
    phy->ReleaseContextInterface(ctx);
    m->ReleaseInterface(I_PHYINTERFACE, phy);
  }
  EXPECT_EQ(PhysiqueOpenInterfaces().Total(), 0);
}

TEST_F(PhysiqueTest, OpenInterfacesAreCountedUntilReleased) {
  const PhysiqueInterfaceCounts before = PhysiqueOpenInterfaces();
  auto* phy = static_cast<IPhysiqueExport*>(mod->GetInterface(I_PHYINTERFACE));
  IPhyContextExport* ctx = phy->GetContextInterface(mesh);
  IPhyVertexExport* v = ctx->GetVertexInterface(0);
  EXPECT_EQ(PhysiqueOpenInterfaces().exports, before.exports + 1);
  EXPECT_EQ(PhysiqueOpenInterfaces().contexts, before.contexts + 1);
  EXPECT_EQ(PhysiqueOpenInterfaces().vertices, before.vertices + 1);
  EXPECT_EQ(phy->GetContextInterface(boneA), nullptr);  // not skinned by this modifier
  ctx->ReleaseVertexInterface(v);
  phy->ReleaseContextInterface(ctx);
  mod->ReleaseInterface(I_PHYINTERFACE, phy);
  EXPECT_EQ(PhysiqueOpenInterfaces().Total(), before.Total());
}

TEST_F(PhysiqueTest, EvalWorldStateDeformsTheMeshByItsBonesFromTheBindPose) {
  build::PosKeys(boneA, {{0, Point3(0, 0, 0)}, {10, Point3(0, 0, 100)}});
  build::PosKeys(boneB, {{0, Point3(0, 10, 0)}, {10, Point3(0, 10, 0)}});
  const TimeValue t = 10 * 160;
  ObjectState os = mesh->EvalWorldState(t);
  ASSERT_NE(os.obj, nullptr);
  ASSERT_EQ(os.obj->ClassID(), triObjectClassID);
  EXPECT_EQ(os.obj->ConvertToType(t, triObjectClassID), os.obj);  // the node keeps it
  const Mesh& m = static_cast<TriObject*>(os.obj)->mesh;
  ASSERT_EQ(m.getNumVerts(), 3);
  EXPECT_FLOAT_EQ(m.verts[0].z, 100.0f);  // rigid on A
  EXPECT_FLOAT_EQ(m.verts[1].z, 25.0f);   // a quarter on A
  EXPECT_FLOAT_EQ(m.verts[2].z, 0.0f);    // B stays
  EXPECT_EQ(m.getNumFaces(), 1);
  // At time 0 the mesh is its bind pose.
  const Mesh& m0 = static_cast<TriObject*>(mesh->EvalWorldState(0).obj)->mesh;
  EXPECT_EQ(m0.verts[1], Point3(10, 0, 0));
}

TEST_F(PhysiqueTest, GivenBindPoseAndInitNodeTm) {
  mod->boneBinds[boneA] = TransMatrix(Point3(0, 0, -50));
  auto* phy = static_cast<IPhysiqueExport*>(mod->GetInterface(I_PHYINTERFACE));
  Matrix3 tm;
  EXPECT_EQ(phy->GetInitNodeTM(boneA, tm), MATRIX_RETURNED);
  EXPECT_EQ(tm.GetTrans(), Point3(0, 0, -50));
  EXPECT_EQ(phy->GetInitNodeTM(build::Dummy("other"), tm), NODE_NOT_FOUND);
  mod->ReleaseInterface(I_PHYINTERFACE, phy);
  // Bone A sits 50 above its bind pose, so its rigid vertex moves up by 50.
  EXPECT_FLOAT_EQ(static_cast<TriObject*>(mesh->EvalWorldState(0).obj)->mesh.verts[0].z, 50.0f);
}

}  // namespace
