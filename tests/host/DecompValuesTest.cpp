// decomp_affine and the matrix operations built on the same conventions: a decomposition
// rebuilds its matrix, its factors have the documented form, and the inverse and the
// orthonormalisation behave on the matrices the exporter meets.
#include <gtest/gtest.h>

#include <cmath>

#include "host/Decomp.h"

namespace {

constexpr float kPi = 3.14159265358979f;

void ExpectNear(const Matrix3& a, const Matrix3& b, float eps) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(a[i][j], b[i][j], eps) << "row " << i << " col " << j;
}

void ExpectRotation(const Matrix3& r, float eps) {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      EXPECT_NEAR(r[i] % r[j], i == j ? 1.0f : 0.0f, eps) << "rows " << i << ", " << j;
  EXPECT_NEAR(r.Det(), 1.0f, eps);
}

Matrix3 Shear(float xy) {
  Matrix3 m;
  m.SetRow(0, Point3(1.0f, xy, 0.0f));
  return m;
}

struct DecompCase {
  const char* name;
  Matrix3 m;
  float f;
};

const DecompCase* DecompCases(int& n) {
  static const DecompCase cases[] = {
      {"identity", Matrix3(), 1.0f},
      {"rotation and translation", RotateXMatrix(0.3f) * RotateZMatrix(1.1f) * TransMatrix(Point3(4, -5, 6)), 1.0f},
      {"uniform scale", ScaleMatrix(Point3(2.5f, 2.5f, 2.5f)) * RotateYMatrix(2.0f), 1.0f},
      {"non-uniform scale", ScaleMatrix(Point3(1.0f, 3.0f, 0.5f)) * RotateZMatrix(0.7f) * TransMatrix(Point3(1, 2, 3)), 1.0f},
      {"scale after rotation", RotateZMatrix(0.7f) * ScaleMatrix(Point3(1.0f, 3.0f, 0.5f)), 1.0f},
      {"shear", Shear(0.8f) * RotateXMatrix(-0.4f) * ScaleMatrix(Point3(2, 1, 1)), 1.0f},
      {"mirror", ScaleMatrix(Point3(-1.0f, 1.0f, 1.0f)) * RotateYMatrix(0.9f) * TransMatrix(Point3(0, 7, 0)), -1.0f},
      {"mirror with scale", RotateXMatrix(1.3f) * ScaleMatrix(Point3(2.0f, -0.5f, 4.0f)), -1.0f},
      {"half turn", RotateZMatrix(kPi), 1.0f},
  };
  n = static_cast<int>(sizeof(cases) / sizeof(cases[0]));
  return cases;
}

TEST(DecompAffine, RebuildsTheMatrixWithTheDocumentedFactors) {
  int n = 0;
  const DecompCase* cases = DecompCases(n);
  for (int c = 0; c < n; ++c) {
    SCOPED_TRACE(cases[c].name);
    const Matrix3& m = cases[c].m;
    AffineParts parts;
    decomp_affine(m, &parts);
    EXPECT_EQ(parts.f, cases[c].f);
    EXPECT_NEAR(parts.q.Length(), 1.0f, 1e-5f);
    EXPECT_NEAR(parts.u.Length(), 1.0f, 1e-5f);
    EXPECT_GT(parts.k.x, 0.0f);
    EXPECT_GT(parts.k.y, 0.0f);
    EXPECT_GT(parts.k.z, 0.0f);
    EXPECT_EQ(parts.t, m.GetTrans());
    ExpectNear(ComposeAffine(parts), m, 2e-5f);

    // The same product spelled out: f · (Uᵀ · K · U) · R.
    const Matrix3 u = parts.u.ToMatrix();
    Matrix3 ut(false);
    for (int i = 0; i < 3; ++i) ut.SetRow(i, u.GetColumn3(i));
    Matrix3 a = ut * ScaleMatrix(parts.k) * u * parts.q.ToMatrix();
    for (int i = 0; i < 3; ++i) a.SetRow(i, a.GetRow(i) * parts.f);
    a.SetTrans(parts.t);
    ExpectNear(a, m, 2e-5f);
  }
}

TEST(DecompAffine, ScaleFactorsOfAnAxisScaleAreTheScale) {
  AffineParts parts;
  decomp_affine(ScaleMatrix(Point3(2.0f, 3.0f, 4.0f)), &parts);
  EXPECT_TRUE(parts.q.IsIdentity());
  EXPECT_NEAR(parts.k.x * parts.k.y * parts.k.z, 24.0f, 1e-4f);
  EXPECT_NEAR(parts.k.x + parts.k.y + parts.k.z, 9.0f, 1e-4f);
}

