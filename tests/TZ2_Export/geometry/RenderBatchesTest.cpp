// Render batches: palettes and merging, the 25-bone limit, the texture shift, welding, the part
// rule and the texture scale class; welding and merging against the plain implementations.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/TZ2_Export/geometry/BatchTestSupport.h"

using namespace tz2;
using batch_support::Triangle;
using batch_support::Vertex;

namespace {

const BatchVertex kTri[3] = {Vertex(0, 0, 0), Vertex(1, 0, 0), Vertex(0, 1, 0)};
const BatchVertex kTri2[3] = {Vertex(2, 0, 0), Vertex(3, 0, 0), Vertex(2, 1, 0)};

std::vector<std::uint8_t> PaletteOf(const MeshBatch& b) {
  return {b.header.palette, b.header.palette + b.header.paletteCount};
}

// A batch with the given palette and one weight per vertex.
MeshBatch* PaletteBatch(LodModel& m, std::uint8_t first, std::uint8_t count) {
  auto* b = new MeshBatch;
  b->header.paletteCount = count;
  for (std::uint8_t i = 0; i < count; ++i) b->header.palette[i] = static_cast<std::uint8_t>(first + i);
  b->header.detailMarker = kNoDetail;
  b->vertices.Append(Vertex(first, 0, 0));
  b->triangles.Append(BatchTriangle{{0, 0, 0}});
  m.batches.Append(b);
  return b;
}

}  // namespace

TEST(RenderBatches, OverlappingPalettesMergeIntoTheirUnion) {
  LodModel m;
  Triangle(m, kTri, {{3}, {5}, {3, 5}});
  Triangle(m, kTri2, {{5}, {9}, {9}});
  ASSERT_EQ(m.batches.Count(), 2u);  // {3, 5} with 2 weights, {5, 9} with 1: set both to 2
  m.batches[1]->weightsPerVertex = 2;
  EXPECT_FLOAT_EQ(BatchSimilarity({}, *m.batches[0], *m.batches[1]), 2.0f / 3.0f);
  MergeBatches(m, {});
  ASSERT_EQ(m.batches.Count(), 1u);
  const MeshBatch& b = *m.batches[0];
  EXPECT_EQ(PaletteOf(b), (std::vector<std::uint8_t>{3, 5, 9}));
  EXPECT_EQ(b.triangles.Count(), 2u);
  EXPECT_EQ(b.header.triangleCount, 2);
  EXPECT_EQ(b.vertices.Count(), 6u);
  // Every vertex still names its own bones.
  const int expected[6] = {3, 5, 3, 5, 9, 9};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(batch_support::BoneOf(b, b.vertices[i], 0), expected[i]) << i;
  EXPECT_EQ(batch_support::BoneOf(b, b.vertices[2], 1), 5);
}

TEST(RenderBatches, PaletteUnionsAboveTwentyFiveBonesNeverMerge) {
  struct Case {
    std::uint8_t countA, firstB, countB;
    bool merges;
  } cases[] = {{13, 13, 13, false}, {13, 13, 12, true}, {14, 13, 13, false}, {20, 10, 15, true}, {25, 25, 1, false}};
  for (const Case& c : cases) {
    LodModel m;
    PaletteBatch(m, 0, c.countA);
    PaletteBatch(m, c.firstB, c.countB);
    EXPECT_EQ(BatchSimilarity({}, *m.batches[0], *m.batches[1]) > 0, c.merges) << int(c.countA) << " " << int(c.firstB);
    MergeBatches(m, {});
    EXPECT_EQ(m.batches.Count(), c.merges ? 1u : 2u);
    if (c.merges) {
      EXPECT_LE(m.batches[0]->header.paletteCount, 25);
    }
  }
}

