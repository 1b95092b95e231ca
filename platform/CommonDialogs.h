// CommonDialogs: the open-file dialog (GetOpenFileNameA), answered by the interaction
// driver; InitCommonControls.
#pragma once

#include "platform/WinTypes.h"

using LPOFNHOOKPROC = UINT_PTR(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);

struct OPENFILENAMEA {
  DWORD lStructSize = sizeof(OPENFILENAMEA);
  HWND hwndOwner = nullptr;
  HINSTANCE hInstance = nullptr;
  LPCSTR lpstrFilter = nullptr;        // pairs of zero-terminated texts, ending with "\0\0"
  LPSTR lpstrCustomFilter = nullptr;
  DWORD nMaxCustFilter = 0;
  DWORD nFilterIndex = 0;
  LPSTR lpstrFile = nullptr;           // in: initial file name; out: the chosen path
  DWORD nMaxFile = 0;                  // size of lpstrFile in characters
  LPSTR lpstrFileTitle = nullptr;      // out: file name without folder (optional)
  DWORD nMaxFileTitle = 0;
  LPCSTR lpstrInitialDir = nullptr;
  LPCSTR lpstrTitle = nullptr;
  DWORD Flags = 0;
  WORD nFileOffset = 0;
  WORD nFileExtension = 0;
  LPCSTR lpstrDefExt = nullptr;
  LPARAM lCustData = 0;
  LPOFNHOOKPROC lpfnHook = nullptr;
  LPCSTR lpTemplateName = nullptr;
};
using LPOPENFILENAMEA = OPENFILENAMEA*;

inline constexpr DWORD OFN_READONLY = 0x00000001;
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
inline constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
inline constexpr DWORD OFN_EXPLORER = 0x00080000;

// Asks the interaction driver for a file; on success writes the path into lpstrFile (and
// the file name into lpstrFileTitle), sets nFileOffset/nFileExtension and returns TRUE.
// Returns FALSE when cancelled or when the path does not fit (CommDlgExtendedError() then
// gives FNERR_BUFFERTOOSMALL).
BOOL GetOpenFileNameA(LPOPENFILENAMEA ofn);
DWORD CommDlgExtendedError();
inline constexpr DWORD CDERR_STRUCTSIZE = 0x0001;
inline constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;

struct INITCOMMONCONTROLSEX {
  DWORD dwSize = sizeof(INITCOMMONCONTROLSEX);
  DWORD dwICC = 0;
};
void InitCommonControls();
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init);
