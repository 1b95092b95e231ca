// WindowMessages: sent and posted messages. SendMessageA calls the window's procedure at
// once; PostMessageA queues and PumpMessages() delivers in order. A WM_COPYDATA is sent
// only: the receiver gets a copy of the COPYDATASTRUCT and its payload that lives while it
// handles the message and is wiped and freed right after. DefWindowProcA gives the default
// handling (WM_CLOSE destroys, WM_SETTEXT / WM_GETTEXT keep the window text).
#include <cstring>
#include <deque>

#include "platform/Desktop.h"
#include "platform/impl/Internal.h"
#include "platform/impl/WindowTable.h"

namespace tz2platform {
namespace {

struct Queue {
  std::mutex mutex;
  std::deque<MSG> messages;
};

Queue& TheQueue() {
  static Queue queue;
  return queue;
}

LRESULT Dispatch(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC proc = nullptr;
  {
    std::lock_guard lock(DesktopMutex());
    const WindowPtr w = FindWindowObject(handle);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
    proc = w->proc;
  }
  return proc ? proc(handle, message, wParam, lParam) : DefWindowProcA(handle, message, wParam, lParam);
}

// Sends a WM_COPYDATA with a private copy of the payload.
LRESULT SendCopyData(HWND handle, WPARAM wParam, LPARAM lParam) {
  const auto* original = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (!original) return Dispatch(handle, WM_COPYDATA, wParam, 0);
  std::vector<unsigned char> payload(original->cbData);
  if (original->cbData && original->lpData) std::memcpy(payload.data(), original->lpData, original->cbData);
  COPYDATASTRUCT copy;
  copy.dwData = original->dwData;
  copy.cbData = original->cbData;
  copy.lpData = original->cbData ? payload.data() : nullptr;
  const LRESULT result = Dispatch(handle, WM_COPYDATA, wParam, reinterpret_cast<LPARAM>(&copy));
  std::memset(payload.data(), 0xDD, payload.size());
  return result;
}

}  // namespace

void DropQueuedMessages(HWND handle) {
  Queue& queue = TheQueue();
  std::lock_guard lock(queue.mutex);
  std::erase_if(queue.messages, [&](const MSG& m) { return m.hwnd == handle; });
}

void ResetQueue() {
  Queue& queue = TheQueue();
  std::lock_guard lock(queue.mutex);
  queue.messages.clear();
}

}  // namespace tz2platform

using namespace tz2platform;

LRESULT SendMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    if (!FindWindowObject(handle)) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
    return SendCopyData(handle, wParam, lParam);
  }
  return Dispatch(handle, message, wParam, lParam);
}

BOOL PostMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    SetLastError(ERROR_MESSAGE_SYNC_ONLY);
    return FALSE;
  }
  if (handle && !FindWindowObject(handle)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  Queue& queue = TheQueue();
  std::lock_guard lock(queue.mutex);
  MSG msg;
  msg.hwnd = handle;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  queue.messages.push_back(msg);
  return TRUE;
}

std::size_t PumpMessages() {
  std::size_t delivered = 0;
  for (;;) {
    MSG msg;
    {
      Queue& queue = TheQueue();
      std::lock_guard lock(queue.mutex);
      if (queue.messages.empty()) break;
      msg = queue.messages.front();
      queue.messages.pop_front();
    }
    if (msg.hwnd && FindWindowObject(msg.hwnd)) {
      Dispatch(msg.hwnd, msg.message, msg.wParam, msg.lParam);
      ++delivered;
    }
  }
  return delivered;
}

std::size_t PendingMessageCount() {
  Queue& queue = TheQueue();
  std::lock_guard lock(queue.mutex);
  return queue.messages.size();
}

LRESULT DefWindowProcA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      DestroyWindow(handle);
      return 0;
    case WM_SETTEXT: {
      std::lock_guard lock(DesktopMutex());
      const WindowPtr w = FindWindowObject(handle);
      if (!w) return FALSE;
      w->text = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
      return TRUE;
    }
    case WM_GETTEXT: {
      std::lock_guard lock(DesktopMutex());
      const WindowPtr w = FindWindowObject(handle);
      if (!w) return 0;
      return static_cast<LRESULT>(CopyTruncated(w->text, reinterpret_cast<LPSTR>(lParam), wParam));
    }
    case WM_GETTEXTLENGTH: {
      std::lock_guard lock(DesktopMutex());
      const WindowPtr w = FindWindowObject(handle);
      return w ? static_cast<LRESULT>(w->text.size()) : 0;
    }
    default:
      return 0;
  }
}
