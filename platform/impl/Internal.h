// Internal: what the platform's services share among themselves and nobody else uses:
// path and error translation, case-insensitive comparison, and the reset entry of each
// service that ResetDesktop() calls.
#pragma once

#include <string>
#include <string_view>

#include "platform/WinTypes.h"

namespace tz2platform {

// A Win32-style path as a POSIX path: "\\" separators become "/".
std::string NativePath(LPCSTR path);
// The Win32 error for a POSIX errno value.
DWORD ErrorFromErrno(int error);
// SetLastError(ErrorFromErrno(error)).
void SetLastErrorFromErrno(int error);
bool EqualNoCase(std::string_view a, std::string_view b);
std::string LowerCase(std::string_view text);
// Copies text into buffer (size bytes), truncated to size - 1 characters plus a zero;
// returns the number of characters copied. Nothing is written when size is 0.
std::size_t CopyTruncated(const std::string& text, LPSTR buffer, std::size_t size);

// Each service's reset, called by ResetDesktop().
void ResetWindows();
void ResetClipboard();
void ResetMessageBoxes();
void ResetInteraction();
void ResetTrace();
void ResetProcesses();
void ResetDialogRecords();

// Resources of a module, dropped by UnregisterModule().
void DropModuleResources(HINSTANCE module);

}  // namespace tz2platform
