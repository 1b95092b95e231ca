// Surfaces: sub-material selection, winding, welding, degenerate faces, weights, the detail
// pool and the bounding box, over meshes built in the standalone host.
#include <gtest/gtest.h>

#include "TZ2_Export/scene/NodeClassification.h"
#include "TZ2_Export/scene/Surfaces.h"
#include "host/standalone/Scene.h"
#include "tests/TZ2_Export/scene/SceneFixture.h"

namespace tz2 {
namespace {

using Strings = std::vector<std::string>;

// A mesh of separate triangles, one per entry: corners (x, 0, 0), (x + 10, 0, 0), (x, 10, 0)
// with material IDs as given; texture coordinates per corner.
Mesh Strip(std::initializer_list<MtlID> ids) {
  Mesh m;
  int i = 0;
  for (MtlID id : ids) {
    const float x = 20.0f * float(i);
    for (const Point3& p : {Point3(x, 0, 0), Point3(x + 10, 0, 0), Point3(x, 10, 0)}) {
      m.verts.push_back(p);
      m.tVerts.push_back(UVVert(p.x / 100, p.y / 100, 0));
    }
    m.faces.emplace_back();
    m.faces.back().setVerts(DWORD(3 * i), DWORD(3 * i + 1), DWORD(3 * i + 2));
    m.faces.back().setMatID(id);
    m.faces.back().smGroup = 1;
    m.tvFace.emplace_back();
    m.tvFace.back().setTVerts(DWORD(3 * i), DWORD(3 * i + 1), DWORD(3 * i + 2));
    ++i;
  }
  return m;
}

class SurfacesTest : public SceneFixture {
 protected:
  // The export's steps up to the surfaces.
  void Build() {
    GatherScene(s);
    CollectMaterials(s);
    s.boneList.Release();
    BoneWalkWithMeshes();
    BuildSurfaces(s, header);
  }
  // Every mesh node is its own bone, so weights name bone list positions.
  void BoneWalkWithMeshes() {
    for (const NodeEntry& e : s.meshList.Entries()) s.boneList.AppendUnique(e.node);
  }
  std::vector<std::uint32_t> Faces(const Surface& surface) const {
    std::vector<std::uint32_t> faces;
    for (const SurfaceTriangle& t : surface.triangles) faces.push_back(t.faceIndex);
    return faces;
  }
  ModelHeader header;
};

TEST_F(SurfacesTest, MultiMaterialIdsWrapModuloTheSubMaterialCount) {
  StdMat* a = build::Material("A", "a.tga");
  StdMat* b = build::Material("B", "b.tga");
  StdMat* c = build::Material("C", "c.tga");
  INode* node = build::MeshNode("Body", Strip({0, 1, 2, 3, 4, 5}));
  node->SetMtl(build::Multi("Multi", {a, b, c}));
  Build();
  ASSERT_EQ(s.surfaceList.size(), 3u);
  const Mtl* expected[3] = {a, b, c};
  for (std::uint32_t k = 0; k < 3; ++k) {
    EXPECT_EQ(s.surfaceList[k].material, expected[k]);
    EXPECT_EQ(s.surfaceList[k].subMaterialId, k);
    EXPECT_EQ(s.surfaceList[k].materialIndex, k);
    EXPECT_EQ(Faces(s.surfaceList[k]), (std::vector<std::uint32_t>{k, k + 3}));
  }
  EXPECT_EQ(s.meshList[0].value, 3u);
  EXPECT_EQ(s.meshList[0].owned, (std::vector<std::uint32_t>{0, 1, 2}));
}

TEST_F(SurfacesTest, LeafMaterialTakesEveryVisibleFaceAndNestedIdsKeepTheInnerIndex) {
  Mesh m = Strip({7, 1, 2});
  m.faces[1].SetHide(true);
  TexturedMesh("Plain", nullptr, m);
  StdMat* x = build::Material("X", "x.tga");
  StdMat* y = build::Material("Y", "y.tga");
  INode* nested = build::MeshNode("Nested", Strip({0, 1}));
  nested->SetMtl(build::Multi("Outer", {build::Multi("Inner", {x, y}), build::Material("NoMap")}));
  Build();
  ASSERT_EQ(s.surfaceList.size(), 3u);
  EXPECT_EQ(Faces(s.surfaceList[0]), (std::vector<std::uint32_t>{0, 2}));  // ID ignored, hidden face left out
  // Inner sub-materials get IDs 0 and 1; "NoMap" is not collected ("Unable to find material").
  EXPECT_EQ(s.surfaceList[1].material, x);
  EXPECT_EQ(s.surfaceList[1].subMaterialId, 0u);
  EXPECT_EQ(s.surfaceList[2].subMaterialId, 1u);
  EXPECT_EQ(Faces(s.surfaceList[1]), (std::vector<std::uint32_t>{0}));
  EXPECT_EQ(Faces(s.surfaceList[2]), (std::vector<std::uint32_t>{1}));
}

TEST_F(SurfacesTest, MirroredMeshWindsItsCornersBackwards) {
  for (bool mirrored : {false, true}) {
    ResetScene();
    Restart();
    INode* node = TexturedMesh("Body", nullptr, Strip({0}));
    build::Place(node, Point3(5, 0, 0), Quat(), Point3(mirrored ? -1.0f : 1.0f, 1, 1));
    Build();
    ASSERT_EQ(s.surfaceList.size(), 1u);
    ASSERT_EQ(s.surfaceList[0].triangles.size(), 1u);
    const Surface& surface = s.surfaceList[0];
    const SurfaceTriangle& t = surface.triangles[0];
    const int order[3] = {0, mirrored ? 2 : 1, mirrored ? 1 : 2};
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(surface.vertices[t.corners[k]].meshVertex, std::uint32_t(order[k])) << mirrored;
      EXPECT_EQ(t.objectPositions[k], Strip({0}).verts[std::size_t(order[k])]);
    }
    // Positions are in world space at the first frame.
    EXPECT_TRUE(Near(surface.vertices[t.corners[0]].position, Point3(5, 0, 0)));
    EXPECT_TRUE(Near(surface.vertices[t.corners[order[1]]].position, Point3(mirrored ? -5.0f : 15.0f, 0, 0)));
  }
}

// Faces (0, 1, 2) and (0, 3, 1) share vertices 0 and 1 and their texture vertices; without
// smoothing groups each corner has its face's normal, which differ by `tilt` in y.
Mesh Hinge(float tilt) {
  Mesh m;
  m.verts = {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}, {0, -10, tilt * 10}};
  m.tVerts = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0.5f, 0}};
  m.faces.resize(2);
  m.faces[0].setVerts(0, 1, 2);
  m.faces[1].setVerts(0, 3, 1);
  m.tvFace.resize(2);
  m.tvFace[0].setTVerts(0, 1, 2);
  m.tvFace[1].setTVerts(0, 3, 1);
  return m;
}

