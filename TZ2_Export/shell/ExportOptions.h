// The exporter's options: loaded from "TZ2_Export.ini" beside the module and from the
// scene's custom properties (the scene wins), shown in dialog 101, saved to both on Ok.
#pragma once

#include <string>

#include "TZ2_Export/shell/ExportTypes.h"
#include "platform/WinTypes.h"

namespace tz2 {

inline constexpr const char* kOptionsSection = "TZ2EXPORT OPTIONS";

void LoadOptions(ExportOptions& options, Interface* host);
void SaveOptions(const ExportOptions& options, Interface* host, const std::string& fileName);
void FillDialog(HWND dialog, const ExportOptions& options);
void ReadDialog(HWND dialog, ExportOptions& options);
void ShowHelp();

// What the options dialog works on: the record, the host and the export's file name.
struct OptionsDialogContext {
  ExportOptions* options = nullptr;
  Interface* host = nullptr;
  std::string fileName;
};
INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tz2
