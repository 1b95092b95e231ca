// `tz2 export`: loads a scene into the standalone host with the staged plug-ins and runs the
// TZ2 exporter as the host would, with the options dialog worked from the command line.
#pragma once

#include <optional>
#include <string>

#include "import/ModelImport.h"

namespace CLI {
class App;
}

namespace tz2cli {

struct ExportArgs {
  std::string scene;
  std::string output;
  std::optional<float> scale;
  std::optional<bool> hidden, selectedOnly, animation, twoSided, lod, skeletonLod, preview;
  std::optional<int> quality;
  std::optional<std::string> viewer;
  bool hostSelected = false;
  bool yes = false, no = false;
  std::string lodDistances;  // "file", "scene" or "" (ask on a terminal, else scene)
  bool trace = false;
  std::string saveScene;
  tz2import::ImportOptions import;
};

void AddExportCommand(CLI::App& app, ExportArgs& args);
// Runs the export; returns the exit status.
int RunExportCommand(const ExportArgs& args);

}  // namespace tz2cli
