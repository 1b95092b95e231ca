// Scene files: a full document loads with every part in place, load -> save -> load gives
// the same scene, malformed input is reported with the file, the JSON path and the reason
// and leaves the current scene alone, saving is atomic.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/INode.h"
#include "host/Interface.h"
#include "host/Mtl.h"
#include "host/Physique.h"
#include "host/Time.h"
#include "host/standalone/Scene.h"
#include "host/standalone/SceneFile.h"
#include "tests/support/HostFixture.h"
#include "tests/support/SceneBuilder.h"

namespace {

const char* kScene = R"({
  "format": "quarn-scene", "version": 1,
  "frameRate": 25,
  "animationRange": [0, 50],
  "properties": {
    "Scale":          {"type": "VT_R4",    "value": 100},
    "ExportHidden":   {"type": "VT_BOOL",  "value": true},
    "LODCount":       {"type": "VT_I4",    "value": 3},
    "OutputFileName": {"type": "VT_LPSTR", "value": "D:\\models\\танк.tz2"}
  },
  "materials": [
    {"id": "wood", "class": "standard", "name": "Wood ", "twoSided": true, "opacity": 0.75,
     "maps": {"1": {"class": "bitmap", "file": "textures/wood.tga", "filter": 2}}, "activeMap": 1,
     "showInViewport": true},
    {"id": "hull", "class": "multi", "name": "Hull", "slots": ["wood", null, "steel"]},
    {"id": "steel", "class": "other", "classId": [4660, 1], "name": "Steel"}
  ],
  "nodes": [
    {"id": "n1", "name": "Bip01", "parent": null, "object": {"type": "dummy", "box": [[-1,-1,-1],[1,1,1]]},
     "transform": {"keys": [{"frame": 0, "pos": [0, 0, 40]},
                            {"frame": 30, "pos": [0, 10, 40], "rot": [0, 0, 0.3826834, 0.9238795]}]}},
    {"id": "n3", "name": "Bip01 Корпус", "parent": "n1", "hidden": true,
     "transform": {"matrix": [1,0,0, 0,1,0, 0,0,1, 5,0,0]}},
    {"id": "n2", "name": "Body", "parent": null, "material": "hull", "selected": true,
     "userProps": "BoneImportance = 2\r\nMeshImportance = 1",
     "objectOffset": {"pos": [0, 0, 1]},
     "object": {"type": "mesh",
                "vertices": [[0,0,0],[10,0,0],[0,10,0]],
                "faces": [{"v": [0,1,2], "smoothing": 1, "material": 2, "edges": [true, false, true]}],
                "tverts": [[0,0,0],[1,0,0],[0,1,0]], "tvfaces": [[0,1,2]],
                "maps": {"2": {"verts": [[0.5,0.5,0]], "faces": [[0,0,0]]}}},
     "modifiers": [{"type": "physique",
                    "vertices": [{"rigid": "n1"}, {"deformable": null},
                                 {"blended": [["n1", 0.5], ["n3", 0.5]]}],
                    "bind": {"bones": {"n3": [1,0,0, 0,1,0, 0,0,1, 0,0,0]}}}]},
    {"id": "n4", "name": "tag_Camera", "object": {"type": "camera", "fovKeys": [{"frame": 0, "fov": 0.8}, {"frame": 10, "fov": 1.2}]},
     "controller": {"type": "link", "targets": [{"node": null, "frame": 0}, {"node": "n1", "frame": 10}]}},
    {"id": "n5", "name": "odd", "object": {"type": "other", "superClass": 16, "classId": [1, 2], "convertible": true}},
    {"id": "n6", "name": "spline", "object": {"type": "shape"}}
  ]
})";

class SceneFileTest : public HostTest {
 protected:
  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = TempDir() + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
};

