// Level chains and batch order: entries chained behind the best base batch, new base batches
// for levels that fit none, empty entries, palette harmonisation and the class boundaries.
#include <gtest/gtest.h>

#include "TZ2_Export/geometry/VertexCacheOrder.h"
#include "tests/TZ2_Export/geometry/BatchTestSupport.h"

using namespace tz2;
using batch_support::Triangle;
using batch_support::Vertex;

namespace {

const BatchVertex kA[3] = {Vertex(0, 0, 0), Vertex(1, 0, 0), Vertex(0, 1, 0)};
const BatchVertex kB[3] = {Vertex(1, 0, 0), Vertex(1, 1, 0), Vertex(0, 1, 0)};
const BatchVertex kC[3] = {Vertex(5, 0, 0), Vertex(6, 0, 0), Vertex(5, 1, 0)};

std::vector<std::uint16_t> Materials(const LodModel& m) {
  std::vector<std::uint16_t> out;
  for (const MeshBatch* b : m.batches) out.push_back(b->header.material);
  return out;
}

// A batch of material `material`, skin class by weights and channels, with one triangle.
void ClassBatch(LodModel& m, std::uint16_t material, std::uint8_t weights, std::uint8_t channels) {
  auto* b = new MeshBatch;
  b->header.material = material;
  b->header.detailMarker = channels == 2 ? 0 : kNoDetail;
  b->channels = channels;
  b->weightsPerVertex = weights;
  m.batches.Append(b);
}

}  // namespace

TEST(LevelChains, LevelBatchesJoinTheBestBaseBatchAndShareItsVertices) {
  LodModel model;
  Triangle(model, kA, {{1}, {2}, {3}});
  Triangle(model, kB, {{1}, {2}, {3}});
  LodModel level;
  Triangle(level, kA, {{1}, {2}, {2}});  // palette {1, 2}
  Triangle(level, kC, {{1}, {3}, {3}});  // palette {1, 3}
  MergeLevel(model, level, {});
  ASSERT_EQ(model.batches.Count(), 1u);
  const MeshBatch& a = *model.batches[0];
  ASSERT_EQ(EntryCount(a), 1u);
  const MeshBatch& e = *Entry(a, 1);
  EXPECT_EQ(e.owner, &a);
  EXPECT_EQ(e.triangles.Count(), 2u);  // the second level batch appended to the first's entry
  EXPECT_EQ(e.header.triangleCount, 2);
  EXPECT_EQ(e.header.vertexCount, 0);
  // 5 base vertices (corners with other bones do not weld), one new corner of the first level
  // batch and kC's three.
  EXPECT_EQ(a.vertices.Count(), 9u);
  EXPECT_EQ(e.header.vertexRange, 9);
  EXPECT_EQ(std::vector<std::uint8_t>(e.header.palette, e.header.palette + 3), (std::vector<std::uint8_t>{1, 2, 3}));
  // The entry's corners are the base batch's welded vertices.
  EXPECT_EQ(e.triangles[0].v[0], a.triangles[0].v[0]);
  EXPECT_EQ(e.triangles[0].v[1], a.triangles[0].v[1]);
}

TEST(LevelChains, ALevelThatFitsNoBatchMakesANewBaseBatchWithEmptyEarlierEntries) {
  LodModel model;
  Triangle(model, kA, {{1}, {1}, {1}}, 0);
  Triangle(model, kB, {{2}, {2}, {2}}, 1);
  LodModel level1;
  Triangle(level1, kA, {{1}, {1}, {1}}, 0);
  MergeLevel(model, level1, {});
  LodModel level2;
  Triangle(level2, kC, {{4}, {4}, {4}}, 2);  // a material the base does not have
  MergeLevel(model, level2, {});
  ASSERT_EQ(model.batches.Count(), 3u);
  MeshBatch* fresh = nullptr;
  for (MeshBatch* b : model.batches)
    if (b->header.material == 2) fresh = b;
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(fresh->triangles.Count(), 0u);
  EXPECT_EQ(fresh->vertices.Count(), 3u);
  for (const MeshBatch* b : model.batches) ASSERT_EQ(EntryCount(*b), 2u);
  // Material 1 vanished at both levels, material 0 at level 3.
  for (MeshBatch* b : model.batches) VertexCacheOrder(*b);
  for (const MeshBatch* b : model.batches) {
    const std::uint32_t expected[3][2] = {{1, 0}, {0, 0}, {0, 1}};
    for (std::uint32_t l = 1; l <= 2; ++l) {
      const MeshBatch& e = *Entry(*b, l);
      EXPECT_EQ(e.triangles.Count(), expected[b->header.material][l - 1]) << b->header.material << " " << l;
      if (e.triangles.Count() == 0) {
        EXPECT_EQ(e.header.vertexRange, 1);
      }
      EXPECT_EQ(e.owner, b);
    }
  }
  EXPECT_EQ(fresh->header.vertexRange, 0);
  EXPECT_EQ(Entry(*fresh, 2)->header.vertexRange, 3);
}

