// Parent rules: ParentBone resolution, the unmatched-name warning, the 255-step limit and
// ParentBone loops, with their shared once-per-export message flag.
#include "TZ2_Export/skeleton/BoneHierarchy.h"

#include "TZ2_Export/skeleton/Bones.h"
#include "tests/TZ2_Export/skeleton/BoneFixture.h"

namespace tz2 {
namespace {

class BoneHierarchyTest : public BoneFixture {};

const char kCircular[] = "Some 'ParentBone' parameter caused circular reference while processing bone '%s'.";

std::string Circular(const std::string& bone) {
  std::string text = kCircular;
  return text.replace(text.find("%s"), 2, bone);
}

TEST_F(BoneHierarchyTest, ParentBoneNamesABoneIgnoringCase) {
  INode* spine = build::Dummy("BIP01 SPINE");
  INode* other = build::Dummy("Other");
  INode* arm = build::Dummy("Arm", other);
  arm->SetUserPropBuffer(CStr("ParentBone = Bip01 Spine"));
  SetBones({spine, other, arm});
  EXPECT_EQ(ParentNodeOf(s, arm), spine);
  EXPECT_EQ(ParentBoneOf(s, arm), spine);
  EXPECT_TRUE(MessageBoxRecords().empty());

  // A form the exporter does not ask for is invisible: the scene parent counts.
  arm->SetUserPropBuffer(CStr("parentBone = Bip01 Spine"));
  EXPECT_EQ(ParentBoneOf(s, arm), other);
  EXPECT_TRUE(MessageBoxRecords().empty());
}

TEST_F(BoneHierarchyTest, ChainPassesThroughNodesThatAreNotBones) {
  INode* top = build::Dummy("Top");
  INode* mid = build::Dummy("Mid", top);
  INode* low = build::Dummy("Low", mid);
  INode* leaf = build::Dummy("Leaf", low);
  SetBones({top, leaf});
  EXPECT_EQ(ParentNodeOf(s, leaf), low);
  EXPECT_EQ(ParentBoneOf(s, leaf), top);
  EXPECT_EQ(ParentBoneOf(s, top), nullptr);  // the scene root is never a bone
  EXPECT_EQ(ParentNodeOf(s, top), GetCOREInterface()->GetRootNode());
}

TEST_F(BoneHierarchyTest, UnmatchedNamesWarnOnceForTheFirstBoneMet) {
  INode* top = build::Dummy("Top");
  INode* a = build::Dummy("A", top);
  INode* b = build::Dummy("B", top);
  a->SetUserPropBuffer(CStr("ParentBone = Nobody"));
  b->SetUserPropBuffer(CStr("ParentBone = Someone"));
  INode* loop = build::Dummy("Loop", top);
  loop->SetUserPropBuffer(CStr("ParentBone = Loop"));
  SetBones({top, a, b, loop});
  BoneHierarchy h(s);
  EXPECT_EQ(h.ParentBoneOf(a), top);  // the scene parent
  EXPECT_EQ(h.ParentBoneOf(b), top);
  EXPECT_EQ(h.ParentBoneOf(loop), nullptr);  // the loop is cut, but its message is not shown
  // Another pass of the same export asks again: the flag keeps it silent.
  EXPECT_EQ(ParentBoneOf(s, b), top);
  const auto boxes = MessageBoxRecords();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Unable to find parent bone 'Nobody', specified for bone 'A'.");
  EXPECT_EQ(boxes[0].caption, "Warning !");
  EXPECT_EQ(boxes[0].Buttons(), MB_OK);
  EXPECT_EQ(boxes[0].Icon(), 0u);
  EXPECT_TRUE(s.parentBoneWarningShown);
}

TEST_F(BoneHierarchyTest, EmptyParentNameNamesNoBone) {
  INode* top = build::Dummy("Top");
  INode* a = build::Dummy("A", top);
  a->SetUserPropBuffer(CStr("ParentBone ="));
  SetBones({top, a});
  EXPECT_EQ(ParentBoneOf(s, a), top);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Unable to find parent bone '', specified for bone 'A'."});
}

// A bone whose nearest bone ancestor lies above `between` nodes that are not bones.
TEST_F(BoneHierarchyTest, ChainLimitIs255StepsAfterTheFirst) {
  for (int between : {255, 256}) {
    NextExport();
    INode* top = build::Dummy("Top");
    INode* p = top;
    for (int i = 0; i < between; ++i) p = build::Dummy("n" + std::to_string(i), p);
    INode* deep = build::Dummy("Deep", p);
    SetBones({top, deep});
    const bool found = between == 255;
    EXPECT_EQ(ParentBoneOf(s, deep), found ? top : nullptr) << between;
    if (found) {
      EXPECT_TRUE(MessageBoxRecords().empty());
    } else {
      EXPECT_EQ(ParentBoneOf(s, deep), nullptr);
      const auto boxes = MessageBoxRecords();
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].text, Circular("Deep"));
      EXPECT_EQ(boxes[0].caption, "Error");
      EXPECT_EQ(boxes[0].type, MB_OK);
    }
  }
}

TEST_F(BoneHierarchyTest, ParentBoneLoopsAreCutAtTheirFirstBone) {
  const struct {
    const char* what;
    // Scene: Root, then A below Root, B below A, C below B; properties per bone.
    const char* propsA;
    const char* propsB;
    const char* propsC;
    int parents[4];  // expected parent index of Root, A, B, C
    const char* cut;
  } cases[] = {
      {"a bone naming itself", "", "ParentBone = b", "", {-1, 0, -1, 2}, "B"},
      {"two bones naming each other", "ParentBone = C", "", "ParentBone = A", {-1, -1, 1, 1}, "A"},
      {"a bone naming its descendant", "ParentBone = C", "", "", {-1, -1, 1, 2}, "A"},
  };
  for (const auto& c : cases) {
    NextExport();
    INode* root = build::Dummy("Root");
    INode* a = build::Dummy("A", root);
    INode* b = build::Dummy("B", a);
    INode* cc = build::Dummy("C", b);
    a->SetUserPropBuffer(CStr(c.propsA));
    b->SetUserPropBuffer(CStr(c.propsB));
    cc->SetUserPropBuffer(CStr(c.propsC));
    SetBones({root, a, b, cc});
    // Asking from the last bone first gives the same cut as asking in list order.
    BoneHierarchy backwards(s);
    for (int i = 3; i >= 0; --i) EXPECT_EQ(backwards.ParentIndexOf(i), c.parents[i]) << c.what << " bone " << i;
    BoneHierarchy forwards(s);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(forwards.ParentIndexOf(i), c.parents[i]) << c.what << " bone " << i;
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{Circular(c.cut)}) << c.what;

    // The order ends and holds every bone, parents first.
    OrderBones(s);
    ASSERT_EQ(s.boneList.Count(), 4u) << c.what;
    BoneHierarchy ordered(s);
    for (int i = 0; i < 4; ++i) EXPECT_LT(ordered.ParentIndexOf(i), i) << c.what;
    EXPECT_EQ(SubtreeHeights(s).size(), 4u);
  }
}

}  // namespace
}  // namespace tz2
