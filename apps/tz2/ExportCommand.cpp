// tz2 export: host start-up, scene loading, the exporter's DoExport and the exit status.
#include "apps/tz2/ExportCommand.h"

#include <dlfcn.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>

#include "apps/tz2/CliDriver.h"
#include "apps/tz2/HostSession.h"
#include "apps/tz2/ImportCommand.h"
#include "host/Interface.h"
#include "host/Plugin.h"
#include "host/standalone/PluginRegistry.h"
#include "host/standalone/SceneFile.h"

namespace tz2cli {
namespace {

// Dialog 101's controls and the two buttons of dialog 104.
constexpr int kOptionsDialog = 101, kOverwriteDialog = 104;
constexpr int kScale = 1002, kHidden = 1001, kSelectedOnly = 1015, kAnimation = 1016, kTwoSided = 1028,
              kLod = 1030, kSkeletonLod = 1031, kPreview = 1027, kViewer = 1025, kQuality = 1032;
constexpr int kUseOld = 1, kUseScene = 2;

void AddSwitch(CLI::App* cmd, const std::string& on, const std::string& off, std::optional<bool>& target,
               const std::string& help) {
  cmd->add_flag_callback("--" + on, [&target] { target = true; }, help);
  cmd->add_flag_callback("--" + off, [&target] { target = false; }, "the opposite of --" + on);
}

std::string DefaultOutput(const std::string& scene) {
  std::string base = scene;
  const std::size_t slash = base.find_last_of('/');
  const std::size_t dot = base.find('.', slash == std::string::npos ? 0 : slash + 1);
  if (dot != std::string::npos) base.erase(dot);
  return base + ".tz2";
}

// Exit status for an export result code.
int ExitStatus(int result) {
  switch (result) {
    case 0: return 0;    // Ok
    case 2: return 2;    // CannotCreateFile
    case 4: return 4;    // NoMaterials
    case -1: return 3;   // NoValidObjects
    case -2: return 5;   // TooManyGroups
    case -3: return 6;   // Cancelled
    default: return 1;
  }
}

DialogSettings OptionsDialogSettings(const ExportArgs& a) {
  DialogSettings d;
  if (a.scale) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(*a.scale));
    d.edits[kScale] = text;
  }
  if (a.quality) d.edits[kQuality] = std::to_string(*a.quality);
  if (a.viewer) d.edits[kViewer] = *a.viewer;
  const std::pair<int, const std::optional<bool>*> checks[] = {
      {kHidden, &a.hidden}, {kSelectedOnly, &a.selectedOnly}, {kAnimation, &a.animation},
      {kTwoSided, &a.twoSided}, {kLod, &a.lod}, {kSkeletonLod, &a.skeletonLod}, {kPreview, &a.preview}};
  for (const auto& [id, value] : checks)
    if (*value) d.checks[id] = **value;
  d.pressId = 1;  // &Ok
  return d;
}

DialogSettings OverwriteDialogSettings(const ExportArgs& a) {
  DialogSettings d;
  d.pressId = a.lodDistances == "file" ? kUseOld : kUseScene;
  d.askOnTerminal = a.lodDistances.empty();
  d.question = "Keep the distances of the [f]ile or of the [s]cene? [s]";
  d.keys = {{'f', kUseOld}, {'s', kUseScene}};
  return d;
}

}  // namespace

