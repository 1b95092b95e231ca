// Undo: a node deletion (children move to the parent keeping their world positions, and
// come back), selection and renames; Cancel.
#include <gtest/gtest.h>

#include "host/Hold.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "tests/support/HostFixture.h"
#include "tests/support/SceneBuilder.h"

namespace {

class UndoTest : public HostTest {};

TEST_F(UndoTest, DeletingANodeKeepsItsChildrenInPlaceAndUndoRestoresTheScene) {
  Interface* ip = GetCOREInterface();
  INode* top = build::Dummy("top");
  INode* mid = build::Dummy("mid", top, Point3(10, 0, 0));
  INode* sibling = build::Dummy("sibling", top);
  INode* leaf = build::Dummy("leaf", mid, Point3(0, 5, 0));
  build::PosKeys(leaf, {{0, Point3(0, 5, 0)}, {10, Point3(0, 6, 0)}});
  ip->SelectNode(mid, 1);
  const Matrix3 leafWorld = leaf->GetNodeTM(10 * 160);

  theHold.Begin();
  ip->DeleteNode(mid);
  theHold.Accept("Transfer");

  EXPECT_TRUE(mid->IsDeleted());
  EXPECT_EQ(ip->GetINodeByName("mid"), nullptr);
  EXPECT_EQ(leaf->GetParentNode(), top);
  ASSERT_EQ(top->NumberOfChildren(), 2);
  EXPECT_EQ(top->GetChildNode(0), leaf);  // in the deleted node's place
  EXPECT_TRUE(leaf->GetNodeTM(10 * 160).Equals(leafWorld, 1e-5f));
  EXPECT_EQ(ip->GetSelNodeCount(), 0);
  ASSERT_EQ(theHold.NumUndoEntries(), 1);
  EXPECT_EQ(theHold.UndoEntryName(0), "Transfer");

  ASSERT_TRUE(theHold.Undo());
  EXPECT_FALSE(mid->IsDeleted());
  EXPECT_EQ(top->GetChildNode(0), mid);
  EXPECT_EQ(top->GetChildNode(1), sibling);
  EXPECT_EQ(leaf->GetParentNode(), mid);
  EXPECT_EQ(leaf->GetNodeTM(10 * 160).GetTrans(), Point3(10, 6, 0));
  EXPECT_EQ(leaf->GetTMController()->Keys().Keys().size(), 2u);
  EXPECT_EQ(ip->GetSelNode(0), mid);
  EXPECT_FALSE(theHold.Undo());
}

TEST_F(UndoTest, SelectionAndRenamesUndoAndCancelRestores) {
  Interface* ip = GetCOREInterface();
  INode* a = build::Dummy("a");
  INode* b = build::Dummy("b");
  ip->SelectNode(a, 1);
  theHold.Begin();
  ip->SelectNode(b, 1);
  b->SetName("renamed");
  theHold.Accept("Select");
  EXPECT_EQ(ip->GetSelNode(0), b);
  ASSERT_TRUE(theHold.Undo());
  EXPECT_STREQ(b->GetName(), "b");
  ASSERT_EQ(ip->GetSelNodeCount(), 1);
  EXPECT_EQ(ip->GetSelNode(0), a);
  EXPECT_FALSE(b->Selected());

  theHold.Begin();
  ip->ClearNodeSelection();
  ip->DeleteNode(a);
  theHold.Cancel();
  EXPECT_FALSE(a->IsDeleted());
  EXPECT_TRUE(a->Selected());
  EXPECT_EQ(theHold.NumUndoEntries(), 0);
}

TEST_F(UndoTest, ChangesOutsideAHoldAreNotRecorded) {
  INode* a = build::Dummy("a");
  a->SetName("b");
  GetCOREInterface()->DeleteNode(a);
  EXPECT_EQ(theHold.NumUndoEntries(), 0);
  EXPECT_FALSE(theHold.Undo());
}

}  // namespace
