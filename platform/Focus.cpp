// Focus: the active window, the keyboard focus and the CBT hooks. A focus change first asks
// the CBT hooks of the calling thread (HCBT_SETFOCUS, wParam the window about to get the
// focus, lParam the one losing it); a hook that returns nonzero stops the change. Hooks are
// called newest first; each passes the event on with CallNextHookEx or not.
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>

#include "platform/Desktop.h"
#include "platform/impl/Internal.h"
#include "platform/impl/WindowTable.h"

namespace tz2platform {
namespace {

struct Hook {
  HHOOK handle = nullptr;
  int type = 0;
  HOOKPROC proc = nullptr;
  DWORD threadId = 0;  // 0: every thread
};

struct FocusState {
  std::recursive_mutex mutex;
  HWND active = nullptr;
  HWND focus = nullptr;
  std::vector<Hook> hooks;  // installation order
  ULONG_PTR nextHook = 0x00100000;
};

FocusState& State() {
  static FocusState state;
  return state;
}

bool HookApplies(const Hook& hook, int type, DWORD thread) {
  return hook.type == type && (hook.threadId == 0 || hook.threadId == thread);
}

// The applicable hook installed just before `after` (the newest when after is null).
const Hook* NextHook(HHOOK after, int type, DWORD thread) {
  FocusState& state = State();
  auto& hooks = state.hooks;
  auto it = hooks.rbegin();
  if (after) {
    it = std::find_if(hooks.rbegin(), hooks.rend(), [&](const Hook& h) { return h.handle == after; });
    if (it == hooks.rend()) return nullptr;
    type = it->type;
    ++it;
  }
  for (; it != hooks.rend(); ++it)
    if (HookApplies(*it, type, thread)) return &*it;
  return nullptr;
}

LRESULT CallHook(HHOOK after, int type, int code, WPARAM wParam, LPARAM lParam) {
  HOOKPROC proc = nullptr;
  {
    std::lock_guard lock(State().mutex);
    const Hook* hook = NextHook(after, type, GetCurrentThreadId());
    if (!hook) return 0;
    proc = hook->proc;
  }
  return proc(code, wParam, lParam);
}

}  // namespace

LRESULT RunCbtHooks(int code, WPARAM wParam, LPARAM lParam) {
  return CallHook(nullptr, WH_CBT, code, wParam, lParam);
}

void ForgetFocusOf(HWND handle) {
  FocusState& state = State();
  std::lock_guard lock(state.mutex);
  if (state.focus) {
    // The focus goes when its window or one of its ancestors goes.
    for (HWND h = state.focus; h; h = GetParent(h)) {
      if (h == handle) {
        state.focus = nullptr;
        break;
      }
      const WindowPtr w = FindWindowObject(h);
      if (!w || !(w->style & WS_CHILD)) break;
    }
  }
  if (state.active == handle) {
    const WindowPtr w = FindWindowObject(handle);
    const HWND owner = w ? w->parent : nullptr;
    const WindowPtr o = FindWindowObject(owner);
    state.active = o && !o->destroying ? TopLevelOf(owner) : nullptr;
  }
}

void ResetHooks() {
  FocusState& state = State();
  std::lock_guard lock(state.mutex);
  state.hooks.clear();
}

void ResetFocus() {
  FocusState& state = State();
  std::lock_guard lock(state.mutex);
  state.active = nullptr;
  state.focus = nullptr;
}

}  // namespace tz2platform

using namespace tz2platform;

DWORD GetCurrentThreadId() { return static_cast<DWORD>(syscall(SYS_gettid)); }

HHOOK SetWindowsHookExA(int hookId, HOOKPROC proc, HINSTANCE, DWORD threadId) {
  if (!proc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  FocusState& state = State();
  std::lock_guard lock(state.mutex);
  Hook hook;
  hook.handle = reinterpret_cast<HHOOK>(state.nextHook);
  state.nextHook += 4;
  hook.type = hookId;
  hook.proc = proc;
  hook.threadId = threadId;
  state.hooks.push_back(hook);
  return hook.handle;
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
  FocusState& state = State();
  std::lock_guard lock(state.mutex);
  const auto removed = std::erase_if(state.hooks, [&](const Hook& h) { return h.handle == hook; });
  if (!removed) SetLastError(ERROR_INVALID_HOOK_HANDLE);
  return removed ? TRUE : FALSE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
  return hook ? CallHook(hook, 0, code, wParam, lParam) : 0;
}

HWND GetActiveWindow() {
  std::lock_guard lock(State().mutex);
  return State().active;
}

HWND SetActiveWindow(HWND handle) {
  const HWND top = TopLevelOf(handle);
  if (handle && !top) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  const HWND old = GetActiveWindow();
  if (old == top) return old;
  CBTACTIVATESTRUCT activate;
  activate.hWndActive = old;
  if (RunCbtHooks(HCBT_ACTIVATE, reinterpret_cast<WPARAM>(top), reinterpret_cast<LPARAM>(&activate))) return nullptr;
  {
    std::lock_guard lock(State().mutex);
    State().active = top;
  }
  if (old && IsWindow(old)) SendMessageA(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(top));
  if (top) SendMessageA(top, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
  return old;
}

HWND GetForegroundWindow() { return GetActiveWindow(); }

BOOL SetForegroundWindow(HWND handle) {
  if (!IsWindow(handle)) return FALSE;
  SetActiveWindow(handle);
  return GetActiveWindow() == TopLevelOf(handle) ? TRUE : FALSE;
}

HWND GetFocus() {
  std::lock_guard lock(State().mutex);
  return State().focus;
}

HWND SetFocus(HWND handle) {
  if (handle && !IsWindow(handle)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  const HWND old = GetFocus();
  if (handle == old) return old;
  if (RunCbtHooks(HCBT_SETFOCUS, reinterpret_cast<WPARAM>(handle), reinterpret_cast<LPARAM>(old))) return nullptr;
  if (handle && GetActiveWindow() != TopLevelOf(handle)) SetActiveWindow(handle);
  {
    std::lock_guard lock(State().mutex);
    State().focus = handle;
  }
  if (old && IsWindow(old)) SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(handle), 0);
  if (handle) SendMessageA(handle, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}
