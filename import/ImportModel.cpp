// ImportModel: checks the file, reads it with Assimp, and builds a new host scene: nodes in
// file order (the root Assimp adds collapsed into the scene root, the axis turn under the
// top-level nodes), meshes, skins, cameras, property text and the chosen clip; the new scene
// becomes current only when everything was read.
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/Object.h"
#include "host/Time.h"
#include "host/standalone/Scene.h"
#include "import/ImportContext.h"

namespace tz2import {
namespace {

constexpr const char* kModelExtensions[] = {".glb", ".gltf", ".fbx", ".dae", ".obj", ".3ds", ".x",
                                            ".blend", ".ply", ".stl", ".off", ".ms3d", ".lwo", ".ase", ".md5mesh"};

std::string LowerExtension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  for (char& ch : ext) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return ext;
}

SourceFormat FormatOf(const std::string& ext) {
  if (ext == ".glb" || ext == ".gltf") return SourceFormat::Gltf;
  if (ext == ".fbx") return SourceFormat::Fbx;
  if (ext == ".x") return SourceFormat::X;
  return SourceFormat::Other;
}

// Counts a text header declares, checked against the file size before Assimp allocates for
// them: an OFF file needs at least 6 bytes per vertex and per face it claims.
bool DeclaredCountsFit(const std::string& path, const std::string& ext, std::string& reason) {
  if (ext != ".off") return true;
  std::ifstream in(path);
  std::string magic;
  double vertices = 0, faces = 0;
  in >> magic >> vertices >> faces;
  const double size = static_cast<double>(std::filesystem::file_size(path));
  if (!in || vertices < 0 || faces < 0 || (vertices + faces) * 6.0 > size) {
    std::ostringstream text;
    text << "the file claims " << vertices << " vertices and " << faces << " faces, more than its "
         << static_cast<long long>(size) << " bytes can hold";
    reason = text.str();
    return false;
  }
  return true;
}

bool IsAddedRoot(const aiNode* n) {
  const std::string name = n->mName.C_Str();
  return n->mNumMeshes == 0 &&
         (name == "RootNode" || name == "$dummy_root" || name == "<3DSRoot>" || name == "ROOT");
}

bool IsYUp(const ImportContext& c, const std::string& ext) {
  if (c.options.up != UpAxis::Auto) return c.options.up == UpAxis::Y;
  if (c.format == SourceFormat::Fbx) {
    int up = 1;
    if (c.scene->mMetaData != nullptr) c.scene->mMetaData->Get("UpAxis", up);
    return up == 1;
  }
  return ext != ".3ds";
}

// The node's object: a camera, a mesh, or a dummy.
bool BuildObject(ImportContext& c, const aiNode* n, INode* host, std::string& error) {
  for (unsigned i = 0; i < c.scene->mNumCameras; ++i) {
    const aiCamera* cam = c.scene->mCameras[i];
    if (cam->mName == n->mName) {
      auto* obj = new GenCamera();
      obj->SetFOV(0, 2.0f * cam->mHorizontalFOV);
      host->SetObjectRef(obj);
      return true;
    }
  }
  if (n->mNumMeshes > 0) return BuildMeshNode(c, n, host, error);
  host->SetObjectRef(new DummyObject());
  return true;
}

// A host camera looks down its local -Z with +Y up. A file camera looks from its position
// along its look-at direction with its up vector, in its node's space; where that differs,
// the node carries the difference (the camera's frame in the node's space).
void FindCameraFrames(ImportContext& c) {
  for (unsigned i = 0; i < c.scene->mNumCameras; ++i) {
    const aiCamera* cam = c.scene->mCameras[i];
    const aiNode* node = c.scene->mRootNode->FindNode(cam->mName);
    if (node == nullptr || node == c.collapsedRoot) continue;
    Point3 forward = ToHost(cam->mLookAt).Normalize();
    if (forward == Point3()) forward = Point3(0, 0, -1);
    const auto across = [&](const Point3& v) { return (v - forward * (v % forward)).Normalize(); };
    Point3 up = across(ToHost(cam->mUp));
    if (up == Point3()) up = across(std::fabs(forward.y) < 0.9f ? Point3(0, 1, 0) : Point3(1, 0, 0));
    const Point3 right = forward ^ up;
    const Point3 position = ToHost(cam->mPosition) * c.options.scale;
    const Matrix3 frame(right, up, -forward, position);
    if (!frame.Equals(Matrix3(), 1e-6f)) c.cameraFrames[node] = frame;
  }
}

bool BuildNodes(ImportContext& c, const aiNode* n, INode* parent, std::string& error) {
  INode* host = parent;
  if (n != c.collapsedRoot) {
    host = TheScene().CreateNode(HostName(c, n->mName.C_Str(), "node"), parent);
    c.nodes[n] = host;
    c.nodesByName.emplace(n->mName.C_Str(), host);
    host->GetTMController()->Keys().SetKeys({TransformKey::FromMatrix(0, RestLocal(c, n))});
    const std::string props = PropertyText(c, n);
    if (!props.empty()) host->SetUserPropBuffer(props.c_str());
    if (!BuildObject(c, n, host, error)) return false;
  }
  for (unsigned i = 0; i < n->mNumChildren; ++i)
    if (!BuildNodes(c, n->mChildren[i], host, error)) return false;
  return true;
}

}  // namespace

