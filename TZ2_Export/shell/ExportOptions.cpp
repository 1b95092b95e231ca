// Export options: ini file and scene properties, and dialog 101.
#include "TZ2_Export/shell/ExportOptions.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "TZ2_Export/shell/Module.h"
#include "TZ2_Export/shell/SceneProperties.h"
#include "host/CustomControls.h"
#include "host/Interface.h"
#include "platform/Windows.h"

namespace tz2 {
namespace {

int ValidQuality(int q) { return q >= 1 && q <= 5 ? q : 3; }

bool IniPath(std::string& path) { return PathBesideModule("TZ2_Export.ini", path); }

int IniInt(const std::string& ini, const char* key, int def) {
  return static_cast<int>(GetPrivateProfileIntA(kOptionsSection, key, def, ini.c_str()));
}

void IniWriteInt(const std::string& ini, const char* key, int value) {
  char text[32];
  std::snprintf(text, sizeof text, "%d", value);
  WritePrivateProfileStringA(kOptionsSection, key, text, ini.c_str());
}

const char* const kBuildTitle = "TZ2 Export,  Build: Fri Jul  8 17:16:04 2005";

}  // namespace

void LoadOptions(ExportOptions& o, Interface* host) {
  std::string ini;
  if (!IniPath(ini)) return;
  o.ExportHidden = IniInt(ini, "ExportHidden", 0) != 0;
  o.ExportSelectedOnly = IniInt(ini, "ExportSelectedOnly", 1) != 0;
  o.ExportAnimation = IniInt(ini, "ExportAnimation", 1) != 0;
  o.TwoSidedLighting = IniInt(ini, "TwoSidedLighting", 1) != 0;
  o.GenerateLOD = IniInt(ini, "GenerateLOD", 1) != 0;
  o.GenerateSkeletonLOD = IniInt(ini, "GenerateSkeletonLOD", 1) != 0;
  o.Preview = IniInt(ini, "Preview", 1) != 0;
  o.AnimationQuality = IniInt(ini, "AnimationQuality", 3);
  char text[1024];
  GetPrivateProfileStringA(kOptionsSection, "TZ2ViewPath", "", text, 260, ini.c_str());
  o.TZ2ViewPath = text;
  GetPrivateProfileStringA(kOptionsSection, "Scale", "100", text, sizeof text, ini.c_str());
  o.Scale = static_cast<float>(std::atof(text));

  if (host) {
    if (auto v = GetSceneBool(host, L"ExportHidden")) o.ExportHidden = *v;
    if (auto v = GetSceneBool(host, L"ExportAnimation")) o.ExportAnimation = *v;
    if (auto v = GetSceneBool(host, L"ExportSelectedOnly")) o.ExportSelectedOnly = *v;
    if (auto v = GetSceneBool(host, L"TwoSidedLighting")) o.TwoSidedLighting = *v;
    if (auto v = GetSceneBool(host, L"GenerateLOD")) o.GenerateLOD = *v;
    if (auto v = GetSceneBool(host, L"GenerateSkeletonLOD")) o.GenerateSkeletonLOD = *v;
    if (auto v = GetSceneFloat(host, L"AnimationQuality")) o.AnimationQuality = static_cast<int>(*v);
    if (auto v = GetSceneFloat(host, L"Scale")) o.Scale = *v;
  }
  o.AnimationQuality = ValidQuality(o.AnimationQuality);
}

void SaveOptions(const ExportOptions& o, Interface* host, const std::string& fileName) {
  std::string ini;
  if (!IniPath(ini)) return;
  IniWriteInt(ini, "ExportHidden", o.ExportHidden);
  IniWriteInt(ini, "ExportAnimation", o.ExportAnimation);
  IniWriteInt(ini, "ExportSelectedOnly", o.ExportSelectedOnly);
  IniWriteInt(ini, "GenerateLOD", o.GenerateLOD);
  IniWriteInt(ini, "GenerateSkeletonLOD", o.GenerateSkeletonLOD);
  IniWriteInt(ini, "AnimationQuality", o.AnimationQuality);
  IniWriteInt(ini, "TwoSidedLighting", o.TwoSidedLighting);
  IniWriteInt(ini, "Preview", o.Preview);
  WritePrivateProfileStringA(kOptionsSection, "TZ2ViewPath", o.TZ2ViewPath.c_str(), ini.c_str());
  char scale[64];
  std::snprintf(scale, sizeof scale, "%f", o.Scale);
  WritePrivateProfileStringA(kOptionsSection, "Scale", scale, ini.c_str());

  if (!host) return;
  SetSceneBool(host, L"ExportHidden", o.ExportHidden);
  SetSceneBool(host, L"ExportAnimation", o.ExportAnimation);
  SetSceneBool(host, L"ExportSelectedOnly", o.ExportSelectedOnly);
  SetSceneBool(host, L"GenerateLOD", o.GenerateLOD);
  SetSceneBool(host, L"GenerateSkeletonLOD", o.GenerateSkeletonLOD);
  SetSceneFloat(host, L"AnimationQuality", static_cast<float>(o.AnimationQuality));
  SetSceneBool(host, L"TwoSidedLighting", o.TwoSidedLighting);
  SetSceneFloat(host, L"Scale", o.Scale);
  SetSceneText(host, L"OutputFileName", fileName);
}

void FillDialog(HWND dialog, const ExportOptions& o) {
  SetWindowTextA(dialog, kBuildTitle);
  char text[64];
  // "%1.0f" with halves rounded away from zero, as the dialog has always shown them (12.5 ->
  // "13"); the C library's own rounding of exact halves to even would show "12".
  std::snprintf(text, sizeof text, "%1.0f", std::round(static_cast<double>(o.Scale)));
  SetDlgItemTextA(dialog, IDC_SCALE, text);
  std::snprintf(text, sizeof text, "%d", o.AnimationQuality);
  SetDlgItemTextA(dialog, IDC_QUALITY, text);
  CheckDlgButton(dialog, IDC_EXPORT_HIDDEN, o.ExportHidden ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_SELECTED_ONLY, o.ExportSelectedOnly ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_ANIMATION, o.ExportAnimation ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_TWO_SIDED, o.TwoSidedLighting ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_GENERATE_LOD, o.GenerateLOD ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_SKELETON_LOD, o.GenerateSkeletonLOD ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_PREVIEW, o.Preview ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemTextA(dialog, IDC_VIEWER_PATH, o.TZ2ViewPath.c_str());
}

void ReadDialog(HWND dialog, ExportOptions& o) {
  char text[1024];
  GetDlgItemTextA(dialog, IDC_SCALE, text, 1023);
  o.Scale = static_cast<float>(std::atof(text));
  GetDlgItemTextA(dialog, IDC_QUALITY, text, 1023);
  o.AnimationQuality = ValidQuality(std::atoi(text));
  o.ExportHidden = IsDlgButtonChecked(dialog, IDC_EXPORT_HIDDEN) == BST_CHECKED;
  o.ExportSelectedOnly = IsDlgButtonChecked(dialog, IDC_SELECTED_ONLY) == BST_CHECKED;
  o.ExportAnimation = IsDlgButtonChecked(dialog, IDC_ANIMATION) == BST_CHECKED;
  o.TwoSidedLighting = IsDlgButtonChecked(dialog, IDC_TWO_SIDED) == BST_CHECKED;
  o.GenerateLOD = IsDlgButtonChecked(dialog, IDC_GENERATE_LOD) == BST_CHECKED;
  o.GenerateSkeletonLOD = IsDlgButtonChecked(dialog, IDC_SKELETON_LOD) == BST_CHECKED;
  o.Preview = IsDlgButtonChecked(dialog, IDC_PREVIEW) == BST_CHECKED;
  GetDlgItemTextA(dialog, IDC_VIEWER_PATH, text, 260);
  o.TZ2ViewPath = text;
}

void ShowHelp() {
  std::string help;
  if (!PathBesideModule("TZ2_Export.hlp", help)) return;
  char command[MAX_PATH + 16];
  std::snprintf(command, sizeof command, "winhlp32 %s", help.c_str());
  WinExec(command, SW_SHOW);
}

namespace {

void BrowseForViewer(HWND dialog) {
  char file[260] = "_TZ2View.exe";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = dialog;
  ofn.lpstrFilter = "TZ2 Viewer\0_TZ2View.exe\0\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (GetOpenFileNameA(&ofn)) SetDlgItemTextA(dialog, IDC_VIEWER_PATH, file);
}

}  // namespace

INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* context = reinterpret_cast<OptionsDialogContext*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      context = reinterpret_cast<OptionsDialogContext*>(lParam);
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      SetWindowPos(dialog, nullptr, 0, 0, 450, 290, SWP_NOMOVE | SWP_NOZORDER);
      CenterWindow(dialog, GetParent(dialog));
      LoadOptions(*context->options, context->host);
      FillDialog(dialog, *context->options);
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_OPTIONS_OK:
          ReadDialog(dialog, *context->options);
          SaveOptions(*context->options, context->host, context->fileName);
          EndDialog(dialog, kOptionsDialogOk);
          return TRUE;
        case IDC_OPTIONS_CANCEL:
          EndDialog(dialog, 0);
          return TRUE;
        case IDC_BROWSE:
          BrowseForViewer(dialog);
          return TRUE;
        case IDC_HELP:
          ShowHelp();
          return TRUE;
      }
      break;
    case WM_HELP:
      ShowHelp();
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace tz2
