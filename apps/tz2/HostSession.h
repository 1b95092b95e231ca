// HostSession: the standalone host as the command line runs it: the host folders, the
// plug-in modules of plugins/ loaded at start-up (problems printed), the progress bar and
// trace lines on standard error, and the scene.
#pragma once

#include <memory>
#include <string>

#include "host/standalone/HostFolders.h"

class ModuleLoader;

namespace tz2cli {

class HostSession {
 public:
  HostSession();
  ~HostSession();
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  // Locates the folders, loads the modules; false (with a message) when the host cannot run.
  bool Start(bool trace);
  // Loads a scene file into the host; the error names the file and the reason.
  bool LoadScene(const std::string& path, std::string& error);
  const HostFolders& Folders() const { return folders_; }
  // The result code of the TZ2 exporter's last export (−3 Cancelled when none ran).
  int LastExportResult() const;

 private:
  HostFolders folders_;
  std::unique_ptr<ModuleLoader> loader_;
  bool progressOnTerminal_ = false;
};

}  // namespace tz2cli
