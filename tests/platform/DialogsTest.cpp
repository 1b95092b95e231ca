// Dialogs: a modal dialog worked by the scripted driver, the default driver, modeless
// pages, controls (check boxes, radio groups, list boxes, hidden buttons), dialog items.
#include "PlatformFixture.h"
#include "platform/Interaction.h"

namespace {

constexpr int kOptionsDialog = 101;

struct Options {
  std::string scale = "100";
  bool hidden = false;
  bool selectedOnly = true;
  std::string viewer;
  int commands = 0;
  bool ownerDisabled = false;
  int helpControl = 0;
};

Options* OptionsOf(HWND dialog) { return reinterpret_cast<Options*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

INT_PTR CALLBACK OptionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      const Options& o = *reinterpret_cast<Options*>(lParam);
      SetWindowTextA(dialog, "TZ2 Export,  Build: test");
      SetDlgItemTextA(dialog, 1002, o.scale.c_str());
      CheckDlgButton(dialog, 1001, o.hidden ? BST_CHECKED : BST_UNCHECKED);
      CheckDlgButton(dialog, 1015, o.selectedOnly ? BST_CHECKED : BST_UNCHECKED);
      return TRUE;
    }
    case WM_HELP:
      OptionsOf(dialog)->helpControl = reinterpret_cast<const HELPINFO*>(lParam)->iCtrlId;
      return TRUE;
    case WM_COMMAND: {
      Options& o = *OptionsOf(dialog);
      ++o.commands;
      o.ownerDisabled = !IsWindowEnabled(GetParent(dialog));
      switch (LOWORD(wParam)) {
        case IDOK: {
          char buffer[1024];
          GetDlgItemTextA(dialog, 1002, buffer, sizeof buffer);
          o.scale = buffer;
          o.hidden = IsDlgButtonChecked(dialog, 1001) == BST_CHECKED;
          o.selectedOnly = IsDlgButtonChecked(dialog, 1015) == BST_CHECKED;
          GetDlgItemTextA(dialog, 1025, buffer, sizeof buffer);
          o.viewer = buffer;
          EndDialog(dialog, 100);
          return TRUE;
        }
        case IDCANCEL:
          EndDialog(dialog, 0);
          return TRUE;
        case 1026: {
          char file[MAX_PATH] = "_TZ2View.exe";
          OPENFILENAMEA ofn;
          ofn.hwndOwner = dialog;
          ofn.lpstrFilter = "TZ2 Viewer\0_TZ2View.exe\0";
          ofn.lpstrFile = file;
          ofn.nMaxFile = MAX_PATH;
          ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
          if (GetOpenFileNameA(&ofn)) SetDlgItemTextA(dialog, 1025, file);
          return TRUE;
        }
      }
      return FALSE;
    }
  }
  return FALSE;
}

DialogTemplate OptionsTemplate() {
  DialogTemplate t;
  t.title = "TZ2 Export";
  t.cx = 300;
  t.cy = 190;
  t.style = DS_MODALFRAME | WS_CAPTION | WS_SYSMENU;
  t.controls = {
      {.id = 1001, .kind = ControlKind::CheckBox, .text = "Export hidden objects"},
      {.id = 1015, .kind = ControlKind::CheckBox, .text = "Export selected objects only"},
      {.id = -1, .kind = ControlKind::Static, .text = "Scale coef., %:"},
      {.id = 1002, .kind = ControlKind::Edit},
      {.id = 1025, .kind = ControlKind::Edit},
      {.id = 1026, .kind = ControlKind::PushButton, .text = "Browse..."},
      {.id = IDOK, .kind = ControlKind::DefPushButton, .text = "&Ok"},
      {.id = IDCANCEL, .kind = ControlKind::PushButton, .text = "&Cancel"},
  };
  return t;
}

class DialogsTest : public PlatformTest {
protected:
  void SetUp() override {
    PlatformTest::SetUp();
    module_ = RegisterModule("/opt/tz2/plugins/TZ2_Export.dle");
    RegisterDialogTemplate(module_, kOptionsDialog, OptionsTemplate());
    host_ = CreateDesktopWindow("Host", "Host", nullptr);
    SetActiveWindow(host_);
  }
  INT_PTR RunOptions(Options& options) {
    return DialogBoxParamA(module_, MAKEINTRESOURCE(kOptionsDialog), GetActiveWindow(), OptionsProc,
                           reinterpret_cast<LPARAM>(&options));
  }
  HINSTANCE module_ = nullptr;
  HWND host_ = nullptr;
};

