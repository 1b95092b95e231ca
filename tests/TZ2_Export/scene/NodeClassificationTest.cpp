// The gathering walk's name rules, the bone walk, the collision search, the name order and
// the mirror test, over scenes built in the standalone host.
#include <gtest/gtest.h>

#include "TZ2_Export/scene/NodeClassification.h"
#include "TZ2_Export/scene/TriangleMesh.h"
#include "host/standalone/Scene.h"
#include "tests/TZ2_Export/scene/SceneFixture.h"

namespace tz2 {
namespace {

using Strings = std::vector<std::string>;

class NodeClassificationTest : public SceneFixture {};

enum class Gathered { Mesh, Hit, Collision, None };

struct NameCase {
  const char* name;
  bool exportAnimation;
  bool textured;  // UV mapping and a material
  Gathered expected;
};

const NameCase kNameCases[] = {
    {"Box", false, true, Gathered::Mesh},
    {"Box", false, false, Gathered::None},
    {"tag_Other", false, true, Gathered::None},
    {"Tag_Other", false, true, Gathered::Mesh},
    {"tag_Detail", false, true, Gathered::Mesh},
    {"TAG_DETAIL", false, true, Gathered::Mesh},
    {"tag_detail", false, true, Gathered::Mesh},
    {"HIT_3", false, false, Gathered::Hit},
    {"hit_3", false, true, Gathered::Hit},
    {"Hit_3", true, false, Gathered::Hit},
    {"hIT_3", false, true, Gathered::Mesh},
    {"hIT_3", false, false, Gathered::None},
    {"CL_box", true, false, Gathered::Collision},
    {"cl_box", true, true, Gathered::Collision},
    {"Cl_box", true, false, Gathered::Collision},
    {"CL_box", false, true, Gathered::Mesh},
    {"CL_box", false, false, Gathered::None},
    {"cL_box", true, true, Gathered::Mesh},
    {"NOEXPORT_box", false, true, Gathered::Mesh},
    {"", false, true, Gathered::None},
};

TEST_F(NodeClassificationTest, NameRulesSortNodesIntoTheLists) {
  for (const NameCase& c : kNameCases) {
    ResetScene();
    options.ExportAnimation = c.exportAnimation;
    Restart();
    INode* node = c.textured ? TexturedMesh(c.name) : build::MeshNode(c.name, Mesh(build::Box()));
    GatherScene(s);
    const Gathered got = s.meshList.IndexOf(node) >= 0        ? Gathered::Mesh
                         : s.hitList.IndexOf(node) >= 0       ? Gathered::Hit
                         : s.collisionList.IndexOf(node) >= 0 ? Gathered::Collision
                                                              : Gathered::None;
    EXPECT_EQ(got, c.expected) << "'" << c.name << "' animation " << c.exportAnimation << " textured " << c.textured;
    EXPECT_EQ(s.meshList.Count() + s.hitList.Count() + s.collisionList.Count(), got == Gathered::None ? 0u : 1u) << c.name;
  }
}

TEST_F(NodeClassificationTest, GatheringVisitsChildrenBeforeTheirParentAndAppliesTheFilters) {
  INode* parent = TexturedMesh("Parent");
  TexturedMesh("ChildA", parent);
  TexturedMesh("ChildB", parent);
  TexturedMesh("Hidden")->Hide(TRUE);
  INode* emptyHit = build::MeshNode("HIT_1", Mesh(), parent);
  GatherScene(s);
  EXPECT_EQ(Names(s.meshList), (Strings{"ChildA", "ChildB", "Parent"}));
  EXPECT_EQ(s.hitList.IndexOf(emptyHit), -1);  // a hit mesh needs vertices and faces

  options.ExportHidden = true;
  options.ExportSelectedOnly = true;
  Restart();
  TheScene().Select(parent, true);
  GatherScene(s);
  EXPECT_EQ(Names(s.meshList), (Strings{"Parent"}));
}

TEST_F(NodeClassificationTest, MeshProblemNamesTheFirstMissingPart) {
  Mesh noTv = build::Triangle();
  noTv.tVerts.clear();
  Mesh noFaces = build::Triangle();
  noFaces.faces.clear();
  INode* shape = build::Shape("shape");
  INode* empty = build::MeshNode("empty", Mesh());
  INode* faceless = build::MeshNode("faceless", noFaces);
  INode* untextured = build::MeshNode("untextured", noTv);
  INode* bare = build::MeshNode("bare", build::Triangle());
  INode* good = TexturedMesh("good");
  EXPECT_EQ(MeshProblem(shape, true), kNoTriangleMesh);
  EXPECT_EQ(MeshProblem(empty, true), kNoVertices);
  EXPECT_EQ(MeshProblem(faceless, true), kNoFaces);
  EXPECT_EQ(MeshProblem(untextured, true), kNoTextureVertices);
  EXPECT_EQ(MeshProblem(untextured, false), kMeshOk);
  EXPECT_EQ(MeshProblem(bare, true), kNoMaterial);
  EXPECT_EQ(MeshProblem(good, true), kMeshOk);
}

// An object that converts to a new triangle-mesh copy and counts the copies alive.
int g_copiesAlive = 0;
struct CountedCopy : TriObject {
  CountedCopy() { ++g_copiesAlive; }
  ~CountedCopy() override { --g_copiesAlive; }
};
struct CopyingObject : GeomObject {
  Class_ID ClassID() override { return Class_ID(0x7E000001, 0); }
  Object* CloneObject() const override { return new CopyingObject(*this); }
  int CanConvertToType(Class_ID id) override { return id == triObjectClassID; }
  Object* ConvertToType(TimeValue, Class_ID id) override {
    if (id != triObjectClassID) return nullptr;
    auto* copy = new CountedCopy();
    copy->mesh = build::Triangle();
    return copy;
  }
};

TEST_F(NodeClassificationTest, ConvertedCopiesAreDeletedAndTheNodesOwnMeshIsNot) {
  TheScene().CreateNode("Copied", nullptr, new CopyingObject())->SetMtl(build::Material("M", "m.tga"));
  TheScene().CreateNode("HIT_1", nullptr, new CopyingObject());
  INode* own = build::TriNode("Own", build::Triangle());
  own->SetMtl(build::Material("N", "n.tga"));
  GatherScene(s);
  EXPECT_EQ(Names(s.meshList), (Strings{"Copied", "Own"}));
  EXPECT_EQ(Names(s.hitList), (Strings{"HIT_1"}));
  EXPECT_EQ(g_copiesAlive, 0);
  {
    NodeTriangleMesh tri(own, 0);
    ASSERT_TRUE(tri);
    EXPECT_EQ(tri.Get(), &static_cast<TriObject*>(own->GetObjectRef())->GetMesh());
  }
  EXPECT_EQ(own->GetObjectRef()->ClassID(), triObjectClassID);  // still the node's own object
}

TEST_F(NodeClassificationTest, HitRuleOfTheBoneWalkIgnoresCaseAndFilters) {
  INode* body = build::Dummy("Body");
  INode* arm = build::Dummy("Arm");
  build::MeshNode("HIT_3", build::Triangle(), body)->Hide(TRUE);
  TexturedMesh("hIT_3", arm);
  build::MeshNode("HIT_top", build::Triangle());  // its parent is the root
  GatherScene(s);
  EXPECT_EQ(Names(s.hitList), (Strings{"HIT_top"}));  // the hidden 'HIT_3' is not gathered
  EXPECT_EQ(Names(s.meshList), (Strings{"hIT_3"}));
  BoneWalk(s, NodeList());
  EXPECT_EQ(Names(s.boneList), (Strings{"Body", "Arm"}));
}

TEST_F(NodeClassificationTest, BoneWalkListsGroupsPortsAndSkinBonesInSceneOrder) {
  INode* group = build::Dummy("gr_Turret");
  INode* bone = build::Dummy("Bone", group);
  build::Dummy("PORT_Gun", bone);
  build::Dummy("Unrelated");
  INode* skinned = build::Dummy("Late");
  build::Dummy("GRH_Hatch", skinned);
  NodeList skin;
  skin.Append(skinned);
  skin.Append(bone);
  ClearTraceLog();
  BoneWalk(s, skin);
  EXPECT_EQ(Names(s.boneList), (Strings{"gr_Turret", "Bone", "PORT_Gun", "Late", "GRH_Hatch"}));
  EXPECT_EQ(Names(s.groupList), (Strings{"gr_Turret", "GRH_Hatch"}));
  EXPECT_NE(TraceText().find("PORT_Gun\n"), std::string::npos);
  EXPECT_TRUE(MessageBoxRecords().empty());
}

TEST_F(NodeClassificationTest, MirroredPortWarnsAndStaysInTheList) {
  INode* port = build::Dummy("PORT_Left");
  build::Place(port, Point3(1, 2, 3), Quat(), Point3(-1, 1, 1));
  build::Place(build::Dummy("PORT_Right"), Point3(1, 2, 3));
  EXPECT_TRUE(IsMirrored(port, 0));
  BoneWalk(s, NodeList());
  EXPECT_EQ(Names(s.boneList), (Strings{"PORT_Left", "PORT_Right"}));
  const auto boxes = MessageBoxRecords();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            "Port 'PORT_Left' has mirror transform applied to it. This can flip port axises in game. \n\n"
            "Please reset object's transformations:\n- select an object;\n- Tools->Reset XForm->Reset selected;\n"
            "- go to \"Modify\" panel;\n- collapse midifiers stack.");
  EXPECT_EQ(boxes[0].caption, "Warning !");
  EXPECT_EQ(boxes[0].type, MB_OK);
}

TEST_F(NodeClassificationTest, CollisionSearchFindsExportableClNodesInAnyCase) {
  options.ExportAnimation = false;
  TexturedMesh("cL_box");
  EXPECT_TRUE(HasCollisionNode(s.host, options));
  GatherScene(s);
  EXPECT_TRUE(s.collisionList.Empty());
  EXPECT_EQ(Names(s.meshList), (Strings{"cL_box"}));

  ResetScene();
  INode* hidden = build::Dummy("CL_hidden");
  hidden->Hide(TRUE);
  EXPECT_FALSE(HasCollisionNode(s.host, options));
  build::Dummy("cl_child", hidden);  // the search goes on below a filtered match
  EXPECT_TRUE(HasCollisionNode(s.host, options));
  options.ExportSelectedOnly = true;
  EXPECT_FALSE(HasCollisionNode(s.host, options));
}

TEST_F(NodeClassificationTest, GroupsSortByNameWithoutTheirPrefixes) {
  build::Dummy("GR_b");
  build::Dummy("GRH_a");
  build::Dummy("GR_GRH_c");
  BoneWalk(s, NodeList());
  SortByName(s.groupList);
  EXPECT_EQ(Names(s.groupList), (Strings{"GRH_a", "GR_b", "GR_GRH_c"}));
}

TEST_F(NodeClassificationTest, CompareNamesUsesSignedBytes) {
  struct Case {
    const char* a;
    const char* b;
    int expected;
  };
  const Case cases[] = {
      {"abc", "abd", -1},
      {"abd", "abc", 1},
      {"ab", "abc", -1},           // a prefix sorts first
      {"ab", "ab\xC0", 1},         // unless the longer name goes on with a byte above 127
      {"\xC0", "A", -1},           // such bytes sort before ASCII
      {"same", "same", 1},         // equal names answer 1
      {"gr_x", "GRH_y", -1},       // prefixes are ignored in any case
      {"GR_GRH_b", "grh_a", 1},    // "GR_" and then "GRH_" are removed
      {"GRH_GR_z", "a", -1},       // but not "GR_" after "GRH_" (the key is "GR_z")
  };
  for (const Case& c : cases) {
    ResetScene();
    NodeEntry a{build::Dummy(c.a), 0, {}};
    NodeEntry b{build::Dummy(c.b), 0, {}};
    EXPECT_EQ(CompareNames(a, b), c.expected) << c.a << " vs " << c.b;
  }
}

TEST_F(NodeClassificationTest, AddUnlessListedTracesNewNodesOnly) {
  INode* a = build::Dummy("A");
  NodeList list;
  ClearTraceLog();
  EXPECT_TRUE(AddUnlessListed(list, a));
  EXPECT_FALSE(AddUnlessListed(list, a));
  EXPECT_EQ(list.Count(), 1u);
  EXPECT_EQ(TraceLog(), (Strings{"A\n"}));
  const NodeIndex index(list);
  EXPECT_EQ(index.IndexOf(a), 0);
  EXPECT_EQ(index.IndexOf(nullptr), -1);
}

}  // namespace
}  // namespace tz2
