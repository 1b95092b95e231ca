// The desktop pieces the output-name keeper relies on, together: a CBT hook sees the focus
// go to the file-name field of a modal dialog, puts a name on the clipboard and posts
// WM_PASTE; the paste arrives after the focus change and replaces the field's text.
#include <cstring>

#include "PlatformFixture.h"
#include "platform/Interaction.h"

namespace {

constexpr int kFileDialog = 300;
constexpr int kFileName = 1152;

LRESULT CALLBACK PasteHook(int code, WPARAM wParam, LPARAM) {
  if (code != HCBT_SETFOCUS) return 0;
  const auto target = reinterpret_cast<HWND>(wParam);
  const char name[] = R"(D:\models\tank.tz2)";
  if (OpenClipboard(target)) {
    EmptyClipboard();
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, sizeof name);
    std::memcpy(GlobalLock(memory), name, sizeof name);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
    PostMessageA(target, WM_PASTE, 0, 0);
  }
  return 0;
}

INT_PTR CALLBACK FileDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
  return FALSE;
}

using PasteOnFocusTest = PlatformTest;

TEST_F(PasteOnFocusTest, HookPastesIntoTheFieldThatGetsTheFocus) {
  const HINSTANCE host = RegisterModule("/opt/tz2/bin/tz2");
  DialogTemplate t;
  t.title = "Select File to Export";
  t.controls = {{.id = -1, .kind = ControlKind::Static, .text = "File name:"},
                {.id = kFileName, .kind = ControlKind::Edit, .text = "untitled"},
                {.id = IDOK, .kind = ControlKind::DefPushButton, .text = "Save"},
                {.id = IDCANCEL, .kind = ControlKind::PushButton, .text = "Cancel"}};
  RegisterDialogTemplate(host, kFileDialog, t);
  ASSERT_TRUE(SetClipboardText("what the user had"));
  const HHOOK hook = SetWindowsHookExA(WH_CBT, PasteHook, nullptr, GetCurrentThreadId());

  ScriptedDriver driver;
  driver.ExpectDialog({.templateId = kFileDialog,
                       .steps = {DialogStep::ExpectText(kFileName, R"(D:\models\tank.tz2)"), DialogStep::Press(IDOK)}});
  ScopedInteractionDriver scoped(driver);
  EXPECT_EQ(DialogBoxParamA(host, MAKEINTRESOURCE(kFileDialog), nullptr, FileDialogProc, 0), IDOK);
  UnhookWindowsHookEx(hook);
  EXPECT_TRUE(driver.Done()) << driver.Report();
  EXPECT_EQ(ClipboardText(), R"(D:\models\tank.tz2)");
}

}  // namespace
