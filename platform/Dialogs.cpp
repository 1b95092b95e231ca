// Dialogs: dialog windows made from the templates modules declare (DialogTemplates.cpp),
// the dialog window procedure (the dialog procedure first, then the default handling:
// WM_CLOSE becomes IDCANCEL), modal dialogs run through the interaction driver, modeless
// pages, and the dialog item calls.
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/Interaction.h"
#include "platform/impl/Internal.h"
#include "platform/impl/Records.h"
#include "platform/impl/WindowTable.h"

namespace tz2platform {
namespace {

constexpr int kBaseUnitX = 6;
constexpr int kBaseUnitY = 13;
const char kDialogClass[] = "#32770";

int PixelsX(int dialogUnits) { return dialogUnits * kBaseUnitX / 4; }
int PixelsY(int dialogUnits) { return dialogUnits * kBaseUnitY / 8; }

WindowPtr DialogObject(HWND dialog) {
  WindowPtr w = FindWindowObject(dialog);
  return w && w->isDialog ? w : nullptr;
}

LRESULT CALLBACK DialogWindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  DLGPROC proc = nullptr;
  {
    std::lock_guard lock(DesktopMutex());
    const WindowPtr w = FindWindowObject(handle);
    if (!w) return 0;
    proc = w->dlgProc;
    w->dlgMsgResult = 0;
  }
  const INT_PTR handled = proc ? proc(handle, message, wParam, lParam) : FALSE;
  if (handled) return message == WM_INITDIALOG ? handled : GetWindowLongPtrA(handle, DWLP_MSGRESULT);
  if (message == WM_CLOSE) {
    SendMessageA(handle, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(handle, IDCANCEL)));
    return 0;
  }
  return DefWindowProcA(handle, message, wParam, lParam);
}

// The window class and style bits a control template makes.
std::string ControlClass(const ControlTemplate& c, DWORD* style) {
  DWORD type = c.style & BS_TYPEMASK;
  switch (c.kind) {
    case ControlKind::Static: return "STATIC";
    case ControlKind::Edit: return "EDIT";
    case ControlKind::ListBox: return "LISTBOX";
    case ControlKind::Custom: return c.className;
    case ControlKind::PushButton: type = BS_PUSHBUTTON; break;
    case ControlKind::DefPushButton: type = BS_DEFPUSHBUTTON; break;
    case ControlKind::GroupBox: type = BS_GROUPBOX; break;
    case ControlKind::CheckBox:
      if (type != BS_CHECKBOX && type != BS_3STATE && type != BS_AUTO3STATE) type = BS_AUTOCHECKBOX;
      break;
    case ControlKind::RadioButton:
      if (type != BS_RADIOBUTTON) type = BS_AUTORADIOBUTTON;
      break;
  }
  *style = (*style & ~BS_TYPEMASK) | type;
  return "BUTTON";
}

void CreateControl(HWND dialog, HINSTANCE module, const ControlTemplate& c) {
  WindowCreation creation;
  creation.style = WS_CHILD | c.style | (c.visible ? WS_VISIBLE : 0);
  creation.className = ControlClass(c, &creation.style);
  creation.title = c.text;
  creation.x = PixelsX(c.x);
  creation.y = PixelsY(c.y);
  creation.width = PixelsX(c.cx);
  creation.height = PixelsY(c.cy);
  creation.parent = dialog;
  creation.menuOrId = reinterpret_cast<HMENU>(static_cast<ULONG_PTR>(static_cast<unsigned>(c.id)));
  creation.instance = module;
  if (!FindClassProcedure(creation.className, &creation.proc)) creation.proc = nullptr;
  const ControlKind kind = c.kind;
  const HWND control = CreateWindowObject(creation, [&](Window& w) {
    w.isControl = true;
    w.kind = kind;
  });
  const WindowPtr d = FindWindowObject(dialog);
  if (control && d) {
    std::lock_guard lock(DesktopMutex());
    d->controls.push_back(control);
  }
}

bool Focusable(const Window& w) {
  return w.enabled && w.visible && w.kind != ControlKind::Static && w.kind != ControlKind::GroupBox;
}

HWND FirstFocusable(HWND dialog) {
  for (HWND control : DialogControls(dialog)) {
    const WindowPtr w = FindWindowObject(control);
    if (w && Focusable(*w)) return control;
  }
  return nullptr;
}

