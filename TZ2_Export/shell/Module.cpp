// The exporter's module handle, its resources declared in code, and paths beside it.
#include "TZ2_Export/shell/Module.h"

#include "platform/Windows.h"

namespace tz2 {
namespace {

HINSTANCE g_instance = nullptr;

ControlTemplate Control(int id, ControlKind kind, const char* text, int x, int y, int cx, int cy) {
  ControlTemplate c;
  c.id = id;
  c.kind = kind;
  c.text = text;
  c.x = x;
  c.y = y;
  c.cx = cx;
  c.cy = cy;
  return c;
}

DialogTemplate OptionsDialog() {
  DialogTemplate d;
  d.title = "TZ2 Export";
  d.cx = 300;
  d.cy = 190;
  using K = ControlKind;
  d.controls = {
      Control(-1, K::Static, "Scale coef., %:", 7, 7, 60, 8),
      Control(IDC_SCALE, K::Edit, "", 70, 5, 40, 12),
      Control(IDC_EXPORT_HIDDEN, K::CheckBox, "Export hidden objects", 7, 24, 140, 10),
      Control(IDC_SELECTED_ONLY, K::CheckBox, "Export selected objects only", 7, 36, 140, 10),
      Control(IDC_ANIMATION, K::CheckBox, "Export animation and parts", 7, 48, 140, 10),
      Control(IDC_TWO_SIDED, K::CheckBox, "Use two-sided lighting", 7, 60, 140, 10),
      Control(IDC_GENERATE_LOD, K::CheckBox, "Generate LOD", 7, 72, 140, 10),
      Control(IDC_SKELETON_LOD, K::CheckBox, "Generate Skeleton LOD", 7, 84, 140, 10),
      Control(-1, K::Static, "Animation quality [1..5]:", 7, 98, 90, 8),
      Control(IDC_QUALITY, K::Edit, "", 100, 96, 30, 12),
      Control(IDC_PREVIEW, K::CheckBox, "Preview after export", 7, 114, 140, 10),
      Control(-1, K::Static, "Path to \"_TZ2view.exe\":", 7, 128, 120, 8),
      Control(IDC_VIEWER_PATH, K::Edit, "", 7, 140, 220, 12),
      Control(IDC_BROWSE, K::PushButton, "Browse...", 232, 139, 50, 14),
      Control(IDC_OPTIONS_OK, K::DefPushButton, "&Ok", 170, 165, 50, 14),
      Control(IDC_OPTIONS_CANCEL, K::PushButton, "&Cancel", 232, 165, 50, 14),
      Control(IDC_HELP, K::PushButton, "Help", 7, 165, 50, 14),
  };
  return d;
}

DialogTemplate OverwriteDialog() {
  DialogTemplate d;
  d.title = "Overwriting TZ2";
  d.cx = 220;
  d.cy = 170;
  using K = ControlKind;
  d.controls = {
      Control(-1, K::Static, "You are overwriting TZ2 file. However, in the", 7, 7, 200, 8),
      Control(-1, K::Static, "old TZ2 file, LODDistances are different.", 7, 17, 200, 8),
      Control(-1, K::Static, "What you would like to do ?", 7, 27, 200, 8),
      Control(IDC_SCENE_LODS, K::ListBox, "", 7, 42, 100, 90),
      Control(IDC_OLD_LODS, K::ListBox, "", 113, 42, 100, 90),
      Control(IDC_USE_SCENE, K::PushButton, "Use MAX settings", 7, 140, 100, 14),
      Control(IDC_USE_OLD, K::PushButton, "Use old TZ2 settings", 113, 140, 100, 14),
  };
  return d;
}

}  // namespace

void SetModuleInstance(HINSTANCE instance) {
  g_instance = instance;
  if (!instance) return;
  RegisterDialogTemplate(instance, IDD_EXPORT_OPTIONS, OptionsDialog());
  RegisterDialogTemplate(instance, IDD_OVERWRITE_LODS, OverwriteDialog());
  RegisterString(instance, IDS_LIBDESCRIPTION, "TZ2 model exporter (Quarn Engine)");
  RegisterString(instance, IDS_CLASS_NAME, "TZ2Export");
}

HINSTANCE ModuleInstance() { return g_instance; }

const char* LoadResourceString(UINT id) {
  static char buffer[256];
  if (!g_instance) return nullptr;
  if (LoadStringA(g_instance, id, buffer, sizeof buffer) <= 0) return nullptr;
  return buffer;
}

bool PathBesideModule(const char* fileName, std::string& path) {
  char modulePath[MAX_PATH];
  const HMODULE module = GetModuleHandleA("TZ2_Export.dle");
  if (!module || GetModuleFileNameA(module, modulePath, MAX_PATH) == 0) return false;
  char full[MAX_PATH];
  LPSTR filePart = nullptr;
  const DWORD n = GetFullPathNameA(modulePath, MAX_PATH, full, &filePart);
  if (n == 0 || n >= MAX_PATH || !filePart) return false;
  *filePart = '\0';
  path = std::string(full) + fileName;
  return true;
}

}  // namespace tz2