TEST_F(DialogsTest, ModalDialogWorkedByTheScriptedDriver) {
  ScriptedDriver driver;
  driver
      .ExpectDialog({.templateId = kOptionsDialog,
                     .title = "TZ2 Export",
                     .steps = {DialogStep::ExpectText(1002, "100"), DialogStep::ExpectChecked(1015),
                               DialogStep::SetText(1002, "50"), DialogStep::Check(1001),
                               DialogStep::Check(1015, false), DialogStep::Help(), DialogStep::Press(1026),
                               DialogStep::ExpectText(1025, "/games/_TZ2View.exe"), DialogStep::Press(IDOK)}})
      .ExpectOpenFileName("/games/_TZ2View.exe");
  ScopedInteractionDriver scoped(driver);
  Options options;
  EXPECT_EQ(RunOptions(options), 100);
  EXPECT_TRUE(driver.Done()) << driver.Report();
  EXPECT_EQ(options.scale, "50");
  EXPECT_TRUE(options.hidden);
  EXPECT_FALSE(options.selectedOnly);
  EXPECT_EQ(options.viewer, "/games/_TZ2View.exe");
  EXPECT_EQ(options.helpControl, 1015) << "F1 names the focused control";
  EXPECT_TRUE(options.ownerDisabled) << "the owner is disabled while the dialog runs";
  EXPECT_TRUE(IsWindowEnabled(host_));
  EXPECT_EQ(GetActiveWindow(), host_);
  EXPECT_EQ(FindWindowA("#32770", nullptr), nullptr) << "the dialog is gone";

  const std::vector<DialogRecord> dialogs = DialogRecords();
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].templateId, kOptionsDialog);
  EXPECT_EQ(dialogs[0].result, 100);
  const std::vector<OpenFileRecord> files = OpenFileRecords();
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].initialFile, "_TZ2View.exe");
  EXPECT_EQ(files[0].filters, (std::vector<std::pair<std::string, std::string>>{{"TZ2 Viewer", "_TZ2View.exe"}}));
  EXPECT_EQ(files[0].flags, OFN_PATHMUSTEXIST | OFN_HIDEREADONLY);
}

TEST_F(DialogsTest, DefaultDriverCancelsAndAClosedWindowCancelsToo) {
  Options options;
  EXPECT_EQ(RunOptions(options), 0);
  EXPECT_EQ(options.scale, "100");
  ScriptedDriver driver;
  driver.ExpectDialog({.steps = {DialogStep::Close()}});
  ScopedInteractionDriver scoped(driver);
  EXPECT_EQ(RunOptions(options), 0);
  EXPECT_TRUE(driver.Done()) << driver.Report();
}

TEST_F(DialogsTest, ScriptedDriverReportsUnexpectedAndUnfinishedDialogs) {
  ScriptedDriver driver;
  ScopedInteractionDriver scoped(driver);
  Options options;
  EXPECT_EQ(RunOptions(options), 0);
  driver.ExpectDialog({.templateId = 104, .steps = {DialogStep::Press(1)}});
  RunOptions(options);
  driver.ExpectDialog({.steps = {DialogStep::SetText(1002, "7"), DialogStep::Press(4242)}});
  RunOptions(options);
  ASSERT_EQ(driver.Failures().size(), 4u) << driver.Report();
  EXPECT_EQ(driver.Failures()[0], "unexpected dialog 101 \"TZ2 Export,  Build: test\"");
  EXPECT_NE(driver.Failures()[1].find("where dialog 104 was expected"), std::string::npos);
  EXPECT_NE(driver.Failures()[2].find("control 4242: cannot press the button"), std::string::npos);
  EXPECT_NE(driver.Failures()[3].find("still open after its script"), std::string::npos);
}

INT_PTR CALLBACK EndsAtOnceProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) EndDialog(dialog, 7);
  return message == WM_INITDIALOG;
}

TEST_F(DialogsTest, ADialogEndedWhileOpeningIsNotHandedToTheDriver) {
  ScriptedDriver driver;
  ScopedInteractionDriver scoped(driver);
  EXPECT_EQ(DialogBoxParamA(module_, MAKEINTRESOURCE(kOptionsDialog), host_, EndsAtOnceProc, 0), 7);
  EXPECT_TRUE(driver.Done()) << driver.Report();
}

INT_PTR CALLBACK StubbornProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

TEST_F(DialogsTest, MissingTemplateFailsAndAStubbornDialogIsClosedByTheDesktop) {
  EXPECT_EQ(DialogBoxParamA(module_, MAKEINTRESOURCE(999), host_, OptionsProc, 0), -1);
  EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCE(kOptionsDialog), host_, OptionsProc, 0), -1);
  EXPECT_EQ(DialogBoxParamA(module_, MAKEINTRESOURCE(kOptionsDialog), host_, StubbornProc, 0), 0);
  ASSERT_EQ(DialogRecords().size(), 1u);
  EXPECT_TRUE(DialogRecords()[0].forcedClose);
  EXPECT_TRUE(IsWindowEnabled(host_));
}