TEST_F(SceneFileTest, AFullDocumentLoadsEveryPart) {
  std::string error;
  ASSERT_TRUE(LoadSceneFile(Write("a.scene.json", kScene), &error)) << error;
  Interface* ip = GetCOREInterface();
  EXPECT_EQ(GetFrameRate(), 25);
  EXPECT_EQ(ip->GetAnimRange().End(), 50 * 192);
  INode* bip = ip->GetINodeByName("Bip01");
  INode* hull = ip->GetINodeByName("Bip01 \xCA\xEE\xF0\xEF\xF3\xF1");  // code page 1251
  INode* body = ip->GetINodeByName("Body");
  ASSERT_TRUE(bip && hull && body);
  EXPECT_EQ(hull->GetParentNode(), bip);
  EXPECT_TRUE(hull->IsHidden());
  EXPECT_EQ(bip->GetNodeTM(15 * 192).GetTrans(), Point3(0, 5, 40));
  EXPECT_EQ(hull->GetNodeTM(0).GetTrans(), Point3(5, 0, 40));
  EXPECT_EQ(ip->GetSelNode(0), body);
  CStr value;
  EXPECT_TRUE(body->GetUserPropString("BoneImportance", value));
  EXPECT_EQ(value, "2");
  EXPECT_EQ(body->GetObjectTM(0).GetTrans(), Point3(0, 0, 1));

  Mtl* multi = body->GetMtl();
  ASSERT_NE(multi, nullptr);
  EXPECT_EQ(multi->ClassID(), Class_ID(MULTI_CLASS_ID, 0));
  ASSERT_EQ(multi->NumSubMtls(), 3);
  EXPECT_EQ(multi->GetSubMtl(1), nullptr);
  auto* wood = static_cast<StdMat*>(multi->GetSubMtl(0));
  EXPECT_STREQ(wood->GetName().data(), "Wood ");
  EXPECT_TRUE(wood->GetTwoSided());
  EXPECT_FLOAT_EQ(wood->GetXParency(), 0.25f);
  auto* tex = static_cast<BitmapTex*>(wood->GetSubTexmap(ID_DI));
  ASSERT_NE(tex, nullptr);
  EXPECT_STREQ(tex->GetMapName(), "textures/wood.tga");
  EXPECT_EQ(wood->GetActiveTexmap(), tex);
  EXPECT_TRUE(wood->TestMtlFlag(MTL_TEX_DISPLAY_ENABLED));
  EXPECT_EQ(multi->GetSubMtl(2)->ClassID(), Class_ID(4660, 1));

  const Mesh* mesh = GetObjectMesh(body->GetObjectRef()->FindBaseObject());
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->faces[0].getMatID(), 2);
  EXPECT_FALSE(mesh->faces[0].getEdgeVis(1));
  EXPECT_EQ(mesh->getNumMapVerts(2), 1);
  PhysiqueModifier* skin = FindPhysiqueModifier(body->GetObjectRef());
  ASSERT_NE(skin, nullptr);
  EXPECT_EQ(skin->vertices[0].bones[0].first, bip);
  EXPECT_EQ(skin->vertices[1].kind, SkinVertex::Deformable);
  EXPECT_EQ(skin->vertices[1].bones[0].first, nullptr);
  EXPECT_EQ(skin->vertices[2].bones[1].first, hull);
  EXPECT_EQ(skin->BoneBindTM(hull), Matrix3());

  INode* cam = ip->GetINodeByName("tag_Camera");
  EXPECT_FLOAT_EQ(static_cast<CameraObject*>(cam->GetObjectRef())->GetFOV(5 * 192), 1.0f);
  auto* link = static_cast<LinkControl*>(cam->GetTMController());
  ASSERT_EQ(link->GetNumTargets(), 2);
  EXPECT_EQ(link->GetNode(1), bip);

  PROPSPEC spec;
  spec.lpwstr = L"OutputFileName";
  const PROPVARIANT* v = ip->GetPropertyVariant(PROPSET_USERDEFINED, ip->FindProperty(PROPSET_USERDEFINED, &spec));
  ASSERT_NE(v, nullptr);
  EXPECT_STREQ(v->pszVal, "D:\\models\\\xF2\xE0\xED\xEA.tz2");
}

TEST_F(SceneFileTest, TheDocumentedExampleLoads) {
  // The example in docs/scene-format.md is what users copy from; it must stay a valid scene.
  std::ifstream in(std::string(TZ2_SOURCE_DIR) + "/docs/scene-format.md");
  std::stringstream text;
  text << in.rdbuf();
  const std::string doc = text.str();
  const size_t begin = doc.find("```json\n");
  ASSERT_NE(begin, std::string::npos);
  const size_t end = doc.find("```", begin + 8);
  ASSERT_NE(end, std::string::npos);
  std::string error;
  ASSERT_TRUE(build::LoadText(doc.substr(begin + 8, end - begin - 8), &error)) << error;
  INode* body = GetCOREInterface()->GetINodeByName("Body");
  ASSERT_NE(body, nullptr);
  EXPECT_NE(FindPhysiqueModifier(body->GetObjectRef()), nullptr);
  EXPECT_NE(GetCOREInterface()->GetINodeByName("Bip01 Spine"), nullptr);
}

