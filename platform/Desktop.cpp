// Desktop: the window table, window classes, creation and destruction of windows, their
// properties (text, rectangle, enabled and visible flags, window words), FindWindowA, and
// ResetDesktop(). Handles count up from a fixed base and are never reused.
#include "platform/Desktop.h"

#include <algorithm>
#include <map>

#include "platform/Modules.h"
#include "platform/impl/Internal.h"
#include "platform/impl/WindowTable.h"

namespace tz2platform {
namespace {

struct ClassEntry {
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
};

struct Table {
  std::recursive_mutex mutex;
  std::map<HWND, WindowPtr> windows;
  std::vector<HWND> order;  // creation order of the live windows
  std::map<std::string, ClassEntry> classes;  // by lower-case class name
  ULONG_PTR next = 0x00010000;
};

Table& TheTable() {
  static Table table;
  return table;
}

const char* const kPredefinedClasses[] = {"BUTTON", "EDIT", "STATIC", "LISTBOX"};

void RegisterPredefinedClasses(Table& table) {
  for (const char* name : kPredefinedClasses) table.classes[LowerCase(name)] = {&ControlProc, nullptr};
}

bool IsPredefinedClass(const std::string& name) {
  return std::any_of(std::begin(kPredefinedClasses), std::end(kPredefinedClasses),
                     [&](const char* c) { return EqualNoCase(name, c); });
}

}  // namespace

std::recursive_mutex& DesktopMutex() { return TheTable().mutex; }

WindowPtr FindWindowObject(HWND handle) {
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  const auto found = table.windows.find(handle);
  return found == table.windows.end() ? nullptr : found->second;
}

std::vector<WindowPtr> AllWindowObjects() {
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  std::vector<WindowPtr> out;
  for (HWND h : table.order) out.push_back(table.windows.at(h));
  return out;
}

std::vector<WindowPtr> ChildrenOf(HWND parent) {
  std::vector<WindowPtr> out;
  for (const WindowPtr& w : AllWindowObjects())
    if (w->parent == parent && parent != nullptr) out.push_back(w);
  return out;
}

HWND AddWindowObject(WindowPtr window) {
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  const auto handle = reinterpret_cast<HWND>(table.next);
  table.next += 4;
  window->handle = handle;
  table.windows[handle] = window;
  table.order.push_back(handle);
  return handle;
}

void RemoveWindowObject(HWND handle) {
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  table.windows.erase(handle);
  table.order.erase(std::remove(table.order.begin(), table.order.end(), handle), table.order.end());
}

HWND TopLevelOf(HWND handle) {
  std::lock_guard lock(DesktopMutex());
  WindowPtr w = FindWindowObject(handle);
  while (w && (w->style & WS_CHILD) && w->parent) {
    WindowPtr up = FindWindowObject(w->parent);
    if (!up) break;
    w = up;
  }
  return w ? w->handle : nullptr;
}

HWND CreateWindowObject(const WindowCreation& c, const std::function<void(Window&)>& setup) {
  if (c.parent && !FindWindowObject(c.parent)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  auto window = std::make_shared<Window>();
  window->className = c.className;
  window->text = c.title;
  window->proc = c.proc;
  window->parent = c.parent;
  window->instance = c.instance;
  window->style = c.style;
  window->exStyle = c.exStyle;
  window->id = (c.style & WS_CHILD) ? static_cast<int>(reinterpret_cast<ULONG_PTR>(c.menuOrId)) : 0;
  const int left = c.x == CW_USEDEFAULT ? 0 : c.x;
  const int top = c.y == CW_USEDEFAULT ? 0 : c.y;
  const int cx = c.width == CW_USEDEFAULT ? 640 : c.width;
  const int cy = c.height == CW_USEDEFAULT ? 480 : c.height;
  window->rect = {left, top, left + cx, top + cy};
  window->enabled = (c.style & WS_DISABLED) == 0;
  window->visible = (c.style & WS_VISIBLE) != 0;
  window->threadId = GetCurrentThreadId();
  window->isControl = c.proc == &ControlProc;
  window->kind = KindOfClass(window->className, c.style);
  if (setup) setup(*window);
  const HWND handle = AddWindowObject(window);

  CREATESTRUCTA create;
  create.lpCreateParams = c.param;
  create.hInstance = c.instance;
  create.hMenu = c.menuOrId;
  create.hwndParent = c.parent;
  create.x = left;
  create.y = top;
  create.cx = cx;
  create.cy = cy;
  create.style = static_cast<LONG>(c.style);
  create.lpszName = c.title.c_str();
  create.lpszClass = c.className.c_str();
  create.dwExStyle = c.exStyle;
  if (SendMessageA(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
    DestroyWindow(handle);
    return nullptr;
  }
  return handle;
}

bool FindClassProcedure(const std::string& className, WNDPROC* proc) {
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  if (table.classes.empty()) RegisterPredefinedClasses(table);
  const auto found = table.classes.find(LowerCase(className));
  if (found == table.classes.end()) return false;
  *proc = found->second.proc;
  return true;
}

void ResetClasses() {
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  table.classes.clear();
  RegisterPredefinedClasses(table);
}

void ResetWindows() {
  {
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    table.windows.clear();
    table.order.clear();
  }
  ResetQueue();
  ResetHooks();
  ResetFocus();
}

ControlKind KindOfClass(const std::string& className, DWORD style) {
  if (EqualNoCase(className, "EDIT")) return ControlKind::Edit;
  if (EqualNoCase(className, "LISTBOX")) return ControlKind::ListBox;
  if (EqualNoCase(className, "STATIC")) return ControlKind::Static;
  if (EqualNoCase(className, "BUTTON")) {
    switch (style & BS_TYPEMASK) {
      case BS_DEFPUSHBUTTON: return ControlKind::DefPushButton;
      case BS_CHECKBOX:
      case BS_AUTOCHECKBOX:
      case BS_3STATE:
      case BS_AUTO3STATE: return ControlKind::CheckBox;
      case BS_RADIOBUTTON:
      case BS_AUTORADIOBUTTON: return ControlKind::RadioButton;
      case BS_GROUPBOX: return ControlKind::GroupBox;
      default: return ControlKind::PushButton;
    }
  }
  return ControlKind::Custom;
}

}  // namespace tz2platform

using namespace tz2platform;

ATOM RegisterClassA(const WNDCLASSA* wndClass) {
  if (!wndClass || !wndClass->lpszClassName || !*wndClass->lpszClassName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  if (table.classes.empty()) RegisterPredefinedClasses(table);
  const std::string key = LowerCase(wndClass->lpszClassName);
  if (table.classes.count(key)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  table.classes[key] = {wndClass->lpfnWndProc, wndClass->hInstance};
  return static_cast<ATOM>(0xC000 + table.classes.size());
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE) {
  if (!className || IsPredefinedClass(className)) return FALSE;
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  return table.classes.erase(LowerCase(className)) ? TRUE : FALSE;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance,
                     LPVOID param) {
  if (!className) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  WNDPROC proc = nullptr;
  {
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    if (table.classes.empty()) RegisterPredefinedClasses(table);
    const auto found = table.classes.find(LowerCase(className));
    if (found == table.classes.end()) {
      SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
      return nullptr;
    }
    proc = found->second.proc;
  }
  WindowCreation creation;
  creation.exStyle = exStyle;
  creation.className = className;
  creation.title = windowName ? windowName : "";
  creation.style = style;
  creation.x = x;
  creation.y = y;
  creation.width = width;
  creation.height = height;
  creation.parent = parent;
  creation.menuOrId = menuOrId;
  creation.instance = instance;
  creation.param = param;
  creation.proc = proc;
  return CreateWindowObject(creation, {});
}

BOOL DestroyWindow(HWND handle) {
  WindowPtr window = FindWindowObject(handle);
  if (!window || window->destroying) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  window->destroying = true;
  RunCbtHooks(HCBT_DESTROYWND, reinterpret_cast<WPARAM>(handle), 0);
  SendMessageA(handle, WM_DESTROY, 0, 0);
  for (const WindowPtr& child : ChildrenOf(handle)) DestroyWindow(child->handle);
  ForgetFocusOf(handle);
  DropQueuedMessages(handle);
  RemoveWindowObject(handle);
  return TRUE;
}

BOOL IsWindow(HWND handle) { return FindWindowObject(handle) ? TRUE : FALSE; }

HWND FindWindowA(LPCSTR className, LPCSTR windowName) {
  const std::vector<WindowPtr> windows = AllWindowObjects();
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    const Window& w = **it;
    if (w.style & WS_CHILD) continue;
    if (className && !EqualNoCase(w.className, className)) continue;
    if (windowName && w.text != windowName) continue;
    return w.handle;
  }
  return nullptr;
}

HWND GetParent(HWND handle) {
  const WindowPtr w = FindWindowObject(handle);
  if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w ? w->parent : nullptr;
}

HWND GetDesktopWindow() { return nullptr; }

int GetClassNameA(HWND handle, LPSTR buffer, int size) {
  const WindowPtr w = FindWindowObject(handle);
  if (!w || size <= 0) return 0;
  return static_cast<int>(CopyTruncated(w->className, buffer, static_cast<std::size_t>(size)));
}

BOOL SetWindowTextA(HWND handle, LPCSTR text) {
  if (!FindWindowObject(handle)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return SendMessageA(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
}

int GetWindowTextA(HWND handle, LPSTR buffer, int size) {
  if (!buffer || size <= 0) return 0;
  buffer[0] = '\0';
  if (!FindWindowObject(handle)) return 0;
  return static_cast<int>(SendMessageA(handle, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthA(HWND handle) {
  if (!FindWindowObject(handle)) return 0;
  return static_cast<int>(SendMessageA(handle, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetWindowPos(HWND handle, HWND, int x, int y, int cx, int cy, UINT flags) {
  bool show = false, hide = false;
  {
    std::lock_guard lock(DesktopMutex());
    const WindowPtr w = FindWindowObject(handle);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    RECT& r = w->rect;
    const LONG width = r.right - r.left, height = r.bottom - r.top;
    if (!(flags & SWP_NOMOVE)) {
      r.left = x;
      r.top = y;
    }
    r.right = r.left + ((flags & SWP_NOSIZE) ? width : cx);
    r.bottom = r.top + ((flags & SWP_NOSIZE) ? height : cy);
    show = (flags & SWP_SHOWWINDOW) != 0;
    hide = (flags & SWP_HIDEWINDOW) != 0;
  }
  if (show) ShowWindow(handle, SW_SHOW);
  if (hide) ShowWindow(handle, SW_HIDE);
  return TRUE;
}

BOOL MoveWindow(HWND handle, int x, int y, int width, int height, BOOL) {
  return SetWindowPos(handle, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL GetWindowRect(HWND handle, LPRECT rect) {
  std::lock_guard lock(DesktopMutex());
  const WindowPtr w = FindWindowObject(handle);
  if (!w || !rect) return FALSE;
  *rect = w->rect;
  return TRUE;
}

BOOL GetClientRect(HWND handle, LPRECT rect) {
  std::lock_guard lock(DesktopMutex());
  const WindowPtr w = FindWindowObject(handle);
  if (!w || !rect) return FALSE;
  *rect = {0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
  return TRUE;
}

BOOL EnableWindow(HWND handle, BOOL enable) {
  bool wasDisabled = false, changed = false;
  {
    std::lock_guard lock(DesktopMutex());
    const WindowPtr w = FindWindowObject(handle);
    if (!w) return FALSE;
    wasDisabled = !w->enabled;
    changed = w->enabled != (enable != FALSE);
    w->enabled = enable != FALSE;
  }
  if (changed) SendMessageA(handle, WM_ENABLE, static_cast<WPARAM>(enable != FALSE), 0);
  return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND handle) {
  const WindowPtr w = FindWindowObject(handle);
  return w && w->enabled ? TRUE : FALSE;
}

BOOL ShowWindow(HWND handle, int command) {
  bool wasVisible = false, changed = false;
  const bool show = command != SW_HIDE;
  {
    std::lock_guard lock(DesktopMutex());
    const WindowPtr w = FindWindowObject(handle);
    if (!w) return FALSE;
    wasVisible = w->visible;
    changed = w->visible != show;
    w->visible = show;
  }
  if (changed) SendMessageA(handle, WM_SHOWWINDOW, static_cast<WPARAM>(show), 0);
  return wasVisible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND handle) {
  const WindowPtr w = FindWindowObject(handle);
  return w && w->visible ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND handle) { return IsWindow(handle); }
BOOL InvalidateRect(HWND handle, const RECT*, BOOL) { return handle == nullptr || IsWindow(handle); }

LONG_PTR SetWindowLongPtrA(HWND handle, int index, LONG_PTR value) {
  std::lock_guard lock(DesktopMutex());
  const WindowPtr w = FindWindowObject(handle);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  LONG_PTR old = 0;
  auto swap = [&](auto& field, auto newValue) {
    old = reinterpret_cast<LONG_PTR>(field);
    field = newValue;
  };
  switch (index) {
    case GWLP_USERDATA: old = w->userData; w->userData = value; break;
    case GWLP_ID: old = w->id; w->id = static_cast<int>(value); break;
    case GWL_STYLE: old = static_cast<LONG_PTR>(w->style); w->style = static_cast<DWORD>(value); break;
    case GWLP_WNDPROC: swap(w->proc, reinterpret_cast<WNDPROC>(value)); w->isControl = false; break;
    case GWLP_HINSTANCE: swap(w->instance, reinterpret_cast<HINSTANCE>(value)); break;
    case DWLP_USER: if (!w->isDialog) return 0; old = w->dlgUser; w->dlgUser = value; break;
    case DWLP_MSGRESULT: if (!w->isDialog) return 0; old = w->dlgMsgResult; w->dlgMsgResult = value; break;
    case DWLP_DLGPROC: if (!w->isDialog) return 0; swap(w->dlgProc, reinterpret_cast<DLGPROC>(value)); break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return 0;
  }
  return old;
}

LONG_PTR GetWindowLongPtrA(HWND handle, int index) {
  std::lock_guard lock(DesktopMutex());
  const WindowPtr w = FindWindowObject(handle);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  switch (index) {
    case GWLP_USERDATA: return w->userData;
    case GWLP_ID: return w->id;
    case GWL_STYLE: return static_cast<LONG_PTR>(w->style);
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case DWLP_USER: return w->isDialog ? w->dlgUser : 0;
    case DWLP_MSGRESULT: return w->isDialog ? w->dlgMsgResult : 0;
    case DWLP_DLGPROC: return w->isDialog ? reinterpret_cast<LONG_PTR>(w->dlgProc) : 0;
    default: SetLastError(ERROR_INVALID_PARAMETER); return 0;
  }
}

HWND CreateDesktopWindow(const std::string& className, const std::string& title, WNDPROC proc, HWND parent) {
  WNDCLASSA wc;
  wc.lpfnWndProc = proc;
  wc.lpszClassName = className.c_str();
  RegisterClassA(&wc);  // an existing class keeps its procedure; this window gets `proc`
  WindowCreation creation;
  creation.className = className;
  creation.title = title;
  creation.style = WS_VISIBLE | (parent ? WS_CHILD : WS_OVERLAPPEDWINDOW);
  creation.width = 640;
  creation.height = 480;
  creation.parent = parent;
  creation.proc = proc;
  return CreateWindowObject(creation, {});
}

std::vector<HWND> DesktopWindows() {
  std::vector<HWND> out;
  for (const WindowPtr& w : AllWindowObjects()) out.push_back(w->handle);
  return out;
}

std::string WindowClassName(HWND handle) {
  const WindowPtr w = FindWindowObject(handle);
  return w ? w->className : std::string();
}

std::string WindowText(HWND handle) {
  std::lock_guard lock(DesktopMutex());
  const WindowPtr w = FindWindowObject(handle);
  return w ? w->text : std::string();
}

void ResetDesktop() {
  ResetWindows();
  ResetClipboard();
  ResetMessageBoxes();
  ResetInteraction();
  ResetDialogRecords();
  ResetTrace();
  ResetProcesses();
  SetLastError(ERROR_SUCCESS);
}

void ResetPlatform() {
  ResetDesktop();
  ResetClasses();
  ResetModules();
}
