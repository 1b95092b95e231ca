// tz2 import and the import options.
#include "apps/tz2/ImportCommand.h"

#include <CLI/CLI.hpp>
#include <iostream>

#include "apps/tz2/HostSession.h"
#include "host/standalone/SceneFile.h"

namespace tz2cli {

void AddImportOptions(CLI::App* cmd, tz2import::ImportOptions& o) {
  cmd->add_option("--fps", o.fps, "Frame rate of the imported scene (default 30)")->check(CLI::Range(1, 4800));
  cmd->add_option("--clip", o.clip, "Animation clip to import, by name or index (default: the first)");
  cmd->add_option_function<std::string>(
         "--up",
         [&o](const std::string& v) {
           o.up = v == "y" ? tz2import::UpAxis::Y : v == "z" ? tz2import::UpAxis::Z : tz2import::UpAxis::Auto;
         },
         "Up axis of the file: y, z or auto (default)")
      ->check(CLI::IsMember({"y", "z", "auto"}));
  cmd->add_option("--import-scale", o.scale, "Scale applied to the imported positions (default 1)");
  cmd->add_option("--textures", o.textureDir, "Folder to write embedded textures to");
}

bool LoadModelOrScene(const std::string& path, const tz2import::ImportOptions& options, std::string& error) {
  if (!tz2import::IsModelFile(path)) return LoadSceneFile(path, &error);
  tz2import::ImportReport report;
  const bool ok = tz2import::ImportModel(path, options, report, error);
  for (const std::string& warning : report.warnings) std::cerr << "tz2: " << warning << "\n";
  if (ok && report.clips.size() > 1) {
    std::cerr << "tz2: clips in " << path << ":";
    for (std::size_t i = 0; i < report.clips.size(); ++i)
      std::cerr << (static_cast<int>(i) == report.clipIndex ? " [" : " ") << i << " " << report.clips[i]
                << (static_cast<int>(i) == report.clipIndex ? "]" : "");
    std::cerr << "\n";
  }
  return ok;
}

void AddImportCommand(CLI::App& app, ImportArgs& a) {
  CLI::App* cmd = app.add_subcommand("import", "Import a model file into a scene file");
  cmd->add_option("model", a.model, "Model file (.glb, .gltf, .fbx, .dae, .obj, .3ds, .x ...)")->required();
  cmd->add_option("-o,--output", a.output, "Scene file to write (.scene.json)")->required();
  AddImportOptions(cmd, a.options);
}

int RunImportCommand(const ImportArgs& a) {
  if (!tz2import::IsModelFile(a.model)) {
    std::cerr << "tz2: " << a.model << ": not a model file the importer reads\n";
    return 1;
  }
  std::string error;
  if (!LoadModelOrScene(a.model, a.options, error) || !SaveSceneFile(a.output, &error)) {
    std::cerr << "tz2: " << error << "\n";
    return 1;
  }
  return 0;
}

}  // namespace tz2cli
