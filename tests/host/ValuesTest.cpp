// Host values: the matrix, quaternion and time properties the exporter relies on.
#include <gtest/gtest.h>

#include <cmath>

#include "host/Quat.h"
#include "host/Time.h"

namespace {

void ExpectNear(const Matrix3& a, const Matrix3& b, float eps = 1e-5f) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(a[i][j], b[i][j], eps) << "row " << i << " col " << j;
}

TEST(Quat, MatrixRoundTripKeepsTheQuaternion) {
  const Quat cases[] = {
      {0.0f, 0.0f, 0.3826834f, 0.9238795f},
      {0.5f, 0.5f, 0.5f, 0.5f},
      {1.0f, 0.0f, 0.0f, 0.0f},    // trace below 0: the largest-diagonal branch
      {0.0f, 0.7071068f, 0.0f, 0.7071068f},
  };
  for (const Quat& q : cases) {
    Quat back(q.ToMatrix());
    const float sign = back.Dot(q) < 0.0f ? -1.0f : 1.0f;
    EXPECT_NEAR(back.x * sign, q.x, 1e-5f);
    EXPECT_NEAR(back.y * sign, q.y, 1e-5f);
    EXPECT_NEAR(back.z * sign, q.z, 1e-5f);
    EXPECT_NEAR(back.w * sign, q.w, 1e-5f);
  }
}

TEST(Matrix3, ProductAppliesTheLeftFactorFirst) {
  const Matrix3 a = TransMatrix(Point3(1, 0, 0));
  const Matrix3 b = RotateZMatrix(static_cast<float>(M_PI / 2));
  // Translate to (1, 0, 0), then turn a quarter about Z: (0, 1, 0).
  const Point3 p = (a * b).PointTransform(Point3());
  EXPECT_NEAR(p.x, 0.0f, 1e-6f);
  EXPECT_NEAR(p.y, 1.0f, 1e-6f);
  ExpectNear(Inverse(a * b) * (a * b), Matrix3());
}

TEST(Time, TicksPerFrameFollowTheFrameRate) {
  SetFrameRate(30);
  EXPECT_EQ(GetTicksPerFrame(), 160);
  SetFrameRate(25);
  EXPECT_EQ(GetTicksPerFrame(), 192);
  SetFrameRate(30);
}

}  // namespace
