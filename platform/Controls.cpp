// Controls: the procedure of the predefined control classes. Buttons keep a check state
// (BM_GETCHECK / BM_SETCHECK; BM_CLICK clicks as the user would); edits keep a text and a
// selection (EM_SETSEL / EM_GETSEL / EM_REPLACESEL, WM_PASTE pastes the clipboard's text
// over the selection) and report changes with EN_CHANGE; list boxes are in ListBox.cpp;
// statics only keep their text. Notifications go to the parent as WM_COMMAND.
#include <algorithm>
#include <cstring>

#include "platform/Clipboard.h"
#include "platform/impl/Internal.h"
#include "platform/impl/Controls.h"
#include "platform/impl/WindowTable.h"

namespace tz2platform {
namespace {

DWORD ClampToText(LONG_PTR position, const std::string& text) {
  if (position < 0 || static_cast<std::size_t>(position) > text.size()) return static_cast<DWORD>(text.size());
  return static_cast<DWORD>(position);
}

// Replaces an edit's selection with text; the caret ends after it.
void ReplaceSelection(HWND edit, std::string text) {
  {
    std::lock_guard lock(DesktopMutex());
    const WindowPtr w = FindWindowObject(edit);
    if (!w) return;
    if (!(w->style & ES_MULTILINE)) text = text.substr(0, text.find_first_of("\r\n"));
    const DWORD start = std::min({w->selStart, w->selEnd, static_cast<DWORD>(w->text.size())});
    const DWORD end = std::min(std::max(w->selStart, w->selEnd), static_cast<DWORD>(w->text.size()));
    w->text.replace(start, end - start, text);
    w->selStart = w->selEnd = start + static_cast<DWORD>(text.size());
  }
  NotifyParent(edit, EN_CHANGE);
}

std::string ClipboardTextFor(HWND window) {
  std::string text;
  if (!OpenClipboard(window)) return text;
  if (const HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const auto* p = static_cast<const char*>(GlobalLock(data))) {
      text.assign(p, strnlen(p, GlobalSize(data)));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

LRESULT EditMessage(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETTEXT: {
      {
        std::lock_guard lock(DesktopMutex());
        const WindowPtr w = FindWindowObject(handle);
        if (!w) return FALSE;
        w->text = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
        w->selStart = w->selEnd = 0;
      }
      NotifyParent(handle, EN_CHANGE);
      return TRUE;
    }
    case EM_SETSEL: {
      std::lock_guard lock(DesktopMutex());
      const WindowPtr w = FindWindowObject(handle);
      if (!w) return 0;
      const auto start = static_cast<LONG_PTR>(wParam);
      if (start < 0) {
        w->selStart = w->selEnd = ClampToText(-1, w->text);
      } else {
        w->selStart = ClampToText(start, w->text);
        w->selEnd = ClampToText(lParam, w->text);
      }
      return 0;
    }
    case EM_GETSEL: {
      std::lock_guard lock(DesktopMutex());
      const WindowPtr w = FindWindowObject(handle);
      if (!w) return 0;
      const DWORD start = std::min(w->selStart, w->selEnd), end = std::max(w->selStart, w->selEnd);
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = start;
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = end;
      return MAKELRESULT(start, end);
    }
    case EM_REPLACESEL:
      ReplaceSelection(handle, lParam ? reinterpret_cast<LPCSTR>(lParam) : "");
      return 0;
    case WM_PASTE: {
      const WindowPtr w = FindWindowObject(handle);
      if (!w || (w->style & ES_READONLY)) return 0;
      ReplaceSelection(handle, ClipboardTextFor(handle));
      return 0;
    }
    case WM_SETFOCUS:
      NotifyParent(handle, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      NotifyParent(handle, EN_KILLFOCUS);
      return 0;
    default:
      return DefWindowProcA(handle, message, wParam, lParam);
  }
}

LRESULT ButtonMessage(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case BM_GETCHECK: {
      std::lock_guard lock(DesktopMutex());
      const WindowPtr w = FindWindowObject(handle);
      return w ? static_cast<LRESULT>(w->check) : 0;
    }
    case BM_SETCHECK: {
      std::lock_guard lock(DesktopMutex());
      const WindowPtr w = FindWindowObject(handle);
      if (w && (w->kind == ControlKind::CheckBox || w->kind == ControlKind::RadioButton))
        w->check = static_cast<UINT>(wParam) <= BST_INDETERMINATE ? static_cast<UINT>(wParam) : BST_CHECKED;
      return 0;
    }
    case BM_CLICK:
      ClickButton(handle);
      return 0;
    default:
      return DefWindowProcA(handle, message, wParam, lParam);
  }
}

// The auto radio buttons that share a group with `button`: the run of radio buttons among
// the parent's children around it, split where a control has WS_GROUP.
std::vector<WindowPtr> RadioGroupOf(const WindowPtr& button) {
  const std::vector<WindowPtr> siblings = ChildrenOf(button->parent);
  const auto self = std::find(siblings.begin(), siblings.end(), button);
  if (self == siblings.end()) return {button};
  auto first = self;
  while (!((*first)->style & WS_GROUP) && first != siblings.begin() &&
         (*(first - 1))->kind == ControlKind::RadioButton)
    --first;
  auto last = self + 1;
  while (last != siblings.end() && (*last)->kind == ControlKind::RadioButton && !((*last)->style & WS_GROUP)) ++last;
  return {first, last};
}

}  // namespace

void NotifyParent(HWND control, WORD code) {
  HWND parent = nullptr;
  int id = 0;
  {
    std::lock_guard lock(DesktopMutex());
    const WindowPtr w = FindWindowObject(control);
    if (!w || !(w->style & WS_CHILD)) return;
    parent = w->parent;
    id = w->id;
  }
  if (parent) SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

void ClickButton(HWND button) {
  {
    std::lock_guard lock(DesktopMutex());
    const WindowPtr w = FindWindowObject(button);
    if (!w) return;
    const DWORD type = w->style & BS_TYPEMASK;
    if (w->kind == ControlKind::CheckBox && type == BS_AUTOCHECKBOX) {
      w->check = w->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    } else if (w->kind == ControlKind::CheckBox && type == BS_AUTO3STATE) {
      w->check = (w->check + 1) % 3;
    } else if (w->kind == ControlKind::RadioButton && type == BS_AUTORADIOBUTTON) {
      for (const WindowPtr& other : RadioGroupOf(w))
        if ((other->style & BS_TYPEMASK) == BS_AUTORADIOBUTTON) other->check = BST_UNCHECKED;
      w->check = BST_CHECKED;
    }
  }
  NotifyParent(button, BN_CLICKED);
}

LRESULT CALLBACK ControlProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  const WindowPtr w = FindWindowObject(handle);
  if (!w) return 0;
  switch (w->kind) {
    case ControlKind::Edit: return EditMessage(handle, message, wParam, lParam);
    case ControlKind::ListBox: return ListBoxMessage(handle, message, wParam, lParam);
    case ControlKind::PushButton:
    case ControlKind::DefPushButton:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::GroupBox: return ButtonMessage(handle, message, wParam, lParam);
    default: return DefWindowProcA(handle, message, wParam, lParam);
  }
}

}  // namespace tz2platform