TEST(DecompAffine, SingularAndZeroMatricesGiveFiniteParts) {
  Matrix3 flat = ScaleMatrix(Point3(2.0f, 0.0f, 1.0f)) * RotateZMatrix(0.5f);
  flat.SetTrans(Point3(1, 2, 3));
  Matrix3 line = ScaleMatrix(Point3(0.0f, 0.0f, 5.0f));
  Matrix3 zero(false);
  zero.SetTrans(Point3(9, 8, 7));
  for (const Matrix3& m : {flat, line, zero}) {
    AffineParts parts;
    decomp_affine(m, &parts);
    for (float v : {parts.q.x, parts.q.y, parts.q.z, parts.q.w, parts.u.x, parts.u.y, parts.u.z,
                    parts.u.w, parts.k.x, parts.k.y, parts.k.z})
      EXPECT_TRUE(std::isfinite(v));
    EXPECT_EQ(parts.f, 1.0f);
    EXPECT_NEAR(parts.q.Length(), 1.0f, 1e-5f);
    ExpectNear(ComposeAffine(parts), m, 2e-5f);
  }
  AffineParts parts;
  decomp_affine(flat, &parts);
  // The rotation of a flattened matrix is still the matrix's turn about Z.
  ExpectNear(parts.q.ToMatrix(), RotateZMatrix(0.5f), 1e-5f);
}

TEST(DecompAffine, NonFiniteMatrixGivesIdentityParts) {
  Matrix3 m = RotateXMatrix(0.5f);
  m.SetRow(1, Point3(NAN, 0.0f, 0.0f));
  m.SetTrans(Point3(1, 2, 3));
  AffineParts parts;
  decomp_affine(m, &parts);
  EXPECT_TRUE(parts.q.IsIdentity());
  EXPECT_EQ(parts.k, Point3(1, 1, 1));
  EXPECT_EQ(parts.t, Point3(1, 2, 3));
}

TEST(Matrix3Values, OrthogonalizeGivesOrthonormalRowsKeepingRowZero) {
  const Matrix3 cases[] = {
      Shear(0.8f) * ScaleMatrix(Point3(2, 3, 4)) * RotateXMatrix(0.4f),
      ScaleMatrix(Point3(5.0f, 0.1f, 1.0f)) * RotateYMatrix(-1.0f) * TransMatrix(Point3(1, 1, 1)),
  };
  for (const Matrix3& m : cases) {
    Matrix3 o = m;
    o.Orthogonalize();
    ExpectRotation(o, 1e-5f);
    const Point3 r0 = m.GetRow(0).Normalize();
    EXPECT_NEAR(o.GetRow(0) % r0, 1.0f, 1e-6f);
    EXPECT_EQ(o.GetTrans(), m.GetTrans());
  }
  Matrix3 mirror = ScaleMatrix(Point3(1, 1, -2));
  mirror.Orthogonalize();
  EXPECT_NEAR(mirror.Det(), -1.0f, 1e-6f);
}

TEST(Matrix3Values, OrthogonalizeCompletesVanishedRows) {
  Matrix3 parallel;
  parallel.SetRow(1, Point3(2, 0, 0));  // row 1 along row 0
  Matrix3 flat = RotateZMatrix(0.3f);
  flat.SetRow(2, Point3());                          // zero scale on one axis
  Matrix3 noRow0 = ScaleMatrix(Point3(0.0f, 1.0f, 1.0f));
  for (Matrix3 m : {parallel, flat, noRow0, Matrix3(false)}) {
    m.Orthogonalize();
    ExpectRotation(m, 1e-5f);
  }
  flat.Orthogonalize();
  ExpectNear(flat, RotateZMatrix(0.3f), 1e-6f);
}

TEST(Matrix3Values, InverseTimesMatrixIsIdentity) {
  const Matrix3 cases[] = {
      RotateXMatrix(0.3f) * TransMatrix(Point3(4, -5, 6)),
      Shear(0.5f) * ScaleMatrix(Point3(2.0f, -3.0f, 0.25f)) * RotateZMatrix(2.0f) * TransMatrix(Point3(-1, 0, 9)),
  };
  for (const Matrix3& m : cases) {
    ExpectNear(Inverse(m) * m, Matrix3(), 1e-5f);
    ExpectNear(m * Inverse(m), Matrix3(), 1e-5f);
  }
  // A singular matrix has no inverse: the identity comes back instead of infinities.
  EXPECT_TRUE(Inverse(ScaleMatrix(Point3(1, 0, 1))).IsIdentity());
}

TEST(QuatValues, MatrixOfAQuaternionIsTheRotationAboutItsAxis) {
  // q for a turn of a about Z is (0, 0, sin(a/2), cos(a/2)); its matrix has m01 = −sin a.
  const float a = 0.6f;
  const Quat q(0.0f, 0.0f, std::sin(a / 2), std::cos(a / 2));
  const Matrix3 m = q.ToMatrix();
  EXPECT_NEAR(m[0][0], std::cos(a), 1e-6f);
  EXPECT_NEAR(m[0][1], -std::sin(a), 1e-6f);
  EXPECT_NEAR(m[1][0], std::sin(a), 1e-6f);
  ExpectRotation(m, 1e-6f);
  // MakeMatrix keeps the translation row.
  Matrix3 t = TransMatrix(Point3(1, 2, 3));
  q.MakeMatrix(t);
  EXPECT_EQ(t.GetTrans(), Point3(1, 2, 3));
  ExpectNear(Quat(m).ToMatrix(), m, 1e-6f);
}

}  // namespace