void AddExportCommand(CLI::App& app, ExportArgs& a) {
  CLI::App* cmd = app.add_subcommand("export", "Export a scene to a TZ2 model file");
  cmd->add_option("scene", a.scene, "Scene file (.scene.json) or model file (.glb, .gltf, .fbx, .dae, .obj, .3ds, .x ...)")->required();
  cmd->add_option("-o,--output", a.output, "Output file (default: the scene's name with .tz2)");
  cmd->add_option_function<float>("--scale", [&a](float v) { a.scale = v; }, "Scale coefficient in percent");
  AddSwitch(cmd, "hidden", "no-hidden", a.hidden, "Export hidden objects");
  cmd->add_flag_callback("--selected-only", [&a] { a.selectedOnly = true; }, "Export selected objects only");
  cmd->add_flag_callback("--all", [&a] { a.selectedOnly = false; }, "Export all objects, not only the selected");
  AddSwitch(cmd, "animation", "no-animation", a.animation, "Export animation and parts");
  AddSwitch(cmd, "two-sided", "one-sided", a.twoSided, "Use two-sided lighting");
  AddSwitch(cmd, "lod", "no-lod", a.lod, "Generate levels of detail");
  AddSwitch(cmd, "skeleton-lod", "no-skeleton-lod", a.skeletonLod, "Generate skeleton levels of detail");
  cmd->add_option_function<int>("--quality", [&a](int v) { a.quality = v; }, "Animation quality 1..5");
  AddSwitch(cmd, "preview", "no-preview", a.preview, "Open the model in the viewer after the export");
  cmd->add_option_function<std::string>("--viewer", [&a](const std::string& v) { a.viewer = v; },
                                         "Path to the viewer program _TZ2View.exe");
  cmd->add_flag("--selected", a.hostSelected, "Pass the host's export-selected request");
  auto* yes = cmd->add_flag("--yes", a.yes, "Answer Yes to every question");
  cmd->add_flag("--no", a.no, "Answer No to every question")->excludes(yes);
  cmd->add_option("--lod-distances", a.lodDistances,
                  "When overwriting a file with other LOD distances: keep the 'file' ones or the 'scene' ones")
      ->check(CLI::IsMember({"file", "scene"}));
  cmd->add_flag("--trace", a.trace, "Print the exporter's trace lines");
  cmd->add_option("--save-scene", a.saveScene, "Save the scene after the export (stored options, output name)");
  AddImportOptions(cmd, a.import);
  cmd->footer(
      "Fields without a flag keep what the dialog loaded (the ini file beside the plug-in, then the\n"
      "scene's stored options). Without --yes or --no, questions are asked on a terminal and answered\n"
      "No otherwise. Message boxes are printed to standard error as 'caption: text'.\n\n"
      "Exit status: 0 written, 2 cannot create the file, 3 no valid objects, 4 no materials,\n"
      "5 too many groups (the file is written), 6 cancelled, 1 any other failure.");
}

int RunExportCommand(const ExportArgs& a) {
  HostSession session;
  if (!session.Start(a.trace)) return 1;
  std::string error;
  if (!LoadModelOrScene(a.scene, a.import, error)) {
    std::cerr << "tz2: " << error << "\n";
    return 1;
  }
  std::unique_ptr<SceneExport> exporter = ThePluginRegistry().CreateExporterForExtension("tz2");
  if (!exporter) {
    std::cerr << "tz2: no TZ2 exporter plug-in was loaded from " << session.Folders().plugins << "\n";
    return 1;
  }
  CliDriver driver;
  driver.interactive = isatty(STDIN_FILENO) && isatty(STDERR_FILENO);
  driver.questions = a.yes ? Answer::Yes : a.no ? Answer::No : Answer::Ask;
  driver.dialogs[kOptionsDialog] = OptionsDialogSettings(a);
  driver.dialogs[kOverwriteDialog] = OverwriteDialogSettings(a);
  ScopedInteractionDriver scoped(driver);

  const std::string output = a.output.empty() ? DefaultOutput(a.scene) : a.output;
  exporter->DoExport(output.c_str(), nullptr, GetCOREInterface(), FALSE, a.hostSelected ? SCENE_EXPORT_SELECTED : 0);
  const int result = session.LastExportResult();

  if (!a.saveScene.empty() && !SaveSceneFile(a.saveScene, &error)) {
    std::cerr << "tz2: " << error << "\n";
    return 1;
  }
  return ExitStatus(result);
}

}  // namespace tz2cli
