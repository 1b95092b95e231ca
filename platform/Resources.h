// Resources: string tables declared in code by each module, read with LoadStringA. A
// module's strings are dropped when the module is unregistered.
#pragma once

#include <string>

#include "platform/WinTypes.h"

// Declares string `id` of the module's table (replacing an earlier one).
void RegisterString(HINSTANCE module, UINT id, const std::string& text);
// Copies string `id` of the module into buffer (at most size - 1 characters and a zero) and
// returns the number of characters copied; 0 when the module, the string or the buffer is
// missing.
int LoadStringA(HINSTANCE module, UINT id, LPSTR buffer, int size);
// Drops every string of the module.
void UnregisterStrings(HINSTANCE module);
