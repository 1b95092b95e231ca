// Node transforms: keys at a time, hierarchy, object offset, attach/detach keeping the world
// position, SetNodeTM and the Link Constraint.
#include <gtest/gtest.h>

#include <cmath>

#include "host/INode.h"
#include "host/Interface.h"
#include "host/Time.h"
#include "tests/support/HostFixture.h"
#include "tests/support/SceneBuilder.h"

namespace {

class SceneTransformTest : public HostTest {};

void ExpectNear(const Point3& a, const Point3& b, float eps = 1e-4f) {
  EXPECT_NEAR(a.x, b.x, eps);
  EXPECT_NEAR(a.y, b.y, eps);
  EXPECT_NEAR(a.z, b.z, eps);
}

constexpr int kTpf = 160;  // 30 frames a second

TEST_F(SceneTransformTest, PositionKeysInterpolateAndHoldOutsideTheKeys) {
  INode* n = build::Dummy("n");
  build::PosKeys(n, {{10, Point3(0, 0, 0)}, {20, Point3(10, 20, 30)}});
  struct Case { int frame; Point3 pos; } cases[] = {
      {0, {0, 0, 0}}, {10, {0, 0, 0}}, {15, {5, 10, 15}}, {20, {10, 20, 30}}, {40, {10, 20, 30}}};
  for (const Case& c : cases) ExpectNear(n->GetNodeTM(c.frame * kTpf).GetTrans(), c.pos);
}

TEST_F(SceneTransformTest, RotationKeysSlerp) {
  INode* n = build::Dummy("n");
  const float s = std::sqrt(0.5f);
  n->GetTMController()->Keys().SetKeys({TransformKey::FromParts(0, Point3(), Quat(), Point3(1, 1, 1)),
                                        TransformKey::FromParts(30 * kTpf, Point3(), Quat(0, 0, s, s), Point3(1, 1, 1))});
  // Half way: 45 degrees about Z, so the X axis maps to (cos 45, ±sin 45, 0) with unit length.
  const Point3 x = n->GetNodeTM(15 * kTpf).VectorTransform(Point3(1, 0, 0));
  EXPECT_NEAR(x.Length(), 1.0f, 1e-5f);
  EXPECT_NEAR(std::fabs(x.x), s, 1e-4f);
  EXPECT_NEAR(std::fabs(x.y), s, 1e-4f);
  // At the end the full 90 degrees, as the key's own matrix says.
  EXPECT_TRUE(n->GetNodeTM(30 * kTpf).Equals(Quat(0, 0, s, s).ToMatrix(), 1e-5f));
}

TEST_F(SceneTransformTest, WorldIsLocalUnderTheParentAndObjectTmAddsTheOffset) {
  INode* parent = build::Dummy("p", nullptr, Point3(100, 0, 0));
  build::Place(parent, Point3(100, 0, 0), Quat(), Point3(2, 2, 2));
  INode* child = build::Dummy("c", parent, Point3(1, 2, 3));
  ExpectNear(child->GetNodeTM(0).GetTrans(), Point3(102, 4, 6));
  child->SetObjOffsetPos(Point3(0, 0, 5));
  ExpectNear(child->GetObjectTM(0).GetTrans(), Point3(102, 4, 16));
  EXPECT_TRUE(child->GetObjTMAfterWSM(0).Equals(child->GetObjectTM(0)));
  EXPECT_TRUE(child->ObjectOffsetTM().Equals(TransMatrix(Point3(0, 0, 5))));
}

TEST_F(SceneTransformTest, AttachAndDetachKeepTheWorldPositionOnlyWhenAsked) {
  INode* a = build::Dummy("a", nullptr, Point3(10, 0, 0));
  INode* b = build::Dummy("b", nullptr, Point3(0, 5, 0));
  build::PosKeys(b, {{0, Point3(0, 5, 0)}, {10, Point3(0, 15, 0)}});
  a->AttachChild(b, 1);
  EXPECT_EQ(b->GetParentNode(), a);
  EXPECT_EQ(a->GetChildNode(0), b);
  ExpectNear(b->GetNodeTM(0).GetTrans(), Point3(0, 5, 0));
  ExpectNear(b->GetNodeTM(10 * kTpf).GetTrans(), Point3(0, 15, 0));  // every key kept in world
  b->Detach(0, 1);
  EXPECT_EQ(b->GetParentNode(), GetCOREInterface()->GetRootNode());
  ExpectNear(b->GetNodeTM(10 * kTpf).GetTrans(), Point3(0, 15, 0));
  a->AttachChild(b, 0);
  ExpectNear(b->GetNodeTM(0).GetTrans(), Point3(10, 5, 0));  // own transform kept
}

TEST_F(SceneTransformTest, AttachRefusesCycles) {
  INode* a = build::Dummy("a");
  INode* b = build::Dummy("b", a);
  b->AttachChild(a, 1);
  a->AttachChild(a, 1);
  EXPECT_EQ(a->GetParentNode(), GetCOREInterface()->GetRootNode());
  EXPECT_EQ(b->GetParentNode(), a);
}

TEST_F(SceneTransformTest, SetNodeTmSetsTheWorldMatrix) {
  INode* parent = build::Dummy("p", nullptr, Point3(1, 1, 1));
  INode* child = build::Dummy("c", parent);
  const Matrix3 world = RotateZMatrix(0.5f) * TransMatrix(Point3(7, 8, 9));
  child->SetNodeTM(0, world);
  EXPECT_TRUE(child->GetNodeTM(0).Equals(world, 1e-5f));
}

TEST_F(SceneTransformTest, SetNodeTmOnAnAnimatedNodeSetsTheKeyAtThatTime) {
  INode* n = build::Dummy("n");
  build::PosKeys(n, {{0, Point3(0, 0, 0)}, {20, Point3(20, 0, 0)}});
  n->SetNodeTM(10 * kTpf, TransMatrix(Point3(0, 50, 0)));
  EXPECT_EQ(n->GetTMController()->Keys().Keys().size(), 3u);
  ExpectNear(n->GetNodeTM(10 * kTpf).GetTrans(), Point3(0, 50, 0));
  ExpectNear(n->GetNodeTM(5 * kTpf).GetTrans(), Point3(0, 25, 0));  // matrix keys interpolate too
  ExpectNear(n->GetNodeTM(20 * kTpf).GetTrans(), Point3(20, 0, 0));
}

TEST_F(SceneTransformTest, LinkConstraintFollowsTheActiveTarget) {
  INode* t1 = build::Dummy("t1", nullptr, Point3(100, 0, 0));
  INode* parent = build::Dummy("parent", nullptr, Point3(0, 0, 50));
  INode* n = build::Dummy("n", parent, Point3(1, 0, 0));
  LinkControl* link = build::Link(n, {{nullptr, 0}, {t1, 10}});
  ExpectNear(n->GetNodeTM(0).GetTrans(), Point3(1, 0, 0));  // world link: the parent is ignored
  ExpectNear(n->GetNodeTM(10 * kTpf).GetTrans(), Point3(101, 0, 0));
  // A target added at a time others start at goes before them.
  link->AddNewLink(parent, 10 * kTpf);
  EXPECT_EQ(link->GetNode(1), parent);
  EXPECT_EQ(link->GetFrameNumber(1), 10);
  ILinkCtrl* iface = static_cast<ILinkCtrl*>(n->GetTMController()->GetInterface(LINK_CONSTRAINT_INTERFACE));
  ASSERT_EQ(iface, static_cast<ILinkCtrl*>(link));
  EXPECT_EQ(iface->GetNumTargets(), 3);
  EXPECT_TRUE(iface->DeleteTarget(0));
  EXPECT_FALSE(iface->DeleteTarget(5));
  EXPECT_EQ(iface->GetNode(0), parent);
}

TEST_F(SceneTransformTest, LinkToItselfReadsAsTheWorld) {
  INode* n = build::Dummy("n", nullptr, Point3(3, 0, 0));
  build::Link(n, {{n, 0}});
  ExpectNear(n->GetNodeTM(0).GetTrans(), Point3(3, 0, 0));
}

}  // namespace
