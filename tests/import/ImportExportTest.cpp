// Imported models exported end to end: every shared model gives a file the reader accepts,
// and the file keeps what the source has (skeleton, animation, skin weights, levels).
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "TZ2_Export/format/Tz2Reader.h"
#include "TZ2_Export/geometry/LodMeshes.h"
#include "TZ2_Export/geometry/Mat4.h"
#include "TZ2_Export/shell/ExportDriver.h"
#include "TZ2_Export/shell/Module.h"
#include "host/Interface.h"
#include "host/Mtl.h"
#include "host/Object.h"
#include "host/Physique.h"
#include "host/Time.h"
#include "host/standalone/Scene.h"
#include "import/ModelImport.h"
#include "platform/MessageBox.h"
#include "platform/Modules.h"
#include "tests/import/ModelCopy.h"
#include "tests/support/HostFixture.h"

namespace {

const std::string kModels = TZ2_MODELS_DIR;

class ImportExportTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    tz2::SetModuleInstance(RegisterModule(TempDir() + "/plugins/TZ2_Export.dle"));
  }
  void TearDown() override {
    tz2::SetModuleInstance(nullptr);
    HostTest::TearDown();
  }

  void Import(const std::string& model, const tz2import::ImportOptions& options = {}) {
    std::string error;
    ASSERT_TRUE(tz2import::ImportModel(model, options, report, error)) << error;
  }

  // Exports the current scene with animation and both kinds of level of detail, and reads
  // the file back.
  void Export(int quality = 3) {
    tz2::ExportOptions o;
    o.Scale = 100;
    o.ExportAnimation = true;
    o.GenerateLOD = true;
    o.GenerateSkeletonLOD = true;
    o.AnimationQuality = quality;
    const std::string path = TempDir() + "/model.tz2";
    ASSERT_EQ(tz2::RunExport(&o, path.c_str(), GetCOREInterface()), tz2::Ok);
    std::string error;
    ASSERT_TRUE(tz2::ReadTz2File(path, file, error)) << error;
  }

  INode* Find(const std::string& name) {
    for (INode* n : TheScene().Nodes())
      if (name == n->GetName()) return n;
    return nullptr;
  }

  bool Warned(const char* text) {
    for (const MessageBoxRecord& box : MessageBoxRecords())
      if (box.text == text) return true;
    return false;
  }

  tz2import::ImportReport report;
  tz2::Tz2File file;
};

class EveryModelExports : public ImportExportTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(EveryModelExports, ToAFileTheReaderAccepts) {
  ASSERT_NO_FATAL_FAILURE(Import(kModels + "/" + GetParam()));
  ASSERT_NO_FATAL_FAILURE(Export());
  EXPECT_GE(file.header.meshLevelCount, 1);
  ASSERT_FALSE(file.meshes.batches.empty());
  for (const tz2::MeshBaseBatch& b : file.meshes.batches) {
    EXPECT_LE(b.header.paletteCount, 25);
    for (std::uint16_t i : b.indices) ASSERT_LT(i, b.vertices.size());
    for (const tz2::MeshVertex& v : b.vertices)
      for (float c : v.position) ASSERT_TRUE(std::isfinite(c));
  }
  // Every vertex lies within the header's bounds.
  for (const tz2::MeshBaseBatch& b : file.meshes.batches)
    for (const tz2::MeshVertex& v : b.vertices)
      for (int k = 0; k < 3; ++k) {
        EXPECT_GE(v.position[k], file.header.boundsMin[k] - 1e-3f);
        EXPECT_LE(v.position[k], file.header.boundsMax[k] + 1e-3f);
      }
}

INSTANTIATE_TEST_SUITE_P(SharedModels, EveryModelExports,
                         ::testing::Values("gltf/CesiumMan.glb", "gltf/simple_skin.gltf",
                                           "gltf/ClearCoatTest/ClearCoatTest.gltf", "x/BCN_Epileptic.X",
                                           "x/anim_test.x", "fbx/animation_with_skeleton.fbx",
                                           "fbx/cubes_with_mirroring_and_pivot.fbx", "fbx/3dsmax_box/box.FBX",
                                           "spider/spider.obj", "spider/spider.fbx"));

