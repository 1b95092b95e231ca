// Model import: reads a file Assimp can load (glTF, FBX, Collada, OBJ, 3DS, X ...) into a new
// standalone-host scene and makes it the current scene. The scene is Z-up: Y-up files are
// turned +90 degrees about X at the top; the root node Assimp adds becomes the scene root.
// Nodes keep their names (code page 1251, other characters '?'), meshes of a node are merged
// into one mesh with a Multi/Sub-Object material, skins become Physique blended vertices, the
// chosen animation clip is resampled onto whole frames, cameras keep their field of view
// and look where the file's cameras look (the camera node carries the difference).
// Every exported material needs a diffuse map: an untextured material gets a map named
// after it, an unnamed one the file's name, an unmapped mesh a planar mapping (warnings).
// On failure error is "<file>: <reason>" and the current scene is left as it was.
#pragma once

#include <string>
#include <vector>

namespace tz2import {

enum class UpAxis { Auto, Y, Z };

struct ImportOptions {
  int fps = 30;
  std::string clip;        // name or index; empty: the first clip; "none": no animation
  UpAxis up = UpAxis::Auto;
  float scale = 1.0f;      // applied to every position
  std::string textureDir;  // where embedded textures are written; empty: not written
};

struct ImportReport {
  std::vector<std::string> warnings;
  std::vector<std::string> clips;  // every clip of the file, in order
  int clipIndex = -1;              // the clip imported (-1: none)
};

// True for the file extensions the importer handles (lower or upper case).
bool IsModelFile(const std::string& path);
bool ImportModel(const std::string& path, const ImportOptions& options, ImportReport& report, std::string& error);

}  // namespace tz2import
