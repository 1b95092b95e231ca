// The host's rigid-deformation setting. The engine animates skinned vertices the way the
// host's Physique does with "USE_2.2_RIGID_DEFORMATIONS" set, so the exporter makes sure the
// key of section "BulgeEditorState" in the host's "plugcfg/physique.ini" holds "Yes". The
// file lies beside the host's plug-in folder, found from the exporter's own module path.
#include <cctype>
#include <string>

#include "TZ2_Export/skeleton/Skin.h"
#include "platform/Windows.h"

namespace tz2 {

namespace {

constexpr const char* kModuleName = "TZ2_Export.dle";
constexpr const char* kSection = "BulgeEditorState";
constexpr const char* kKey = "USE_2.2_RIGID_DEFORMATIONS";

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::string PhysiqueIniPath(const std::string& modulePath) {
  std::size_t end = modulePath.size();
  while (end > 0 && !IsSeparator(modulePath[end - 1])) --end;  // drop the file name
  if (end == 0) return {};
  --end;  // at the separator before the file name
  std::size_t start = end;
  while (start > 0 && !IsSeparator(modulePath[start - 1])) --start;  // drop the plug-in folder
  if (start == 0) return {};
  const char separator = modulePath[start - 1];
  return modulePath.substr(0, start) + "plugcfg" + separator + "physique.ini";
}

bool EnsureRigidDeformations() {
  HMODULE module = GetModuleHandleA(kModuleName);
  if (module == nullptr) return false;
  char modulePath[1024] = {0};
  const DWORD n = GetModuleFileNameA(module, modulePath, sizeof modulePath);
  if (n == 0 || n >= sizeof modulePath) return false;
  char fullPath[1024] = {0};
  const DWORD m = GetFullPathNameA(modulePath, sizeof fullPath, fullPath, nullptr);
  if (m == 0 || m >= sizeof fullPath) return false;
  const std::string ini = PhysiqueIniPath(fullPath);
  if (ini.empty()) return false;

  char value[101] = {0};
  GetPrivateProfileStringA(kSection, kKey, "", value, sizeof value, ini.c_str());
  std::string upper(value);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper == "YES") return false;
  // A value that cannot be written cannot be fixed by a restart either: the export goes on.
  return WritePrivateProfileStringA(kSection, kKey, "Yes", ini.c_str()) != FALSE;
}

}  // namespace tz2
