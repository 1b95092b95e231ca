// Host folders: the stage layout below a root, found from $TZ2_HOME or the program's path.
#include "host/standalone/HostFolders.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

HostFolders& Current() {
  static HostFolders folders;
  return folders;
}

}  // namespace

HostFolders HostFoldersFromRoot(const std::string& root) {
  std::error_code ec;
  fs::path base = fs::absolute(root, ec);
  if (ec) base = root;
  base = base.lexically_normal();
  if (!base.has_filename() && base.has_parent_path()) base = base.parent_path();
  HostFolders f;
  f.root = base.string();
  f.bin = (base / "bin").string();
  f.plugins = (base / "plugins").string();
  f.plugcfg = (base / "plugcfg").string();
  return f;
}

HostFolders HostFoldersFromProgram(const std::string& programPath) {
  std::error_code ec;
  fs::path program = fs::absolute(programPath, ec);
  if (ec) program = programPath;
  return HostFoldersFromRoot(program.lexically_normal().parent_path().parent_path().string());
}

HostFolders LocateHostFolders() {
  if (const char* home = std::getenv("TZ2_HOME"); home != nullptr && *home != '\0')
    return HostFoldersFromRoot(home);
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return HostFoldersFromProgram(ec ? std::string("./tz2") : self.string());
}

const HostFolders& TheHostFolders() { return Current(); }

void SetHostFolders(const HostFolders& folders) { Current() = folders; }
