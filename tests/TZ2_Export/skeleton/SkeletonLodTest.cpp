// The skeleton's level-of-detail maps: identity rows, folding by BoneImportance (read only
// under GenerateSkeletonLOD, in the exporter's one key form), the invalid-value warning and
// the last row's fold to the tree roots.
#include "TZ2_Export/skeleton/Bones.h"
#include "tests/TZ2_Export/skeleton/BoneFixture.h"

namespace tz2 {
namespace {

class SkeletonLodTest : public BoneFixture {
 protected:
  // Root, Spine (child of Root), Arm (child of Spine), Hand (child of Arm), Tail (child of
  // Root); properties per bone.
  void BuildSkeleton(const char* spine, const char* arm, const char* hand, const char* tail) {
    INode* root = build::Dummy("Root");
    INode* s1 = build::Dummy("Spine", root);
    INode* a = build::Dummy("Arm", s1);
    INode* h = build::Dummy("Hand", a);
    INode* t = build::Dummy("Tail", root);
    s1->SetUserPropBuffer(CStr(spine));
    a->SetUserPropBuffer(CStr(arm));
    h->SetUserPropBuffer(CStr(hand));
    t->SetUserPropBuffer(CStr(tail));
    SetBones({root, s1, a, h, t});
  }
  std::vector<std::vector<int>> Rows() const {
    std::vector<std::vector<int>> rows;
    for (const auto& row : s.skeletonLodMap) rows.emplace_back(row.begin(), row.begin() + s.boneList.Count());
    return rows;
  }
};

using LodRows = std::vector<std::vector<int>>;

TEST_F(SkeletonLodTest, WithoutTheOptionOnlyTheLastRowFolds) {
  BuildSkeleton("BoneImportance = 1", "BoneImportance = 2", "", "BoneImportance = 0");
  BuildSkeletonLodMaps(s);
  const std::vector<int> identity{0, 1, 2, 3, 4};
  EXPECT_EQ(Rows(), (LodRows{identity, identity, identity, identity, identity, {0, 0, 0, 0, 0}}));
  EXPECT_TRUE(MessageBoxRecords().empty());  // the value is not even read
  // Columns beyond the bone count stay 0.
  EXPECT_EQ(s.skeletonLodMap[5][5], 0);
}

TEST_F(SkeletonLodTest, ImportanceFoldsABoneIntoItsNearestSurvivingAncestor) {
  s.options.GenerateSkeletonLOD = true;
  BuildSkeleton("BoneImportance = 3", "BoneImportance = 2", "", "BoneImportance = 9");
  BuildSkeletonLodMaps(s);
  EXPECT_EQ(Rows(), (LodRows{{0, 1, 2, 3, 4},
                          {0, 1, 2, 3, 4},
                          {0, 1, 1, 3, 4},  // Arm (2) folds into Spine
                          {0, 0, 0, 3, 4},  // Spine (3) folds too; Hand has no importance
                          {0, 0, 0, 3, 4},
                          {0, 0, 0, 0, 0}}));
  EXPECT_TRUE(MessageBoxRecords().empty());
}

TEST_F(SkeletonLodTest, InvalidImportanceWarnsOnceAndCountsAsOne) {
  s.options.GenerateSkeletonLOD = true;
  // 'BONEIMPORTANCE' is the tool's form only: the exporter sees no importance on Tail.
  BuildSkeleton("BoneImportance = 0", "BoneImportance = -2", "BoneImportance = x", "BONEIMPORTANCE = 2");
  BuildSkeletonLodMaps(s);
  EXPECT_EQ(Rows(), (LodRows{{0, 1, 2, 3, 4},
                          {0, 0, 0, 0, 4},
                          {0, 0, 0, 0, 4},
                          {0, 0, 0, 0, 4},
                          {0, 0, 0, 0, 4},
                          {0, 0, 0, 0, 0}}));
  const auto boxes = MessageBoxRecords();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Invalid BoneIportance specified for bone \"Spine\"");
  EXPECT_EQ(boxes[0].caption, "Warning !");
  EXPECT_EQ(boxes[0].type, MB_OK);
  // The flag holds for the rest of the export.
  BuildSkeletonLodMaps(s);
  EXPECT_EQ(MessageBoxRecords().size(), 1u);
}

TEST_F(SkeletonLodTest, TrailingTextAfterTheNumberIsIgnored) {
  s.options.GenerateSkeletonLOD = true;
  BuildSkeleton("", "BoneImportance = 3rd", "", "");
  BuildSkeletonLodMaps(s);
  EXPECT_EQ(s.skeletonLodMap[2][2], 2);
  EXPECT_EQ(s.skeletonLodMap[3][2], 1);
  EXPECT_EQ(s.skeletonLodMap[3][3], 3);  // Hand keeps itself: its parent's fold is not its own
}

}  // namespace
}  // namespace tz2
