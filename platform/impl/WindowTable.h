// WindowTable: the desktop's windows as the window, message, focus, control and dialog
// services see them. One recursive mutex guards the table; it is never held while a window
// procedure, dialog procedure or hook runs, so procedures may call back into the desktop.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "platform/Dialogs.h"

namespace tz2platform {

struct ListItem {
  std::string text;
  LPARAM data = 0;
  bool selected = false;
};

struct Window {
  HWND handle = nullptr;
  std::string className;
  std::string text;
  WNDPROC proc = nullptr;        // window procedure (dialogs: none, see dlgProc)
  DLGPROC dlgProc = nullptr;     // dialog procedure of a dialog window
  HWND parent = nullptr;         // parent of a child, owner of a top-level window
  HINSTANCE instance = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  int id = 0;
  RECT rect;
  bool enabled = true;
  bool visible = false;
  LONG_PTR userData = 0;
  DWORD threadId = 0;
  bool destroying = false;

  // Controls.
  bool isControl = false;
  ControlKind kind = ControlKind::Static;
  UINT check = BST_UNCHECKED;
  std::vector<ListItem> items;
  int caret = -1;                 // list box current selection / caret
  DWORD selStart = 0, selEnd = 0; // edit selection

  // Dialogs.
  bool isDialog = false;
  bool modal = false;
  bool ended = false;
  INT_PTR result = 0;
  HINSTANCE templateModule = nullptr;
  int templateId = 0;
  LONG_PTR dlgUser = 0;
  LONG_PTR dlgMsgResult = 0;
  std::vector<HWND> controls;     // in template order
};

using WindowPtr = std::shared_ptr<Window>;

// What CreateWindowObject needs to make a window.
struct WindowCreation {
  DWORD exStyle = 0;
  std::string className;
  std::string title;
  DWORD style = 0;
  int x = 0, y = 0, width = 0, height = 0;
  HWND parent = nullptr;
  HMENU menuOrId = nullptr;
  HINSTANCE instance = nullptr;
  LPVOID param = nullptr;
  WNDPROC proc = nullptr;
};

// Makes a window with the given procedure: `setup` completes it before it enters the table,
// then it gets WM_CREATE (a result of -1 destroys it and gives null).
HWND CreateWindowObject(const WindowCreation& creation, const std::function<void(Window&)>& setup);

std::recursive_mutex& DesktopMutex();
// The live window of a handle, or null.
WindowPtr FindWindowObject(HWND handle);
// Every live window in creation order.
std::vector<WindowPtr> AllWindowObjects();
// The live children (or owned windows) of a window, in creation order.
std::vector<WindowPtr> ChildrenOf(HWND parent);
// Adds a window to the table and gives it a fresh handle.
HWND AddWindowObject(WindowPtr window);
// Removes it from the table (no messages).
void RemoveWindowObject(HWND handle);
// The top-level window a window belongs to (itself for a top-level one).
HWND TopLevelOf(HWND handle);

// The procedure of a registered class; false when the class is not registered.
bool FindClassProcedure(const std::string& className, WNDPROC* proc);

// Runs the CBT hooks of the calling thread for an event; nonzero stops the event.
LRESULT RunCbtHooks(int code, WPARAM wParam, LPARAM lParam);
// Clears focus and activation that point at a window about to go.
void ForgetFocusOf(HWND handle);
// Drops the queued messages of a window.
void DropQueuedMessages(HWND handle);
void ResetQueue();
void ResetHooks();
void ResetFocus();
void ResetClasses();

// The built-in procedure of the predefined control classes.
LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Sends a control's notification code to its parent as WM_COMMAND.
void NotifyParent(HWND control, WORD code);
// The kind a predefined class and style make.
ControlKind KindOfClass(const std::string& className, DWORD style);

}  // namespace tz2platform
