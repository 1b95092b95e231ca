// Materials of an imported file, every one in file order but an unnamed one that no mesh
// uses (Assimp's own default material): name, diffuse colour, two-sided, opacity and the
// diffuse map from the DIFFUSE texture or else the BASE_COLOR one. An embedded texture
// ("*N", or a path the file embeds) is named after the material, "<material>.<ext>", and
// written into the texture folder when one is given.
//
// The model file names materials, not textures, so every exported material needs a diffuse
// map: a material without a texture gets the map "<material>.png" (a name only, no file is
// written), and a used material without a name is named after the model file, with a
// warning for each.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "host/Mtl.h"
#include "import/ImportContext.h"

namespace tz2import {
namespace {

std::string SafeFileName(std::string name) {
  for (char& ch : name)
    if (ch == '/' || ch == '\\' || ch == ':' || ch == '*' || ch == '?' || ch == '"' || ch == '<' || ch == '>' || ch == '|')
      ch = '_';
  return name.empty() ? "texture" : name;
}

// Writes an embedded texture; a compressed one keeps its bytes, a raw one is not written.
void WriteEmbedded(ImportContext& c, const aiTexture* tex, const std::filesystem::path& file) {
  if (tex->mHeight != 0) {
    c.report->warnings.push_back(c.fileName + ": the uncompressed embedded texture " + file.filename().string() +
                                 " was not written");
    return;
  }
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(tex->pcData), static_cast<std::streamsize>(tex->mWidth));
  if (!out) c.report->warnings.push_back(c.fileName + ": cannot write the texture " + file.string());
}

std::string DiffuseMapFile(ImportContext& c, const aiMaterial* m, const std::string& materialName) {
  aiString path;
  if (m->GetTexture(aiTextureType_DIFFUSE, 0, &path) != AI_SUCCESS &&
      m->GetTexture(aiTextureType_BASE_COLOR, 0, &path) != AI_SUCCESS)
    return {};
  const aiTexture* embedded = c.scene->GetEmbeddedTexture(path.C_Str());
  if (embedded == nullptr) return path.C_Str();
  std::string ext = embedded->achFormatHint;
  if (embedded->mHeight != 0 || ext.empty()) ext = "png";
  const std::string name = SafeFileName(materialName) + "." + ext;
  if (c.options.textureDir.empty()) return name;
  const std::filesystem::path file = std::filesystem::path(c.options.textureDir) / name;
  WriteEmbedded(c, embedded, file);
  return file.string();
}

// The name of a material: its own, or for an unnamed one the model file's name (with the
// material's index when meshes use several unnamed materials).
std::string MaterialName(ImportContext& c, unsigned materialIndex) {
  const std::string own = c.scene->mMaterials[materialIndex]->GetName().C_Str();
  if (!own.empty()) return own;
  std::set<unsigned> unnamed;  // the unnamed materials that meshes use
  for (unsigned i = 0; i < c.scene->mNumMeshes; ++i) {
    const unsigned used = c.scene->mMeshes[i]->mMaterialIndex;
    if (used < c.scene->mNumMaterials && c.scene->mMaterials[used]->GetName().length == 0) unnamed.insert(used);
  }
  std::string name = std::filesystem::path(c.fileName).stem().string();
  if (unnamed.size() > 1) name += "_" + std::to_string(materialIndex);
  c.report->warnings.push_back(c.fileName + ": material " + std::to_string(materialIndex) + " has no name; it is named '" +
                               name + "'");
  return name;
}

}  // namespace

Mtl* MaterialFor(ImportContext& c, unsigned materialIndex) {
  if (materialIndex >= c.scene->mNumMaterials) return nullptr;
  if (auto it = c.materials.find(materialIndex); it != c.materials.end()) return it->second;
  const aiMaterial* m = c.scene->mMaterials[materialIndex];
  StdMat* mat = NewDefaultStdMat();
  const std::string utf8Name = MaterialName(c, materialIndex);
  mat->SetName(HostName(c, utf8Name, "material").c_str());
  aiColor4D diffuse;
  if (m->Get(AI_MATKEY_COLOR_DIFFUSE, diffuse) == AI_SUCCESS) mat->SetDiffuse(Color(diffuse.r, diffuse.g, diffuse.b), 0);
  int twoSided = 0;
  if (m->Get(AI_MATKEY_TWOSIDED, twoSided) == AI_SUCCESS) mat->SetTwoSided(twoSided != 0);
  float opacity = 1.0f;
  if (m->Get(AI_MATKEY_OPACITY, opacity) == AI_SUCCESS) mat->SetOpacity(opacity, 0);
  std::string map = DiffuseMapFile(c, m, utf8Name);
  if (map.empty()) {
    map = SafeFileName(utf8Name) + ".png";
    c.report->warnings.push_back(c.fileName + ": material '" + utf8Name + "' has no texture; its map is named '" + map +
                                 "'");
  }
  BitmapTex* tex = NewDefaultBitmapTex();
  tex->SetMapName(HostName(c, map, "texture path").c_str());
  mat->SetSubTexmap(ID_DI, tex);
  c.materials[materialIndex] = mat;
  return mat;
}

void ImportMaterials(ImportContext& c) {
  std::vector<bool> used(c.scene->mNumMaterials, false);
  for (unsigned i = 0; i < c.scene->mNumMeshes; ++i)
    if (c.scene->mMeshes[i]->mMaterialIndex < used.size()) used[c.scene->mMeshes[i]->mMaterialIndex] = true;
  for (unsigned i = 0; i < c.scene->mNumMaterials; ++i)
    if (used[i] || c.scene->mMaterials[i]->GetName().length > 0) MaterialFor(c, i);
}

}  // namespace tz2import
