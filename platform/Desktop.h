// Desktop: the process-wide simulated desktop. Windows have a class name, a title, a window
// procedure (or, for dialogs, a dialog procedure), a parent, an id, a rectangle, enabled and
// visible flags and user data. Messages are sent synchronously (SendMessageA) or queued
// (PostMessageA) and delivered by PumpMessages(). Focus changes run the CBT hooks of the
// calling thread first; a hook that returns nonzero stops the change.
//
// Window handles are never reused within a process, so a stale handle is simply invalid.
#pragma once

#include <string>
#include <vector>

#include "platform/Messages.h"
#include "platform/WinTypes.h"

using WNDPROC = LRESULT(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);
using HOOKPROC = LRESULT(CALLBACK*)(int code, WPARAM wParam, LPARAM lParam);

struct WNDCLASSA {
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  int cbClsExtra = 0;
  int cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;
  LPCSTR lpszMenuName = nullptr;
  LPCSTR lpszClassName = nullptr;
};

// WM_CREATE's lParam.
struct CREATESTRUCTA {
  LPVOID lpCreateParams = nullptr;
  HINSTANCE hInstance = nullptr;
  HMENU hMenu = nullptr;
  HWND hwndParent = nullptr;
  int cy = 0, cx = 0, y = 0, x = 0;
  LONG style = 0;
  LPCSTR lpszName = nullptr;
  LPCSTR lpszClass = nullptr;
  DWORD dwExStyle = 0;
};

// HCBT_ACTIVATE's lParam.
struct CBTACTIVATESTRUCT {
  BOOL fMouse = FALSE;
  HWND hWndActive = nullptr;
};

inline constexpr WORD WA_INACTIVE = 0;
inline constexpr WORD WA_ACTIVE = 1;

struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  POINT pt;
};

// Window styles.
inline constexpr DWORD WS_OVERLAPPED = 0x00000000;
inline constexpr DWORD WS_TABSTOP = 0x00010000;
inline constexpr DWORD WS_GROUP = 0x00020000;
inline constexpr DWORD WS_SYSMENU = 0x00080000;
inline constexpr DWORD WS_BORDER = 0x00800000;
inline constexpr DWORD WS_CAPTION = 0x00C00000;
inline constexpr DWORD WS_DISABLED = 0x08000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD WS_VSCROLL = 0x00200000;
inline constexpr DWORD WS_OVERLAPPEDWINDOW = 0x00CF0000;
inline constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

// ShowWindow commands.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_NORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_SHOWDEFAULT = 10;

// SetWindowPos flags and insert-after values.
inline constexpr UINT SWP_NOSIZE = 0x0001;
inline constexpr UINT SWP_NOMOVE = 0x0002;
inline constexpr UINT SWP_NOZORDER = 0x0004;
inline constexpr UINT SWP_NOACTIVATE = 0x0010;
inline constexpr UINT SWP_SHOWWINDOW = 0x0040;
inline constexpr UINT SWP_HIDEWINDOW = 0x0080;
#define HWND_TOP (static_cast<HWND>(nullptr))
#define HWND_BOTTOM (reinterpret_cast<HWND>(static_cast<LONG_PTR>(1)))
#define HWND_TOPMOST (reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1)))
#define HWND_NOTOPMOST (reinterpret_cast<HWND>(static_cast<LONG_PTR>(-2)))

// Window words.
inline constexpr int GWLP_WNDPROC = -4;
inline constexpr int GWLP_HINSTANCE = -6;
inline constexpr int GWLP_ID = -12;
inline constexpr int GWL_STYLE = -16;
inline constexpr int GWLP_USERDATA = -21;
inline constexpr int DWLP_MSGRESULT = 0;
inline constexpr int DWLP_DLGPROC = 8;
inline constexpr int DWLP_USER = 16;

// Hooks.
inline constexpr int WH_CBT = 5;
inline constexpr int HCBT_MOVESIZE = 0;
inline constexpr int HCBT_MINMAX = 1;
inline constexpr int HCBT_QS = 2;
inline constexpr int HCBT_CREATEWND = 3;
inline constexpr int HCBT_DESTROYWND = 4;
inline constexpr int HCBT_ACTIVATE = 5;
inline constexpr int HCBT_CLICKSKIPPED = 6;
inline constexpr int HCBT_KEYSKIPPED = 7;
inline constexpr int HCBT_SYSCOMMAND = 8;
inline constexpr int HCBT_SETFOCUS = 9;

// Classes and windows. The predefined classes "BUTTON", "EDIT", "STATIC" and "LISTBOX"
// behave as controls (text, check state, list items); other classes must be registered.
ATOM RegisterClassA(const WNDCLASSA* wndClass);
BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance);
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance,
                     LPVOID param);
inline HWND CreateWindowA(LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                          int height, HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID param) {
  return CreateWindowExA(0, className, windowName, style, x, y, width, height, parent, menuOrId,
                         instance, param);
}
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Finds the most recently created top-level window whose class (without regard to case) and
// title (exactly) match; a null argument matches any.
HWND FindWindowA(LPCSTR className, LPCSTR windowName);
HWND GetParent(HWND window);
HWND GetDesktopWindow();
int GetClassNameA(HWND window, LPSTR buffer, int size);

BOOL SetWindowTextA(HWND window, LPCSTR text);
int GetWindowTextA(HWND window, LPSTR buffer, int size);
int GetWindowTextLengthA(HWND window);
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL GetWindowRect(HWND window, LPRECT rect);
BOOL GetClientRect(HWND window, LPRECT rect);
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
BOOL ShowWindow(HWND window, int command);
BOOL IsWindowVisible(HWND window);
BOOL UpdateWindow(HWND window);
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value);
LONG_PTR GetWindowLongPtrA(HWND window, int index);

// Messages.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Delivers the queued messages, including those posted while delivering, until the queue is
// empty; messages to windows destroyed meanwhile are dropped. Returns the number delivered.
std::size_t PumpMessages();
// The number of messages waiting in the queue.
std::size_t PendingMessageCount();

// Activation and focus.
HWND GetActiveWindow();
HWND SetActiveWindow(HWND window);
HWND GetForegroundWindow();
BOOL SetForegroundWindow(HWND window);
HWND GetFocus();
HWND SetFocus(HWND window);

// Threads and hooks.
DWORD GetCurrentThreadId();
HHOOK SetWindowsHookExA(int hookId, HOOKPROC proc, HINSTANCE module, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

// Standalone desktop extras.

// Creates a top-level (or child) window of the class, registering the class with the
// procedure on first use.
HWND CreateDesktopWindow(const std::string& className, const std::string& title, WNDPROC proc,
                         HWND parent = nullptr);
// Every live window, in creation order.
std::vector<HWND> DesktopWindows();
// The class name of a window ("" for an invalid one).
std::string WindowClassName(HWND window);
// The title or control text of a window ("" for an invalid one).
std::string WindowText(HWND window);

// Clears the desktop: destroys every window (without messages), drops the queue, the hooks,
// the clipboard and the global memory blocks, the message box, dialog and open-file records,
// the trace log and its sink, the started command lines and the last error; restores the
// default interaction driver and real sleep. Registered window classes, modules and their
// resources stay.
void ResetDesktop();
// ResetDesktop(), the registered window classes and ResetModules(): a clean platform.
void ResetPlatform();
