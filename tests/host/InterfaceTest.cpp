// The core interface: nodes by name, selection order, progress events, rollup pages over
// the platform's modeless pages, custom edits, redraw counters and the assertion report.
#include <gtest/gtest.h>

#include "host/CustomControls.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "platform/Windows.h"
#include "tests/support/HostFixture.h"
#include "tests/support/SceneBuilder.h"

namespace {

class InterfaceTest : public HostTest {
 protected:
  Interface* ip = GetCOREInterface();
};

TEST_F(InterfaceTest, NodesByNameAndSelectionInSelectionOrder) {
  INode* a = build::Dummy("Bip01");
  INode* b = build::Dummy("Bip01 Spine", a);
  INode* c = build::Dummy("bip01");
  EXPECT_EQ(ip->GetINodeByName("Bip01 Spine"), b);
  EXPECT_EQ(ip->GetINodeByName("bip01"), c);
  EXPECT_EQ(ip->GetINodeByName("BIP01"), nullptr);
  ip->SelectNode(c, 1);
  ip->SelectNode(a, 0);
  ip->SelectNode(a, 0);
  ASSERT_EQ(ip->GetSelNodeCount(), 2);
  EXPECT_EQ(ip->GetSelNode(0), c);
  EXPECT_EQ(ip->GetSelNode(1), a);
  EXPECT_EQ(ip->GetSelNode(2), nullptr);
  EXPECT_TRUE(a->Selected());
  ip->SelectNode(b, 1);
  EXPECT_FALSE(a->Selected());
  ip->ClearNodeSelection();
  EXPECT_EQ(ip->GetSelNodeCount(), 0);
}

DWORD g_workCalls = 0;
DWORD Work(LPVOID arg) {
  g_workCalls += *static_cast<DWORD*>(arg);
  return 0;
}

TEST_F(InterfaceTest, ProgressGoesToTheSinkAndTheWorkFunctionRunsAtOnce) {
  std::vector<ProgressEvent> seen;
  ip->SetProgressSink([&](const ProgressEvent& e) { seen.push_back(e); });
  DWORD one = 1;
  g_workCalls = 0;
  ip->ProgressStart("TZ2 Export", TRUE, Work, &one);
  EXPECT_EQ(g_workCalls, 1u);
  ip->ProgressUpdate(7, TRUE, nullptr);
  ip->ProgressEnd();
  ip->ProgressUpdate(50);  // no bar: ignored
  ip->SetProgressSink(nullptr);
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].kind, ProgressEvent::Start);
  EXPECT_EQ(seen[0].title, "TZ2 Export");
  EXPECT_EQ(seen[1].percent, 7);
  EXPECT_EQ(seen[2].kind, ProgressEvent::End);
}

INT_PTR CALLBACK PageProc(HWND, UINT msg, WPARAM, LPARAM lParam) {
  if (msg == WM_INITDIALOG) *reinterpret_cast<int*>(lParam) += 1;
  return msg == WM_INITDIALOG ? TRUE : FALSE;
}

TEST_F(InterfaceTest, RollupPagesAreModelessPagesOfTheCommandPanel) {
  HINSTANCE module = RegisterModule("/plugins/Test.dlu");
  DialogTemplate page;
  page.title = "Page";
  page.cx = 100;
  page.cy = 60;
  page.controls.push_back({1002, ControlKind::Edit, "", 0, 5, 5, 50, 12, "", true});
  RegisterDialogTemplate(module, 104, page);
  int inits = 0;
  HWND hwnd = ip->AddRollupPage(module, MAKEINTRESOURCE(104), PageProc, "Title", reinterpret_cast<LPARAM>(&inits));
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(inits, 1);
  EXPECT_EQ(GetParent(hwnd), ip->CommandPanel());
  ASSERT_EQ(ip->RollupPages().size(), 1u);
  EXPECT_EQ(ip->RollupPages()[0].title, "Title");
  EXPECT_EQ(ip->RollupPages()[0].category, ROLLUP_CAT_STANDARD);

  ICustEdit* edit = GetICustEdit(GetDlgItem(hwnd, 1002));
  ASSERT_NE(edit, nullptr);
  edit->SetText(2.5f, 1);
  EXPECT_EQ(WindowText(GetDlgItem(hwnd, 1002)), "2.5");
  BOOL valid = FALSE;
  EXPECT_FLOAT_EQ(edit->GetFloat(&valid), 2.5f);
  EXPECT_TRUE(valid);
  edit->SetText("12 apples");
  EXPECT_EQ(edit->GetInt(&valid), 0);
  EXPECT_FALSE(valid);
  ReleaseICustEdit(edit);
  EXPECT_EQ(OpenICustEditCount(), 0);

  ip->RollupMouseMessage(hwnd, WM_LBUTTONDOWN, 1, 2);
  ASSERT_EQ(ip->RollupMouseMessages().size(), 1u);
  EXPECT_EQ(ip->RollupMouseMessages()[0].message, static_cast<UINT>(WM_LBUTTONDOWN));
  ip->DeleteRollupPage(hwnd);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_TRUE(ip->RollupPages().empty());
  EXPECT_EQ(ip->AddRollupPage(module, MAKEINTRESOURCE(999), PageProc, "Missing"), nullptr);
}

TEST_F(InterfaceTest, RedrawsAndSaveRequiredAreCounted) {
  ip->RedrawViews(0);
  ip->ForceCompleteRedraw(TRUE);
  ip->ForceCompleteRedraw(TRUE);
  ip->SetSaveRequiredFlag(TRUE);
  EXPECT_EQ(ip->RedrawViewsCount(), 1);
  EXPECT_EQ(ip->ForceCompleteRedrawCount(), 2);
  EXPECT_TRUE(ip->GetSaveRequiredFlag());
  EXPECT_EQ(ip->SaveRequiredSetCount(), 1);
}

TEST_F(InterfaceTest, AssertionReportsAreRecordedAndShown) {
  ExpectAssertions(1);
  assert1(120, "transfer");
  ASSERT_EQ(AssertionRecords().size(), 1u);
  EXPECT_EQ(AssertionRecords()[0].line, 120);
  EXPECT_EQ(AssertionRecords()[0].file, "transfer");
  const auto boxes = MessageBoxRecords();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find("transfer"), std::string::npos);
  EXPECT_NE(boxes[0].text.find("120"), std::string::npos);
}

TEST_F(InterfaceTest, AnimationRangeInTicks) {
  ip->SetAnimRange(Interval(10 * 160, 50 * 160));
  EXPECT_EQ(ip->GetAnimRange().Start(), 1600);
  EXPECT_EQ(ip->GetAnimRange().End(), 8000);
}

}  // namespace
