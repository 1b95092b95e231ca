// The module loader: dlopen, entry-point checks, instance registration, class registration,
// global utilities, reverse-order unloading.
//
// Loading one module, in order: open it; resolve LibDescription, LibNumberClasses,
// LibClassDesc and LibVersion (all four required) and DllMain (optional); register it with
// the platform for its instance; DllMain(instance, DLL_PROCESS_ATTACH); check LibVersion;
// check LibNumberClasses; fetch every descriptor; read the description; add the classes.
// A failure at any step undoes the steps before it, in reverse order.
#include "host/standalone/ModuleLoader.h"

#include <dlfcn.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "host/CustomControls.h"
#include "host/Notify.h"
#include "platform/Modules.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kModuleExtensions[] = {".dle", ".dli", ".dlu", ".gup", ".dlo", ".dlm",
                                             ".dlt", ".dlc", ".dlh", ".dlr", ".bmi"};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Hex(ULONG v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(v));
  return buf;
}

std::string NormalPath(const std::string& path) {
  std::error_code ec;
  fs::path absolute = fs::absolute(path, ec);
  if (ec) absolute = path;
  return absolute.lexically_normal().string();
}

template <class Fn>
Fn Resolve(void* handle, const char* name) {
  return reinterpret_cast<Fn>(dlsym(handle, name));
}

ModuleEntryPoints ResolveEntryPoints(void* handle) {
  ModuleEntryPoints e;
  e.dllMain = Resolve<DllMainProc>(handle, "DllMain");
  e.libDescription = Resolve<LibDescriptionProc>(handle, "LibDescription");
  e.libNumberClasses = Resolve<LibNumberClassesProc>(handle, "LibNumberClasses");
  e.libClassDesc = Resolve<LibClassDescProc>(handle, "LibClassDesc");
  e.libVersion = Resolve<LibVersionProc>(handle, "LibVersion");
  return e;
}

// Empty when the four required entry points are there, else the missing ones' names.
std::string MissingEntryPoints(const ModuleEntryPoints& e) {
  std::string missing;
  auto need = [&missing](bool present, const char* name) {
    if (present) return;
    if (!missing.empty()) missing += ", ";
    missing += name;
  };
  need(e.libDescription != nullptr, "LibDescription");
  need(e.libNumberClasses != nullptr, "LibNumberClasses");
  need(e.libClassDesc != nullptr, "LibClassDesc");
  need(e.libVersion != nullptr, "LibVersion");
  return missing;
}

// Empty when the module's answers make sense; fills its version, descriptors, description.
std::string CheckAnswers(LoadedModule& m) {
  const ModuleEntryPoints& e = m.entries;
  m.version = e.libVersion();
  if (!IsCompatibleSdkVersion(m.version))
    return "LibVersion answered " + Hex(m.version) + ", a version this host (" +
           Hex(HOST_SDK_VERSION) + ") cannot run";
  const int count = e.libNumberClasses();
  if (count < 0 || count > kMaxClassesPerModule)
    return "LibNumberClasses answered " + std::to_string(count) + " (0 to " +
           std::to_string(kMaxClassesPerModule) + " expected)";
  for (int i = 0; i < count; ++i) {
    ClassDesc* desc = e.libClassDesc(i);
    if (desc == nullptr)
      return "LibClassDesc(" + std::to_string(i) + ") answered no class descriptor";
    m.classes.push_back(desc);
  }
  const char* description = e.libDescription();
  m.description = description != nullptr ? description : "";
  return {};
}

}  // namespace

std::string FormatModuleReport(const ModuleReport& report) {
  return report.module + ": " + report.reason;
}

bool IsModuleFileName(const std::string& fileName) {
  const std::string ext = Lower(fs::path(fileName).extension().string());
  return std::find(std::begin(kModuleExtensions), std::end(kModuleExtensions), ext) !=
         std::end(kModuleExtensions);
}

ModuleLoader::ModuleLoader(PluginRegistry& registry) : registry_(registry) {}

ModuleLoader::~ModuleLoader() { UnloadAll(); }

void ModuleLoader::Report(const std::string& path, const std::string& reason) {
  reports_.push_back({fs::path(path).filename().string(), path, reason});
}

const LoadedModule* ModuleLoader::FindModule(const std::string& fileName) const {
  const std::string wanted = Lower(fileName);
  for (const LoadedModule& m : modules_)
    if (Lower(m.fileName) == wanted) return &m;
  return nullptr;
}

