// The final bone order (depth first, parents before children, children in their earlier
// order), the renumbering of the surfaces' references, and the subtree heights.
#include "TZ2_Export/skeleton/BoneHierarchy.h"
#include "TZ2_Export/skeleton/Bones.h"
#include "tests/TZ2_Export/skeleton/BoneFixture.h"

namespace tz2 {
namespace {

class BoneOrderTest : public BoneFixture {};

TEST_F(BoneOrderTest, ParentsPrecedeChildrenAndReferencesFollow) {
  INode* r = build::Dummy("R");
  INode* c1 = build::Dummy("C1", r);
  INode* c2 = build::Dummy("C2", r);
  INode* g = build::Dummy("G", c1);
  INode* r2 = build::Dummy("R2");
  INode* x = build::Dummy("X", r2);
  x->SetUserPropBuffer(CStr("ParentBone = c2"));  // X hangs below C2 in the skeleton
  SetBones({x, c1, r, g, c2, r2});
  SkinVertex({3, 0});  // G, X
  SkinVertex({5});     // R2
  OrderBones(s);
  EXPECT_EQ(BoneNames(), (std::vector<std::string>{"R", "C1", "G", "C2", "X", "R2"}));
  EXPECT_EQ(WeightBones(), (std::vector<std::uint32_t>{2, 4, 5}));
  BoneHierarchy h(s);
  for (int i = 0; i < h.Count(); ++i) EXPECT_LT(h.ParentIndexOf(i), i) << BoneNames()[static_cast<std::size_t>(i)];
  EXPECT_EQ(SubtreeHeights(s), (std::vector<std::uint8_t>{2, 1, 0, 1, 0, 0}));
}

TEST_F(BoneOrderTest, HeightsCountTheLongestChainOfChildBones) {
  // A chain of 200 bones listed deepest first, plus a short branch on the top bone.
  std::vector<INode*> chain{build::Dummy("b0")};
  for (int i = 1; i < 200; ++i) chain.push_back(build::Dummy("b" + std::to_string(i), chain.back()));
  INode* side = build::Dummy("side", chain[0]);
  s.boneList.Release();
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) s.boneList.Append(*it);
  s.boneList.Append(side);
  std::vector<std::uint8_t> heights = SubtreeHeights(s);
  ASSERT_EQ(heights.size(), 201u);
  EXPECT_EQ(heights[0], 0);      // b199, the deepest
  EXPECT_EQ(heights[199], 199);  // b0
  EXPECT_EQ(heights[200], 0);    // side
  OrderBones(s);
  // b1 was listed before "side": the whole chain comes first.
  EXPECT_EQ(BoneNames()[0], "b0");
  EXPECT_EQ(BoneNames()[1], "b1");
  EXPECT_EQ(BoneNames()[199], "b199");
  EXPECT_EQ(BoneNames()[200], "side");
}

}  // namespace
}  // namespace tz2
