// RigidPart: rotation and translation survive, scale, shear and mirroring do not.
#include <gtest/gtest.h>

#include "TZ2_Export/geometry/RigidPart.h"

namespace {

void ExpectNear(const Matrix3& a, const Matrix3& b, float eps = 2e-5f) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(a[i][j], b[i][j], eps) << "row " << i << " col " << j;
}

void ExpectRigid(const Matrix3& r) {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(r[i] % r[j], i == j ? 1.0f : 0.0f, 2e-5f);
  EXPECT_NEAR(r.Det(), 1.0f, 2e-5f);
}

TEST(RigidPart, DropsScaleAndShearKeepsRotationAndTranslation) {
  const Matrix3 rigid = RotateXMatrix(0.4f) * RotateZMatrix(-1.1f) * TransMatrix(Point3(3, -2, 8));
  struct Case {
    const char* name;
    Matrix3 m;
  };
  Matrix3 shear;
  shear.SetRow(1, Point3(0.0f, 1.0f, 0.6f));
  const Case cases[] = {
      {"rigid", rigid},
      {"uniform scale", ScaleMatrix(Point3(3, 3, 3)) * rigid},
      {"non-uniform scale", ScaleMatrix(Point3(0.5f, 2.0f, 7.0f)) * rigid},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectNear(RigidPart(c.m), rigid);
  }
  // Shear and mirror: what is left is still a proper rotation with the translation.
  for (const Matrix3& m : {shear * rigid, ScaleMatrix(Point3(-1, 1, 1)) * rigid}) {
    const Matrix3 r = RigidPart(m);
    ExpectRigid(r);
    EXPECT_EQ(r.GetTrans(), m.GetTrans());
  }
}

}  // namespace
