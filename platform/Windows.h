// Windows: the umbrella header of the platform layer, the Win32-shaped services the
// plug-ins call: base types, messages, the desktop (windows, messages, focus, hooks),
// clipboard, message boxes, dialogs, the open-file dialog, string resources, ini files,
// files, processes, module paths and debug output.
#pragma once

#include "platform/WinTypes.h"
#include "platform/Messages.h"
#include "platform/Desktop.h"
#include "platform/Clipboard.h"
#include "platform/MessageBox.h"
#include "platform/Dialogs.h"
#include "platform/CommonDialogs.h"
#include "platform/Resources.h"
#include "platform/Profile.h"
#include "platform/Files.h"
#include "platform/Processes.h"
#include "platform/Modules.h"
#include "platform/Debug.h"
