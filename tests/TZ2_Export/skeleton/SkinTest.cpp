// Skin: the skin bones of Physique and plain meshes, raw weights, the deformable flag, the
// release of every Physique interface, and the host's rigid-deformation setting.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TZ2_Export/scene/Surfaces.h"
#include "TZ2_Export/shell/ExportDriver.h"
#include "TZ2_Export/skeleton/Skin.h"
#include "host/Physique.h"
#include "tests/TZ2_Export/scene/SceneFixture.h"

namespace tz2 {
namespace {

using Strings = std::vector<std::string>;

class SkinTest : public SceneFixture {
 protected:
  // A mesh of n vertices (triangles over them) with texture coordinates.
  static Mesh Vertices(int n) {
    Mesh m;
    for (int i = 0; i < n; ++i) m.verts.push_back(Point3(float(i), float(i * i % 7), 0));
    for (int i = 0; i + 2 < n; i += 3) {
      m.faces.emplace_back();
      m.faces.back().setVerts(DWORD(i), DWORD(i + 1), DWORD(i + 2));
    }
    return m;
  }
  static std::vector<std::pair<std::uint32_t, float>> Pairs(const std::vector<WeightPair>& w) {
    std::vector<std::pair<std::uint32_t, float>> out;
    for (const WeightPair& p : w) out.emplace_back(p.bone, p.weight);
    return out;
  }
};

TEST_F(SkinTest, PhysiqueBonesComeInTheOrderTheVerticesFirstNameThem) {
  INode* a = build::Dummy("A");
  INode* b = build::Dummy("B");
  INode* c = build::Dummy("C");
  INode* mesh = build::MeshNode("Body", Vertices(6));
  build::Skin(mesh, {build::Rigid(b), build::Rigid(a), build::Rigid(b), build::Blended({{c, 0.5f}, {a, 0.5f}}),
                     build::Rigid(c), build::Rigid(a)});
  ASSERT_NE(FindPhysique(mesh), nullptr);
  NodeList skin;
  ClearTraceLog();
  AddSkinBones(s, mesh, skin);
  EXPECT_EQ(Names(skin), (Strings{"B", "A", "C"}));
  EXPECT_EQ(TraceText(), " Got physique modifier Got physique export interface Got physique context export interfaceB\nA\nC\n");
  EXPECT_FALSE(s.deformableVerticesFound);
  EXPECT_EQ(PhysiqueOpenInterfaces().Total(), 0);
}

TEST_F(SkinTest, BlendedVertexNamingABoneTwiceSumsItsWeights) {
  INode* a = build::Dummy("A");
  INode* b = build::Dummy("B");
  INode* mesh = build::MeshNode("Body", Vertices(3));
  build::Skin(mesh, {build::Blended({{a, 0.25f}, {b, 0.5f}, {a, 0.25f}}), build::Rigid(b), build::Rigid(nullptr)});
  NodeList bones;
  bones.Append(b);
  bones.Append(a);
  EXPECT_EQ(Pairs(RawWeights(mesh, 0, bones)), (std::vector<std::pair<std::uint32_t, float>>{{1, 0.5f}, {0, 0.5f}}));
  EXPECT_EQ(Pairs(RawWeights(mesh, 1, bones)), (std::vector<std::pair<std::uint32_t, float>>{{0, 1.0f}}));
  EXPECT_TRUE(RawWeights(mesh, 2, bones).empty());   // a missing bone gives no weight
  EXPECT_TRUE(RawWeights(mesh, 99, bones).empty());  // nor does a vertex without interface
  EXPECT_EQ(PhysiqueOpenInterfaces().Total(), 0);
}

TEST_F(SkinTest, DeformableVerticesSetTheFlagAndMissingBonesAreTraced) {
  INode* a = build::Dummy("A");
  INode* mesh = build::MeshNode("Body", Vertices(3));
  build::Skin(mesh, {build::Deformable(a), build::Rigid(nullptr), build::Blended({{nullptr, 1.0f}})});
  NodeList skin;
  ClearTraceLog();
  AddSkinBones(s, mesh, skin);
  EXPECT_TRUE(s.deformableVerticesFound);
  EXPECT_EQ(Names(skin), (Strings{"A"}));
  EXPECT_NE(TraceText().find(" ERROR: ROOTBONE=NULL"), std::string::npos);
  EXPECT_NE(TraceText().find(" ERROR: BONE=NULL"), std::string::npos);
  // Deformable vertices are read as rigid ones.
  NodeList bones;
  bones.Append(a);
  EXPECT_EQ(Pairs(RawWeights(mesh, 0, bones)), (std::vector<std::pair<std::uint32_t, float>>{{0, 1.0f}}));
  EXPECT_EQ(PhysiqueOpenInterfaces().Total(), 0);
}

TEST_F(SkinTest, MeshWithoutPhysiqueIsItsOwnBone) {
  INode* top = build::MeshNode("Top", Vertices(3));
  INode* dummy = build::Dummy("Dummy");
  INode* linked = build::MeshNode("Linked", Vertices(3), dummy);
  NodeList skin;
  AddSkinBones(s, top, skin);
  EXPECT_EQ(Names(skin), (Strings{"Top"}));
  AddSkinBones(s, linked, skin);
  EXPECT_EQ(Names(skin), (Strings{"Top", "Linked", "Dummy"}));

  NodeList bones;
  bones.Append(dummy);
  bones.Append(linked);
  EXPECT_EQ(Pairs(RawWeights(linked, 1, bones)), (std::vector<std::pair<std::uint32_t, float>>{{1, 1.0f}}));
  NodeList parentOnly;
  parentOnly.Append(build::Dummy("Other"));
  parentOnly.Append(dummy);
  EXPECT_EQ(Pairs(RawWeights(linked, 0, parentOnly)), (std::vector<std::pair<std::uint32_t, float>>{{1, 1.0f}}));
  EXPECT_EQ(Pairs(RawWeights(top, 0, parentOnly)), (std::vector<std::pair<std::uint32_t, float>>{{0, 1.0f}}));
}

TEST_F(SkinTest, AddWeightSumsPerBoneAndAppendsNewBones) {
  std::vector<WeightPair> w;
  AddWeight(w, 3, 0.25f);
  AddWeight(w, 1, 0.5f);
  AddWeight(w, 3, 0.125f);
  EXPECT_EQ(Pairs(w), (std::vector<std::pair<std::uint32_t, float>>{{3, 0.375f}, {1, 0.5f}}));
}

TEST_F(SkinTest, FourBoneVertexKeepsThreeWeightsPackedRelativeToTheirSum) {
  std::vector<WeightPair> w{{7, 0.1f}, {4, 0.3f}, {5, 0.4f}, {6, 0.2f}};
  CleanUpWeights(w);
  EXPECT_EQ(Pairs(w), (std::vector<std::pair<std::uint32_t, float>>{{5, 0.4f}, {4, 0.3f}, {6, 0.2f}, {7, 0.1f}}));
  w.resize(3);  // the used-bone marking keeps the three heaviest
  std::uint32_t bones = 0;
  std::uint16_t packed = 0;
  PackBonesAndWeights(w, bones, packed);
  EXPECT_EQ(bones, 0x00060405u);
  const float sum = 0.4f + 0.3f + 0.2f;
  EXPECT_EQ(packed & 0xFF, int(0.3f / sum * 255.0f));
  EXPECT_EQ(packed >> 8, int(0.2f / sum * 255.0f));
  EXPECT_EQ(packed & 0xFF, 85);
  EXPECT_EQ(packed >> 8, 56);
}

// ---- The host's rigid-deformation setting ----

class RigidDeformationsTest : public SceneFixture {
 protected:
  std::string Ini() const { return TempDirPath() + "/plugcfg/physique.ini"; }
  std::string TempDirPath() const { return const_cast<RigidDeformationsTest*>(this)->TempDir(); }
  void InstallModule() {
    std::filesystem::create_directories(TempDirPath() + "/plugins");
    std::filesystem::create_directories(TempDirPath() + "/plugcfg");
    RegisterModule(TempDirPath() + "/plugins/TZ2_Export.dle");
  }
  std::string Value() const {
    char text[128];
    GetPrivateProfileStringA("BulgeEditorState", "USE_2.2_RIGID_DEFORMATIONS", "<missing>", text, sizeof text, Ini().c_str());
    return text;
  }
  void SetValue(const char* v) { WritePrivateProfileStringA("BulgeEditorState", "USE_2.2_RIGID_DEFORMATIONS", v, Ini().c_str()); }
};

TEST_F(RigidDeformationsTest, IniPathDropsTheModuleAndItsFolder) {
  EXPECT_EQ(PhysiqueIniPath("D:\\3dsmax6\\plugins\\TZ2_Export.dle"), "D:\\3dsmax6\\plugcfg\\physique.ini");
  EXPECT_EQ(PhysiqueIniPath("/opt/host/plugins/TZ2_Export.dle"), "/opt/host/plugcfg/physique.ini");
  EXPECT_EQ(PhysiqueIniPath("C:\\TZ2_Export.dle"), "");
  EXPECT_EQ(PhysiqueIniPath("TZ2_Export.dle"), "");
}

TEST_F(RigidDeformationsTest, MissingOrOtherValueIsWrittenOnceAndAskedForARestart) {
  EXPECT_FALSE(EnsureRigidDeformations());  // no module: nothing to find
  InstallModule();
  EXPECT_TRUE(EnsureRigidDeformations());
  EXPECT_EQ(Value(), "Yes");
  EXPECT_FALSE(EnsureRigidDeformations());
  SetValue("yES");
  EXPECT_FALSE(EnsureRigidDeformations());
  EXPECT_EQ(Value(), "yES");
  SetValue("No");
  EXPECT_TRUE(EnsureRigidDeformations());
  EXPECT_EQ(Value(), "Yes");
}

TEST_F(RigidDeformationsTest, UnwritableIniDoesNotBlockEveryExport) {
  InstallModule();
  std::filesystem::remove_all(TempDirPath() + "/plugcfg");
  std::ofstream(TempDirPath() + "/plugcfg") << "a file where the folder should be";
  EXPECT_FALSE(EnsureRigidDeformations());
}

TEST_F(RigidDeformationsTest, StagedHostShipsTheKeySet) {
  RegisterModule(std::string(TZ2_STAGE_DIR) + "/plugins/TZ2_Export.dle");
  EXPECT_FALSE(EnsureRigidDeformations());
  char text[16];
  GetPrivateProfileStringA("BulgeEditorState", "USE_2.2_RIGID_DEFORMATIONS", "", text, sizeof text,
                           (std::string(TZ2_STAGE_DIR) + "/plugcfg/physique.ini").c_str());
  EXPECT_STREQ(text, "Yes");
}

TEST_F(RigidDeformationsTest, ExportStopsWithTheRestartMessageWhenTheKeyIsNotSet) {
  InstallModule();
  SetValue("0");
  EXPECT_EQ(DoExport((TempDirPath() + "/out.tz2").c_str(), GetCOREInterface(), 0), -3);
  const auto boxes = MessageBoxRecords();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            "Плагин только что установил опцию \"USE_2.2_RIGID_DEFORMATIONS=Yes\",\nчтобы анимация в 3DS MAX больше "
            "соответсвовала тому, что будет в игре.\nПодробнее в документации \"TZ2 Файлы.doc\"\nПожалуйста "
            "перезагрузите 3DS MAX.");
  EXPECT_EQ(boxes[0].caption, "Warning");
  EXPECT_EQ(boxes[0].type, MB_OK);
  EXPECT_FALSE(std::filesystem::exists(TempDirPath() + "/out.tz2"));
  EXPECT_EQ(Value(), "Yes");
}

}  // namespace
}  // namespace tz2
