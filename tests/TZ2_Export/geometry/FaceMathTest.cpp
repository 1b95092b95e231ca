// FaceNormal and InterpolateUv: orientation, degenerate triangles, projection choice.
#include <gtest/gtest.h>

#include "TZ2_Export/geometry/FaceMath.h"

namespace {

void ExpectUv(const UvPair& got, const UvPair& want) {
  EXPECT_NEAR(got.u, want.u, 1e-5f);
  EXPECT_NEAR(got.v, want.v, 1e-5f);
}

TEST(FaceNormal, FollowsTheCornerOrderAndFallsBackToX) {
  const Point3 n = FaceNormal(Point3(0, 0, 0), Point3(2, 0, 0), Point3(0, 3, 0));
  EXPECT_EQ(n, Point3(0, 0, 1));
  EXPECT_EQ(FaceNormal(Point3(0, 0, 0), Point3(0, 3, 0), Point3(2, 0, 0)), Point3(0, 0, -1));
  // Collinear and coincident corners: no direction, (1, 0, 0).
  EXPECT_EQ(FaceNormal(Point3(0, 0, 0), Point3(1, 1, 1), Point3(2, 2, 2)), Point3(1, 0, 0));
  EXPECT_EQ(FaceNormal(Point3(5, 5, 5), Point3(5, 5, 5), Point3(5, 5, 5)), Point3(1, 0, 0));
  const Point3 tilted = FaceNormal(Point3(0, 0, 0), Point3(1, 0, 1), Point3(0, 1, 0));
  EXPECT_NEAR(tilted.Length(), 1.0f, 1e-6f);
}

TEST(InterpolateUv, CornersCentreAndOffPlanePoints) {
  const UvPair t0{0.1f, 0.2f}, t1{0.9f, 0.3f}, t2{0.4f, 0.8f};
  struct Triangle {
    Point3 p0, p1, p2, away;  // `away` is along the dropped axis
  };
  const Triangle triangles[] = {
      {Point3(0, 0, 0), Point3(4, 0, 0), Point3(0, 2, 0), Point3(0, 0, 1)},           // drops z
      {Point3(1, 0, 0), Point3(1, 3, 0), Point3(1, 0, 2), Point3(1, 0, 0)},           // drops x
      {Point3(0, 0, 0), Point3(0, 0, 2), Point3(3, 0.5f, 0), Point3(0, 1, 0)},        // drops y
      {Point3(0, 0, 0), Point3(0, 1, 1), Point3(1, 0, 1), Point3(1, 0, 0)},           // tie: drops x
  };
  for (const Triangle& tr : triangles) {
    ExpectUv(InterpolateUv(tr.p0, tr.p1, tr.p2, t0, t1, t2, tr.p0), t0);
    ExpectUv(InterpolateUv(tr.p0, tr.p1, tr.p2, t0, t1, t2, tr.p1), t1);
    ExpectUv(InterpolateUv(tr.p0, tr.p1, tr.p2, t0, t1, t2, tr.p2), t2);
    const Point3 centre = (tr.p0 + tr.p1 + tr.p2) / 3.0f;
    const UvPair mean{(t0.u + t1.u + t2.u) / 3.0f, (t0.v + t1.v + t2.v) / 3.0f};
    ExpectUv(InterpolateUv(tr.p0, tr.p1, tr.p2, t0, t1, t2, centre), mean);
    // Moving q along the dropped axis does not change the result.
    ExpectUv(InterpolateUv(tr.p0, tr.p1, tr.p2, t0, t1, t2, centre + tr.away * 7.0f), mean);
  }
  // Outside the triangle the weights extrapolate: q = p0 + 2·e1.
  ExpectUv(InterpolateUv(Point3(0, 0, 0), Point3(1, 0, 0), Point3(0, 1, 0), t0, t1, t2, Point3(2, 0, 0)),
           UvPair{t0.u + 2 * (t1.u - t0.u), t0.v + 2 * (t1.v - t0.v)});
}

TEST(InterpolateUv, DegenerateProjectionGivesTheFirstCorner) {
  const UvPair t0{0.25f, 0.75f}, t1{1, 1}, t2{0, 1};
  // Collinear corners.
  ExpectUv(InterpolateUv(Point3(0, 0, 0), Point3(1, 1, 0), Point3(2, 2, 0), t0, t1, t2, Point3(1, 1, 0)), t0);
  // A real but tiny triangle: its projected cross product 0.0001 is below 0.001.
  ExpectUv(InterpolateUv(Point3(0, 0, 0), Point3(0.01f, 0, 0), Point3(0, 0.01f, 0), t0, t1, t2,
                         Point3(0.01f, 0, 0)), t0);
  float s = 1, r = 1;
  EXPECT_FALSE(UvWeights(Point3(0, 0, 0), Point3(0, 0, 0), Point3(0, 0, 0), Point3(1, 1, 1), s, r));
  EXPECT_EQ(s, 0.0f);
  EXPECT_EQ(r, 0.0f);
}

}  // namespace