TEST_F(SceneFileTest, LoadSaveLoadGivesTheSameScene) {
  std::string error;
  ASSERT_TRUE(LoadSceneFile(Write("a.scene.json", kScene), &error)) << error;
  // A plug-in's changes are saved too.
  INode* n = build::Dummy("\xCD\xEE\xE2\xFB\xE9", GetCOREInterface()->GetINodeByName("Body"));
  n->SetNodeTM(0, RotateZMatrix(0.3f) * TransMatrix(Point3(1, 2, 3)));
  const std::string first = TempDir() + "/first.scene.json";
  const std::string second = TempDir() + "/second.scene.json";
  ASSERT_TRUE(SaveSceneFile(first, &error)) << error;
  ASSERT_TRUE(LoadSceneFile(first, &error)) << error;
  ASSERT_TRUE(SaveSceneFile(second, &error)) << error;
  EXPECT_EQ(Read(first), Read(second));
  INode* reloaded = GetCOREInterface()->GetINodeByName("\xCD\xEE\xE2\xFB\xE9");
  ASSERT_NE(reloaded, nullptr);
  EXPECT_TRUE(reloaded->GetNodeTM(0).Equals(RotateZMatrix(0.3f) * TransMatrix(Point3(1, 2, 3)), 1e-5f));
  EXPECT_EQ(Read(first).find("\xCD"), std::string::npos);  // UTF-8 in the file
}

TEST_F(SceneFileTest, SavingReplacesTheFileWithoutLeavingATemporary) {
  build::Dummy("a");
  const std::string path = Write("s.scene.json", "old");
  std::string error;
  ASSERT_TRUE(SaveSceneFile(path, &error)) << error;
  EXPECT_NE(Read(path).find("\"a\""), std::string::npos);
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(TempDir())) files += e.is_regular_file();
  EXPECT_EQ(files, 1);
  EXPECT_FALSE(SaveSceneFile(TempDir() + "/missing/dir/x.scene.json", &error));
  EXPECT_NE(error.find("missing/dir/x.scene.json"), std::string::npos);
}

TEST_F(SceneFileTest, MalformedInputNamesFilePathAndReasonAndKeepsTheScene) {
  struct Case { const char* json; const char* path; const char* reason; } cases[] = {
      {R"({"nodes": [{"id": "a", "nmae": "x"}]})", "$.nodes[0].nmae", "unknown key \"nmae\""},
      {R"({"frameRate": "fast"})", "$.frameRate", "expected an integer"},
      {R"({"nodes": [{"id": "a", "parent": "b"}]})", "$.nodes[0].parent", "no node listed before"},
      {R"({"nodes": [{"id": "a", "material": "m"}]})", "$.nodes[0].material", "no material has the id"},
      {R"({"nodes": [{"id": "a", "object": {"type": "mesh", "vertices": [[0,0,0]], "faces": [{"v": [0,0,1]}]}}]})",
       "$.nodes[0].object.faces[0].v[2]", "out of range"},
      {R"({"nodes": [{"id": "a", "transform": {"pos": [0, 1e999, 0]}}]})", "$.nodes[0].transform.pos[1]", "number overflow"},
      {R"({"nodes": [{"id": "a", "transform": {"pos": [0, 1e39, 0]}}]})", "$.nodes[0].transform.pos[1]", "32-bit float"},
      {R"({"nodes": [{"id": "a", "name": "日本"}]})", "$.nodes[0].name", "code page 1251"},
      {R"({"nodes": [{"id": "a"}, {"id": "a"}]})", "$.nodes[1].id", "duplicate node id"},
      {R"({"nodes": [{"id": "a", "object": {"type": "mesh", "vertices": [[0,0,0]]},
           "modifiers": [{"type": "physique", "vertices": [{"rigid": "zz"}]}]}]})",
       "$.nodes[0].modifiers[0].vertices[0].rigid", "no node has the id \"zz\""},
      {R"({"nodes": [{"id": "a", "object": {"type": "mesh", "vertices": [[0,0,0]]},
           "modifiers": [{"type": "physique", "vertices": []}]}]})",
       "$.nodes[0].modifiers[0].vertices", "one entry per mesh vertex"},
      {R"({"materials": [{"id": "m", "class": "multi", "slots": ["m"]}]})", "$.materials[0].slots", "contains itself"},
      {R"({"properties": {"X": {"type": "VT_R8", "value": 1}}})", "$.properties.X.type", "unknown property type"},
      {R"({"nodes": [{"id": "a", "transform": {"keys": [{"frame": 5}, {"frame": 5}]}}]})",
       "$.nodes[0].transform.keys[1].frame", "increasing frame order"},
      {R"({"nodes": [)", "$.nodes[0]", "not valid JSON"},
      {R"({"nodes": [{"id": "a"}, {"id": "b",}]})", "$.nodes[1].id", "not valid JSON"},
  };
  build::Dummy("keep me");
  for (const Case& c : cases) {
    std::string error;
    const std::string path = Write("bad.scene.json", c.json);
    EXPECT_FALSE(LoadSceneFile(path, &error)) << c.json;
    EXPECT_EQ(error.rfind(path + ": " + c.path + ": ", 0), 0u) << error;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    EXPECT_NE(GetCOREInterface()->GetINodeByName("keep me"), nullptr) << c.json;
  }
  std::string error;
  EXPECT_FALSE(LoadSceneFile(TempDir() + "/none.scene.json", &error));
  EXPECT_NE(error.find("none.scene.json"), std::string::npos);
}

}  // namespace
