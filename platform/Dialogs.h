// Dialogs: dialog templates declared in code by each module (resource id, title, size,
// font, controls), modal dialogs (DialogBoxParamA, worked by the interaction driver until
// EndDialog), modeless pages (CreateDialogParamA, used for rollup pages) and the dialog item
// calls. A dialog is a window whose procedure is the dialog procedure; its controls are
// child windows of the predefined classes.
#pragma once

#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "platform/WinTypes.h"

using DLGPROC = INT_PTR(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);

// Button styles.
inline constexpr DWORD BS_PUSHBUTTON = 0x0000;
inline constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
inline constexpr DWORD BS_CHECKBOX = 0x0002;
inline constexpr DWORD BS_AUTOCHECKBOX = 0x0003;
inline constexpr DWORD BS_RADIOBUTTON = 0x0004;
inline constexpr DWORD BS_3STATE = 0x0005;
inline constexpr DWORD BS_AUTO3STATE = 0x0006;
inline constexpr DWORD BS_GROUPBOX = 0x0007;
inline constexpr DWORD BS_AUTORADIOBUTTON = 0x0009;
inline constexpr DWORD BS_TYPEMASK = 0x000F;
// Edit styles.
inline constexpr DWORD ES_LEFT = 0x0000;
inline constexpr DWORD ES_MULTILINE = 0x0004;
inline constexpr DWORD ES_AUTOHSCROLL = 0x0080;
inline constexpr DWORD ES_READONLY = 0x0800;
inline constexpr DWORD ES_NUMBER = 0x2000;
// Static styles.
inline constexpr DWORD SS_LEFT = 0x0000;
inline constexpr DWORD SS_CENTER = 0x0001;
// List box styles.
inline constexpr DWORD LBS_NOTIFY = 0x0001;
inline constexpr DWORD LBS_SORT = 0x0002;
inline constexpr DWORD LBS_MULTIPLESEL = 0x0008;
inline constexpr DWORD LBS_EXTENDEDSEL = 0x0800;
inline constexpr DWORD LBS_STANDARD = 0x00A00003;
// Dialog styles.
inline constexpr DWORD DS_SETFONT = 0x0040;
inline constexpr DWORD DS_MODALFRAME = 0x0080;
inline constexpr DWORD DS_CENTER = 0x0800;

// The kind of a control; the kind decides its window class and how it behaves. Styles
// refine it (BS_AUTO* for check and radio buttons, LBS_SORT / LBS_MULTIPLESEL / LBS_NOTIFY
// for list boxes).
enum class ControlKind { Static, PushButton, DefPushButton, CheckBox, RadioButton, GroupBox, Edit, ListBox, Custom };

struct ControlTemplate {
  int id = 0;
  ControlKind kind = ControlKind::Static;
  std::string text{};
  DWORD style = 0;            // control styles (WS_*, BS_*, ES_*, LBS_*)
  int x = 0, y = 0, cx = 0, cy = 0;
  std::string className{};      // the window class of a Custom control (e.g. a host control)
  bool visible = true;        // false: created without WS_VISIBLE
};

struct DialogTemplate {
  std::string title{};
  int x = 0, y = 0, cx = 0, cy = 0;
  std::string fontName = "MS Sans Serif";
  int fontSize = 8;
  DWORD style = 0;
  std::vector<ControlTemplate> controls{};
};

// Declares dialog `id` of the module (replacing an earlier one). Named templates use a
// string name instead of a number.
void RegisterDialogTemplate(HINSTANCE module, int id, DialogTemplate dialog);
void RegisterDialogTemplate(HINSTANCE module, const std::string& name, DialogTemplate dialog);
// The template a MAKEINTRESOURCE number or a name refers to; null when none.
const DialogTemplate* FindDialogTemplate(HINSTANCE module, LPCSTR name);
// Drops every template of the module.
void UnregisterDialogTemplates(HINSTANCE module);

// Runs a modal dialog: creates it, sends WM_INITDIALOG with `param` (when that returns TRUE
// the first enabled, visible control other than a static text or group box gets the focus,
// an edit with its text selected), delivers the queued messages, and hands it to the
// interaction driver. A dialog the driver leaves open gets IDCANCEL, as the Esc key sends;
// one that still does not end is closed with result 0. Destroys it and returns the
// EndDialog value; -1 when the template is missing. The owner is disabled meanwhile and
// active again afterwards.
INT_PTR DialogBoxParamA(HINSTANCE module, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param);
inline INT_PTR DialogBoxA(HINSTANCE module, LPCSTR templateName, HWND owner, DLGPROC proc) {
  return DialogBoxParamA(module, templateName, owner, proc, 0);
}
// Creates a modeless dialog (a page): sends WM_INITDIALOG and returns its window; null when
// the template is missing. It lives until DestroyWindow.
HWND CreateDialogParamA(HINSTANCE module, LPCSTR templateName, HWND parent, DLGPROC proc, LPARAM param);
BOOL EndDialog(HWND dialog, INT_PTR result);
// Dialog units to pixels (the base units of an 8-point dialog font: 6 × 13).
BOOL MapDialogRect(HWND dialog, LPRECT rect);

HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND control);
BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);

// Standalone desktop extras.

// Whether the window is a dialog and, for a modal one, whether EndDialog was called.
bool IsDialog(HWND window);
bool IsDialogEnded(HWND dialog);
// The template a dialog was made from: its module, its id (0 for a named one) and its name.
HINSTANCE DialogModule(HWND dialog);
int DialogTemplateId(HWND dialog);
// The controls of a dialog, in template order.
std::vector<HWND> DialogControls(HWND dialog);
ControlKind ControlKindOf(HWND control);
// The items of a list box, in display order.
std::vector<std::string> ListBoxItems(HWND listBox);

// What a user does to a dialog, with the messages a real click or keystroke sends:
// pressing a button sends WM_COMMAND(id, BN_CLICKED) to the dialog (an automatic check box
// toggles, an automatic radio button becomes the checked one of its group first); typing
// replaces an edit's text and sends EN_CHANGE; selecting a list item sends LBN_SELCHANGE
// when the box notifies; closing sends WM_CLOSE. A click or keystroke first gives the
// control the focus, as on the real desktop. Each returns false when the control does not
// exist, is hidden or disabled, or is of the wrong kind. Pressing IDOK or IDCANCEL in a
// dialog without such a button sends the command as the Enter and Esc keys do.
bool PressDialogButton(HWND dialog, int id);
bool TypeDialogText(HWND dialog, int id, const std::string& text);
bool SetDialogCheck(HWND dialog, int id, bool checked);
bool SelectDialogListItem(HWND dialog, int id, int index);
bool CloseDialogWindow(HWND dialog);
// The F1 key: WM_HELP (a HELPINFO naming the focused control, or the dialog) to the dialog.
bool RequestDialogHelp(HWND dialog);
