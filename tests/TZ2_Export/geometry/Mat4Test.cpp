// Mat4 and quaternion operations: conversions in both directions, rigid inverse, slerp
// along the shorter arc, rotation difference.
#include <gtest/gtest.h>

#include <cmath>

#include "TZ2_Export/geometry/Mat4.h"

namespace {

constexpr float kPi = 3.14159265358979f;

Quat AxisAngle(const Point3& axis, float angle) {
  const Point3 a = axis.Normalize() * std::sin(angle / 2);
  return {a.x, a.y, a.z, std::cos(angle / 2)};
}

void ExpectQuat(const Quat& got, const Quat& want, float eps = 1e-5f) {
  EXPECT_NEAR(got.x, want.x, eps);
  EXPECT_NEAR(got.y, want.y, eps);
  EXPECT_NEAR(got.z, want.z, eps);
  EXPECT_NEAR(got.w, want.w, eps);
}

// The same rotation: equal up to sign.
void ExpectSameRotation(const Quat& got, const Quat& want) {
  ExpectQuat(QuatDot(got, want) < 0 ? Quat(-got.x, -got.y, -got.z, -got.w) : got, want);
}

void ExpectMat4(const Mat4& a, const Mat4& b, float eps = 1e-5f) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(a.m[i][j], b.m[i][j], eps) << i << "," << j;
}

TEST(Mat4, QuaternionMatrixRoundTripCoversEveryBranch) {
  const Quat cases[] = {
      AxisAngle(Point3(1, 2, 3), 0.7f),  // trace above 0
      AxisAngle(Point3(1, 0, 0), kPi),   // largest diagonal m00
      AxisAngle(Point3(0, 1, 0), kPi),   // m11
      AxisAngle(Point3(0, 0, 1), kPi),   // m22
      AxisAngle(Point3(1, 1, 0), 2.8f),
      AxisAngle(Point3(-1, 0.2f, 3), 3.0f),
  };
  for (const Quat& q : cases) {
    const Point3 t(1.5f, -2, 3);
    const Mat4 m = QuatTransToMat4(q, t);
    EXPECT_EQ(m.m[0][3], 0.0f);
    EXPECT_EQ(m.m[3][3], 1.0f);
    // Agrees with the host's quaternion matrix.
    ExpectMat4(Mat4FromMatrix3(q.ToMatrix() * TransMatrix(t)), m);
    Quat back;
    Point3 tb;
    Mat4ToQuatTrans(m, back, tb);
    EXPECT_EQ(tb, t);
    ExpectSameRotation(back, q);
  }
  // The formula itself for a quarter turn about Z: X goes to -Y in the row convention of
  // this formula (m01 = 2(xy − wz) = −1).
  const Mat4 z = QuatTransToMat4(AxisAngle(Point3(0, 0, 1), kPi / 2), Point3());
  EXPECT_NEAR(z.m[0][1], -1.0f, 1e-6f);
  EXPECT_NEAR(z.m[1][0], 1.0f, 1e-6f);
}

TEST(Mat4, ProductAndRigidInverse) {
  const Mat4 r = QuatTransToMat4(AxisAngle(Point3(0, 1, 1), 1.2f), Point3(4, 5, 6));
  ExpectMat4(Mat4Identity() * r, r, 0.0f);
  ExpectMat4(Mat4RigidInverse(r) * r, Mat4Identity());
  ExpectMat4(r * Mat4RigidInverse(r), Mat4Identity());
  // Row i of a × b is row i of a times b: a translation then a turn moves the origin.
  const Mat4 move = QuatTransToMat4(Quat(), Point3(1, 0, 0));
  const Mat4 turn = Mat4FromMatrix3(RotateZMatrix(kPi / 2));
  const Mat4 both = move * turn;
  EXPECT_NEAR(both.m[3][0], 0.0f, 1e-6f);
  EXPECT_NEAR(both.m[3][1], 1.0f, 1e-6f);
  ExpectMat4(Mat4FromMatrix3(Matrix3FromMat4(both)), both, 0.0f);

  Point3 dirs[2] = {Point3(1, 0, 0), Point3(0, 2, 0)};
  TransformDirections(both, dirs, dirs, 2);  // in place, translation ignored
  EXPECT_NEAR(dirs[0].y, 1.0f, 1e-6f);
  EXPECT_NEAR(dirs[1].x, -2.0f, 1e-6f);
}