Matrix3 ToHost(const aiMatrix4x4& m, float scale) {
  return Matrix3(Point3(m.a1, m.b1, m.c1), Point3(m.a2, m.b2, m.c2), Point3(m.a3, m.b3, m.c3),
                 Point3(m.a4 * scale, m.b4 * scale, m.c4 * scale));
}

Point3 ToHost(const aiVector3D& v) { return Point3(v.x, v.y, v.z); }

bool IsTopLevel(const ImportContext& c, const aiNode* node) {
  return node == c.scene->mRootNode || node->mParent == c.collapsedRoot;
}

Matrix3 HostLocal(const ImportContext& c, const aiNode* node, const aiMatrix4x4& local) {
  Matrix3 m = ToHost(local, c.options.scale);
  if (IsTopLevel(c, node)) m = m * c.top;
  if (auto it = c.cameraFrames.find(node); it != c.cameraFrames.end()) m = it->second * m;
  if (auto it = c.cameraFrames.find(node->mParent); it != c.cameraFrames.end()) m = m * Inverse(it->second);
  return m;
}

Matrix3 RestLocal(const ImportContext& c, const aiNode* node) { return HostLocal(c, node, node->mTransformation); }

Matrix3 RestWorld(const ImportContext& c, const aiNode* node) {
  Matrix3 world = RestLocal(c, node);
  for (const aiNode* p = node->mParent; p != nullptr && p != c.collapsedRoot; p = p->mParent)
    world = world * RestLocal(c, p);
  return world;
}

bool IsModelFile(const std::string& path) {
  const std::string ext = LowerExtension(path);
  for (const char* e : kModelExtensions)
    if (ext == e) return true;
  return false;
}

bool ImportModel(const std::string& path, const ImportOptions& options, ImportReport& report, std::string& error) {
  ImportContext c;
  c.options = options;
  c.report = &report;
  c.fileName = path;
  c.directory = std::filesystem::path(path).parent_path().string();
  const std::string ext = LowerExtension(path);
  c.format = FormatOf(ext);
  const auto fail = [&](const std::string& reason) {
    error = path + ": " + reason;
    return false;
  };
  if (options.fps <= 0 || 4800 % options.fps != 0) return fail("the frame rate must divide 4800");
  if (!(options.scale > 0.0f) || !std::isfinite(options.scale)) return fail("the import scale must be above 0");
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec) || !std::ifstream(path, std::ios::binary))
    return fail("cannot open the file");

  Assimp::Importer importer;
  if (!importer.IsExtensionSupported(ext)) return fail("unsupported file type '" + ext + "'");
  std::string reason;
  if (!DeclaredCountsFit(path, ext, reason)) return fail(reason);
  importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_PRESERVE_PIVOTS, false);
  importer.SetPropertyInteger(AI_CONFIG_PP_SBP_REMOVE, aiPrimitiveType_POINT | aiPrimitiveType_LINE);
  c.scene = importer.ReadFile(path, aiProcess_Triangulate | aiProcess_JoinIdenticalVertices | aiProcess_LimitBoneWeights |
                                        aiProcess_GenSmoothNormals | aiProcess_ValidateDataStructure | aiProcess_SortByPType);
  if (c.scene == nullptr) return fail(importer.GetErrorString());
  if ((c.scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) || c.scene->mRootNode == nullptr)
    return fail("the file holds no complete scene");

  Matrix3 axis;
  if (IsYUp(c, ext)) axis = Matrix3(Point3(1, 0, 0), Point3(0, 0, 1), Point3(0, -1, 0), Point3());
  const aiNode* root = c.scene->mRootNode;
  if (IsAddedRoot(root)) {
    c.collapsedRoot = root;
    c.top = ToHost(root->mTransformation, options.scale) * axis;
  } else {
    c.top = axis;
  }

  // Built in a scene of its own, made current while building (the host's New* calls add to
  // the current scene); when anything fails the previous scene is put back.
  auto scene = std::make_unique<Scene>();
  scene->SetFrameRate(options.fps);
  std::unique_ptr<Scene> previous = ExchangeCurrentScene(std::move(scene));
  ImportMaterials(c);
  FindCameraFrames(c);
  if (!BuildNodes(c, root, nullptr, error)) {
    SetCurrentScene(std::move(previous));
    return false;
  }
  BuildSkins(c);
  ImportAnimation(c);
  if (c.scene->mNumAnimations == 0) TheScene().SetAnimRangeFrames(0, 0);
  TheScene().SetSaveRequired(false);
  return true;
}

}  // namespace tz2import