TEST(RenderBatches, TextureShiftMovesByWholeUnitsWhenJoiningABatch) {
  LodModel m;
  BatchVertex c[3] = {Vertex(0, 0, 0, 17.5f), Vertex(1, 0, 0, 18.2f), Vertex(0, 1, 0, 16.9f)};
  Triangle(m, c, {{1}, {1}, {1}});
  const MeshBatch& b = *m.batches[0];
  EXPECT_FLOAT_EQ(b.vertices[1].uv0[0], 18.2f);  // the first triangle keeps its values
  BatchVertex d[3] = {Vertex(5, 0, 0, 17.5f), Vertex(6, 0, 0, 18.2f), Vertex(5, 1, 0, 16.9f)};
  Triangle(m, d, {{1}, {1}, {1}});
  ASSERT_EQ(b.vertices.Count(), 6u);
  EXPECT_FLOAT_EQ(b.vertices[3].uv0[0], 14.5f);
  EXPECT_FLOAT_EQ(b.vertices[4].uv0[0], 18.2f - 3.0f);
  EXPECT_FLOAT_EQ(b.vertices[5].uv0[0], 13.9f);

  struct Case {
    float in[3], out[3];
  } cases[] = {{{-20.3f, -18.0f, -19.0f}, {-17.3f, -15.0f, -16.0f}},
               {{1.0f, 2.0f, 15.0f}, {1.0f, 2.0f, 15.0f}},
               {{15.5f, 0.0f, 1.0f}, {15.5f, 0.0f, 1.0f}},
               {{16.0f, 40.0f, 10.0f}, {-9.0f, 15.0f, -15.0f}}};
  for (const Case& k : cases) {
    BatchVertex t[3] = {Vertex(0, 0, 0, 0, k.in[0]), Vertex(0, 0, 0, 0, k.in[1]), Vertex(0, 0, 0, 0, k.in[2])};
    for (auto& v : t) v.uv1[0] = v.uv0[1];
    ShiftTextureCoordinates(t);
    for (int i = 0; i < 3; ++i) {
      EXPECT_FLOAT_EQ(t[i].uv0[1], k.out[i]) << k.in[0];
      EXPECT_FLOAT_EQ(t[i].uv1[0], k.out[i]) << k.in[0];
    }
  }
}

TEST(RenderBatches, WeldingUsesTheTolerancesOfEachField) {
  struct Case {
    const char* what;
    void (*change)(BatchVertex&);
    bool welds;
  } cases[] = {
      {"same", [](BatchVertex&) {}, true},
      {"position within", [](BatchVertex& v) { v.position[1] += 0.00005f; }, true},
      {"position beyond", [](BatchVertex& v) { v.position[1] += 0.0002f; }, false},
      {"normal beyond", [](BatchVertex& v) { v.normal[0] += 0.0002f; }, false},
      {"uv1 beyond", [](BatchVertex& v) { v.uv1[1] += 0.0002f; }, false},
      {"weight within", [](BatchVertex& v) { v.weights[0] -= 0.005f; }, true},
      {"weight beyond", [](BatchVertex& v) { v.weights[0] -= 0.02f; }, false},
      {"bone slot", [](BatchVertex& v) { v.bones[3] = 1; }, false},
  };
  for (const Case& c : cases) {
    MeshBatch b;
    BatchVertex v = Vertex(1, 2, 3, 0.5f, 0.5f);
    v.weights[0] = 1.0f;
    EXPECT_EQ(WeldVertex(b, v), 0u);
    c.change(v);
    EXPECT_EQ(WeldVertex(b, v), c.welds ? 0u : 1u) << c.what;
    EXPECT_EQ(b.header.vertexCount, c.welds ? 1 : 2) << c.what;
  }
}

TEST(RenderBatches, GridWeldingFindsTheFirstMatchLikeAScan) {
  for (std::uint32_t seed = 1; seed <= 20; ++seed) {
    batch_support::Lcg r(seed);
    MeshBatch fast, plain;
    plain.weld = &oracle::Weld;
    for (int i = 0; i < 600; ++i) {
      // Points on a lattice finer than the tolerance, so that several vertices can match one.
      BatchVertex v = Vertex(0.00004f * r.Next(8), 0.00004f * r.Next(8), 1000.0f * r.Next(2), 0.00004f * r.Next(4));
      v.weights[0] = 0.004f * static_cast<float>(r.Next(6));
      ASSERT_EQ(WeldVertex(fast, v), WeldVertex(plain, v)) << seed << " " << i;
    }
    EXPECT_EQ(fast.vertices.Count(), plain.vertices.Count());
  }
}