// A decoded sample as a matrix.
Mat4 SampleMatrix(const std::array<float, 4>& q, const std::array<float, 3>& t) {
  return QuatTransToMat4(Quat(q[0], q[1], q[2], q[3]), Point3(t[0], t[1], t[2]));
}

Mat4 FromFloats(const float (&m)[16]) {
  Mat4 out;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) out.m[r][c] = m[r * 4 + c];
  return out;
}

// The node's world matrix in the host at a frame, orthonormal and without scale.
Mat4 HostWorld(INode* node, int frame) {
  Matrix3 m = node->GetNodeTM(frame * GetTicksPerFrame());
  m.Orthogonalize();
  m.NoScale();
  return Mat4FromMatrix3(m);
}

float Distance(const Mat4& a, const Mat4& b, int row) {
  float d = 0;
  for (int c = 0; c < 3; ++c) d += (a.m[row][c] - b.m[row][c]) * (a.m[row][c] - b.m[row][c]);
  return std::sqrt(d);
}

// A bone's sampled matrix in model space: its world matrix with Y and Z exchanged, and, as
// that mirrors an unmirrored node, row 2 negated so that it is a rotation. The bind matrix
// is the one of the first frame.
Mat4 ModelWorld(INode* node, int frame) {
  Mat4 swap = Mat4Identity();
  swap.m[1][1] = swap.m[2][2] = 0;
  swap.m[1][2] = swap.m[2][1] = 1;
  Mat4 m = HostWorld(node, frame) * swap;
  const Point3 r0(m.m[0][0], m.m[0][1], m.m[0][2]), r1(m.m[1][0], m.m[1][1], m.m[1][2]);
  const Point3 r2(m.m[2][0], m.m[2][1], m.m[2][2]);
  if (((r0 ^ r1) % r2) < 0)
    for (int c = 0; c < 3; ++c) m.m[2][c] = -m.m[2][c];
  return m;
}

bool Near(const Mat4& a, const Mat4& b, float epsilon) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      if (std::fabs(a.m[r][c] - b.m[r][c]) > epsilon) return false;
  return true;
}

// The host node of every bone of the file. Names are cut to 19 bytes there, so the node is
// the one whose name begins with the bone's and whose first-frame world matrix is the bone's
// bind matrix.
std::vector<INode*> BoneNodes(const tz2::AnimationSection& animation) {
  std::vector<INode*> out;
  for (const tz2::AnimationBone& bone : animation.bones) {
    INode* match = nullptr;
    for (INode* n : TheScene().Nodes())
      if (std::string(n->GetName()).substr(0, 19) == bone.name &&
          Near(ModelWorld(n, 0), FromFloats(bone.bind), 1e-3f)) {
        EXPECT_EQ(match, nullptr) << "two nodes for bone " << bone.name;
        match = n;
      }
    EXPECT_NE(match, nullptr) << "no node for bone " << bone.name;
    out.push_back(match);
  }
  return out;
}

