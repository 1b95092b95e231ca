// Mat4 products and inverse, matrix/quaternion conversion, slerp and rotation difference
// (see Mat4.h).
#include "TZ2_Export/geometry/Mat4.h"

#include <cmath>

namespace {

// Below this |sin a| QuatSlerp gives the end quaternion instead of dividing by the sine.
constexpr float kSlerpMinSine = 0.000001f;

}  // namespace

Mat4 Mat4Identity() {
  Mat4 r;
  for (int i = 0; i < 4; ++i) r.m[i][i] = 1.0f;
  return r;
}

Mat4 Mat4Product(const Mat4& a, const Mat4& b) {
  Mat4 r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += a.m[i][k] * b.m[k][j];
      r.m[i][j] = sum;
    }
  return r;
}

Mat4 Mat4RigidInverse(const Mat4& m) {
  Mat4 r;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r.m[i][j] = m.m[j][i];
  // −t × Rᵀ: component j is −Σk t_k · R[j][k].
  for (int j = 0; j < 3; ++j) {
    float sum = 0.0f;
    for (int k = 0; k < 3; ++k) sum += m.m[3][k] * r.m[k][j];
    r.m[3][j] = -sum;
  }
  r.m[3][3] = 1.0f;
  return r;
}

void Mat4ToQuatTrans(const Mat4& mat, Quat& q, Point3& t) {
  const auto& m = mat.m;
  t = Point3(m[3][0], m[3][1], m[3][2]);
  const float trace = m[0][0] + m[1][1] + m[2][2];
  if (trace > 0.0f) {
    const float s = std::sqrt(trace + 1.0f);
    q.w = s / 2.0f;
    const float f = 0.5f / s;
    q.x = (m[2][1] - m[1][2]) * f;
    q.y = (m[0][2] - m[2][0]) * f;
    q.z = (m[1][0] - m[0][1]) * f;
    return;
  }
  int i = 0;
  if (m[1][1] > m[0][0]) i = 1;
  if (m[2][2] > m[i][i]) i = 2;
  const int j = (i + 1) % 3, k = (i + 2) % 3;
  float v[3] = {0.0f, 0.0f, 0.0f};
  float w = 0.0f;
  const float s = std::sqrt(m[i][i] - (m[j][j] + m[k][k]) + 1.0f);
  v[i] = s / 2.0f;
  if (s != 0.0f) {
    const float f = 0.5f / s;
    w = (m[k][j] - m[j][k]) * f;
    v[j] = (m[j][i] + m[i][j]) * f;
    v[k] = (m[k][i] + m[i][k]) * f;
  }
  q = Quat(v[0], v[1], v[2], w);
}

Mat4 QuatTransToMat4(const Quat& q, const Point3& t) {
  const float x = q.x, y = q.y, z = q.z, w = q.w;
  Mat4 r;
  r.m[0][0] = 1.0f - 2.0f * (y * y + z * z);
  r.m[0][1] = 2.0f * (x * y - w * z);
  r.m[0][2] = 2.0f * (x * z + w * y);
  r.m[1][0] = 2.0f * (x * y + w * z);
  r.m[1][1] = 1.0f - 2.0f * (x * x + z * z);
  r.m[1][2] = 2.0f * (y * z - w * x);
  r.m[2][0] = 2.0f * (x * z - w * y);
  r.m[2][1] = 2.0f * (y * z + w * x);
  r.m[2][2] = 1.0f - 2.0f * (x * x + y * y);
  r.m[3][0] = t.x;
  r.m[3][1] = t.y;
  r.m[3][2] = t.z;
  r.m[3][3] = 1.0f;
  return r;
}

Mat4 Mat4FromMatrix3(const Matrix3& m) {
  Mat4 r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 3; ++j) r.m[i][j] = m[i][j];
  r.m[3][3] = 1.0f;
  return r;
}

Matrix3 Matrix3FromMat4(const Mat4& m) {
  Matrix3 r;
  for (int i = 0; i < 4; ++i) r.SetRow(i, Point3(m.m[i][0], m.m[i][1], m.m[i][2]));
  return r;
}

float QuatDot(const Quat& a, const Quat& b) { return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w; }

Quat QuatNormalize(const Quat& q) {
  const float l = std::sqrt(QuatDot(q, q));
  if (l == 0.0f) return q;
  return {q.x / l, q.y / l, q.z / l, q.w / l};
}

Quat QuatSlerp(const Quat& q0, const Quat& q1, float t) {
  float d = QuatDot(q0, q1);
  Quat end = q1;
  if (d < 0.0f) {
    if (d < -1.0f) d = -1.0f;
    end = Quat(-q1.x, -q1.y, -q1.z, -q1.w);
    d = -d;
  }
  if (d >= 1.0f) d = 1.0f;
  const float a = std::acos(d);
  const float sinA = std::sin(a);
  if (std::fabs(sinA) < kSlerpMinSine) return q1;
  const float w0 = std::sin((1.0f - t) * a) / sinA;
  const float w1 = std::sin(t * a) / sinA;
  return {w0 * q0.x + w1 * end.x, w0 * q0.y + w1 * end.y, w0 * q0.z + w1 * end.z,
          w0 * q0.w + w1 * end.w};
}

void TransformDirections(const Mat4& m, const Point3* in, Point3* out, std::uint32_t n) {
  for (std::uint32_t i = 0; i < n; ++i) {
    const Point3 p = in[i];
    out[i] = Point3(p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0],
                    p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1],
                    p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2]);
  }
}

float RotationDifference(const Quat& qa, const Quat& qb) {
  const Mat4 a = QuatTransToMat4(qa, Point3());
  const Mat4 b = QuatTransToMat4(qb, Point3());
  const Point3 axes[2] = {Point3::XAxis, Point3::YAxis};
  Point3 ta[2], tb[2];
  TransformDirections(a, axes, ta, 2);
  TransformDirections(b, axes, tb, 2);
  const float dx = 1.0f - ta[0] % tb[0];
  const float dy = 1.0f - ta[1] % tb[1];
  return dx > dy ? dx : dy;
}