TEST(Mat4, QuatNormalizeDividesByTheLength) {
  ExpectQuat(QuatNormalize(Quat(0, 0, 3, 4)), Quat(0, 0, 0.6f, 0.8f));
  EXPECT_EQ(QuatNormalize(Quat(0, 0, 0, 0)), Quat(0, 0, 0, 0));
  EXPECT_EQ(QuatDot(Quat(1, 2, 3, 4), Quat(5, 6, 7, 8)), 70.0f);
}

TEST(QuatSlerp, InterpolatesAlongTheShorterArc) {
  const Quat id;
  const Quat quarter = AxisAngle(Point3(0, 0, 1), kPi / 2);
  ExpectQuat(QuatSlerp(id, quarter, 0.5f), AxisAngle(Point3(0, 0, 1), kPi / 4));
  ExpectQuat(QuatSlerp(id, quarter, 0.0f), id);
  ExpectQuat(QuatSlerp(id, quarter, 1.0f), quarter);
  // The negated end is the same rotation: the result is the same, not the long way round.
  const Quat negated(-quarter.x, -quarter.y, -quarter.z, -quarter.w);
  ExpectQuat(QuatSlerp(id, negated, 0.5f), AxisAngle(Point3(0, 0, 1), kPi / 4));
  ExpectQuat(QuatSlerp(id, negated, 1.0f), quarter);
}

TEST(QuatSlerp, NegationAndNearlyEqualEndsGiveTheEndNotZero) {
  const Quat q0 = AxisAngle(Point3(1, 2, 0), 0.9f);
  const Quat minus(-q0.x, -q0.y, -q0.z, -q0.w);
  const Quat mid = QuatSlerp(q0, minus, 0.5f);
  EXPECT_NEAR(std::fabs(QuatDot(mid, q0)), 1.0f, 1e-6f);  // q0 up to sign, unit length
  EXPECT_EQ(mid, minus);  // the unchanged q1 that was passed in
  // A dot product above 1 is taken as 1: no arc, the end comes back as passed.
  const Quat longer(q0.x * 1.5f, q0.y * 1.5f, q0.z * 1.5f, q0.w * 1.5f);
  EXPECT_EQ(QuatSlerp(q0, longer, 0.3f), longer);
  EXPECT_EQ(QuatSlerp(q0, q0, 0.3f), q0);
}

TEST(RotationDifference, MeasuresHowFarTheXAndYAxesMove) {
  struct Case {
    Quat a, b;
    float expected;
  };
  const Case cases[] = {
      {Quat(), Quat(), 0.0f},
      {AxisAngle(Point3(1, 1, 1), 1.0f), AxisAngle(Point3(1, 1, 1), 1.0f), 0.0f},
      {Quat(), AxisAngle(Point3(0, 0, 1), kPi / 2), 1.0f},   // both axes turn a quarter
      {Quat(), AxisAngle(Point3(1, 0, 0), kPi), 2.0f},       // X stays, Y flips
      {Quat(), AxisAngle(Point3(1, 0, 0), kPi / 3), 0.5f},   // only Y moves: 1 − cos 60°
      {AxisAngle(Point3(0, 1, 0), 0.4f), AxisAngle(Point3(0, 1, 0), 0.4f + kPi / 3), 0.5f},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(RotationDifference(c.a, c.b), c.expected, 1e-5f);
    EXPECT_NEAR(RotationDifference(c.b, c.a), c.expected, 1e-5f);
  }
}

}  // namespace
