// Profile: private profile (ini) files. Sections and keys match without regard to case;
// values are trimmed; a missing or unreadable file, section or key gives the default. A
// write creates the file and the section as needed, replaces a key in place and keeps every
// other line and comment; it goes to a temporary file renamed over the old one, so a write
// that fails leaves the old file as it was and returns FALSE.
#pragma once

#include "platform/WinTypes.h"

// The value's leading sign and digits as an integer (0 when it has none, the nearest limit
// beyond the 32-bit range); `defaultValue` when the file, section or key is missing.
UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName);
// Copies the trimmed value (one pair of surrounding quotes removed) or the default into
// buffer, truncated to size - 1 characters, and returns the number of characters copied.
// A null section lists the section names, a null key the section's keys, each followed by
// a zero and the list by another one.
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer,
                               DWORD size, LPCSTR fileName);
// Sets key = value in section. A null value deletes the key, a null key the whole section.
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName);