TEST_F(ImportExportTest, CesiumManKeepsItsSkinnedAnimation) {
  ASSERT_NO_FATAL_FAILURE(Import(kModels + "/gltf/CesiumMan.glb"));
  ASSERT_NO_FATAL_FAILURE(Export());
  EXPECT_EQ(file.header.meshLevelCount, 6);
  EXPECT_TRUE(file.header.frameCount == 60 || file.header.frameCount == 61) << file.header.frameCount;
  ASSERT_TRUE(file.animation.decoded);

  // Weights: the file's four per vertex are packed to three, with batches of each count.
  int mostWeights = 0;
  for (const tz2::MeshBaseBatch& b : file.meshes.batches) {
    mostWeights = std::max(mostWeights, b.skinClass / 2 + 1);
    EXPECT_LE(b.header.paletteCount, 25);
    EXPECT_GT(b.header.paletteCount, 0);
    for (const tz2::MeshVertex& v : b.vertices)
      for (int k = 0; k <= b.skinClass / 2; ++k) EXPECT_LT(v.bones[k], b.header.paletteCount);
  }
  EXPECT_EQ(mostWeights, 3);

  // The skeleton: the 19 skin bones, each bone's bind pose its node's first frame.
  const auto& bones = file.animation.bones;
  EXPECT_GE(bones.size(), 19u);
  const std::vector<INode*> nodes = BoneNodes(file.animation);
  ASSERT_FALSE(HasFailure());

  // Decoded animation against the source: the reader's samples rebuild each bone's world
  // matrix from the root down (W = K × bind × W_parent), which is the host node's at every
  // frame.
  float worstMove = 0, worstTurn = 0, mostMotion = 0;
  for (int f = 0; f < file.header.frameCount; ++f) {
    std::vector<Mat4> world(bones.size());
    for (size_t i = 0; i < bones.size(); ++i) {
      ASSERT_TRUE(bones[i].parent == 0xFF || bones[i].parent < i) << "parents come first";
      Mat4 w = SampleMatrix(bones[i].rotations[f], bones[i].translations[f]) * FromFloats(bones[i].bind);
      if (bones[i].parent != 0xFF) w = w * world[bones[i].parent];
      world[i] = w;
      const Mat4 source = ModelWorld(nodes[i], f);
      worstMove = std::max(worstMove, Distance(w, source, 3));
      for (int r = 0; r < 3; ++r) worstTurn = std::max(worstTurn, Distance(w, source, r));
      mostMotion = std::max(mostMotion, Distance(source, ModelWorld(nodes[i], 0), 3));
    }
  }
  // Position keys are kept within 1 mm of the path and rotations within a fraction of a
  // degree; down a chain of bones the errors add up, but stay far below the motion itself.
  EXPECT_LT(worstMove, 0.01f);
  EXPECT_LT(worstTurn, 0.01f);
  EXPECT_GT(mostMotion, 0.1f);  // the model really moves, so the comparison means something
}

// Whether b keeps its place relative to a over the frames: each axis within a dot product
// of 0.998 of its first-frame direction and the translation within 2 cm, a little looser than
// the export's own test for folding a still bone (0.999 and 1 cm), whose tolerances add up
// along a chain of folded bones.
bool RidesOn(INode* b, INode* a, int frames) {
  const Mat4 first = HostWorld(b, 0) * Mat4RigidInverse(HostWorld(a, 0));
  for (int f = 1; f < frames; ++f) {
    const Mat4 r = HostWorld(b, f) * Mat4RigidInverse(HostWorld(a, f));
    for (int row = 0; row < 3; ++row) {
      float dot = 0;
      for (int c = 0; c < 3; ++c) dot += r.m[row][c] * first.m[row][c];
      if (dot < 0.998f) return false;
    }
    if (Distance(r, first, 3) >= 0.02f) return false;
  }
  return true;
}

