// ProgressiveMesh: welding, weight normalisation, skin adjustment, copies, asking for face
// counts, and replaying steps that span several records.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>

#include "TZ2_Export/geometry/ProgressiveMesh.h"
#include "tests/TZ2_Export/geometry/ReducerMeshes.h"

namespace {

using namespace reducer_meshes;

std::uint32_t AddAt(ProgressiveMesh& mesh, const Point3& p, const Point3& n = Point3(0, 0, 1),
                    UvPair uv0 = {}) {
  const UvPair uv[kPmUvChannels] = {uv0};
  const std::uint8_t bone = 0;
  const float weight = 1.0f;
  return mesh.AddVertexRaw(p, n, uv, &bone, &weight, 1);
}

TEST(ProgressiveMesh, AddVertexWeldsWithinTheToleranceOntoTheFirstMatch) {
  struct Variant {
    const char* what;
    Point3 position, normal;
    UvPair uv4;
    std::uint8_t bone;
    float weight;
    bool welds;
  };
  const Variant variants[] = {
      {"identical", Point3(0, 0, 0), Point3(0, 0, 1), {0, 0}, 2, 0.5f, true},
      {"position just inside", Point3(0.00009f, 0, 0), Point3(0, 0, 1), {0, 0}, 2, 0.5f, true},
      {"position at the tolerance", Point3(0, 0.0001f, 0), Point3(0, 0, 1), {0, 0}, 2, 0.5f, false},
      {"normal by 0.0001", Point3(0, 0, 0), Point3(0.0001f, 0, 1), {0, 0}, 2, 0.5f, false},
      {"normal just inside", Point3(0, 0, 0), Point3(0.00009f, 0, 1), {0, 0}, 2, 0.5f, true},
      {"fifth uv channel", Point3(0, 0, 0), Point3(0, 0, 1), {0, 0.00011f}, 2, 0.5f, false},
      {"other bone", Point3(0, 0, 0), Point3(0, 0, 1), {0, 0}, 3, 0.5f, false},
      {"weight off by 0.00001", Point3(0, 0, 0), Point3(0, 0, 1), {0, 0}, 2, 0.50001f, false},
  };
  for (const Variant& v : variants) {
    SCOPED_TRACE(v.what);
    ProgressiveMesh mesh;
    const std::uint8_t bones[2] = {2, 1};
    const float base[2] = {0.5f, 0.5f};
    const UvPair uv[kPmUvChannels] = {};
    ASSERT_EQ(mesh.AddVertex(Point3(0, 0, 0), Point3(0, 0, 1), uv, bones, base, 2), 0u);
    const std::uint8_t otherBones[2] = {v.bone, 1};
    const float weights[2] = {v.weight, 0.5f};
    UvPair otherUv[kPmUvChannels] = {};
    otherUv[4] = v.uv4;
    const std::uint32_t got = mesh.AddVertex(v.position, v.normal, otherUv, otherBones, weights, 2);
    EXPECT_EQ(got, v.welds ? 0u : 1u);
    EXPECT_EQ(mesh.VertexCount(), v.welds ? 1u : 2u);
  }
  // Within the tolerance of two earlier vertices: the first in array order is returned.
  ProgressiveMesh mesh;
  const UvPair uv[kPmUvChannels] = {};
  mesh.AddVertex(Point3(0, 0, 0), Point3(0, 0, 1), uv, nullptr, nullptr, 0);
  mesh.AddVertex(Point3(0.00015f, 0, 0), Point3(0, 0, 1), uv, nullptr, nullptr, 0);
  EXPECT_EQ(mesh.AddVertex(Point3(0.00008f, 0, 0), Point3(0, 0, 1), uv, nullptr, nullptr, 0), 0u);
  EXPECT_EQ(mesh.AddVertex(Point3(0.00017f, 0, 0), Point3(0, 0, 1), uv, nullptr, nullptr, 0), 1u);
}

TEST(ProgressiveMesh, NewVertexWeightsAreFilteredSwappedAndNormalised) {
  ProgressiveMesh mesh;
  const std::uint8_t bones[3] = {3, 7, 9};
  const float weights[3] = {0.5f, 0.495f, 0.005f};
  mesh.AddVertexRaw(Point3(), Point3(), nullptr, bones, weights, 3);
  const PmVertex* v = mesh.Vertex(0);
  ASSERT_EQ(v->weightCount, 2);
  EXPECT_EQ(v->bones[0], 7);
  EXPECT_EQ(v->bones[1], 3);
  EXPECT_NEAR(v->weights[0], 0.495f / 0.995f, 1e-6f);
  EXPECT_NEAR(v->weights[1], 0.5f / 0.995f, 1e-6f);
  EXPECT_NEAR(v->weights[0] + v->weights[1], 1.0f, 1e-6f);

  struct Case {
    std::uint8_t count;
    const float* weights;
    std::uint8_t expectCount;
  };
  const float tiny[2] = {0.007f, 0.001f};
  const float five[5] = {0.2f, 0.2f, 0.2f, 0.2f, 0.2f};
  const Case cases[] = {{0, nullptr, 0}, {2, tiny, 0}, {5, five, 4}, {3, nullptr, 0}};
  const std::uint8_t manyBones[5] = {1, 2, 3, 4, 5};
  for (const Case& c : cases) {
    ProgressiveMesh m;
    m.AddVertexRaw(Point3(), Point3(), nullptr, manyBones, c.weights, c.count);
    EXPECT_EQ(m.Vertex(0)->weightCount, c.expectCount);
  }
}

TEST(ProgressiveMesh, RemapBonesMergesBonesThatBecomeOne) {
  ProgressiveMesh mesh;
  const std::uint8_t three[3] = {1, 2, 3};
  const float threeWeights[3] = {0.2f, 0.3f, 0.5f};
  const std::uint8_t other[2] = {4, 5};
  const float otherWeights[2] = {0.25f, 0.75f};
  const std::uint8_t partial[3] = {9, 2, 1};
  const float partialWeights[3] = {0.5f, 0.3f, 0.2f};
  mesh.AddVertexRaw(Point3(), Point3(), nullptr, three, threeWeights, 3);
  mesh.AddVertexRaw(Point3(), Point3(), nullptr, other, otherWeights, 2);
  mesh.AddVertexRaw(Point3(), Point3(), nullptr, partial, partialWeights, 3);
  PmVertex before = {};
  std::memcpy(before.weights, mesh.Vertex(1)->weights, sizeof before.weights);
  std::uint8_t table[255];
  for (int i = 0; i < 255; ++i) table[i] = static_cast<std::uint8_t>(i);
  table[1] = table[2] = table[3] = 7;
  mesh.RemapBones(table);

  const PmVertex* merged = mesh.Vertex(0);
  ASSERT_EQ(merged->weightCount, 1);
  EXPECT_EQ(merged->bones[0], 7);
  EXPECT_FLOAT_EQ(merged->weights[0], 1.0f);
  const PmVertex* untouched = mesh.Vertex(1);
  EXPECT_EQ(0, std::memcmp(untouched->weights, before.weights, sizeof before.weights));
  const PmVertex* two = mesh.Vertex(2);
  ASSERT_EQ(two->weightCount, 2);
  EXPECT_EQ(two->bones[0], 9);
  EXPECT_EQ(two->bones[1], 7);
  EXPECT_NEAR(two->weights[0], 0.5f, 1e-6f);
  EXPECT_NEAR(two->weights[1], 0.5f, 1e-6f);
}

TEST(ProgressiveMesh, LimitWeightsDropsTheSmallestFirstOnTies) {
  ProgressiveMesh mesh;
  const std::uint8_t bones[3] = {9, 5, 1};  // already in the order the swap pass keeps
  const float weights[3] = {0.4f, 0.3f, 0.3f};
  mesh.AddVertexRaw(Point3(), Point3(), nullptr, bones, weights, 3);
  mesh.LimitWeights(2);
  const PmVertex* v = mesh.Vertex(0);
  ASSERT_EQ(v->weightCount, 2);
  EXPECT_EQ(v->bones[0], 9);
  EXPECT_EQ(v->bones[1], 1);
  EXPECT_NEAR(v->weights[0], 0.4f / 0.7f, 1e-6f);
  mesh.LimitWeights(1);
  ASSERT_EQ(v->weightCount, 1);
  EXPECT_EQ(v->bones[0], 9);
  EXPECT_FLOAT_EQ(v->weights[0], 1.0f);
}

TEST(ProgressiveMesh, FullFaceCountBuildsNothing) {
  ProgressiveMesh mesh;
  Feed(Grid(4, 3, 0.2f, 1), mesh, true);
  const std::uint32_t faces = mesh.FaceCount();
  for (std::uint32_t target : {faces, faces + 100, 0xFFFFFFFFu}) {
    EXPECT_EQ(mesh.SetFaceCount(target, false), 0.0f);
    EXPECT_FALSE(mesh.Built());
    EXPECT_EQ(mesh.LiveFaceCount(), faces);
    EXPECT_EQ(mesh.LiveVertexCount(), mesh.VertexCount());
    EXPECT_EQ(mesh.History().Count(), 0u);
  }
  std::uint32_t f = 0, indices = 0;
  mesh.FaceCounts(f, indices);
  EXPECT_EQ(f, faces);
  EXPECT_EQ(indices, 3 * faces);
  // With keepCollapsing the full count still builds the history, and takes no step.
  EXPECT_EQ(mesh.SetFaceCount(faces, true), 0.0f);
  EXPECT_TRUE(mesh.Built());
  EXPECT_EQ(mesh.LiveFaceCount(), faces);
}

TEST(ProgressiveMesh, ZeroFacesRunsTheHistoryToItsEndAndBack) {
  ProgressiveMesh mesh;
  Feed(Grid(6, 5, 0.3f, 2), mesh, true);
  const std::uint32_t faces = mesh.FaceCount(), vertices = mesh.VertexCount();
  std::vector<std::array<std::uint32_t, 3>> original;
  for (std::uint32_t i = 0; i < faces; ++i)
    original.push_back({mesh.Face(i)->corners[0]->index, mesh.Face(i)->corners[1]->index,
                        mesh.Face(i)->corners[2]->index});

  mesh.SetFaceCount(0, false);
  EXPECT_EQ(mesh.LiveFaceCount(), 0u);
  EXPECT_EQ(mesh.LiveVertexCount(), 0u);
  EXPECT_EQ(+mesh.History().Last().error, kHistoryEnd);
  const std::uint32_t at = mesh.HistoryPosition();
  EXPECT_EQ(mesh.StepForward(), 1e30f);
  EXPECT_EQ(mesh.HistoryPosition(), at);
  EXPECT_EQ(mesh.RemovedVertices().Count(), vertices);
  EXPECT_EQ(mesh.RemovedFaces().Count(), faces);
  // The vertex and face removed last come first in the re-laid arrays.
  EXPECT_EQ(mesh.Vertex(0)->index, mesh.RemovedVertices().Last());
  EXPECT_EQ(mesh.Face(0)->index, mesh.RemovedFaces().Last());

  // Back to the whole mesh: every face has its inserted corners again.
  ASSERT_NE(+mesh.History()[0].error, kStepContinues);
  EXPECT_EQ(mesh.SetFaceCount(faces, false), +mesh.History()[0].error);  // the last step undone
  EXPECT_EQ(mesh.LiveFaceCount(), faces);
  EXPECT_EQ(mesh.LiveVertexCount(), vertices);
  for (std::uint32_t i = 0; i < faces; ++i) {
    const PmFace* f = mesh.Face(i);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(f->corners[k]->index, original[f->index][k]);
  }
  // One face asks for the steps down to a single face or fewer.
  mesh.SetFaceCount(1, false);
  EXPECT_LE(mesh.LiveFaceCount(), 1u);
}

// A closed fan of 600 faces around vertex 0, plus one degenerate face. Asking for 600 faces
// removes the degenerate face; the history then removes vertex 0 with all its faces in one step.
TEST(ProgressiveMesh, StepsOverManyFacesAreSplitAndReplayedAsOne) {
  ProgressiveMesh mesh;
  AddAt(mesh, Point3(0, 0, 0));
  const int ring = 600;
  for (int i = 0; i < ring; ++i) {
    const float a = 6.2831853f * i / ring;
    AddAt(mesh, Point3(std::cos(a), std::sin(a), 0));
  }
  for (int i = 0; i < ring; ++i)
    mesh.AddFace(0, 1 + i, 1 + (i + 1) % ring, {}, 0);
  mesh.AddFace(1, 1, 2, {}, 0);
  ASSERT_EQ(mesh.FaceCount(), 601u);

  mesh.SetFaceCount(600, false);
  EXPECT_EQ(mesh.LiveFaceCount(), 600u);
  const GrowArray<CollapseRecord>& h = mesh.History();
  ASSERT_GE(h.Count(), 5u);
  struct Expected {
    float error;
    int dv, df, dc;
  };
  const Expected expected[4] = {{0.0f, 0, 1, 0}, {-2.0f, 1, 255, 0}, {-2.0f, 0, 255, 0},
                                {h[3].error, 0, 90, 0}};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(+h[i].error, expected[i].error);
    EXPECT_EQ(h[i].vertexDelta, expected[i].dv);
    EXPECT_EQ(h[i].faceDelta, expected[i].df);
    EXPECT_EQ(h[i].changeCount, expected[i].dc);
  }
  EXPECT_GE(+h[3].error, 0.0f);
  EXPECT_EQ(mesh.RemovedVertices()[0], 0u);

