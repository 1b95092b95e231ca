// Vertex cache order: the incremental choice against a scan of all triangles, for base
// batches (new indices, permuted vertices) and their level entries.
#include <gtest/gtest.h>

#include "TZ2_Export/geometry/VertexCacheOrder.h"
#include "tests/TZ2_Export/geometry/BatchTestSupport.h"

using namespace tz2;

namespace {

// Triangles over `vertices` vertices, mostly neighbourly (strips of a grid), some random and
// some with a repeated corner.
GrowArray<BatchTriangle> RandomTriangles(std::uint32_t seed, std::uint32_t count, std::uint32_t vertices) {
  batch_support::Lcg r(seed);
  GrowArray<BatchTriangle> out;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t a = r.Next(vertices);
    BatchTriangle t{{a, (a + 1 + r.Next(3)) % vertices, (a + 5 + r.Next(7)) % vertices}};
    if (r.Next(10) == 0) t.v[2] = t.v[0];
    if (r.Next(5) == 0) t.v[1] = r.Next(vertices);
    out.Append(t);
  }
  return out;
}

}  // namespace

TEST(VertexCacheOrder, ChoicesMatchAScanOfAllTriangles) {
  const std::uint32_t sizes[][2] = {{1, 3}, {10, 8}, {200, 60}, {700, 300}, {900, 2000}};
  for (std::uint32_t seed = 1; seed <= 8; ++seed)
    for (auto [count, vertices] : sizes)
      for (bool pushAll : {false, true}) {
        const GrowArray<BatchTriangle> t = RandomTriangles(seed, count, vertices);
        std::vector<std::uint32_t> fastIndex, plainIndex;
        const auto fast = CacheOrder(t, vertices, pushAll, pushAll ? nullptr : &fastIndex);
        const auto plain = oracle::TriangleOrder(t, vertices, pushAll, pushAll ? nullptr : &plainIndex);
        ASSERT_EQ(fast, plain) << seed << " " << count << " " << pushAll;
        ASSERT_EQ(fastIndex, plainIndex);
      }
}

TEST(VertexCacheOrder, BatchesWithEntriesMatchThePlainOrder) {
  for (std::uint32_t seed = 1; seed <= 10; ++seed) {
    MeshBatch batches[2];
    for (MeshBatch& a : batches) {
      batch_support::Lcg r(seed);
      const std::uint32_t n = 50 + r.Next(400);
      for (std::uint32_t i = 0; i < n; ++i) a.vertices.Append(batch_support::Vertex(float(i), float(r.Next(9)), 0));
      a.triangles = RandomTriangles(seed, n / 2, n / 2 + 1);  // only the first half is used at the base
      a.header.triangleCount = static_cast<std::uint16_t>(a.triangles.Count());
      MeshBatch** link = &a.next;
      for (int l = 0; l < 3; ++l) {
        auto* e = new MeshBatch;
        e->owner = &a;
        e->triangles = RandomTriangles(seed * 7 + l, l == 2 ? 0 : n / 3, n);
        *link = e;
        link = &e->next;
      }
    }
    VertexCacheOrder(batches[0]);
    oracle::CacheOrder(batches[1]);
    LodModel a, b;
    a.batches.Append(new MeshBatch(std::move(batches[0])));
    b.batches.Append(new MeshBatch(std::move(batches[1])));
    EXPECT_EQ(batch_support::Dump(a), batch_support::Dump(b)) << seed;
    const MeshBatch& x = *a.batches[0];
    for (const BatchTriangle& t : x.triangles)
      for (std::uint32_t v : t.v) EXPECT_LT(v, x.header.vertexRange);
    // Vertices keep their content: the first base triangle's corners are 0, 1, 2 in order.
    if (x.triangles.Count() > 0) {
      EXPECT_EQ(x.triangles[0].v[0], 0u);
    }
    EXPECT_EQ(Entry(x, 3)->header.vertexRange, 1);
  }
}