TEST_F(SurfacesTest, CornersWeldWhenTheirNormalsDifferByAtMostAThousandth) {
  const struct {
    float tilt;
    std::size_t vertices;
  } cases[] = {{0.0005f, 4}, {0.002f, 6}};
  for (const auto& c : cases) {
    ResetScene();
    Restart();
    TexturedMesh("Body", nullptr, Hinge(c.tilt));
    Build();
    ASSERT_EQ(s.surfaceList.size(), 1u);
    EXPECT_EQ(s.surfaceList[0].vertices.size(), c.vertices) << c.tilt;
    const SurfaceTriangle& second = s.surfaceList[0].triangles[1];
    EXPECT_EQ(second.corners[0] == 0, c.vertices == 4) << c.tilt;
  }
}

TEST_F(SurfacesTest, DegenerateFacesAreDroppedByAScaledLimit) {
  const struct {
    float scale;
    float edge;
    bool kept;
  } cases[] = {{100, 0.0009f, false}, {100, 0.0011f, true}, {50, 0.0011f, false}, {50, 0.0013f, false}, {50, 0.0015f, true}};
  for (const auto& c : cases) {
    ResetScene();
    options.Scale = c.scale;
    Restart();
    Mesh m = Strip({0});
    m.verts[1] = Point3(c.edge, 0, 0);
    TexturedMesh("Body", nullptr, m);
    Build();
    ASSERT_EQ(s.surfaceList.size(), 1u);
    EXPECT_EQ(s.surfaceList[0].triangles.size(), c.kept ? 1u : 0u) << c.scale << "% edge " << c.edge;
  }
}

TEST_F(SurfacesTest, WeightCleanUp) {
  using W = std::vector<WeightPair>;
  const struct {
    W in;
    std::vector<std::pair<std::uint32_t, float>> out;
  } cases[] = {
      {{}, {{0, 1.0f}}},
      {{{2, 0.0f}, {3, 0.0f}}, {{2, 1.0f}, {3, 0.0f}}},
      {{{1, 0.2f}, {2, 0.000001f}, {3, 0.7f}}, {{3, 0.7f}, {1, 0.2f}}},
      {{{4, 0.000005f}, {5, 0.000002f}}, {{4, 1.0f}, {5, 0.000002f}}},
  };
  for (const auto& c : cases) {
    W w = c.in;
    CleanUpWeights(w);
    std::vector<std::pair<std::uint32_t, float>> got;
    for (const WeightPair& p : w) got.emplace_back(p.bone, p.weight);
    EXPECT_EQ(got, c.out);
  }
}

