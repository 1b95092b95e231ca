// The collapse engine: position groups, boundary and seam planes, the flip penalty, the
// model scale, degenerate faces, isolated vertices and the splitting of long steps.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "TZ2_Export/geometry/ProgressiveMesh.h"
#include "tests/TZ2_Export/geometry/ReducerMeshes.h"

namespace {

using namespace reducer_meshes;

std::uint32_t AddAt(ProgressiveMesh& mesh, const Point3& p, const Point3& n = Point3(0, 0, 1),
                    UvPair uv0 = {}, std::uint8_t bone = 0) {
  const UvPair uv[kPmUvChannels] = {uv0};
  const float weight = 1.0f;
  return mesh.AddVertexRaw(p, n, uv, &bone, &weight, 1);
}

// The first three steps of the history build, after which costs can be computed.
void Prepare(ProgressiveMesh& mesh) {
  mesh.GroupAndLink();
  mesh.ComputeScale();
  mesh.RemoveDegenerateFaces();
}

TEST(CollapseCost, GroupsJoinCoincidentVerticesExceptOppositeSidesAndOtherSkins) {
  struct Case {
    const char* what;
    Point3 offset, normal;
    std::uint8_t bone;
    bool grouped;
  };
  const Case cases[] = {
      {"same place, other uv", Point3(0, 0, 0), Point3(0, 0, 1), 0, true},
      {"just inside the tolerance", Point3(0.00009f, 0, 0), Point3(0, 0, 1), 0, true},
      {"at the tolerance", Point3(0, 0, 0.0001f), Point3(0, 0, 1), 0, false},
      {"opposite normal", Point3(0, 0, 0), Point3(0, 0, -1), 0, false},
      {"normals at dot -0.97", Point3(0, 0, 0), Point3(0.2431049f, 0, -0.97f), 0, true},
      {"other skin", Point3(0, 0, 0), Point3(0, 0, 1), 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ProgressiveMesh mesh;
    AddAt(mesh, Point3(1, 1, 1), Point3(0, 0, 1), {0.0f, 0.0f});
    AddAt(mesh, Point3(1, 1, 1) + c.offset, c.normal, {0.5f, 0.5f}, c.bone);
    mesh.GroupAndLink();
    const PmVertex *a = mesh.Vertex(0), *b = mesh.Vertex(1);
    EXPECT_EQ(a->representative, 1);
    EXPECT_EQ(b->representative, c.grouped ? 0 : 1);
    EXPECT_EQ(a->twins.Count(), c.grouped ? 1u : 0u);
    if (c.grouped) {
      EXPECT_EQ(ProgressiveMesh::Rep(b), a);
    }
  }
}

TEST(CollapseCost, ClosedSurfaceHasNoBoundaryPlanes) {
  ProgressiveMesh mesh;
  Feed(CubeSphere(3, 0.05f, 1), mesh, true);
  Prepare(mesh);
  for (std::uint32_t i = 0; i < mesh.VertexCount(); ++i) {
    PmVertex* v = mesh.Vertex(i);
    if (!v->representative) continue;
    mesh.ComputeCost(v);
    EXPECT_EQ(mesh.BoundaryPlanes().Count(), 0u) << "vertex " << i;
    EXPECT_NE(v->target, nullptr);
  }
}

TEST(CollapseCost, OpenGridRimVerticesGetAPlanePerRimEdge) {
  ProgressiveMesh mesh;
  Feed(Grid(4, 4, 0.0f, 1), mesh, true);  // vertex index = 5 y + x
  Prepare(mesh);
  struct Case {
    std::uint32_t vertex;
    std::uint32_t planes;
  };
  for (const Case& c : {Case{2, 2}, Case{0, 2}, Case{4, 2}, Case{10, 2}, Case{12, 0}, Case{6, 0}}) {
    mesh.ComputeCost(mesh.Vertex(c.vertex));
    EXPECT_EQ(mesh.BoundaryPlanes().Count(), c.planes) << "vertex " << c.vertex;
  }
  // The planes of the rim vertex (2, 0) stand on the rim, upright: normal ±y, through y = 0.
  mesh.ComputeCost(mesh.Vertex(2));
  for (const BoundaryPlane& b : mesh.BoundaryPlanes()) {
    EXPECT_NEAR(std::fabs(b.normal.y), 1.0f, 1e-6f);
    EXPECT_NEAR(b.normal.x, 0.0f, 1e-6f);
    EXPECT_NEAR(b.normal.z, 0.0f, 1e-6f);
    EXPECT_NEAR(b.offset, 0.0f, 1e-6f);
    EXPECT_NEAR(b.area, 0.5f, 1e-6f);
  }
}

TEST(CollapseCost, FacesOfOtherAttributesMakeASeamPlane) {
  struct Case {
    PmAttributes second;
    std::uint32_t planes;
  };
  const Case cases[] = {{{0, 0}, 2}, {{1, 0}, 3}, {{0, 0xFFFF}, 3}};
  for (const Case& c : cases) {
    ProgressiveMesh mesh;
    AddAt(mesh, Point3(0, 0, 0));
    AddAt(mesh, Point3(1, 0, 0));
    AddAt(mesh, Point3(1, 1, 0));
    AddAt(mesh, Point3(0, 1, 0));
    mesh.AddFace(0, 1, 2, {0, 0}, 0);
    mesh.AddFace(0, 2, 3, c.second, 0);
    Prepare(mesh);
    mesh.ComputeCost(mesh.Vertex(0));
    EXPECT_EQ(mesh.BoundaryPlanes().Count(), c.planes) << c.second.material;
  }
}

TEST(CollapseCost, FlipsWhenTheFaceTurnsByMoreThanSixtyDegrees) {
  ProgressiveMesh mesh;
  PmVertex v0, v1, v2;
  v0.position = Point3(0, 0, 0);
  v1.position = Point3(1, 0, 0);
  v2.position = Point3(0, 1, 0);
  PmFace f;
  f.corners[0] = &v0;
  f.corners[1] = &v1;
  f.corners[2] = &v2;
  ComputeFaceGeometry(&f);
  // Moving corner 0 to (0, 0, h) turns the normal to (h, h, 1): cos = 1 / sqrt(2h² + 1).
  struct Case {
    const char* what;
    Point3 to;
    bool flips;
  };
  const Case cases[] = {
      {"45 degrees", Point3(0, 0, 1.0f), false},
      {"65 degrees", Point3(0, 0, 1.5f), true},
      {"turned over", Point3(1, 1, 0), true},
      {"collinear: (0, -1, 0)", Point3(2, -1, 0), true},
      {"in the plane", Point3(0.2f, 0.2f, 0), false},
  };
  for (const Case& c : cases) {
    PmVertex u;
    u.position = c.to;
    EXPECT_EQ(mesh.Flips(&f, &v0, &u), c.flips) << c.what;
  }
}

// A flat fan around v whose ring is not convex: collapsing v onto a or c turns one surviving
// face over, collapsing onto b or d does not.
TEST(CollapseCost, FlippingCandidatesPayTheFlipPenalty) {
  ProgressiveMesh mesh;
  const Point3 ring[5] = {Point3(0, 0, 0), Point3(1, 0, 0), Point3(0.1f, 0.1f, 0),
                          Point3(-1, 1, 0), Point3(0, -1, 0)};
  for (const Point3& p : ring) AddAt(mesh, p, Point3(0, 0, 1), {p.x, p.y});
  mesh.AddFace(0, 1, 2, {}, 0);
  mesh.AddFace(0, 2, 3, {}, 0);
  mesh.AddFace(0, 3, 4, {}, 0);
  mesh.AddFace(0, 4, 1, {}, 0);
  Prepare(mesh);
  PmVertex* v = mesh.Vertex(0);
  mesh.ComputeCost(v);
  EXPECT_EQ(mesh.BoundaryPlanes().Count(), 0u);
  EXPECT_NEAR(mesh.CandidateCost(v, mesh.Vertex(1)), 100000.0f, 0.01f);
  EXPECT_NEAR(mesh.CandidateCost(v, mesh.Vertex(3)), 100000.0f, 0.01f);
  EXPECT_LT(mesh.CandidateCost(v, mesh.Vertex(2)), 0.001f);
  EXPECT_LT(mesh.CandidateCost(v, mesh.Vertex(4)), 0.001f);
  EXPECT_LT(v->cost, 0.001f);
  EXPECT_TRUE(v->target == mesh.Vertex(2) || v->target == mesh.Vertex(4));
}

TEST(CollapseCost, ScaleIsTheInverseFourthPowerOfTheLargestExtent) {
  ProgressiveMesh mesh;
  Feed(Grid(10, 5, 0.0f, 1), mesh, true);
  mesh.ComputeScale();
  const float inverse = 1.0f / 10.0f;
  EXPECT_EQ(mesh.Scale(), inverse * inverse * inverse * inverse);
  ProgressiveMesh tiny;
  AddAt(tiny, Point3(0, 0, 0));
  AddAt(tiny, Point3(0.00001f, 0, 0));
  tiny.ComputeScale();
  EXPECT_FLOAT_EQ(tiny.Scale(), 1e16f);
}

TEST(CollapseCost, DegenerateFacesAreRemovedLastFirstInOneStep) {
  ProgressiveMesh mesh;
  AddAt(mesh, Point3(0, 0, 0));
  AddAt(mesh, Point3(1, 0, 0));
  AddAt(mesh, Point3(0, 1, 0));
  AddAt(mesh, Point3(0, 1, 0), Point3(0, 0, 1), {0.5f, 0.5f});  // grouped with vertex 2
  mesh.AddFace(0, 1, 2, {}, 0);
  mesh.AddFace(0, 0, 1, {}, 0);
  mesh.AddFace(0, 1, 2, {}, 0);
  mesh.AddFace(1, 2, 3, {}, 0);  // two corners in one group
  Prepare(mesh);
  ASSERT_EQ(mesh.RemovedFaces().Count(), 2u);
  EXPECT_EQ(mesh.RemovedFaces()[0], 3u);
  EXPECT_EQ(mesh.RemovedFaces()[1], 1u);
  ASSERT_EQ(mesh.History().Count(), 1u);
  const CollapseRecord r = mesh.History()[0];
  EXPECT_EQ(+r.error, 0.0f);
  EXPECT_EQ(r.vertexDelta, 0);
  EXPECT_EQ(r.faceDelta, 2);
  EXPECT_EQ(r.changeCount, 0);
  EXPECT_EQ(mesh.FaceCount(), 2u);
}

TEST(CollapseCost, IsolatedVertexCostsNothingAndGoesWithoutTarget) {
  ProgressiveMesh mesh;
  AddAt(mesh, Point3(0, 0, 0));
  AddAt(mesh, Point3(1, 0, 0));
  AddAt(mesh, Point3(0, 1, 0));
  AddAt(mesh, Point3(5, 5, 5));
  mesh.AddFace(0, 1, 2, {}, 0);
  Prepare(mesh);
  PmVertex* lone = mesh.Vertex(3);
  mesh.ComputeCost(lone);
  EXPECT_EQ(lone->cost, 0.0f);
  EXPECT_EQ(lone->target, nullptr);

  ProgressiveMesh built;
  AddAt(built, Point3(0, 0, 0));
  AddAt(built, Point3(1, 0, 0));
  AddAt(built, Point3(0, 1, 0));
  AddAt(built, Point3(5, 5, 5));
  built.AddFace(0, 1, 2, {}, 0);
  built.SetFaceCount(0, true);
  // The cheapest vertex is the isolated one: it goes first, alone.
  EXPECT_EQ(built.RemovedVertices()[0], 3u);
  const CollapseRecord r = built.History()[0];
  EXPECT_EQ(+r.error, 0.0f);
  EXPECT_EQ(r.vertexDelta, 1);
  EXPECT_EQ(r.faceDelta, 0);
  EXPECT_EQ(r.changeCount, 0);
}

TEST(CollapseCost, LongStepsAreCutIntoRecordsOfAtMost255) {
  struct Case {
    std::uint32_t dv, df, dc;
    std::vector<std::array<int, 3>> records;
  };
  const Case cases[] = {
      {1, 600, 0, {{1, 255, 0}, {0, 255, 0}, {0, 90, 0}}},
      {2, 10, 300, {{2, 10, 255}, {0, 0, 45}}},
      {3, 0, 0, {{3, 0, 0}}},
      {255, 255, 255, {{255, 255, 255}}},
  };
  for (const Case& c : cases) {
    ProgressiveMesh mesh;
    mesh.AppendRecord(7.5f, c.dv, c.df, c.dc);
    ASSERT_EQ(mesh.History().Count(), c.records.size());
    for (std::size_t i = 0; i < c.records.size(); ++i) {
      const CollapseRecord r = mesh.History()[static_cast<std::uint32_t>(i)];
      EXPECT_EQ(+r.error, i + 1 == c.records.size() ? 7.5f : kStepContinues);
      EXPECT_EQ(r.vertexDelta, c.records[i][0]);
      EXPECT_EQ(r.faceDelta, c.records[i][1]);
      EXPECT_EQ(r.changeCount, c.records[i][2]);
    }
  }
}

// Collapsing onto a group that lies on a texture seam re-points each surviving corner to the
// member of the group whose coordinates fit the face: the right side's copy of the seam.
TEST(CollapseCost, RepointedCornersTakeTheBestFittingTwin) {
  ProgressiveMesh mesh;
  // Left of x = 1 the texture u is x / 2; right of it u is x − 0.4. The seam vertices at x = 1
  // exist twice: u = 0.5 for the left faces, u = 0.6 for the right ones.
  const struct {
    Point3 p;
    UvPair uv;
  } vertices[] = {
      {Point3(1, 0, 0), {0.5f, 0}},     {Point3(1, 1, 0), {0.5f, 1}},   // 0, 1: seam, left
      {Point3(0, 0, 0), {0, 0}},        {Point3(0, 1, 0), {0, 1}},      // 2, 3
      {Point3(1, 0, 0), {0.6f, 0}},     {Point3(1, 1, 0), {0.6f, 1}},   // 4, 5: seam, right
      {Point3(2, 0, 0), {1.6f, 0}},     {Point3(2, 1, 0), {1.6f, 1}},   // 6, 7
      {Point3(1.5f, 0.5f, 0), {1.1f, 0.5f}},                            // 8
  };
  for (const auto& v : vertices) AddAt(mesh, v.p, Point3(0, 0, 1), v.uv);
  mesh.AddFace(2, 0, 1, {}, 0);
  mesh.AddFace(2, 1, 3, {}, 0);
  mesh.AddFace(4, 6, 8, {}, 0);
  mesh.AddFace(6, 7, 8, {}, 0);
  mesh.AddFace(7, 5, 8, {}, 0);
  mesh.AddFace(5, 4, 8, {}, 0);
  Prepare(mesh);
  ASSERT_EQ(ProgressiveMesh::Rep(mesh.Vertex(4)), mesh.Vertex(0));

  mesh.Collapse(mesh.Vertex(8), mesh.Vertex(0), 0.0f);
  ASSERT_EQ(mesh.RemovedFaces().Count(), 2u);
  EXPECT_EQ(mesh.RemovedFaces()[0], 5u);
  EXPECT_EQ(mesh.RemovedFaces()[1], 2u);
  ASSERT_EQ(mesh.Changes().Count(), 2u);
  const CornerChange first = mesh.Changes()[0], second = mesh.Changes()[1];
  EXPECT_EQ(+first.face, 4u);
  EXPECT_EQ(first.corner, 2);
  EXPECT_EQ(+first.oldVertex, 8u);
  EXPECT_EQ(+first.newVertex, 4u);
  EXPECT_EQ(+second.face, 3u);
  EXPECT_EQ(+second.newVertex, 4u);
  const CollapseRecord r = mesh.History().Last();
  EXPECT_EQ(r.vertexDelta, 1);
  EXPECT_EQ(r.faceDelta, 2);
  EXPECT_EQ(r.changeCount, 2);
  EXPECT_EQ(mesh.RemovedVertices().Last(), 8u);
}

}  // namespace
