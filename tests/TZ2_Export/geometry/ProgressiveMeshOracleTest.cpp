// The fast reducer against the literal reference: on many generated meshes, the welding
// indices, the collapse records, the corner changes, the removal orders, the re-laid arrays and
// the live faces at several face counts must be identical, bit for bit.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <unordered_set>

#include "tests/TZ2_Export/geometry/ReducerMeshes.h"
#include "tests/TZ2_Export/geometry/ReducerOracle.h"

namespace {

using namespace reducer_meshes;

std::uint32_t Bits(float f) {
  std::uint32_t b;
  std::memcpy(&b, &f, 4);
  return b;
}

template <typename T, typename Array>
bool SameBytes(const Array& fast, const std::vector<T>& literal) {
  return fast.Count() == literal.size() &&
         (literal.empty() || std::memcmp(fast.Data(), literal.data(), literal.size() * sizeof(T)) == 0);
}

// Index of the first differing record, for a readable failure.
template <typename Array, typename T>
std::string FirstDifference(const Array& fast, const std::vector<T>& literal) {
  const std::size_t n = std::min<std::size_t>(fast.Count(), literal.size());
  for (std::size_t i = 0; i < n; ++i)
    if (std::memcmp(&fast[static_cast<std::uint32_t>(i)], &literal[i], sizeof(T)) != 0)
      return "first difference at " + std::to_string(i);
  return "sizes " + std::to_string(fast.Count()) + " and " + std::to_string(literal.size());
}

void ExpectSameLiveMesh(const ProgressiveMesh& fast, const ReducerOracle& literal) {
  ASSERT_EQ(fast.LiveFaceCount(), literal.liveFaces);
  ASSERT_EQ(fast.LiveVertexCount(), literal.liveVertices);
  ASSERT_EQ(fast.VertexCount(), literal.vertices.size());
  for (std::uint32_t i = 0; i < fast.VertexCount(); ++i)
    ASSERT_EQ(fast.Vertex(i)->index, literal.vertices[i]->index) << "vertex slot " << i;
  for (std::uint32_t i = 0; i < fast.LiveFaceCount(); ++i) {
    const PmFace* f = fast.Face(i);
    const OracleFace* g = literal.faces[i];
    ASSERT_EQ(f->index, g->index) << "face slot " << i;
    for (int k = 0; k < 3; ++k) {
      ASSERT_EQ(f->corners[k]->index, g->corners[k]->index) << "face slot " << i << " corner " << k;
    }
  }
}

// The corners of the live faces are among the live vertices (a prefix of the vertex array).
void ExpectLiveCornersAreLive(const ProgressiveMesh& mesh) {
  std::unordered_set<const PmVertex*> live;
  for (std::uint32_t i = 0; i < mesh.LiveVertexCount(); ++i) live.insert(mesh.Vertex(i));
  for (std::uint32_t i = 0; i < mesh.LiveFaceCount(); ++i)
    for (const PmVertex* v : mesh.Face(i)->corners)
      ASSERT_TRUE(live.count(v)) << "face slot " << i << " uses vertex " << v->index;
}

struct Case {
  const char* name;
  GeneratedMesh mesh;
  bool weld;
  bool keepCollapsing;
  double firstTarget;  // fraction of the face count that builds the history
};

void ExpectSameReduction(const Case& c) {
  SCOPED_TRACE(c.name);
  ProgressiveMesh fast;
  ReducerOracle literal;
  Feed(c.mesh, fast, c.weld);
  Feed(c.mesh, literal, c.weld);
  ASSERT_EQ(fast.VertexCount(), literal.vertices.size());
  ASSERT_EQ(fast.FaceCount(), literal.faces.size());
  const std::uint32_t total = fast.FaceCount();
  const std::uint32_t targets[] = {static_cast<std::uint32_t>(total * c.firstTarget),
                                   total / 10, total / 2, 0, total, total - 1, 1, 2 * total / 3,
                                   total / 4};
  for (std::uint32_t target : targets) {
    SCOPED_TRACE("target " + std::to_string(target));
    const float a = fast.SetFaceCount(target, c.keepCollapsing);
    const float b = literal.SetFaceCount(target, c.keepCollapsing);
    EXPECT_EQ(Bits(a), Bits(b)) << a << " vs " << b;
    if (target == targets[0]) {
      ASSERT_TRUE(fast.Built());
      EXPECT_TRUE(SameBytes(fast.History(), literal.history))
          << FirstDifference(fast.History(), literal.history);
      EXPECT_TRUE(SameBytes(fast.Changes(), literal.changes))
          << FirstDifference(fast.Changes(), literal.changes);
      EXPECT_TRUE(SameBytes(fast.RemovedFaces(), literal.removedFaces));
      EXPECT_TRUE(SameBytes(fast.RemovedVertices(), literal.removedVertices));
      EXPECT_EQ(Bits(fast.Scale()), Bits(literal.scale));
    }
    ExpectSameLiveMesh(fast, literal);
    ExpectLiveCornersAreLive(fast);
  }
  // A step forward and back from the middle lands on the same mesh in both.
  fast.SetFaceCount(total / 3, c.keepCollapsing);
  literal.SetFaceCount(total / 3, c.keepCollapsing);
  EXPECT_EQ(Bits(fast.StepForward()), Bits(literal.StepForward()));
  EXPECT_EQ(Bits(fast.StepBack()), Bits(literal.StepBack()));
  ExpectSameLiveMesh(fast, literal);
}

std::vector<Case> Cases() {
  std::vector<Case> cases;
  cases.push_back({"flat grid, many equal costs", Grid(12, 9, 0.0f, 1), true, false, 0.5});
  cases.push_back({"jittered grid", Grid(16, 14, 0.4f, 2, true), true, false, 0.3});
  cases.push_back({"jittered grid, keep collapsing", Grid(15, 11, 0.3f, 3), true, true, 0.6});
  cases.push_back({"grid inserted raw", Grid(10, 10, 0.2f, 4), false, false, 0.2});
  cases.push_back({"sphere with texture seams", CubeSphere(7, 0.05f, 5), true, false, 0.4});
  cases.push_back({"sphere, raw seams", CubeSphere(6, 0.1f, 6), false, true, 0.1});
  cases.push_back({"flat-shaded cube", CubeSphere(5, 0.0f, 7, true), true, false, 0.25});
  cases.push_back({"two-sided sheet", TwoSided(Grid(9, 8, 0.3f, 8)), true, false, 0.5});
  cases.push_back({"two-sided sphere", TwoSided(CubeSphere(4, 0.05f, 9)), true, true, 0.3});
  cases.push_back({"skinned grid", Skinned(Grid(14, 12, 0.2f, 10), 3), true, false, 0.4});
  cases.push_back({"skinned sphere", Skinned(CubeSphere(6, 0.03f, 11), 4), true, false, 0.2});
  cases.push_back({"two materials", Materials(Grid(12, 12, 0.25f, 12), 6.0f), true, false, 0.35});
  cases.push_back({"material seams on a sphere", Materials(CubeSphere(6, 0.05f, 13), 0.1f), true,
                   true, 0.5});
  cases.push_back({"degenerate faces", WithDegenerates(Grid(8, 7, 0.3f, 14)), true, false, 0.5});
  cases.push_back({"degenerate faces, raw", WithDegenerates(CubeSphere(4, 0.1f, 15)), false, true,
                   0.7});
  cases.push_back({"everything", Materials(Skinned(TwoSided(WithDegenerates(Grid(10, 9, 0.5f, 16))), 2), 4.0f),
                   true, false, 0.45});
  cases.push_back({"non-manifold soup", Soup(60, 300, 17), true, false, 0.5});
  cases.push_back({"non-manifold soup, raw, keep collapsing", Soup(80, 250, 18), false, true, 0.2});
  cases.push_back({"NaN and far positions", WithOddPositions(Grid(8, 8, 0.2f, 19)), true, false, 0.4});
  return cases;
}

TEST(ProgressiveMeshOracle, FastReducerMatchesTheLiteralOne) {
  for (const Case& c : Cases()) ExpectSameReduction(c);
}

TEST(ProgressiveMeshOracle, WeldingReturnsTheFirstMatchLikeAScan) {
  // Vertices scattered on a lattice finer than the tolerance, so that many lie within it of
  // several earlier ones.
  Lcg rng(77);
  ProgressiveMesh fast;
  ReducerOracle literal;
  for (int i = 0; i < 3000; ++i) {
    const Point3 p(std::floor(rng.Next() * 6) * 0.00004f, std::floor(rng.Next() * 6) * 0.00004f,
                   std::floor(rng.Next() * 3) * 0.00004f + (i % 7 == 0 ? 1e10f : 0.0f));
    const Point3 n(0, 0, std::floor(rng.Next() * 3) * 0.00006f + 1.0f);
    UvPair uv[kPmUvChannels] = {{std::floor(rng.Next() * 3) * 0.00005f, 0.0f}};
    const std::uint8_t bones[2] = {1, static_cast<std::uint8_t>(rng.Next() * 2)};
    const float weights[2] = {0.5f, 0.5f};
    const std::uint8_t count = rng.Next() < 0.5f ? 1 : 2;
    ASSERT_EQ(fast.AddVertex(p, n, uv, bones, weights, count),
              literal.AddVertex(p, n, uv, bones, weights, count))
        << "vertex " << i;
  }
  EXPECT_EQ(fast.VertexCount(), literal.vertices.size());
  EXPECT_LT(fast.VertexCount(), 3000u);
}

}  // namespace
