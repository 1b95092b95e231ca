// Host folders: where the standalone host finds its parts. The stage root holds bin/ (the
// program and the host's shared libraries), plugins/ (the plug-in modules) and plugcfg/ (the
// host's own configuration, e.g. physique.ini).
#pragma once

#include <string>

struct HostFolders {
  std::string root;
  std::string bin;
  std::string plugins;
  std::string plugcfg;
};

// The folders below a stage root (made absolute).
HostFolders HostFoldersFromRoot(const std::string& root);
// The folders of a program at programPath: the root is the parent of the program's folder.
HostFolders HostFoldersFromProgram(const std::string& programPath);
// The running program's folders: below $TZ2_HOME when it is set, else from the program's
// own path.
HostFolders LocateHostFolders();

// The folders the host runs with (set once at start-up; empty until then).
const HostFolders& TheHostFolders();
void SetHostFolders(const HostFolders& folders);