TEST(LevelChains, CacheOrderPutsBaseVerticesFirstAndLevelOnlyVerticesAfter) {
  LodModel model;
  Triangle(model, kA, {{1}, {1}, {1}});
  LodModel level;
  Triangle(level, kC, {{1}, {1}, {1}});
  MergeLevel(model, level, {});
  MeshBatch& a = *model.batches[0];
  ASSERT_EQ(a.vertices.Count(), 6u);
  VertexCacheOrder(a);
  EXPECT_EQ(a.header.vertexRange, 3);
  for (const BatchTriangle& t : a.triangles)
    for (std::uint32_t v : t.v) EXPECT_LT(v, 3u);
  const MeshBatch& e = *Entry(a, 1);
  EXPECT_EQ(e.header.vertexRange, 6);
  for (std::uint32_t v : e.triangles[0].v) EXPECT_GE(v, 3u);
  EXPECT_FLOAT_EQ(a.vertices[e.triangles[0].v[0]].position[0], 5.0f);
}

TEST(LevelChains, ClassBoundariesKeepOneMaterialOnBothSides) {
  struct Case {
    std::vector<std::pair<std::uint16_t, int>> batches;  // material, class (0: 1 weight, 2: 2 weights)
    std::vector<std::uint16_t> order;
  } cases[] = {
      {{{7, 0}, {7, 0}, {3, 0}, {3, 0}, {3, 2}, {9, 2}}, {7, 7, 3, 3, 3, 9}},
      {{{3, 0}, {7, 0}, {3, 2}, {7, 2}}, {3, 7, 7, 3}},
      {{{1, 0}, {2, 0}, {4, 0}}, {4, 2, 1}},
  };
  for (const Case& c : cases) {
    LodModel m;
    for (auto [material, cls] : c.batches) ClassBatch(m, material, static_cast<std::uint8_t>(cls / 2 + 1), 1);
    SortBatches(m, {});
    EXPECT_EQ(Materials(m), c.order);
  }
}

TEST(LevelChains, SortPutsPartBoundBatchesAfterTheOthersOfTheirMaterial) {
  LodModel m;
  Triangle(m, kA, {{1}, {1}, {1}}, 5);
  Triangle(m, kB, {{2}, {2}, {2}}, 5);
  Triangle(m, kC, {{3}, {3}, {3}}, 6);
  std::vector<BonePartRecord> records(4);
  records[1] = {1, 1};
  SortBatches(m, PartRecords::Of(records));
  EXPECT_EQ(Materials(m), (std::vector<std::uint16_t>{6, 5, 5}));
  EXPECT_EQ(m.batches[1]->header.palette[0], 2);  // not part-bound: the larger key
}

TEST(LevelChains, HarmonisedPalettesAgreeSlotBySlotAndKeepEveryVertexsBones) {
  LodModel m;
  Triangle(m, kA, {{1}, {2}, {3}}, 2);
  Triangle(m, kB, {{2}, {3}, {4}}, 1);  // another material: no union, slots aligned
  Triangle(m, kC, {{2}, {3}, {5}}, 1);  // same material as the previous: union {2, 3, 4, 5}
  HarmonisePalettes(m, {});
  ASSERT_EQ(m.batches.Count(), 3u);
  const MeshBatch& p = *m.batches[0];
  const MeshBatch& q = *m.batches[1];
  const MeshBatch& r = *m.batches[2];
  EXPECT_EQ(std::vector<std::uint8_t>(p.header.palette, p.header.palette + 3), (std::vector<std::uint8_t>{1, 2, 3}));
  ASSERT_EQ(q.header.paletteCount, 4);
  EXPECT_EQ(q.header.palette[1], 2);
  EXPECT_EQ(q.header.palette[2], 3);
  EXPECT_EQ(std::vector<std::uint8_t>(r.header.palette, r.header.palette + 4),
            std::vector<std::uint8_t>(q.header.palette, q.header.palette + 4));
  const int bones[3] = {2, 3, 4};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(batch_support::BoneOf(q, q.vertices[i], 0), bones[i]);
  // The usage mask names the slots the vertices use.
  std::uint32_t mask = 0;
  for (const BatchVertex& v : q.vertices) mask |= 1u << v.bones[0];
  EXPECT_EQ(q.header.usageMask, mask);
  EXPECT_EQ(p.header.usageMask, 7u);
}
