// Chunks: packing of bones and weights, chunk vertex reuse, detail matching, the chunk
// limits and the used marks, on surfaces set up directly in the export state.
#include <gtest/gtest.h>

#include "TZ2_Export/scene/DetailMatching.h"
#include "TZ2_Export/scene/Surfaces.h"
#include "tests/TZ2_Export/scene/SceneFixture.h"

namespace tz2 {
namespace {

class ChunksTest : public SceneFixture {
 protected:
  // A surface (mesh index out of the mesh list: identity object transform) with one
  // vertex per position and triangles over consecutive vertices.
  Surface& AddSurface(const std::vector<Point3>& positions, std::uint32_t materialIndex = 0) {
    Surface surface;
    surface.meshIndex = 1000;
    surface.materialIndex = materialIndex;
    for (std::size_t i = 0; i < positions.size(); ++i) {
      SurfaceVertex v;
      v.position = positions[i];
      v.meshVertex = std::uint32_t(i);
      v.u = float(i);
      v.weights = {{0, 1.0f}};
      surface.vertices.push_back(v);
    }
    s.surfaceList.push_back(std::move(surface));
    return s.surfaceList.back();
  }
  static void AddTriangle(Surface& surface, std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    SurfaceTriangle t;
    t.corners[0] = a;
    t.corners[1] = b;
    t.corners[2] = c;
    for (int k = 0; k < 3; ++k) t.objectPositions[k] = surface.vertices[t.corners[k]].position;
    surface.triangles.push_back(t);
  }
  static DetailTriangle Detail(Point3 a, Point3 b, Point3 c) {
    DetailTriangle d;
    d.corners[0] = a;
    d.corners[1] = b;
    d.corners[2] = c;
    for (int k = 0; k < 3; ++k) {
      d.uv[k][0] = 0.1f * float(k + 1);
      d.uv[k][1] = 0.5f;
    }
    return d;
  }
};

TEST_F(ChunksTest, PackingUsesTheFirstThreeWeights) {
  const struct {
    std::vector<WeightPair> weights;
    std::uint32_t bones;
    std::uint16_t packed;
  } cases[] = {
      {{{3, 1.0f}}, 0x03u, 0},
      {{{1, 0.5f}, {2, 0.5f}}, 0x0201u, 127},
      {{{1, 0.5f}, {2, 0.25f}, {9, 0.25f}}, 0x090201u, 63 | (63 << 8)},
      {{{300, 1.0f}}, 300u & 0xFF, 0},
  };
  for (const auto& c : cases) {
    std::uint32_t bones = 0xFFFFFFFF;
    std::uint16_t packed = 0xFFFF;
    PackBonesAndWeights(c.weights, bones, packed);
    EXPECT_EQ(bones, c.bones);
    EXPECT_EQ(packed, c.packed);
  }
}

TEST_F(ChunksTest, SharedCornersReuseChunkVerticesAndMarkTheMaterialUsed) {
  s.materialList.resize(2);
  Surface& surface = AddSurface({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}, 1);
  AddTriangle(surface, 0, 1, 2);
  AddTriangle(surface, 2, 1, 3);
  surface.vertices[3].weights = {{2, 0.5f}, {1, 0.5f}};
  BuildChunks(s);
  ASSERT_EQ(s.surfaceList[0].chunks.size(), 1u);
  const SurfaceChunk& chunk = s.surfaceList[0].chunks[0];
  EXPECT_EQ(chunk.sourceTriangles, (std::vector<std::uint32_t>{0, 1}));
  EXPECT_EQ(chunk.corners, (std::vector<std::uint32_t>{0, 1, 2, 2, 1, 3}));
  ASSERT_EQ(chunk.VertexCount(), 4u);
  EXPECT_EQ(chunk.vertices[3].source, 3u);
  EXPECT_EQ(chunk.vertices[3].bones, 0x0102u);
  EXPECT_FLOAT_EQ(chunk.vertices[3].u, 3.0f);
  EXPECT_EQ(chunk.hasDetail, 0);
  EXPECT_EQ(s.materialList[0].used, 0);
  EXPECT_EQ(s.materialList[1].used, 1);
}

TEST_F(ChunksTest, DetailTrianglesMatchInEitherWindingWithinTolerance) {
  // Detail triangle i lies over triangle i; the pool holds them rotated, reversed, or off.
  const Point3 p[3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  const Point3 q[3] = {{5, 0, 0}, {6, 0, 0}, {5, 1, 0}};
  const Point3 r[3] = {{9, 0, 0}, {10, 0, 0}, {9, 1, 0}};
  const Point3 near(0.02f, 0.02f, 0);  // squared distance 0.0008: within
  const Point3 far(0.03f, 0.0f, 0.0f);   // 0.0009: within; 0.04 below (0.0016) is outside
  s.trianglePool.push_back(Detail(p[1] + near, p[2], p[0]));               // rotated
  s.trianglePool.push_back(Detail(q[0], q[2] + far, q[1]));                // reversed
  s.trianglePool.push_back(Detail(r[0] + Point3(0.04f, 0, 0), r[1], r[2]));  // too far
  Surface& surface = AddSurface({p[0], p[1], p[2], q[0], q[1], q[2], r[0], r[1], r[2]});
  AddTriangle(surface, 0, 1, 2);
  AddTriangle(surface, 3, 4, 5);
  AddTriangle(surface, 6, 7, 8);
  BuildChunks(s);
  const auto& chunks = s.surfaceList[0].chunks;
  ASSERT_EQ(chunks.size(), 2u);  // detail and plain triangles never share a chunk
  EXPECT_EQ(chunks[0].hasDetail, 1);
  EXPECT_EQ(chunks[0].sourceTriangles, (std::vector<std::uint32_t>{0, 1}));
  EXPECT_EQ(chunks[1].hasDetail, 0);
  EXPECT_EQ(chunks[1].sourceTriangles, (std::vector<std::uint32_t>{2}));
  // Triangle 0: corner 1 got detail corner 0, corner 2 detail corner 1, corner 0 detail corner 2.
  EXPECT_FLOAT_EQ(chunks[0].vertices[0].detailU, 0.3f);
  EXPECT_FLOAT_EQ(chunks[0].vertices[1].detailU, 0.1f);
  EXPECT_FLOAT_EQ(chunks[0].vertices[2].detailU, 0.2f);
  // Triangle 1: corner 0 = detail 0, corner 2 = detail 1, corner 1 = detail 2.
  EXPECT_FLOAT_EQ(chunks[0].vertices[3].detailU, 0.1f);
  EXPECT_FLOAT_EQ(chunks[0].vertices[4].detailU, 0.3f);
  EXPECT_FLOAT_EQ(chunks[0].vertices[5].detailU, 0.2f);
  EXPECT_FLOAT_EQ(chunks[1].vertices[0].detailU, 0.0f);
}

TEST_F(ChunksTest, TheFirstMatchingDetailTriangleInPoolOrderWins) {
  const Point3 p[3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  std::vector<DetailTriangle> pool;
  for (int i = 0; i < 2000; ++i) pool.push_back(Detail(Point3(float(i), 50, 0), Point3(float(i) + 1, 50, 0), Point3(float(i), 51, 0)));
  DetailTriangle later = Detail(p[0], p[1], p[2]);
  later.uv[0][0] = 0.9f;
  pool.push_back(Detail(p[0] + Point3(0, 0, 0.01f), p[1], p[2]));
  pool.push_back(later);
  const DetailMatcher matcher(pool);
  float uv[3][2] = {{0, 0}, {0, 0}, {0, 0}};
  ASSERT_TRUE(matcher.Match(p, uv));
  EXPECT_FLOAT_EQ(uv[0][0], 0.1f);  // pool entry 2000, not 2001
  const Point3 elsewhere[3] = {{0, 0, 5}, {1, 0, 5}, {0, 1, 5}};
  EXPECT_FALSE(matcher.Match(elsewhere, uv));
}

TEST_F(ChunksTest, ChunksHoldFewerThan65535Vertices) {
  // 21845 separate triangles need 65535 vertices: the last one opens a second chunk.
  std::vector<Point3> positions(3 * 21845);
  for (std::size_t i = 0; i < positions.size(); ++i) positions[i] = Point3(float(i), 0, 0);
  Surface& surface = AddSurface(positions);
  for (std::uint32_t t = 0; t < 21845; ++t) AddTriangle(surface, 3 * t, 3 * t + 1, 3 * t + 2);
  BuildChunks(s);
  const auto& chunks = s.surfaceList[0].chunks;
  ASSERT_EQ(chunks.size(), 2u);
  EXPECT_EQ(chunks[0].VertexCount(), 65532u);
  EXPECT_EQ(chunks[0].TriangleCount(), 21844u);
  EXPECT_EQ(chunks[1].sourceTriangles, (std::vector<std::uint32_t>{21844}));
  EXPECT_EQ(chunks[1].corners, (std::vector<std::uint32_t>{0, 1, 2}));
}

TEST_F(ChunksTest, ChunksHoldAtMost65535Triangles) {
  Surface& surface = AddSurface({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
  for (int t = 0; t < 65536; ++t) AddTriangle(surface, 0, 1, 2);
  BuildChunks(s);
  const auto& chunks = s.surfaceList[0].chunks;
  ASSERT_EQ(chunks.size(), 2u);
  EXPECT_EQ(chunks[0].TriangleCount(), 65535u);
  EXPECT_EQ(chunks[0].VertexCount(), 3u);
  EXPECT_EQ(chunks[1].TriangleCount(), 1u);
}

}  // namespace
}  // namespace tz2