std::vector<HWND>* focusSeen = nullptr;
LRESULT CALLBACK FocusHook(int code, WPARAM wParam, LPARAM) {
  if (code == HCBT_SETFOCUS && focusSeen) focusSeen->push_back(reinterpret_cast<HWND>(wParam));
  return 0;
}

TEST_F(DialogsTest, ModalDialogGivesTheFirstControlTheFocusWithItsTextSelected) {
  std::vector<HWND> seen;
  focusSeen = &seen;
  SetWindowsHookExA(WH_CBT, FocusHook, nullptr, GetCurrentThreadId());
  ScriptedDriver driver;
  HWND first = nullptr;
  driver.ExpectDialog({.steps = {DialogStep::Custom([&](HWND dialog) {
                                   first = GetFocus();
                                   EXPECT_EQ(first, GetDlgItem(dialog, 1001));
                                 }),
                                 DialogStep::Press(IDCANCEL)}});
  ScopedInteractionDriver scoped(driver);
  Options options;
  RunOptions(options);
  focusSeen = nullptr;
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen[0], first);
  EXPECT_TRUE(driver.Done()) << driver.Report();
}

// Counts the commands a page receives and keeps the last one.
struct PageLog {
  int initParam = 0;
  std::vector<std::pair<WORD, WORD>> commands;
  int posted = 0;
  bool destroyed = false;
};

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* log = reinterpret_cast<PageLog*>(GetWindowLongPtrA(page, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(page, DWLP_USER, lParam);
      reinterpret_cast<PageLog*>(lParam)->initParam = 1;
      CheckRadioButton(page, 1010, 1013, 1010);
      PostMessageA(page, WM_USER + 1000, 0, 0);
      return TRUE;
    case WM_USER + 1000:
      ++log->posted;
      return TRUE;
    case WM_COMMAND:
      log->commands.emplace_back(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_DESTROY:
      log->destroyed = true;
      return TRUE;
  }
  return FALSE;
}

DialogTemplate BonePage() {
  DialogTemplate t;
  t.style = WS_CHILD;
  t.controls = {
      {.id = 1001, .kind = ControlKind::PushButton, .text = "Refresh"},
      {.id = 1005, .kind = ControlKind::PushButton, .text = "Request LMesh*", .visible = false},
      {.id = 1008, .kind = ControlKind::ListBox, .style = LBS_SORT | LBS_NOTIFY},
      {.id = 1009, .kind = ControlKind::ListBox, .style = LBS_MULTIPLESEL},
      {.id = -1, .kind = ControlKind::GroupBox, .text = "Show items:"},
      {.id = 1010, .kind = ControlKind::RadioButton, .text = "ParentBone", .style = WS_GROUP},
      {.id = 1011, .kind = ControlKind::RadioButton, .text = "BoneImportance"},
      {.id = 1012, .kind = ControlKind::RadioButton, .text = "MeshImportance"},
      {.id = 1013, .kind = ControlKind::RadioButton, .text = "MaterialImportance"},
      {.id = 1020, .kind = ControlKind::RadioButton, .text = "another group", .style = WS_GROUP},
      {.id = 1021, .kind = ControlKind::Edit},
  };
  return t;
}

class PageTest : public DialogsTest {
protected:
  void SetUp() override {
    DialogsTest::SetUp();
    RegisterDialogTemplate(module_, 104, BonePage());
    page_ = CreateDialogParamA(module_, MAKEINTRESOURCE(104), host_, PageProc, reinterpret_cast<LPARAM>(&log_));
    ASSERT_NE(page_, nullptr);
  }
  PageLog log_;
  HWND page_ = nullptr;
};

TEST_F(PageTest, ModelessPageGetsItsParameterAndItsPostedMessageThroughThePump) {
  EXPECT_EQ(log_.initParam, 1);
  EXPECT_EQ(GetParent(page_), host_);
  EXPECT_EQ(DialogTemplateId(page_), 104);
  EXPECT_EQ(IsDlgButtonChecked(page_, 1010), BST_CHECKED);
  EXPECT_EQ(log_.posted, 0);
  PumpMessages();
  EXPECT_EQ(log_.posted, 1);
  DestroyWindow(page_);
  EXPECT_TRUE(log_.destroyed);
  EXPECT_EQ(GetDlgItem(page_, 1001), nullptr);
}

TEST_F(PageTest, RadioButtonsOfAGroupExcludeEachOtherAndReportClicks) {
  ASSERT_TRUE(PressDialogButton(page_, 1012));
  EXPECT_EQ(IsDlgButtonChecked(page_, 1010), BST_UNCHECKED);
  EXPECT_EQ(IsDlgButtonChecked(page_, 1012), BST_CHECKED);
  ASSERT_TRUE(PressDialogButton(page_, 1020));
  EXPECT_EQ(IsDlgButtonChecked(page_, 1012), BST_CHECKED) << "another group";
  EXPECT_EQ(log_.commands, (std::vector<std::pair<WORD, WORD>>{{1012, BN_CLICKED}, {1020, BN_CLICKED}}));
}

TEST_F(PageTest, HiddenOrDisabledControlsCannotBeWorked) {
  EXPECT_FALSE(PressDialogButton(page_, 1005));
  EXPECT_FALSE(PressDialogButton(page_, 4242));
  EnableWindow(GetDlgItem(page_, 1001), FALSE);
  EXPECT_FALSE(PressDialogButton(page_, 1001));
  EXPECT_FALSE(TypeDialogText(page_, 1001, "x")) << "not an edit";
  ShowWindow(GetDlgItem(page_, 1005), SW_SHOW);
  EXPECT_TRUE(PressDialogButton(page_, 1005));
  SendMessageA(page_, WM_COMMAND, 1005, 0);  // the handler is reachable by message as well
  EXPECT_EQ(log_.commands.size(), 2u);
}

TEST_F(PageTest, SortedListBoxInsertsInTextOrder) {
  const HWND list = GetDlgItem(page_, 1008);
  for (const char* line : {"[2] b", "[10] a", "Bip01 = [root]", "bip01 = [Spine]", "[3] c"})
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
  EXPECT_EQ(ListBoxItems(list),
            (std::vector<std::string>{"[10] a", "[2] b", "[3] c", "Bip01 = [root]", "bip01 = [Spine]"}));
  EXPECT_EQ(SendDlgItemMessageA(page_, 1008, LB_GETCOUNT, 0, 0), 5);
  EXPECT_EQ(SendMessageA(list, LB_GETTEXTLEN, 3, 0), 14);
  char buffer[32];
  EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(buffer)), 5);
  EXPECT_STREQ(buffer, "[2] b");
  EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 9, reinterpret_cast<LPARAM>(buffer)), LB_ERR);
  EXPECT_EQ(SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("[3] C")), 2);
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
  ASSERT_TRUE(SelectDialogListItem(page_, 1008, 2));
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(log_.commands.back(), (std::pair<WORD, WORD>{1008, LBN_SELCHANGE}));
  EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 7, 0), LB_ERR);
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  EXPECT_TRUE(ListBoxItems(list).empty());
}