TEST_F(ImportExportTest, EpilepticKeepsTheSkeletonItsSkinNeeds) {
  // Three meshes share one skeleton of 54 bones. The export keeps each bone that moves
  // against its parent and folds the still ones (the face, fingers, toes in this clip) into
  // the bone they ride on.
  ASSERT_NO_FATAL_FAILURE(Import(kModels + "/x/BCN_Epileptic.X"));
  std::set<INode*> skinBones;
  for (INode* n : TheScene().Nodes())
    if (PhysiqueModifier* mod = FindPhysiqueModifier(n->GetObjectRef()))
      for (const SkinVertex& v : mod->vertices)
        for (const auto& [bone, w] : v.bones) skinBones.insert(bone);
  EXPECT_EQ(skinBones.size(), 54u);

  ASSERT_NO_FATAL_FAILURE(Export());
  ASSERT_TRUE(file.animation.decoded);
  const std::vector<INode*> nodes = BoneNodes(file.animation);
  ASSERT_FALSE(HasFailure());
  const int frames = file.header.frameCount;
  EXPECT_GT(frames, 90);  // 3.3 s at 30 frames per second
  const std::set<INode*> kept(nodes.begin(), nodes.end());
  for (size_t i = 0; i < nodes.size(); ++i) {
    EXPECT_TRUE(skinBones.count(nodes[i]) == 1 || file.animation.bones[i].parent == 0xFF) << nodes[i]->GetName();
    if (file.animation.bones[i].parent != 0xFF) {
      EXPECT_FALSE(RidesOn(nodes[i], nodes[file.animation.bones[i].parent], frames)) << nodes[i]->GetName();
    }
  }
  int folded = 0;
  for (INode* b : skinBones) {
    if (kept.count(b) != 0) continue;
    INode* anchor = b->GetParentNode();
    while (anchor != nullptr && kept.count(anchor) == 0) anchor = anchor->GetParentNode();
    ASSERT_NE(anchor, nullptr) << b->GetName();
    EXPECT_TRUE(RidesOn(b, anchor, frames)) << b->GetName() << " on " << anchor->GetName();
    ++folded;
  }
  EXPECT_GT(folded, 0);
  EXPECT_GT(nodes.size(), 10u);
}

TEST_F(ImportExportTest, LargeStaticModelKeepsTheBaseLevelWithTheWarning) {
  // 37k triangles: the first generated level already passes the file's index limit.
  ASSERT_NO_FATAL_FAILURE(Import(kModels + "/gltf/ClearCoatTest/ClearCoatTest.gltf"));
  ASSERT_NO_FATAL_FAILURE(Export());
  EXPECT_EQ(file.header.meshLevelCount, 1);
  size_t indices = 0;
  for (const tz2::MeshBaseBatch& b : file.meshes.batches) {
    indices += b.indices.size();
    EXPECT_TRUE(b.levels.empty());
  }
  EXPECT_GT(indices, 100000u);
  EXPECT_LE(indices, tz2::kMaxLevelIndices);
  EXPECT_TRUE(Warned(tz2::kLodLimitWarning));
}

TEST_F(ImportExportTest, SmallModelGetsEveryLevelWithoutTheWarning) {
  ASSERT_NO_FATAL_FAILURE(Import(kModels + "/gltf/CesiumMan.glb"));
  ASSERT_NO_FATAL_FAILURE(Export());
  EXPECT_EQ(file.header.meshLevelCount, 6);
  EXPECT_FALSE(Warned(tz2::kLodLimitWarning));
}

// World-space bounds of every mesh node, sorted, for the host scene and for Assimp's own
// reading of a file.
using Bounds = std::array<float, 6>;

void Grow(Bounds& b, float x, float y, float z) {
  const float p[3] = {x, y, z};
  for (int k = 0; k < 3; ++k) {
    b[k] = std::min(b[k], p[k]);
    b[k + 3] = std::max(b[k + 3], p[k]);
  }
}

std::vector<Bounds> HostMeshBounds() {
  std::vector<Bounds> out;
  for (INode* n : TheScene().Nodes()) {
    Object* base = n->GetObjectRef() != nullptr ? n->GetObjectRef()->FindBaseObject() : nullptr;
    auto* tri = dynamic_cast<TriObject*>(base);
    if (tri == nullptr) continue;
    const Matrix3 tm = n->GetObjectTM(0);
    Bounds b = {1e30f, 1e30f, 1e30f, -1e30f, -1e30f, -1e30f};
    for (const Point3& v : tri->GetMesh().verts) {
      const Point3 w = tm.PointTransform(v);
      Grow(b, w.x, w.y, w.z);
    }
    out.push_back(b);
  }
  std::sort(out.begin(), out.end());
  return out;
}