// Creates the dialog and its controls and sends WM_INITDIALOG; *initResult gets its answer.
HWND CreateDialogObject(HINSTANCE module, LPCSTR name, HWND parent, DLGPROC proc, LPARAM param, bool modal,
                        INT_PTR* initResult) {
  const DialogTemplate* found = FindDialogTemplate(module, name);
  if (!found) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  const DialogTemplate dialog = *found;  // a copy: the dialog may outlive a re-registration
  WindowCreation creation;
  creation.className = kDialogClass;
  creation.title = dialog.title;
  creation.style = dialog.style | (modal ? WS_VISIBLE : 0);
  if (!(creation.style & WS_CHILD) && modal) creation.style |= WS_POPUP | WS_CAPTION;
  creation.x = PixelsX(dialog.x);
  creation.y = PixelsY(dialog.y);
  creation.width = PixelsX(dialog.cx);
  creation.height = PixelsY(dialog.cy);
  creation.parent = IsWindow(parent) ? parent : nullptr;
  creation.instance = module;
  creation.proc = &DialogWindowProc;
  const HWND handle = CreateWindowObject(creation, [&](Window& w) {
    w.isDialog = true;
    w.modal = modal;
    w.templateModule = module;
    w.templateId = IS_INTRESOURCE(name) ? static_cast<int>(reinterpret_cast<ULONG_PTR>(name)) : 0;
  });
  if (!handle) return nullptr;
  for (const ControlTemplate& c : dialog.controls) CreateControl(handle, module, c);
  {
    std::lock_guard lock(DesktopMutex());
    if (const WindowPtr w = FindWindowObject(handle)) w->dlgProc = proc;
  }
  *initResult = SendMessageA(handle, WM_INITDIALOG, reinterpret_cast<WPARAM>(FirstFocusable(handle)), param);
  return handle;
}

void GiveInitialFocus(HWND dialog) {
  const HWND control = FirstFocusable(dialog);
  if (!control) return;
  SetFocus(control);
  if (ControlKindOf(control) == ControlKind::Edit) SendMessageA(control, EM_SETSEL, 0, -1);
}

bool ParseDialogInt(const std::string& text, BOOL isSigned, long long* value) {
  std::size_t i = text.find_first_not_of(" \t");
  if (i == std::string::npos) return false;
  const std::string rest = text.substr(i);
  if (!isSigned && rest[0] == '-') return false;
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(rest.c_str(), &end, 10);
  if (end == rest.c_str() || errno == ERANGE) return false;
  if (std::string(end).find_first_not_of(" \t") != std::string::npos) return false;
  if (isSigned ? (v < INT_MIN || v > INT_MAX) : (v > static_cast<long long>(UINT_MAX))) return false;
  *value = v;
  return true;
}

}  // namespace
}  // namespace tz2platform

using namespace tz2platform;

INT_PTR DialogBoxParamA(HINSTANCE module, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param) {
  const DialogTemplate* found = FindDialogTemplate(module, templateName);
  if (!found) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return -1;
  }
  DialogRecord record;
  record.module = module;
  record.templateId = IS_INTRESOURCE(templateName) ? static_cast<int>(reinterpret_cast<ULONG_PTR>(templateName)) : 0;
  record.title = found->title;
  const std::size_t recordIndex = AddDialogRecord(record);

  owner = TopLevelOf(owner);
  INT_PTR initResult = 0;
  const HWND dialog = CreateDialogObject(module, templateName, owner, proc, param, true, &initResult);
  if (!dialog) return -1;
  const bool disableOwner = owner && IsWindowEnabled(owner);
  if (disableOwner) EnableWindow(owner, FALSE);
  if (!IsDialogEnded(dialog)) {
    SetActiveWindow(dialog);
    if (initResult) GiveInitialFocus(dialog);
  }
  PumpMessages();
  if (!IsDialogEnded(dialog)) CurrentInteractionDriver().WorkModalDialog(dialog);
  PumpMessages();
  if (!IsDialogEnded(dialog)) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
    PumpMessages();
  }
  bool forced = false;
  INT_PTR result = 0;
  if (const WindowPtr w = DialogObject(dialog)) {
    std::lock_guard lock(DesktopMutex());
    forced = !w->ended;
    result = w->ended ? w->result : 0;
  }
  if (disableOwner && IsWindow(owner)) EnableWindow(owner, TRUE);
  if (IsWindow(dialog)) DestroyWindow(dialog);
  if (IsWindow(owner)) SetActiveWindow(owner);
  FinishDialogRecord(recordIndex, result, forced);
  return result;
}

