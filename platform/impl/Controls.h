// Controls: the parts of the predefined controls that the dialog services use.
#pragma once

#include "platform/WinTypes.h"

namespace tz2platform {

// Clicks a button as the user would: an automatic check box toggles, an automatic radio
// button becomes the checked one of its group, then BN_CLICKED goes to the parent.
void ClickButton(HWND button);
// The list box messages (LB_*), text included.
LRESULT ListBoxMessage(HWND listBox, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tz2platform
