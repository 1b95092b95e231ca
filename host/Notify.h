// Notifications: the host's broadcast of system events (start-up, reset, file open, export
// start and end, shut-down) to the handlers that plug-ins register.
//
// A handler is a function with a parameter of its own choosing, registered for one code. A
// broadcast calls, in registration order, every handler registered for its code when the
// broadcast began; a handler may register or unregister handlers (itself included) while it
// runs: one unregistered during the broadcast is not called afterwards, one registered during
// it is called from the next broadcast on. Registering the same (function, parameter, code)
// twice keeps one registration. One handler list per process (it lives in tz2host).
#pragma once

#include "platform/WinTypes.h"

// Notification codes. The export codes are the values the plug-ins are written against.
inline constexpr int NOTIFY_SYSTEM_PRE_RESET = 1;
inline constexpr int NOTIFY_SYSTEM_POST_RESET = 2;
inline constexpr int NOTIFY_SYSTEM_PRE_NEW = 3;
inline constexpr int NOTIFY_SYSTEM_POST_NEW = 4;
inline constexpr int NOTIFY_FILE_PRE_OPEN = 5;
inline constexpr int NOTIFY_FILE_POST_OPEN = 6;
inline constexpr int NOTIFY_FILE_PRE_SAVE = 7;
inline constexpr int NOTIFY_FILE_POST_SAVE = 8;
inline constexpr int NOTIFY_SELECTIONSET_CHANGED = 12;
inline constexpr int NOTIFY_SYSTEM_SHUTDOWN = 14;
inline constexpr int NOTIFY_SYSTEM_STARTUP = 15;
inline constexpr int NOTIFY_PRE_EXPORT = 27;
inline constexpr int NOTIFY_POST_EXPORT = 28;
inline constexpr int NOTIFY_EXPORT_FAILED = 29;

// What a handler receives: the code broadcast and the broadcaster's call parameter (for the
// export codes none; for the file codes the file name as const char*).
struct NotifyInfo {
  int intcode = 0;
  void* callParam = nullptr;
};

using NOTIFYPROC = void (*)(void* param, NotifyInfo* info);

// TRUE when the handler was added; FALSE for a null function or when that exact
// registration exists already.
int RegisterNotification(NOTIFYPROC proc, void* param, int code);
// TRUE when a registration of (proc, param, code) was removed.
int UnRegisterNotification(NOTIFYPROC proc, void* param, int code);
// Removes every registration of (proc, param), whatever its code; TRUE when one was removed.
int UnRegisterNotification(NOTIFYPROC proc, void* param);
// Calls the handlers registered for code (see above).
void BroadcastNotification(int code, void* callParam = nullptr);
// The number of handlers registered for code (for hosts and tests that check a plug-in
// unregistered what it registered).
int NotificationHandlerCount(int code);