TEST(RenderBatches, PartRuleKeepsPartBoundBatchesOfDifferentPartsApart) {
  LodModel m;
  Triangle(m, kTri, {{3}, {5}, {5}});
  Triangle(m, kTri2, {{5}, {9}, {9}});
  std::vector<BonePartRecord> records(10);
  for (auto b : {3, 5}) records[b] = {1, 1};
  records[9] = {2, 1};
  EXPECT_GT(BatchSimilarity({}, *m.batches[0], *m.batches[1]), 0.0f);  // without records
  EXPECT_EQ(BatchSimilarity(PartRecords::Of(records), *m.batches[0], *m.batches[1]), 0.0f);
  records[9] = {1, 1};  // one part for all bones
  EXPECT_GT(BatchSimilarity(PartRecords::Of(records), *m.batches[0], *m.batches[1]), 0.0f);
  records[9] = {2, 0};  // neither batch is part-bound once 9 has no grh... but {3,5} is
  EXPECT_EQ(BatchSimilarity(PartRecords::Of(records), *m.batches[0], *m.batches[1]), 0.0f);
  EXPECT_TRUE(PartBound(PartRecords::Of(records), *m.batches[0]));
  EXPECT_FALSE(PartBound(PartRecords::Of(records), *m.batches[1]));
  EXPECT_FALSE(PartBound({}, *m.batches[0]));
}

TEST(RenderBatches, TextureScaleClassFollowsTheThresholds) {
  struct Case {
    float ratio;  // space length per texture unit of the two legs
    bool degenerate;
    int cls;
  } cases[] = {{320.0f, false, 2}, {100.0f, false, 0}, {184.0f, false, 5} /* v = 1150 exactly */,
               {1000.0f, false, 4}, {3000.0f, false, 5}, {1.0f, true, 5}};
  for (const Case& c : cases) {
    LodModel m;
    BatchVertex t[3] = {Vertex(0, 0, 0, 0, 0), Vertex(c.ratio, 0, 0, 1, 0), Vertex(0, c.ratio, 0, 0, 1)};
    if (c.degenerate)
      for (auto& v : t) v.position[0] = v.position[1] = 0;
    if (c.ratio == 184.0f) t[2] = Vertex(0, 0, 0, 0, 0);  // one edge only: 184 × 6.25 = 1150
    Triangle(m, t, {{0}, {0}, {0}});
    TextureScaleClass(m);
    EXPECT_EQ(m.batches[0]->header.scaleClass, c.cls) << c.ratio;
  }
}

TEST(RenderBatches, MergingMatchesAFreshScanOfAllPairs) {
  for (std::uint32_t seed = 1; seed <= 25; ++seed) {
    auto fast = batch_support::RandomModel(seed, 300, 30, 3, nullptr);
    auto plain = batch_support::RandomModel(seed, 300, 30, 3, &oracle::Weld);
    ASSERT_EQ(batch_support::Dump(*fast), batch_support::Dump(*plain));
    const PartRecords none;
    std::vector<BonePartRecord> records(30);
    for (int b = 0; b < 30; ++b) records[b] = {static_cast<std::uint8_t>(b / 10), static_cast<std::uint8_t>(b % 3 == 0)};
    const PartRecords r = seed % 2 ? PartRecords::Of(records) : none;
    MergeBatches(*fast, r);
    oracle::MergeBatches(*plain, r);
    EXPECT_EQ(batch_support::Dump(*fast), batch_support::Dump(*plain)) << seed;
    EXPECT_LT(fast->batches.Count(), 40u);
  }
}
