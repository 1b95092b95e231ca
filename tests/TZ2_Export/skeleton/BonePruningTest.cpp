// Pruning: used bones, removal of non-animated bones, root choice, removal of unused bones,
// with their trace lines.
#include "TZ2_Export/skeleton/Bones.h"
#include "tests/TZ2_Export/skeleton/BoneFixture.h"

namespace tz2 {
namespace {

class BonePruningTest : public BoneFixture {
 protected:
  std::vector<std::uint8_t> Used() {
    std::vector<std::uint8_t> used;
    MarkUsedBones(s, used);
    return used;
  }
};

TEST_F(BonePruningTest, UnskinnedMeshUnderADummyKeepsTheDummyAsRoot) {
  INode* dummy = build::Dummy("Dummy01");
  INode* mesh = build::MeshNode("Box01", build::Box(), dummy, Point3(5, 0, 0));
  INode* light = build::Dummy("Light01");
  SetBones({dummy, mesh, light});
  SkinVertex({1});  // the mesh's vertices name the mesh node
  PruneBones(s);
  EXPECT_EQ(BoneNames(), (std::vector<std::string>{"Dummy01", "Box01"}));
  EXPECT_EQ(WeightBones(), std::vector<std::uint32_t>{1});
  EXPECT_EQ(TraceText(),
            "\n--- Removing non-animated bones -----\n"
            "\n--- Candidates for root node: -----\nDummy01\nSelected:Dummy01\n"
            "\n--- Unused bones -----\nLight01\n\n-----------------------\n");
}

TEST_F(BonePruningTest, BipedLikeHierarchyKeepsItsTopAndDropsStillBones) {
  INode* bip = build::Dummy("Bip01");
  INode* pelvis = build::Dummy("Bip01 Pelvis", bip);
  INode* spine = build::Dummy("Bip01 Spine", pelvis);
  INode* thigh = build::Dummy("Bip01 L Thigh", pelvis);
  INode* steps = build::Dummy("Bip01 Footsteps", bip);
  INode* camera = build::Dummy("Camera01");
  build::PosKeys(pelvis, {{0, Point3(0, 0, 10)}, {10, Point3(5, 0, 12)}});
  build::PosKeys(spine, {{0, Point3(0, 0, 5)}, {10, Point3(0, 3, 5)}});
  build::Place(thigh, Point3(2, 0, -1));  // follows the pelvis without moving on its own
  SetBones({bip, pelvis, spine, thigh, steps, camera});
  SkinVertex({1, 3});
  SkinVertex({2});
  SkinVertex({3});
  PruneBones(s);
  EXPECT_EQ(BoneNames(), (std::vector<std::string>{"Bip01", "Bip01 Pelvis", "Bip01 Spine"}));
  EXPECT_EQ(WeightBones(), (std::vector<std::uint32_t>{1, 1, 2, 1}));
  const std::string trace = TraceText();
  EXPECT_NE(trace.find("Bone \"Bip01 L Thigh\" removed as non-animated\n"), std::string::npos) << trace;
  EXPECT_NE(trace.find("\n--- Candidates for root node: -----\nBip01\nSelected:Bip01\n"), std::string::npos) << trace;
  EXPECT_NE(trace.find("\n--- Unused bones -----\nBip01 L Thigh\nBip01 Footsteps\nCamera01\n\n-----------------------\n"),
            std::string::npos)
      << trace;
}

TEST_F(BonePruningTest, WithoutUsedBonesTheFirstLeafSurvives) {
  INode* a = build::Dummy("A");
  INode* b = build::Dummy("B", a);
  INode* c = build::Dummy("C");
  SetBones({a, b, c});
  PruneBones(s);
  EXPECT_EQ(BoneNames(), std::vector<std::string>{"B"});
  EXPECT_NE(TraceText().find("Candidates for root node: -----\nA\nB\nC\nSelected:B\n"), std::string::npos);
}

TEST_F(BonePruningTest, PortsAreUsedWhenExported) {
  const struct {
    bool hidden, selected, exportHidden, selectedOnly, used;
  } cases[] = {
      {false, false, false, false, true},
      {true, false, false, false, false},  // hidden, ExportHidden off
      {true, false, true, false, true},
      {false, false, false, true, false},  // not selected, ExportSelectedOnly on
      {false, true, false, true, true},
  };
  INode* gun = build::Dummy("Gun");
  INode* port = build::Dummy("PORT_Gun", gun);
  INode* mesh = build::Dummy("Mesh", gun);
  for (const auto& c : cases) {
    NextExport();
    port->Hide(c.hidden);
    if (c.selected) TheScene().Select(port, true); else TheScene().ClearSelection();
    s.options.ExportHidden = c.exportHidden;
    s.options.ExportSelectedOnly = c.selectedOnly;
    SetBones({gun, port, mesh});
    SkinVertex({2});
    PruneBones(s);
    const std::vector<std::string> expected =
        c.used ? std::vector<std::string>{"Gun", "PORT_Gun", "Mesh"} : std::vector<std::string>{"Gun", "Mesh"};
    EXPECT_EQ(BoneNames(), expected) << c.hidden << c.selected << c.exportHidden << c.selectedOnly;
  }
}

TEST_F(BonePruningTest, GroupAboveUsedBonesSurvivesStill) {
  INode* turret = build::Dummy("GR_Turret");
  INode* mount = build::Dummy("Mount", turret);
  INode* barrel = build::Dummy("Barrel", mount);
  build::PosKeys(barrel, {{0, Point3(0, 0, 0)}, {10, Point3(0, 4, 0)}});
  INode* door = build::Dummy("GR_Door");
  INode* frame = build::Dummy("Frame", door);
  INode* hit = build::Dummy("HIT_Door", frame);
  SetBones({turret, mount, barrel, door});
  s.hitList.Append(hit);
  SkinVertex({2});
  EXPECT_EQ(Used(), (std::vector<std::uint8_t>{1, 0, 1, 1}));  // the door only through its hit mesh
  PruneBones(s);
  EXPECT_EQ(BoneNames(), (std::vector<std::string>{"GR_Turret", "Barrel", "GR_Door"}));
  EXPECT_EQ(WeightBones(), std::vector<std::uint32_t>{1});
}

TEST_F(BonePruningTest, ExportedHitAndCollisionChildrenMakeABoneUsed) {
  const struct {
    const char* child;
    bool animation, selectedOnly, selected, used;
  } cases[] = {
      {"hit_1", false, false, false, true},  {"Cl_box", true, false, false, true},
      {"CL_box", false, false, false, false}, {"HIT_1", false, true, false, false},
      {"HIT_1", false, true, true, true},     {"HITX", false, false, false, false},
  };
  for (const auto& c : cases) {
    NextExport();
    INode* bone = build::Dummy("Bone");
    INode* child = build::Dummy(c.child, bone);
    child->Hide(TRUE);  // no hidden test here
    if (c.selected) TheScene().Select(child, true); else TheScene().ClearSelection();
    s.options.ExportAnimation = c.animation;
    s.options.ExportSelectedOnly = c.selectedOnly;
    SetBones({bone});
    EXPECT_EQ(HasExportedHitChild(bone, s.options), c.used) << c.child;
    EXPECT_EQ(Used(), std::vector<std::uint8_t>{c.used}) << c.child;
  }
}

TEST_F(BonePruningTest, WeightsAreCutToThreeBeforeMarking) {
  INode* top = build::Dummy("Top");
  std::vector<INode*> bones{top};
  for (int i = 0; i < 4; ++i) bones.push_back(build::Dummy("b" + std::to_string(i), top));
  s.boneList.Release();
  for (INode* b : bones) s.boneList.Append(b);
  SkinVertex({1, 2, 3, 4});
  EXPECT_EQ(Used(), (std::vector<std::uint8_t>{0, 1, 1, 1, 0}));
  EXPECT_EQ(WeightBones(), (std::vector<std::uint32_t>{1, 2, 3}));
}

}  // namespace
}  // namespace tz2
