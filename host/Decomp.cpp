// Polar decomposition of affine matrices (see Decomp.h for the parts' meaning).
//
// In double precision, for the linear part A (rows 0-2 of the matrix):
//   1. The symmetric A·Aᵀ is diagonalised by cyclic Jacobi rotations: A·Aᵀ = V·Λ·Vᵀ. Its
//      eigenvectors (V's columns, made right-handed) are the stretch axes, so U = Vᵀ, and the
//      stretch factors are k = sqrt(Λ).
//   2. The singular value decomposition A = V·Σ·Wᵀ follows with w_i = Aᵀ·v_i / σ_i, taken in
//      order of decreasing σ and Gram-Schmidt orthonormalised; axes whose σ vanishes (a
//      singular or zero-scale matrix) are completed by cross products so that no value is
//      ever divided by zero.
//   3. The orthogonal polar factor is Q = V·Wᵀ, and A = S·Q with S = V·Σ·Vᵀ = Uᵀ·K·U. When Q
//      mirrors (det < 0), f = −1 and R = −Q; otherwise f = 1 and R = Q. A singular matrix is
//      completed so that f = 1.
//   4. R and U become quaternions with the suite's matrix/quaternion formula (Quat.h).
// A matrix with a non-finite entry gives identity parts (translation kept when finite).
#include "host/Decomp.h"

#include <algorithm>
#include <cmath>