TEST_F(SurfacesTest, TriangleBonesFollowTheirSummedWeights) {
  INode* a = build::Dummy("A");
  INode* b = build::Dummy("B");
  INode* node = TexturedMesh("Body", nullptr, Strip({0}));
  build::Skin(node, {build::Rigid(a), build::Blended({{a, 0.25f}, {b, 0.75f}}), build::Rigid(b)});
  GatherScene(s);
  CollectMaterials(s);
  s.boneList.Append(a);
  s.boneList.Append(b);
  BuildSurfaces(s, header);
  ASSERT_EQ(s.surfaceList.size(), 1u);
  const Surface& surface = s.surfaceList[0];
  ASSERT_EQ(surface.triangles.size(), 1u);
  EXPECT_EQ(surface.triangles[0].bones, (std::vector<std::uint32_t>{1, 0}));  // B 1.75, A 1.25
  ASSERT_EQ(surface.vertices[1].weights.size(), 2u);
  EXPECT_EQ(surface.vertices[1].weights[0].bone, 1u);  // sorted largest first
}

TEST_F(SurfacesTest, DetailMeshFillsTheTrianglePoolAndNoExportMeshHasNoSurfaces) {
  INode* detail = TexturedMesh("tag_Detail", nullptr, Strip({0, 0}));
  build::Place(detail, Point3(0, 0, 1));
  TexturedMesh("NOEXPORT_hull");
  Build();
  EXPECT_TRUE(s.surfaceList.empty());
  EXPECT_EQ(s.meshList.Count(), 2u);
  ASSERT_EQ(s.trianglePool.size(), 2u);
  const DetailTriangle& d = s.trianglePool[1];
  EXPECT_TRUE(Near(d.corners[1], Point3(30, 0, 1)));
  EXPECT_FLOAT_EQ(d.uv[1][0], 0.3f);
  EXPECT_FLOAT_EQ(d.uv[2][1], 1.0f - 0.1f);
}

TEST_F(SurfacesTest, BoundingBoxCoversEveryExportedFrame) {
  INode* node = TexturedMesh("Mover");
  build::PosKeys(node, {{0, Point3(0, 0, 0)}, {10, Point3(100, 0, 0)}});
  TexturedMesh("NOEXPORT_still", nullptr)->Hide(FALSE);
  for (bool animation : {false, true}) {
    options.ExportAnimation = animation;
    Restart();
    s.lastFrame = 10;
    Build();
    // Model space exchanges y and z: the triangles lie in x and z.
    EXPECT_FLOAT_EQ(header.boundsMin[0], 0);
    EXPECT_FLOAT_EQ(header.boundsMax[0], animation ? 110.0f : 10.0f);
    EXPECT_FLOAT_EQ(header.boundsMin[1], 0);
    EXPECT_FLOAT_EQ(header.boundsMax[1], 0);
    EXPECT_FLOAT_EQ(header.boundsMax[2], 10);
  }
}

TEST_F(SurfacesTest, TagBBoxDecidesTheBoxWhenItHasAMesh) {
  TexturedMesh("Body");
  build::MeshNode("tag_BBox", build::Box(40));
  Build();
  EXPECT_FLOAT_EQ(header.boundsMin[0], -20);
  EXPECT_FLOAT_EQ(header.boundsMax[2], 20);
  EXPECT_TRUE(MessageBoxRecords().empty());

  ResetScene();
  Restart();
  TexturedMesh("Body");
  build::Dummy("tag_BBox");
  ClearTraceLog();
  Build();
  ASSERT_EQ(BoxTexts(), (Strings{"Unable to get mesh for 'tag_BBox' object. TAG ingnored."}));
  EXPECT_EQ(MessageBoxRecords()[0].caption, "Warning !");
  EXPECT_FLOAT_EQ(header.boundsMax[0], 10);
  EXPECT_NE(TraceText().find(" Searching for BBOX\n Creating bbox on all frames\n"), std::string::npos);
}

TEST_F(SurfacesTest, EmptyMeshListLeavesTheEmptyBoxAndTracesTheSteps) {
  ClearTraceLog();
  Build();
  EXPECT_FLOAT_EQ(header.boundsMin[0], kBoundsEmptyMin);
  EXPECT_FLOAT_EQ(header.boundsMax[1], kBoundsEmptyMax);
  EXPECT_EQ(TraceText(),
            "---- Creating surfaces list -----\n   computenormals Searching for BBOX\n Creating bbox on all frames\n"
            "---- Done creating surfaces list -----\n");
}

}  // namespace
}  // namespace tz2