void AssimpBounds(const aiScene* s, const aiNode* n, const aiMatrix4x4& parent, std::vector<Bounds>& out) {
  const aiMatrix4x4 world = parent * n->mTransformation;
  if (n->mNumMeshes > 0) {
    Bounds b = {1e30f, 1e30f, 1e30f, -1e30f, -1e30f, -1e30f};
    for (unsigned m = 0; m < n->mNumMeshes; ++m) {
      const aiMesh* mesh = s->mMeshes[n->mMeshes[m]];
      for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
        const aiVector3D w = world * mesh->mVertices[v];
        Grow(b, w.x, w.y, w.z);
      }
    }
    out.push_back(b);
  }
  for (unsigned i = 0; i < n->mNumChildren; ++i) AssimpBounds(s, n->mChildren[i], world, out);
}

TEST_F(ImportExportTest, PivotsKeepTheirEffectWhenFolded) {
  // Read with its pivot helper nodes (Assimp's default), the file places its meshes where the
  // folded import does: the pivots' rotation and scaling live on in the node matrices.
  const std::string model = kModels + "/fbx/cubes_with_mirroring_and_pivot.fbx";
  Assimp::Importer importer;
  const aiScene* s = importer.ReadFile(model, aiProcess_Triangulate);
  ASSERT_NE(s, nullptr);
  std::vector<Bounds> expected;
  AssimpBounds(s, s->mRootNode, aiMatrix4x4(), expected);
  std::sort(expected.begin(), expected.end());

  tz2import::ImportOptions asIs;
  asIs.up = tz2import::UpAxis::Z;  // no turn, so both are in the file's own axes
  ASSERT_NO_FATAL_FAILURE(Import(model, asIs));
  const std::vector<Bounds> got = HostMeshBounds();
  ASSERT_EQ(got.size(), expected.size());
  for (size_t i = 0; i < got.size(); ++i)
    for (int k = 0; k < 6; ++k) EXPECT_NEAR(got[i][k], expected[i][k], 1e-3f) << "mesh " << i << " bound " << k;
  // The mirrored cube is exported like any other.
  ASSERT_NO_FATAL_FAILURE(Export());
}

TEST_F(ImportExportTest, CamerasLookWhereTheFileLooks) {
  // A host camera looks down its node's -Z with +Y up; the file's camera looks along its own
  // look-at and up vectors from its position (an FBX camera along +X). The camera node
  // carries the difference, and its children keep their places.
  const std::string model = kModels + "/fbx/animation_with_skeleton.fbx";
  Assimp::Importer importer;
  const aiScene* s = importer.ReadFile(model, 0);
  ASSERT_NE(s, nullptr);
  ASSERT_GT(s->mNumCameras, 0u);
  tz2import::ImportOptions asIs;
  asIs.up = tz2import::UpAxis::Z;
  asIs.clip = "none";
  ASSERT_NO_FATAL_FAILURE(Import(model, asIs));
  for (unsigned i = 0; i < s->mNumCameras; ++i) {
    const aiCamera* cam = s->mCameras[i];
    const aiNode* node = s->mRootNode->FindNode(cam->mName);
    ASSERT_NE(node, nullptr);
    aiMatrix4x4 world = node->mTransformation;
    for (const aiNode* p = node->mParent; p != nullptr; p = p->mParent) world = p->mTransformation * world;
    aiMatrix3x3 turn(world);
    const aiVector3D look = (turn * cam->mLookAt).Normalize();
    const aiVector3D at = world * cam->mPosition;
    INode* host = Find(cam->mName.C_Str());
    ASSERT_NE(host, nullptr);
    ASSERT_EQ(host->GetObjectRef()->SuperClassID(), CAMERA_CLASS_ID);
    const Matrix3 tm = host->GetNodeTM(0);
    const Point3 back = tm.GetRow(2).Normalize();
    EXPECT_NEAR(back.x, -look.x, 1e-4f);
    EXPECT_NEAR(back.y, -look.y, 1e-4f);
    EXPECT_NEAR(back.z, -look.z, 1e-4f);
    EXPECT_NEAR(tm.GetTrans().x, at.x, 1e-3f);
    EXPECT_NEAR(tm.GetTrans().y, at.y, 1e-3f);
    EXPECT_NEAR(tm.GetTrans().z, at.z, 1e-3f);
    for (unsigned k = 0; k < node->mNumChildren; ++k) {
      const aiMatrix4x4 childWorld = world * node->mChildren[k]->mTransformation;
      INode* child = Find(node->mChildren[k]->mName.C_Str());
      ASSERT_NE(child, nullptr);
      EXPECT_NEAR(child->GetNodeTM(0).GetTrans().x, childWorld.a4, 1e-3f);
      EXPECT_NEAR(child->GetNodeTM(0).GetTrans().y, childWorld.b4, 1e-3f);
      EXPECT_NEAR(child->GetNodeTM(0).GetTrans().z, childWorld.c4, 1e-3f);
    }
  }
}

