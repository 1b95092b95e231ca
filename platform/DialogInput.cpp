// DialogInput: what a user does to a dialog, as the interaction driver does it: clicks,
// typing, list selection and closing, each with the focus change and the messages a real
// click or keystroke produces.
#include "platform/Dialogs.h"
#include "platform/impl/Controls.h"
#include "platform/impl/WindowTable.h"

namespace tz2platform {
namespace {

// The control, when it exists, is visible and enabled, and is of one of the kinds.
HWND UsableControl(HWND dialog, int id, std::initializer_list<ControlKind> kinds) {
  const HWND control = GetDlgItem(dialog, id);
  const WindowPtr w = FindWindowObject(control);
  if (!w || !w->enabled || !w->visible) return nullptr;
  for (ControlKind kind : kinds)
    if (w->kind == kind) return control;
  return nullptr;
}

bool IsButtonKind(ControlKind kind) {
  return kind == ControlKind::PushButton || kind == ControlKind::DefPushButton || kind == ControlKind::CheckBox ||
         kind == ControlKind::RadioButton;
}

}  // namespace
}  // namespace tz2platform

using namespace tz2platform;

bool PressDialogButton(HWND dialog, int id) {
  if (!IsWindow(dialog)) return false;
  const HWND control = GetDlgItem(dialog, id);
  if (!control) {
    if (id != IDOK && id != IDCANCEL) return false;
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    return true;
  }
  const WindowPtr w = FindWindowObject(control);
  if (!w || !w->enabled || !w->visible || !IsButtonKind(w->kind)) return false;
  SetFocus(control);
  ClickButton(control);
  return true;
}

bool TypeDialogText(HWND dialog, int id, const std::string& text) {
  const HWND control = UsableControl(dialog, id, {ControlKind::Edit, ControlKind::Custom});
  if (!control) return false;
  SetFocus(control);
  SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  return true;
}

bool SetDialogCheck(HWND dialog, int id, bool checked) {
  const HWND control = UsableControl(dialog, id, {ControlKind::CheckBox, ControlKind::RadioButton});
  if (!control) return false;
  const auto state = [&] { return SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED; };
  if (state() != checked) PressDialogButton(dialog, id);
  return state() == checked;
}

bool SelectDialogListItem(HWND dialog, int id, int index) {
  const HWND control = UsableControl(dialog, id, {ControlKind::ListBox});
  if (!control || index < 0 || index >= SendMessageA(control, LB_GETCOUNT, 0, 0)) return false;
  SetFocus(control);
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(control, GWL_STYLE));
  if (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) {
    const bool selected = SendMessageA(control, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
    SendMessageA(control, LB_SETSEL, !selected, index);
  } else {
    SendMessageA(control, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
  if (style & LBS_NOTIFY) NotifyParent(control, LBN_SELCHANGE);
  return true;
}

bool RequestDialogHelp(HWND dialog) {
  if (!IsWindow(dialog)) return false;
  const HWND focus = GetFocus();
  const bool inDialog = focus && GetParent(focus) == dialog;
  HELPINFO help;
  help.iContextType = HELPINFO_WINDOW;
  help.iCtrlId = inDialog ? GetDlgCtrlID(focus) : 0;
  help.hItemHandle = inDialog ? focus : dialog;
  SendMessageA(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
  return true;
}

bool CloseDialogWindow(HWND dialog) {
  if (!IsWindow(dialog)) return false;
  SendMessageA(dialog, WM_CLOSE, 0, 0);
  return true;
}
