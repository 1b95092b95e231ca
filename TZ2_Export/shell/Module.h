// The exporter module's own handle and resources (dialog templates 101 and 104, string
// table), and the paths of the files that lie beside the module.
#pragma once

#include <string>

#include "platform/WinTypes.h"

namespace tz2 {

inline constexpr int IDD_EXPORT_OPTIONS = 101;
inline constexpr int IDD_OVERWRITE_LODS = 104;
inline constexpr UINT IDS_LIBDESCRIPTION = 1;
inline constexpr UINT IDS_CLASS_NAME = 3;

// Options dialog controls.
inline constexpr int IDC_EXPORT_HIDDEN = 1001;
inline constexpr int IDC_SCALE = 1002;
inline constexpr int IDC_SELECTED_ONLY = 1015;
inline constexpr int IDC_ANIMATION = 1016;
inline constexpr int IDC_VIEWER_PATH = 1025;
inline constexpr int IDC_BROWSE = 1026;
inline constexpr int IDC_PREVIEW = 1027;
inline constexpr int IDC_TWO_SIDED = 1028;
inline constexpr int IDC_GENERATE_LOD = 1030;
inline constexpr int IDC_SKELETON_LOD = 1031;
inline constexpr int IDC_QUALITY = 1032;
inline constexpr int IDC_HELP = 1033;
inline constexpr int IDC_OPTIONS_OK = 1;
inline constexpr int IDC_OPTIONS_CANCEL = 2;
inline constexpr INT_PTR kOptionsDialogOk = 100;

// Overwrite dialog controls.
inline constexpr int IDC_OLD_LODS = 1001;
inline constexpr int IDC_SCENE_LODS = 1002;
inline constexpr int IDC_USE_OLD = 1;
inline constexpr int IDC_USE_SCENE = 2;

// The module handle: set by the module's entry point, or by whoever links the exporter
// directly (tests, tools). Setting it declares the module's dialogs and strings.
void SetModuleInstance(HINSTANCE instance);
HINSTANCE ModuleInstance();

// LoadStringA from the module into one shared 256-byte buffer (overwritten by the next
// call); null when the module handle is not set or the string does not exist.
const char* LoadResourceString(UINT id);

// The path of `fileName` in the folder of the loaded "TZ2_Export.dle"; false when the
// module's path cannot be obtained.
bool PathBesideModule(const char* fileName, std::string& path);

}  // namespace tz2
