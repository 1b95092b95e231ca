// The host's custom controls as plug-ins use them: the custom edit box (ICustEdit) over a
// dialog's edit control, window centring, and the once-per-module initialisation.
#pragma once

#include "host/CStr.h"
#include "platform/WinTypes.h"

class ICustEdit {
 public:
  virtual ~ICustEdit() = default;
  virtual void SetText(const char* text) = 0;
  virtual void SetText(int value) = 0;
  virtual void SetText(float value, int precision = 3) = 0;
  // Copies the text (at most size − 1 characters and a terminator).
  virtual void GetText(char* buffer, int size) = 0;
  virtual int GetTextLength() = 0;
  // The text read as a number; valid (when given) is FALSE when it is not one, and the
  // number is then 0.
  virtual float GetFloat(BOOL* valid = nullptr) = 0;
  virtual int GetInt(BOOL* valid = nullptr) = 0;
  virtual HWND GetHwnd() = 0;
};

// The custom edit over control hwnd (an edit control); null when hwnd is not a window.
// Give it back with ReleaseICustEdit.
ICustEdit* GetICustEdit(HWND hwnd);
void ReleaseICustEdit(ICustEdit* edit);
// Custom edits handed out and not yet released.
int OpenICustEditCount();

// Moves child to the centre of parent (of the desktop when parent is null).
void CenterWindow(HWND child, HWND parent);
// Registers the host's control classes for a module; later calls do nothing more.
void InitCustomControls(HINSTANCE instance);
int InitCustomControlsCount();