  EXPECT_EQ(mesh.StepForward(), +h[3].error);
  EXPECT_EQ(mesh.HistoryPosition(), 4u);
  EXPECT_EQ(mesh.LiveFaceCount(), 0u);
  EXPECT_EQ(mesh.LiveVertexCount(), 600u);
  EXPECT_EQ(mesh.StepBack(), +h[3].error);
  EXPECT_EQ(mesh.HistoryPosition(), 1u);
  EXPECT_EQ(mesh.LiveFaceCount(), 600u);
  EXPECT_EQ(mesh.LiveVertexCount(), 601u);
}

TEST(ProgressiveMesh, CopyFromReproducesTheMeshAndItsReduction) {
  ProgressiveMesh source;
  const GeneratedMesh generated = Materials(CubeSphere(4, 0.05f, 3), 0.0f);
  Feed(generated, source, true);
  ProgressiveMesh copy;
  Feed(Grid(2, 2, 0.0f, 1), copy, true);  // replaced by the copy
  copy.CopyFrom(source);
  ASSERT_EQ(copy.VertexCount(), source.VertexCount());
  ASSERT_EQ(copy.FaceCount(), source.FaceCount());
  for (std::uint32_t i = 0; i < copy.VertexCount(); ++i) {
    EXPECT_EQ(copy.Vertex(i)->position, source.Vertex(i)->position);
    EXPECT_EQ(0, std::memcmp(copy.Vertex(i)->uv, source.Vertex(i)->uv, sizeof(PmVertex::uv)));
    EXPECT_EQ(copy.Vertex(i)->weightCount, source.Vertex(i)->weightCount);
  }
  for (std::uint32_t i = 0; i < copy.FaceCount(); ++i) {
    const PmFace *a = copy.Face(i), *b = source.Face(i);
    EXPECT_EQ(a->attributes, b->attributes);
    EXPECT_EQ(a->flag, b->flag);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(a->corners[k]->index, b->corners[k]->index);
  }
  const std::uint32_t target = source.FaceCount() / 3;
  EXPECT_EQ(copy.SetFaceCount(target, false), source.SetFaceCount(target, false));
  ASSERT_EQ(copy.History().Count(), source.History().Count());
  EXPECT_EQ(0, std::memcmp(copy.History().Data(), source.History().Data(),
                           source.History().Count() * sizeof(CollapseRecord)));
  EXPECT_EQ(copy.LiveFaceCount(), source.LiveFaceCount());
}

TEST(ProgressiveMesh, RefusesInsertionAfterTheBuildAndCornersOutsideTheArray) {
  ProgressiveMesh mesh;
  AddAt(mesh, Point3(0, 0, 0));
  AddAt(mesh, Point3(1, 0, 0));
  AddAt(mesh, Point3(0, 1, 0));
  EXPECT_EQ(mesh.AddFace(0, 1, 3, {}, 0), nullptr);
  ASSERT_NE(mesh.AddFace(0, 1, 2, {}, 0), nullptr);
  mesh.SetFaceCount(0, false);
  ASSERT_TRUE(mesh.Built());
  EXPECT_EQ(AddAt(mesh, Point3(5, 5, 5)), kNoIndex);
  const UvPair uv[kPmUvChannels] = {};
  EXPECT_EQ(mesh.AddVertex(Point3(5, 5, 5), Point3(), uv, nullptr, nullptr, 0), kNoIndex);
  EXPECT_EQ(mesh.AddFace(0, 1, 2, {}, 0), nullptr);
  EXPECT_EQ(mesh.VertexCount(), 3u);
  EXPECT_EQ(mesh.FaceCount(), 1u);
}

}  // namespace
