// Objects: super classes, conversion ownership, creation through the host, derived objects
// and the camera's field of view.
#include <gtest/gtest.h>

#include "host/INode.h"
#include "host/Interface.h"
#include "host/Physique.h"
#include "tests/support/HostFixture.h"
#include "tests/support/SceneBuilder.h"

namespace {

class ObjectConversionTest : public HostTest {};

TEST_F(ObjectConversionTest, SuperClassesAndConvertibility) {
  struct Case { INode* node; SClass_ID sclass; bool converts; } cases[] = {
      {build::MeshNode("m", build::Triangle()), GEOMOBJECT_CLASS_ID, true},
      {build::TriNode("t", build::Triangle()), GEOMOBJECT_CLASS_ID, true},
      {build::Camera("c", 1.0f), CAMERA_CLASS_ID, false},
      {build::Dummy("d"), HELPER_CLASS_ID, false},
      {build::Point("p"), HELPER_CLASS_ID, false},
      {build::Shape("s"), SHAPE_CLASS_ID, false},
  };
  for (const Case& c : cases) {
    Object* obj = c.node->EvalWorldState(0).obj;
    ASSERT_NE(obj, nullptr) << c.node->GetName();
    EXPECT_EQ(obj->SuperClassID(), c.sclass) << c.node->GetName();
    EXPECT_EQ(obj->CanConvertToType(triObjectClassID) != 0, c.converts) << c.node->GetName();
    if (!c.converts) {
      EXPECT_EQ(obj->ConvertToType(0, triObjectClassID), nullptr) << c.node->GetName();
    }
  }
}

TEST_F(ObjectConversionTest, TriObjectConvertsToItselfAndEditableMeshToACopyTheCallerDeletes) {
  INode* tri = build::TriNode("t", build::Triangle());
  Object* self = tri->EvalWorldState(0).obj;
  EXPECT_EQ(self->ConvertToType(0, triObjectClassID), self);

  INode* mesh = build::MeshNode("m", build::Box());
  Object* obj = mesh->EvalWorldState(0).obj;
  Object* copy = obj->ConvertToType(0, triObjectClassID);
  ASSERT_NE(copy, nullptr);
  ASSERT_NE(copy, obj);
  EXPECT_EQ(copy->ClassID(), triObjectClassID);
  EXPECT_EQ(static_cast<TriObject*>(copy)->GetMesh().getNumFaces(), 12);
  static_cast<TriObject*>(copy)->GetMesh().verts.clear();  // the copy is independent
  EXPECT_EQ(GetObjectMesh(obj)->getNumVerts(), 8);
  copy->DeleteMe();  // ASan reports a leak or double free otherwise
}

TEST_F(ObjectConversionTest, OtherObjectsConvertOnlyWhenConvertible) {
  OtherObject yes(0x10, Class_ID(0x1234, 0x5678), true), no(0x10, Class_ID(0x1234, 0x5679), false);
  Object* copy = yes.ConvertToType(0, triObjectClassID);
  ASSERT_NE(copy, nullptr);
  copy->DeleteMe();
  EXPECT_EQ(no.ConvertToType(0, triObjectClassID), nullptr);
  EXPECT_EQ(no.ConvertToType(0, Class_ID(0x1234, 0x5679)), &no);
}

TEST_F(ObjectConversionTest, CreateInstanceMakesBuiltInClassesAndCreateObjectNodeTakesTheObject) {
  Interface* ip = GetCOREInterface();
  auto* dummy = static_cast<DummyObject*>(ip->CreateInstance(HELPER_CLASS_ID, Class_ID(DUMMY_CLASS_ID, 0)));
  ASSERT_NE(dummy, nullptr);
  dummy->SetBox(Box3(Point3(-50, -50, -50), Point3(50, 50, 50)));
  INode* node = ip->CreateObjectNode(dummy);
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->GetObjectRef(), dummy);
  EXPECT_EQ(node->GetParentNode(), ip->GetRootNode());
  EXPECT_EQ(ip->CreateInstance(HELPER_CLASS_ID, Class_ID(0x1, 0x2)), nullptr);
  EXPECT_EQ(ip->CreateObjectNode(nullptr), nullptr);
  auto* tri = static_cast<Object*>(ip->CreateInstance(GEOMOBJECT_CLASS_ID, triObjectClassID));
  ASSERT_NE(tri, nullptr);
  EXPECT_EQ(tri->ClassID(), triObjectClassID);
  tri->DeleteMe();
}

TEST_F(ObjectConversionTest, DerivedObjectNumbersModifiersFromTheTop) {
  INode* m = build::MeshNode("m", build::Triangle());
  build::Skin(m, {build::Rigid(nullptr), build::Rigid(nullptr), build::Rigid(nullptr)});
  IDerivedObject* derived = AsDerivedObject(m->GetObjectRef());
  ASSERT_NE(derived, nullptr);
  derived->AddModifier(new OtherModifier(Class_ID(0x77, 0)));
  EXPECT_EQ(derived->SuperClassID(), GEN_DERIVOB_CLASS_ID);
  ASSERT_EQ(derived->NumModifiers(), 2);
  EXPECT_EQ(derived->GetModifier(0)->ClassID(), Class_ID(0x77, 0));
  EXPECT_EQ(derived->GetModifier(1)->ClassID(), PHYSIQUE_CLASS_ID);
  EXPECT_EQ(derived->GetModifier(2), nullptr);
  EXPECT_EQ(derived->FindBaseObject()->ClassID(), EDITABLE_MESH_CLASS_ID);
}

TEST_F(ObjectConversionTest, CameraFieldOfViewKeysInterpolate) {
  GenCamera cam;
  cam.SetFOVKeys({{0, 1.0f}, {160, 2.0f}});
  EXPECT_FLOAT_EQ(cam.GetFOV(-100), 1.0f);
  EXPECT_FLOAT_EQ(cam.GetFOV(80), 1.5f);
  EXPECT_FLOAT_EQ(cam.GetFOV(1000), 2.0f);
  cam.SetFOV(80, 3.0f);
  EXPECT_FLOAT_EQ(cam.GetFOV(80), 3.0f);
}

}  // namespace
