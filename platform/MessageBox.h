// MessageBox: MessageBoxA and its flags. Every box shown is recorded (owner, text, caption,
// buttons, icon, answer) and answered by the interaction driver (platform/Interaction.h).
#pragma once

#include <string>
#include <vector>

#include "platform/Messages.h"
#include "platform/WinTypes.h"

inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_OKCANCEL = 0x00000001;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
inline constexpr UINT MB_YESNOCANCEL = 0x00000003;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_RETRYCANCEL = 0x00000005;
inline constexpr UINT MB_ICONHAND = 0x00000010;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
inline constexpr UINT MB_ICONASTERISK = 0x00000040;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONSTOP = MB_ICONHAND;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr UINT MB_DEFBUTTON1 = 0x00000000;
inline constexpr UINT MB_DEFBUTTON2 = 0x00000100;
inline constexpr UINT MB_APPLMODAL = 0x00000000;
inline constexpr UINT MB_SYSTEMMODAL = 0x00001000;
inline constexpr UINT MB_TASKMODAL = 0x00002000;
inline constexpr UINT MB_SETFOREGROUND = 0x00010000;
inline constexpr UINT MB_TOPMOST = 0x00040000;
inline constexpr UINT MB_TYPEMASK = 0x0000000F;
inline constexpr UINT MB_ICONMASK = 0x000000F0;
inline constexpr UINT MB_DEFMASK = 0x00000F00;

// Shows a box and returns the button pressed (IDOK, IDYES, IDNO, ...). A null caption
// shows "Error", as on Win32.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// One box as it was shown.
struct MessageBoxRecord {
  HWND owner = nullptr;
  std::string text{};
  std::string caption{};
  UINT type = 0;    // the whole flags word
  int answer = 0;   // what the driver answered
  UINT Buttons() const { return type & MB_TYPEMASK; }
  UINT Icon() const { return type & MB_ICONMASK; }
};

// The boxes shown since the last ResetDesktop()/ClearMessageBoxRecords(), oldest first.
std::vector<MessageBoxRecord> MessageBoxRecords();
void ClearMessageBoxRecords();
// Whether an answer is one of the buttons a box with these flags offers.
bool IsAnswerOffered(UINT type, int answer);
