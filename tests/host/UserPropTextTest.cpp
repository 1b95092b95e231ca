// The node property text: key lookup letter for letter, value trimming, replacing and
// appending assignments.
#include <gtest/gtest.h>

#include "host/INode.h"
#include "host/UserPropText.h"
#include "tests/support/HostFixture.h"
#include "tests/support/SceneBuilder.h"

namespace {

TEST(UserPropTextTest, LookupMatchesKeysLetterForLetter) {
  const std::string text = "BoneImportance = 2\r\nboneimportance=7\nParentBone =  Bip01 Spine \r\nnoassign\nA=1\nA=2";
  struct Case { const char* key; bool found; const char* value; } cases[] = {
      {"BoneImportance", true, "2"}, {"boneimportance", true, "7"}, {"BONEIMPORTANCE", false, ""},
      {"ParentBone", true, "Bip01 Spine"}, {"noassign", false, ""}, {"A", true, "1"}, {"Bone", false, ""},
  };
  for (const Case& c : cases) {
    std::string value = "untouched";
    EXPECT_EQ(FindUserProp(text, c.key, value), c.found) << c.key;
    if (c.found) {
      EXPECT_EQ(value, c.value) << c.key;
    }
  }
}

TEST(UserPropTextTest, SetReplacesTheFirstAssignmentOrAppends) {
  std::string text = "A = 1\r\nB = 2";
  SetUserProp(text, "B", "5");
  EXPECT_EQ(text, "A = 1\r\nB = 5");
  SetUserProp(text, "C", "x y");
  EXPECT_EQ(text, "A = 1\r\nB = 5\r\nC = x y");
  std::string empty;
  SetUserProp(empty, "K", "1");
  EXPECT_EQ(empty, "K = 1");
}

class NodePropsTest : public HostTest {};

TEST_F(NodePropsTest, NodeOperationsReadAndWriteTheText) {
  INode* n = build::Dummy("n");
  n->SetUserPropBuffer("MeshImportance = 1");
  n->SetUserPropInt("BoneImportance", 3);
  CStr value;
  ASSERT_TRUE(n->GetUserPropString("BoneImportance", value));
  EXPECT_EQ(value, "3");
  int i = 0;
  EXPECT_TRUE(n->GetUserPropInt("MeshImportance", i));
  EXPECT_EQ(i, 1);
  std::string buffer;
  n->GetUserPropBuffer(buffer);
  EXPECT_EQ(buffer, "MeshImportance = 1\r\nBoneImportance = 3");
  EXPECT_FALSE(n->UserPropExists("meshimportance"));
}

}  // namespace
