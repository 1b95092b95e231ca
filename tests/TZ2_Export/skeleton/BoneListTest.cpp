// The bone list's candidates (the scene root's children after the bone walk), the 255-bone
// limit and the renumbering of the surfaces' bone references.
#include "TZ2_Export/skeleton/Bones.h"
#include "tests/TZ2_Export/skeleton/BoneFixture.h"

namespace tz2 {
namespace {

class BoneListTest : public BoneFixture {};

TEST_F(BoneListTest, TopLevelNodesJoinAfterTheBoneWalk) {
  INode* a = build::Dummy("A");
  build::Dummy("A1", a);
  INode* b = build::Dummy("B");
  s.boneList.Append(b);  // already listed: not added again
  BuildBoneList(s);
  EXPECT_EQ(BoneNames(), (std::vector<std::string>{"B", "A"}));
  const std::string trace = TraceText();
  const std::string expectedEnd = "---- Adding scene root childs -----\nA\n----------------------------\n";
  ASSERT_GE(trace.size(), expectedEnd.size());
  EXPECT_EQ(trace.substr(trace.size() - expectedEnd.size()), expectedEnd);
  for (const char* line : {"---- Adding bones of mesh objects -----\n", "---- Filling bone list -----\n"})
    EXPECT_EQ(trace.find(line), trace.rfind(line)) << line;
  EXPECT_LT(trace.find("---- Adding bones of mesh objects -----\n"), trace.find("---- Filling bone list -----\n"));
}

TEST_F(BoneListTest, MoreThan255BonesAreRefused) {
  for (int count : {255, 256, 300}) {
    NextExport();
    for (int i = 0; i < count; ++i) s.boneList.Append(build::Dummy("b" + std::to_string(i)));
    const bool fits = count <= 255;
    EXPECT_EQ(CheckBoneLimit(s), fits) << count;
    const auto boxes = MessageBoxRecords();
    if (fits) {
      EXPECT_TRUE(boxes.empty());
      continue;
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "The model has " + std::to_string(count) + " bones. Maximum number of bones is 255.");
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].Buttons(), MB_OK);
    EXPECT_EQ(boxes[0].Icon(), MB_ICONERROR);
  }
}

TEST_F(BoneListTest, RenumberingReplacesEveryWeightBone) {
  SkinVertex({2, 0});
  SkinVertex({1});
  EXPECT_TRUE(RenumberBoneReferences(s, {5, 6, 7}));
  EXPECT_EQ(WeightBones(), (std::vector<std::uint32_t>{7, 5, 6}));
}

TEST_F(BoneListTest, RenumberingARemovedBoneIsAnInternalError) {
  ExpectAssertions(1);
  SkinVertex({2, 0});
  SkinVertex({9});
  EXPECT_FALSE(RenumberBoneReferences(s, {0, kRemovedBone, 1}));
  // The pairs that cannot be mapped are dropped, so no index outside the list remains.
  EXPECT_EQ(WeightBones(), (std::vector<std::uint32_t>{1, 0}));
}

}  // namespace
}  // namespace tz2