namespace {

using Mat = double[3][3];
using Vec = double[3];

// Sweeps of the Jacobi eigen solver; a 3 × 3 matrix converges in far fewer.
constexpr int kJacobiSweeps = 50;
// A singular value below this fraction of the largest counts as zero.
constexpr double kZeroSingularValue = 1e-9;

double Dot(const Vec a, const Vec b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

void Cross(const Vec a, const Vec b, Vec out) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

bool NormalizeInPlace(Vec v) {
  const double l = std::sqrt(Dot(v, v));
  if (!(l > 0.0)) return false;
  for (int i = 0; i < 3; ++i) v[i] /= l;
  return true;
}

double Det(const Mat m) {
  return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
         m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
         m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

// Eigen decomposition of the symmetric s: s = v · diag(lambda) · vᵀ (eigenvectors in v's
// columns).
void JacobiEigen(const Mat s, Vec lambda, Mat v) {
  Mat a;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      a[i][j] = s[i][j];
      v[i][j] = i == j ? 1.0 : 0.0;
    }
  for (int sweep = 0; sweep < kJacobiSweeps; ++sweep) {
    const double off = a[0][1] * a[0][1] + a[0][2] * a[0][2] + a[1][2] * a[1][2];
    const double diag = a[0][0] * a[0][0] + a[1][1] * a[1][1] + a[2][2] * a[2][2];
    if (off <= 1e-30 * diag || off == 0.0) break;
    for (int p = 0; p < 2; ++p)
      for (int q = p + 1; q < 3; ++q) {
        if (a[p][q] == 0.0) continue;
        // The rotation in the (p, q) plane that zeroes a[p][q].
        const double theta = (a[q][q] - a[p][p]) / (2.0 * a[p][q]);
        const double t = (theta >= 0.0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
        const double c = 1.0 / std::sqrt(t * t + 1.0), sn = t * c;
        for (int k = 0; k < 3; ++k) {  // a = a · J
          const double akp = a[k][p], akq = a[k][q];
          a[k][p] = c * akp - sn * akq;
          a[k][q] = sn * akp + c * akq;
        }
        for (int k = 0; k < 3; ++k) {  // a = Jᵀ · a
          const double apk = a[p][k], aqk = a[q][k];
          a[p][k] = c * apk - sn * aqk;
          a[q][k] = sn * apk + c * aqk;
        }
        for (int k = 0; k < 3; ++k) {  // v = v · J
          const double vkp = v[k][p], vkq = v[k][q];
          v[k][p] = c * vkp - sn * vkq;
          v[k][q] = sn * vkp + c * vkq;
        }
      }
  }
  for (int i = 0; i < 3; ++i) lambda[i] = a[i][i];
}

// A unit vector orthogonal to the unit vector a.
void AnyOrthogonal(const Vec a, Vec out) {
  const int smallest = std::fabs(a[0]) <= std::fabs(a[1])
                           ? (std::fabs(a[0]) <= std::fabs(a[2]) ? 0 : 2)
                           : (std::fabs(a[1]) <= std::fabs(a[2]) ? 1 : 2);
  Vec axis = {0.0, 0.0, 0.0};
  axis[smallest] = 1.0;
  Cross(a, axis, out);
  NormalizeInPlace(out);
}

Quat QuatOf(const Mat r) {
  Matrix3 m;
  for (int i = 0; i < 3; ++i) m.SetRow(i, Point3(r[i][0], r[i][1], r[i][2]));
  Quat q(m);
  q.Normalize();
  return q;
}

bool IsFinite(const Point3& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

}  // namespace

void decomp_affine(const Matrix3& m, AffineParts* parts) {
  *parts = AffineParts{};
  parts->k = Point3(1.0f, 1.0f, 1.0f);
  const Point3 t = m.GetTrans();
  if (IsFinite(t)) parts->t = t;
  if (!IsFinite(m[0]) || !IsFinite(m[1]) || !IsFinite(m[2])) return;

  Mat a;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) a[i][j] = m[i][j];

  // 1. Stretch axes and factors from A·Aᵀ.
  Mat aat;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) aat[i][j] = Dot(a[i], a[j]);
  Vec lambda;
  Mat v;
  JacobiEigen(aat, lambda, v);
  if (Det(v) < 0.0)
    for (int i = 0; i < 3; ++i) v[i][2] = -v[i][2];
  Vec sigma;
  for (int i = 0; i < 3; ++i) sigma[i] = std::sqrt(std::max(lambda[i], 0.0));

  // 2. Right singular vectors w_i = Aᵀ·v_i / σ_i, largest σ first.
  int order[3] = {0, 1, 2};
  std::sort(order, order + 3, [&](int x, int y) { return sigma[x] > sigma[y]; });
  const double zero = sigma[order[0]] * kZeroSingularValue;
  Vec w[3];
  bool known[3] = {false, false, false};
  for (int n = 0; n < 3; ++n) {
    const int i = order[n];
    if (!(sigma[i] > zero)) break;
    for (int j = 0; j < 3; ++j) w[i][j] = a[0][j] * v[0][i] + a[1][j] * v[1][i] + a[2][j] * v[2][i];
    for (int pn = 0; pn < n; ++pn) {  // Gram-Schmidt against the larger axes
      const int p = order[pn];
      const double d = Dot(w[i], w[p]);
      for (int j = 0; j < 3; ++j) w[i][j] -= d * w[p][j];
    }
    known[i] = NormalizeInPlace(w[i]);
    if (!known[i]) break;
  }
  // Completion of the vanished axes: W right-handed like V, so that Q = V·Wᵀ is a rotation.
  const int i0 = order[0], i1 = order[1], i2 = order[2];
  if (!known[i0]) {
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) w[i][j] = v[j][i];
  } else {
    if (!known[i1]) AnyOrthogonal(w[i0], w[i1]);
    if (!known[i2]) {
      // w[i2] = ±(w[i0] × w[i1]) with the sign that makes W's handedness V's (det +1).
      const int x = (i2 + 1) % 3, y = (i2 + 2) % 3;
      Cross(w[x], w[y], w[i2]);
    }
  }

  // 3. Q = V·Wᵀ and its sign.
  Mat q;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) q[i][j] = v[i][0] * w[0][j] + v[i][1] * w[1][j] + v[i][2] * w[2][j];
  if (Det(q) < 0.0) {
    parts->f = -1.0f;
    for (auto& row : q)
      for (double& e : row) e = -e;
  }

  // 4. Parts: U = Vᵀ, K = Σ, R = ±Q.
  Mat u;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) u[i][j] = v[j][i];
  parts->u = QuatOf(u);
  parts->q = QuatOf(q);
  parts->k = Point3(sigma[0], sigma[1], sigma[2]);
}

Matrix3 ComposeAffine(const AffineParts& parts) {
  Matrix3 u = parts.u.ToMatrix();
  Matrix3 stretch = Inverse(u) * ScaleMatrix(parts.k) * u;
  Matrix3 r = stretch * parts.q.ToMatrix();
  if (parts.f < 0.0f) r = r * ScaleMatrix(Point3(-1.0f, -1.0f, -1.0f));
  r.SetTrans(parts.t);
  return r;
}
