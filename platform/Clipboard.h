// Clipboard: the desktop's clipboard and the global memory blocks handed to it. A block
// given to SetClipboardData belongs to the clipboard from then on (it is freed when the
// clipboard is emptied or replaced; GlobalFree refuses it).
#pragma once

#include <optional>
#include <string>

#include "platform/WinTypes.h"

inline constexpr UINT CF_TEXT = 1;
inline constexpr UINT CF_OEMTEXT = 7;
inline constexpr UINT CF_UNICODETEXT = 13;

inline constexpr UINT GMEM_FIXED = 0x0000;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;
inline constexpr UINT GMEM_DDESHARE = 0x2000;
inline constexpr UINT GMEM_SHARE = 0x2000;
inline constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
inline constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;

BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
HANDLE SetClipboardData(UINT format, HANDLE data);
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
HWND GetClipboardOwner();

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
LPVOID GlobalLock(HGLOBAL memory);
BOOL GlobalUnlock(HGLOBAL memory);
// Returns null when freed, the handle itself when it cannot be freed (unknown, owned by the
// clipboard).
HGLOBAL GlobalFree(HGLOBAL memory);
SIZE_T GlobalSize(HGLOBAL memory);

// Standalone desktop extras: the CF_TEXT text on the clipboard (up to its first zero), and
// putting text there as a program would (open, empty, set, close). SetClipboardText fails
// while another window holds the clipboard open.
std::optional<std::string> ClipboardText();
bool SetClipboardText(const std::string& text);
