// What the import steps share: the Assimp scene, the options, the report, the host nodes made
// for Assimp nodes, and the conversions from Assimp values into host values (column-vector
// 4x4 matrices become row-vector Matrix3 with the import scale on the translation, so every
// product and inverse stays consistent with scaled vertices).
#pragma once

#include <assimp/scene.h>

#include <map>
#include <string>
#include <vector>

#include "host/INode.h"
#include "host/Matrix3.h"
#include "import/ModelImport.h"

class Mtl;

namespace tz2import {

enum class SourceFormat { Gltf, Fbx, X, Other };

// A mesh node whose Assimp meshes carry bones: skinned once every node exists.
struct PendingSkin {
  const aiNode* node = nullptr;
  INode* host = nullptr;
  std::vector<std::vector<unsigned>> remap;  // per mesh of the node: Assimp vertex -> host vertex
  int hostVertices = 0;
};

struct ImportContext {
  const aiScene* scene = nullptr;
  ImportOptions options;
  ImportReport* report = nullptr;
  SourceFormat format = SourceFormat::Other;
  std::string fileName;   // for messages
  std::string directory;  // the model's folder (for textures)
  Matrix3 top;            // applied under every top-level node (axis turn, collapsed root)
  const aiNode* collapsedRoot = nullptr;
  // Camera nodes whose camera does not look down its node's -Z with +Y up: the frame of the
  // host camera in the node's space (C), applied before the node's own matrix; the node's
  // children get its inverse, so their world matrices stay the file's.
  std::map<const aiNode*, Matrix3> cameraFrames;
  std::map<const aiNode*, INode*> nodes;
  std::map<std::string, INode*> nodesByName;  // first node of a name (Assimp spelling)
  std::map<unsigned, Mtl*> materials;         // host material per Assimp material index
  std::vector<PendingSkin> skins;
};

Matrix3 ToHost(const aiMatrix4x4& m, float scale);
Point3 ToHost(const aiVector3D& v) ;
// The node's world matrix in the host scene at rest (Assimp transforms, not animation).
Matrix3 RestWorld(const ImportContext& c, const aiNode* node);
// The node's parent-relative rest matrix in the host (top applied to top-level nodes).
Matrix3 RestLocal(const ImportContext& c, const aiNode* node);
// A parent-relative matrix of the file (rest or animated) as the host node's: scaled, the
// top applied to top-level nodes, the camera frames applied.
Matrix3 HostLocal(const ImportContext& c, const aiNode* node, const aiMatrix4x4& local);
bool IsTopLevel(const ImportContext& c, const aiNode* node);

// Text: UTF-8 to code page 1251 with '?' for other characters; warns once per text.
std::string HostName(ImportContext& c, const std::string& utf8, const char* what);
// The node's property text from the file's metadata ("" when none).
std::string PropertyText(ImportContext& c, const aiNode* node);

// Steps.
Mtl* MaterialFor(ImportContext& c, unsigned materialIndex);
// Every material of the file but an unnamed one no mesh uses.
void ImportMaterials(ImportContext& c);
// Builds the node's mesh object (and skin) from its Assimp meshes; false with error when the
// mesh is beyond the limits.
bool BuildMeshNode(ImportContext& c, const aiNode* node, INode* host, std::string& error);
void BuildSkins(ImportContext& c);
void ImportAnimation(ImportContext& c);

}  // namespace tz2import
