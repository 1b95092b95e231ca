// The module loader: loads the plug-in modules of the host's plugins/ folder at start-up,
// checks what each answers through its entry points (host/Plugin.h), records its instance
// and path with the platform's module registry (so GetModuleHandleA and GetModuleFileNameA
// find it), hands the instance to the module (DllMain), adds its classes to a
// PluginRegistry, starts and stops the global utilities, and unloads the modules in reverse
// order at shut-down.
//
// A module that cannot be loaded or answers nonsense (an entry point missing, DllMain
// refusing, an SDK version this host cannot run, a negative or absurd class count, a null
// descriptor) is reported by its file name and skipped: nothing of it stays registered and
// it is unloaded at once. A class whose class ID another class holds already is reported
// and skipped; the rest of its module loads.
#pragma once

#include <string>
#include <vector>

#include "host/Plugin.h"
#include "host/standalone/HostFolders.h"
#include "host/standalone/PluginRegistry.h"
#include "platform/WinTypes.h"

// The most classes one module may declare.
inline constexpr int kMaxClassesPerModule = 256;

struct LoadedModule {
  std::string path;      // absolute
  std::string fileName;  // "TZ2_Export.dle"
  std::string description;
  ULONG version = 0;
  HINSTANCE instance = nullptr;
  std::vector<ClassDesc*> classes;
  ModuleEntryPoints entries;
  void* handle = nullptr;  // the dynamic loader's; null for a module linked into the program
};

struct ModuleReport {
  std::string module;  // file name
  std::string path;
  std::string reason;
};
// "<module>: <reason>"
std::string FormatModuleReport(const ModuleReport& report);

// TRUE for the file extensions of plug-in modules (.dle, .dlu, .gup, ...), any case.
bool IsModuleFileName(const std::string& fileName);

class ModuleLoader {
 public:
  explicit ModuleLoader(PluginRegistry& registry = ThePluginRegistry());
  ~ModuleLoader();
  ModuleLoader(const ModuleLoader&) = delete;
  ModuleLoader& operator=(const ModuleLoader&) = delete;

  // Loads every module file of the folder in file-name order (other files are passed over);
  // a missing folder is reported. Answers the number of modules loaded.
  int LoadFolder(const std::string& folder);
  // Loads one module; FALSE (and a report) when it is skipped.
  bool LoadModule(const std::string& path);
  // Takes a module that is linked into the program (tests, tools) as if it had been loaded
  // from path: the same checks, registration and DllMain calls, without the dynamic loader.
  bool AddLinkedModule(const std::string& path, const ModuleEntryPoints& entries);
  // Creates and starts one object of every global utility class; one whose Start does not
  // answer GUPRESULT_KEEP is deleted at once.
  void StartGlobalUtilities();
  // Stops and deletes the running global utilities, last started first.
  void StopGlobalUtilities();
  // Stops the global utilities and unloads every module, last loaded first.
  void UnloadAll();

  // The host's start-up: sets the host folders, initialises the host's custom controls,
  // loads plugins/, starts the global utilities and broadcasts NOTIFY_SYSTEM_STARTUP.
  // Shutdown broadcasts NOTIFY_SYSTEM_SHUTDOWN and unloads.
  int Startup(const HostFolders& folders);
  void Shutdown();

  const std::vector<LoadedModule>& Modules() const { return modules_; }
  const LoadedModule* FindModule(const std::string& fileName) const;
  const std::vector<ModuleReport>& Reports() const { return reports_; }
  void ClearReports() { reports_.clear(); }
  const std::vector<GUP*>& GlobalUtilities() const { return gups_; }
  PluginRegistry& Registry() { return registry_; }

 private:
  void Report(const std::string& path, const std::string& reason);
  // Empty when no module of that file name is loaded, else the report's reason.
  std::string CheckNameIsFree(const LoadedModule& module) const;
  bool Attach(LoadedModule module);
  void Unload(LoadedModule& module);

  PluginRegistry& registry_;
  std::vector<LoadedModule> modules_;
  std::vector<ModuleReport> reports_;
  std::vector<GUP*> gups_;
  bool started_ = false;
};