int ModuleLoader::LoadFolder(const std::string& folder) {
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    Report(folder, "the plug-in folder does not exist");
    return 0;
  }
  std::vector<fs::path> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
    if (entry.is_regular_file(ec) && IsModuleFileName(entry.path().filename().string()))
      files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end(),
            [](const fs::path& a, const fs::path& b) { return a.filename() < b.filename(); });
  int loaded = 0;
  for (const fs::path& file : files)
    if (LoadModule(file.string())) ++loaded;
  return loaded;
}

std::string ModuleLoader::CheckNameIsFree(const LoadedModule& m) const {
  // Modules are found by file name (GetModuleHandleA), so two of one name cannot coexist.
  const LoadedModule* other = FindModule(m.fileName);
  return other != nullptr ? "a module of that name is loaded already (" + other->path + ")" : "";
}

bool ModuleLoader::LoadModule(const std::string& path) {
  LoadedModule m;
  m.path = NormalPath(path);
  m.fileName = fs::path(m.path).filename().string();
  if (std::string taken = CheckNameIsFree(m); !taken.empty()) {
    Report(m.path, taken);
    return false;
  }
  m.handle = dlopen(m.path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (m.handle == nullptr) {
    const char* why = dlerror();
    Report(m.path, std::string("cannot be loaded: ") + (why != nullptr ? why : "unknown error"));
    return false;
  }
  m.entries = ResolveEntryPoints(m.handle);
  return Attach(std::move(m));
}

bool ModuleLoader::AddLinkedModule(const std::string& path, const ModuleEntryPoints& entries) {
  LoadedModule m;
  m.path = NormalPath(path);
  m.fileName = fs::path(m.path).filename().string();
  m.entries = entries;
  if (std::string taken = CheckNameIsFree(m); !taken.empty()) {
    Report(m.path, taken);
    return false;
  }
  return Attach(std::move(m));
}

bool ModuleLoader::Attach(LoadedModule m) {
  if (std::string missing = MissingEntryPoints(m.entries); !missing.empty()) {
    Report(m.path, "does not export " + missing);
    if (m.handle != nullptr) dlclose(m.handle);
    return false;
  }
  m.instance = RegisterModule(m.path);
  if (m.entries.dllMain != nullptr &&
      !m.entries.dllMain(m.instance, DLL_PROCESS_ATTACH, nullptr)) {
    Report(m.path, "DllMain refused to attach the module");
    m.entries.dllMain = nullptr;  // a module that did not attach is not detached
    Unload(m);
    return false;
  }
  if (std::string problem = CheckAnswers(m); !problem.empty()) {
    Report(m.path, problem);
    Unload(m);
    return false;
  }
  for (ClassDesc* desc : m.classes)
    if (std::string problem = registry_.AddClass(desc, m.path); !problem.empty())
      Report(m.path, problem);
  modules_.push_back(std::move(m));
  return true;
}

void ModuleLoader::Unload(LoadedModule& m) {
  registry_.RemoveModuleClasses(m.path);
  if (m.entries.dllMain != nullptr) m.entries.dllMain(m.instance, DLL_PROCESS_DETACH, nullptr);
  UnregisterModule(m.instance);
  if (m.handle != nullptr) dlclose(m.handle);
  m.handle = nullptr;
  m.instance = nullptr;
}

void ModuleLoader::StartGlobalUtilities() {
  if (started_) return;
  started_ = true;
  for (const PluginClass& c : registry_.Classes()) {
    if (c.superClassID != GUP_CLASS_ID) continue;
    GUP* gup = static_cast<GUP*>(c.desc->Create(FALSE));
    if (gup == nullptr) {
      reports_.push_back(
          {c.module, c.modulePath, "global utility \"" + c.className + "\" gave no object"});
      continue;
    }
    if (gup->Start() == GUPRESULT_KEEP) gups_.push_back(gup);
    else gup->DeleteThis();
  }
}

void ModuleLoader::StopGlobalUtilities() {
  while (!gups_.empty()) {
    GUP* gup = gups_.back();
    gups_.pop_back();
    gup->Stop();
    gup->DeleteThis();
  }
  started_ = false;
}

void ModuleLoader::UnloadAll() {
  StopGlobalUtilities();
  while (!modules_.empty()) {
    Unload(modules_.back());
    modules_.pop_back();
  }
}

int ModuleLoader::Startup(const HostFolders& folders) {
  SetHostFolders(folders);
  InitCustomControls(nullptr);  // the host's own, before any module's dialogs
  const int loaded = LoadFolder(folders.plugins);
  StartGlobalUtilities();
  BroadcastNotification(NOTIFY_SYSTEM_STARTUP);
  return loaded;
}

void ModuleLoader::Shutdown() {
  BroadcastNotification(NOTIFY_SYSTEM_SHUTDOWN);
  UnloadAll();
}
