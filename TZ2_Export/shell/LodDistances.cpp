// Level-of-detail distances: reading, and the overwrite question of dialog 104.
#include "TZ2_Export/shell/LodDistances.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "TZ2_Export/shell/Module.h"
#include "TZ2_Export/shell/SceneProperties.h"
#include "host/CustomControls.h"
#include "host/Interface.h"
#include "platform/Windows.h"

namespace tz2 {
namespace {

void PropertyName(int index, wchar_t (&name)[32]) { std::swprintf(name, 32, L"LODDistance%d", index + 2); }

// The six distances at offset 66 of an existing TZ2 file; false for a missing, short or
// foreign file.
bool ReadFileDistances(const std::string& fileName, float old[6]) {
  HANDLE file = CreateFileA(fileName.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE || file == nullptr) return false;
  std::uint8_t bytes[kModelHeaderSize];
  DWORD read = 0;
  const BOOL ok = ReadFile(file, bytes, sizeof bytes, &read, nullptr);
  CloseHandle(file);
  if (!ok || read < kModelHeaderSize || bytes[kOffVersion] != kModelVersion) return false;
  const ModelHeader header = ParseHeader(bytes);
  std::memcpy(old, header.lodDistances, sizeof header.lodDistances);
  return true;
}

void FillList(HWND dialog, int id, const float values[6]) {
  HWND list = GetDlgItem(dialog, id);
  for (int i = 0; i < 6; ++i) {
    char line[64];
    const int value = static_cast<int>(values[i]);
    if (i < 5) std::snprintf(line, sizeof line, "LOD%d=%d", i + 2, value);
    else std::snprintf(line, sizeof line, "NODISP=%d", value);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
  }
}

}  // namespace

void ReadLodDistances(float d[6], Interface* host) {
  for (int i = 0; i < 6; ++i) d[i] = kDefaultLodDistances[static_cast<std::size_t>(i)];
  for (int i = 0; i < 6; ++i) {
    wchar_t name[32];
    PropertyName(i, name);
    if (auto v = GetSceneFloat(host, name)) d[i] = *v;
  }
  for (int i = 1; i < 6; ++i)
    if (d[i] < d[i - 1]) d[i] = d[i - 1];
}

void ReconcileLodDistances(const std::string& fileName, Interface* host) {
  LodDialogContext context{};
  if (!ReadFileDistances(fileName, context.old)) return;
  ReadLodDistances(context.scene, host);
  bool differ = false;
  for (int i = 0; i < 6; ++i)
    if (std::fabs(context.scene[i] - context.old[i]) > 1.0f) differ = true;
  if (!differ) return;
  const INT_PTR choice = DialogBoxParamA(ModuleInstance(), MAKEINTRESOURCEA(IDD_OVERWRITE_LODS), GetActiveWindow(),
                                         LodDistancesDialogProc, reinterpret_cast<LPARAM>(&context));
  if (choice != 1) return;
  for (int i = 0; i < 6; ++i) {
    wchar_t name[32];
    PropertyName(i, name);
    SetSceneFloat(host, name, context.old[i]);
  }
}

INT_PTR CALLBACK LodDistancesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      const auto* context = reinterpret_cast<const LodDialogContext*>(lParam);
      FillList(dialog, IDC_SCENE_LODS, context->scene);
      FillList(dialog, IDC_OLD_LODS, context->old);
      CenterWindow(dialog, GetParent(dialog));
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_USE_OLD) { EndDialog(dialog, 1); return TRUE; }
      if (LOWORD(wParam) == IDC_USE_SCENE) { EndDialog(dialog, 0); return TRUE; }
      break;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace tz2