TEST_F(ImportExportTest, GltfNodeExtrasBecomePropertyText) {
  const std::string copy = TempDir() + "/extras.gltf";
  std::string missing;
  ASSERT_TRUE(tz2test::CopyWithInsertions(
      kModels + "/gltf/simple_skin.gltf", copy,
      {{"\"translation\" : [ 0.0, 1.0, 0.0 ]",
        ", \"name\" : \"GR_Arm\", \"extras\" : { \"Mass\" : 2.5, \"Count\" : 3, \"Solid\" : true, "
        "\"Label\" : \"arm\", \"Nested\" : { \"a\" : 1 } }"}},
      missing))
      << missing;
  ASSERT_NO_FATAL_FAILURE(Import(copy));
  INode* arm = Find("GR_Arm");
  ASSERT_NE(arm, nullptr);
  std::string props;
  arm->GetUserPropBuffer(props);
  for (const char* line : {"Mass = 2.5", "Count = 3", "Solid = true", "Label = arm"})
    EXPECT_NE(props.find(line), std::string::npos) << line << " in " << props;
  EXPECT_EQ(props.find("Nested"), std::string::npos) << props;
  int count = 0;
  EXPECT_TRUE(arm->GetUserPropInt("Count", count));
  EXPECT_EQ(count, 3);
  float mass = 0;
  EXPECT_TRUE(arm->GetUserPropFloat("Mass", mass));
  EXPECT_FLOAT_EQ(mass, 2.5f);
}

TEST_F(ImportExportTest, EmbeddedTexturesAreWrittenWhereAsked) {
  // CesiumMan embeds a JPEG ("*0"); the FBX box embeds a PNG under its original path.
  for (const char* model : {"gltf/CesiumMan.glb", "fbx/3dsmax_box/box.FBX"}) {
    tz2import::ImportOptions options;
    options.textureDir = TempDir() + "/textures";
    ASSERT_NO_FATAL_FAILURE(Import(kModels + "/" + model, options));
    int maps = 0;
    for (const auto& m : TheScene().Materials()) {
      auto* std = dynamic_cast<StdMat*>(m.get());
      if (std == nullptr) continue;
      auto* tex = dynamic_cast<BitmapTex*>(std->GetSubTexmap(ID_DI));
      if (tex == nullptr) continue;
      const std::filesystem::path path = tex->GetMapName();
      EXPECT_EQ(path.parent_path(), std::filesystem::path(options.textureDir)) << model;
      ASSERT_TRUE(std::filesystem::exists(path)) << path;
      EXPECT_GT(std::filesystem::file_size(path), 100u);
      ++maps;
    }
    EXPECT_EQ(maps, 1) << model;
  }
  // Without a folder the map is only named after its material, and nothing is written.
  ASSERT_NO_FATAL_FAILURE(Import(kModels + "/gltf/CesiumMan.glb"));
  for (const auto& m : TheScene().Materials()) {
    auto* std = dynamic_cast<StdMat*>(m.get());
    auto* tex = std != nullptr ? dynamic_cast<BitmapTex*>(std->GetSubTexmap(ID_DI)) : nullptr;
    if (tex != nullptr) {
      EXPECT_EQ(std::filesystem::path(tex->GetMapName()).parent_path(), std::filesystem::path()) << tex->GetMapName();
    }
  }
}

}  // namespace