TEST_F(PageTest, UnsortedMultipleSelectionListBox) {
  const HWND list = GetDlgItem(page_, 1009);
  for (const char* line : {"c", "a", "b"}) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
  EXPECT_EQ(ListBoxItems(list), (std::vector<std::string>{"c", "a", "b"}));
  SendMessageA(list, LB_SETSEL, TRUE, 0);
  SendMessageA(list, LB_SETSEL, TRUE, 2);
  int selected[4] = {};
  EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageA(list, LB_GETSELITEMS, 4, reinterpret_cast<LPARAM>(selected)), 2);
  EXPECT_EQ(selected[1], 2);
  EXPECT_EQ(SendMessageA(list, LB_DELETESTRING, 0, 0), 2);
  EXPECT_EQ(SendMessageA(list, LB_GETSEL, 1, 0), 1) << "selection moves with its item";
  EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 0, 0), LB_ERR) << "single selection only";
}

TEST_F(PageTest, DialogItemTextsAndNumbers) {
  ASSERT_TRUE(SetDlgItemInt(page_, 1021, static_cast<UINT>(-15), TRUE));
  BOOL ok = FALSE;
  EXPECT_EQ(static_cast<int>(GetDlgItemInt(page_, 1021, &ok, TRUE)), -15);
  EXPECT_TRUE(ok);
  GetDlgItemInt(page_, 1021, &ok, FALSE);
  EXPECT_FALSE(ok) << "unsigned reading refuses a sign";
  SetDlgItemTextA(page_, 1021, " 12x");
  GetDlgItemInt(page_, 1021, &ok, TRUE);
  EXPECT_FALSE(ok);
  EXPECT_FALSE(SetDlgItemTextA(page_, 4242, "x"));
  char buffer[8] = "junk";
  EXPECT_EQ(GetDlgItemTextA(page_, 4242, buffer, sizeof buffer), 0u);
  EXPECT_STREQ(buffer, "");
  ASSERT_TRUE(TypeDialogText(page_, 1021, "500"));
  EXPECT_EQ(log_.commands.back(), (std::pair<WORD, WORD>{1021, EN_CHANGE}));
  EXPECT_EQ(GetFocus(), GetDlgItem(page_, 1021)) << "typing focuses the field";
}

}  // namespace
