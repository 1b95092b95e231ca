// The command line's host: modules, progress, trace and scene.
#include "apps/tz2/HostSession.h"

#include <dlfcn.h>
#include <unistd.h>

#include <iostream>

#include "host/Interface.h"
#include "host/standalone/ModuleLoader.h"
#include "host/standalone/SceneFile.h"
#include "platform/Debug.h"

namespace tz2cli {
namespace {

void DrawProgress(const ProgressEvent& e, std::string& title) {
  if (e.kind == ProgressEvent::Start) title = e.title;
  if (e.kind == ProgressEvent::End) {
    std::cerr << "\r\033[K" << std::flush;
    return;
  }
  const int pct = e.percent < 0 ? 0 : e.percent > 100 ? 100 : e.percent;
  const int filled = pct * 30 / 100;
  std::cerr << "\r" << title << " [" << std::string(static_cast<std::size_t>(filled), '#')
            << std::string(static_cast<std::size_t>(30 - filled), ' ') << "] " << pct << "%" << std::flush;
}

}  // namespace

HostSession::HostSession() = default;

HostSession::~HostSession() {
  SetTraceSink({});
  if (GetCOREInterface()) GetCOREInterface()->SetProgressSink({});
  if (loader_) loader_->Shutdown();
}

bool HostSession::Start(bool trace) {
  folders_ = LocateHostFolders();
  if (trace) SetTraceSink([](const std::string& text) { std::cerr << "trace: " << text << (text.empty() || text.back() != '\n' ? "\n" : ""); });
  progressOnTerminal_ = isatty(STDERR_FILENO);
  if (progressOnTerminal_) {
    auto title = std::make_shared<std::string>();
    GetCOREInterface()->SetProgressSink([title](const ProgressEvent& e) { DrawProgress(e, *title); });
  }
  loader_ = std::make_unique<ModuleLoader>();
  loader_->Startup(folders_);
  for (const ModuleReport& report : loader_->Reports()) std::cerr << "tz2: plug-in " << FormatModuleReport(report) << "\n";
  return true;
}

bool HostSession::LoadScene(const std::string& path, std::string& error) { return LoadSceneFile(path, &error); }

int HostSession::LastExportResult() const {
  const LoadedModule* module = loader_ ? loader_->FindModule("TZ2_Export.dle") : nullptr;
  if (!module || !module->handle) return -3;
  using LastResultProc = int (*)();
  auto proc = reinterpret_cast<LastResultProc>(dlsym(module->handle, "Tz2LastExportResult"));
  return proc ? proc() : -3;
}

}  // namespace tz2cli