HWND CreateDialogParamA(HINSTANCE module, LPCSTR templateName, HWND parent, DLGPROC proc, LPARAM param) {
  INT_PTR initResult = 0;
  return CreateDialogObject(module, templateName, parent, proc, param, false, &initResult);
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  std::lock_guard lock(DesktopMutex());
  const WindowPtr w = DialogObject(dialog);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  w->ended = true;
  w->result = result;
  w->visible = false;
  return TRUE;
}

BOOL MapDialogRect(HWND dialog, LPRECT rect) {
  if (!DialogObject(dialog) || !rect) return FALSE;
  *rect = {PixelsX(rect->left), PixelsY(rect->top), PixelsX(rect->right), PixelsY(rect->bottom)};
  return TRUE;
}

HWND GetDlgItem(HWND dialog, int id) {
  for (const WindowPtr& child : ChildrenOf(dialog))
    if ((child->style & WS_CHILD) && child->id == id) return child->handle;
  SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
  return nullptr;
}

int GetDlgCtrlID(HWND control) {
  const WindowPtr w = FindWindowObject(control);
  return w && (w->style & WS_CHILD) ? w->id : 0;
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
  const HWND control = GetDlgItem(dialog, id);
  return control ? SetWindowTextA(control, text) : FALSE;
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size) {
  if (buffer && size > 0) buffer[0] = '\0';
  const HWND control = GetDlgItem(dialog, id);
  return control ? static_cast<UINT>(GetWindowTextA(control, buffer, size)) : 0;
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
  const std::string text = isSigned ? std::to_string(static_cast<int>(value)) : std::to_string(value);
  return SetDlgItemTextA(dialog, id, text.c_str());
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
  if (translated) *translated = FALSE;
  const HWND control = GetDlgItem(dialog, id);
  if (!control) return 0;
  long long value = 0;
  if (!ParseDialogInt(WindowText(control), isSigned, &value)) return 0;
  if (translated) *translated = TRUE;
  return static_cast<UINT>(value);
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  const HWND control = GetDlgItem(dialog, id);
  if (!control) return FALSE;
  SendMessageA(control, BM_SETCHECK, check, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  const HWND control = GetDlgItem(dialog, id);
  return control ? static_cast<UINT>(SendMessageA(control, BM_GETCHECK, 0, 0)) : 0;
}

BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId) {
  if (!DialogObject(dialog) && !IsWindow(dialog)) return FALSE;
  for (int id = firstId; id <= lastId; ++id)
    if (const HWND control = GetDlgItem(dialog, id))
      SendMessageA(control, BM_SETCHECK, id == checkId ? BST_CHECKED : BST_UNCHECKED, 0);
  return TRUE;
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND control = GetDlgItem(dialog, id);
  return control ? SendMessageA(control, message, wParam, lParam) : 0;
}

bool IsDialog(HWND window) { return DialogObject(window) != nullptr; }

bool IsDialogEnded(HWND dialog) {
  std::lock_guard lock(DesktopMutex());
  const WindowPtr w = DialogObject(dialog);
  return !w || w->ended || w->destroying;
}

HINSTANCE DialogModule(HWND dialog) {
  const WindowPtr w = DialogObject(dialog);
  return w ? w->templateModule : nullptr;
}

int DialogTemplateId(HWND dialog) {
  const WindowPtr w = DialogObject(dialog);
  return w ? w->templateId : 0;
}

std::vector<HWND> DialogControls(HWND dialog) {
  std::lock_guard lock(DesktopMutex());
  const WindowPtr w = DialogObject(dialog);
  std::vector<HWND> out;
  if (w)
    for (HWND control : w->controls)
      if (FindWindowObject(control)) out.push_back(control);
  return out;
}

ControlKind ControlKindOf(HWND control) {
  const WindowPtr w = FindWindowObject(control);
  return w ? w->kind : ControlKind::Custom;
}

std::vector<std::string> ListBoxItems(HWND listBox) {
  std::lock_guard lock(DesktopMutex());
  const WindowPtr w = FindWindowObject(listBox);
  std::vector<std::string> out;
  if (w && w->kind == ControlKind::ListBox)
    for (const ListItem& item : w->items) out.push_back(item.text);
  return out;
}
