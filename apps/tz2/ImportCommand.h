// `tz2 import MODEL -o SCENE.scene.json`, and the import options that `tz2 export` takes
// too: a model file (glTF, FBX, Collada, OBJ, 3DS, X ...) is imported into the host's scene
// instead of loading a scene file.
#pragma once

#include <string>

#include "import/ModelImport.h"

namespace CLI {
class App;
}

namespace tz2cli {

// Adds --fps, --clip, --up, --import-scale and --textures to a command.
void AddImportOptions(CLI::App* cmd, tz2import::ImportOptions& options);
// Imports a model file or loads a scene file into the host, by the file's extension;
// warnings are printed to standard error.
bool LoadModelOrScene(const std::string& path, const tz2import::ImportOptions& options, std::string& error);

struct ImportArgs {
  std::string model;
  std::string output;
  tz2import::ImportOptions options;
};
void AddImportCommand(CLI::App& app, ImportArgs& args);
int RunImportCommand(const ImportArgs& args);

}  // namespace tz2cli
