// Matrix3 arithmetic (row vectors, row 3 the translation).
#include "host/Matrix3.h"

#include <cmath>

Matrix3::Matrix3() { IdentityMatrix(); }

Matrix3::Matrix3(bool init) {
  if (init) IdentityMatrix(); else Zero();
}

Matrix3::Matrix3(const Point3& r0, const Point3& r1, const Point3& r2, const Point3& r3)
    : m_{r0, r1, r2, r3} {}

void Matrix3::IdentityMatrix() {
  m_[0] = Point3::XAxis;
  m_[1] = Point3::YAxis;
  m_[2] = Point3::ZAxis;
  m_[3] = Point3::Origin;
}

void Matrix3::Zero() {
  for (Point3& r : m_) r = Point3();
}

bool Matrix3::IsIdentity() const { return *this == Matrix3(); }

void Matrix3::NoScale() {
  for (int i = 0; i < 3; ++i) m_[i] = m_[i].Normalize();
}

void Matrix3::NoRot() {
  m_[0] = Point3::XAxis;
  m_[1] = Point3::YAxis;
  m_[2] = Point3::ZAxis;
}

namespace {

// A unit vector orthogonal to the unit vector a.
Point3 AnyOrthogonal(const Point3& a) {
  const float ax = std::fabs(a.x), ay = std::fabs(a.y), az = std::fabs(a.z);
  const Point3 axis = ax <= ay && ax <= az ? Point3::XAxis : (ay <= az ? Point3::YAxis : Point3::ZAxis);
  return (a ^ axis).Normalize();
}

}  // namespace

void Matrix3::Orthogonalize() {
  // A row that vanishes (zero scale, or rows 0 and 1 parallel) is completed so that the
  // result is always a rotation (or a mirror when the input is mirrored), never zero rows.
  const bool mirrored = Det() < 0.0f;
  Point3 r0 = m_[0].Normalize();
  if (r0 == Point3()) r0 = (m_[1] ^ m_[2]).Normalize();
  if (r0 == Point3()) r0 = Point3::XAxis;
  Point3 r1 = (m_[1] - r0 * (m_[1] % r0)).Normalize();
  if (r1 == Point3()) r1 = (m_[2] ^ r0).Normalize();
  if (r1 == Point3()) r1 = AnyOrthogonal(r0);
  Point3 r2 = (r0 ^ r1).Normalize();
  if (mirrored) r2 = -r2;
  m_[0] = r0;
  m_[1] = r1;
  m_[2] = r2;
}

void Matrix3::SetScale(const Point3& s) {
  m_[0] = Point3(s.x, 0.0f, 0.0f);
  m_[1] = Point3(0.0f, s.y, 0.0f);
  m_[2] = Point3(0.0f, 0.0f, s.z);
}

void Matrix3::SetRotateX(float angle) {
  const Point3 t = m_[3];
  *this = RotateXMatrix(angle);
  m_[3] = t;
}

void Matrix3::SetRotateY(float angle) {
  const Point3 t = m_[3];
  *this = RotateYMatrix(angle);
  m_[3] = t;
}

void Matrix3::SetRotateZ(float angle) {
  const Point3 t = m_[3];
  *this = RotateZMatrix(angle);
  m_[3] = t;
}

float Matrix3::Det() const { return (m_[0] ^ m_[1]) % m_[2]; }

Matrix3 Matrix3::operator*(const Matrix3& b) const {
  Matrix3 r(false);
  for (int i = 0; i < 3; ++i) r.m_[i] = b.VectorTransform(m_[i]);
  r.m_[3] = b.PointTransform(m_[3]);
  return r;
}

Matrix3 Matrix3::operator+(const Matrix3& b) const {
  return {m_[0] + b.m_[0], m_[1] + b.m_[1], m_[2] + b.m_[2], m_[3] + b.m_[3]};
}

Matrix3 Matrix3::operator-(const Matrix3& b) const {
  return {m_[0] - b.m_[0], m_[1] - b.m_[1], m_[2] - b.m_[2], m_[3] - b.m_[3]};
}

bool Matrix3::operator==(const Matrix3& b) const {
  for (int i = 0; i < 4; ++i)
    if (m_[i] != b.m_[i]) return false;
  return true;
}

bool Matrix3::Equals(const Matrix3& b, float epsilon) const {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 3; ++j)
      if (std::fabs(m_[i][j] - b.m_[i][j]) > epsilon) return false;
  return true;
}

Point3 Matrix3::VectorTransform(const Point3& p) const {
  return m_[0] * p.x + m_[1] * p.y + m_[2] * p.z;
}

Point3 Matrix3::PointTransform(const Point3& p) const { return VectorTransform(p) + m_[3]; }

Matrix3 Inverse(const Matrix3& m) {
  // Inverse of the linear part by cofactors (in double), then the translation.
  double a[3][3];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) a[i][j] = m[i][j];
  const double c00 = a[1][1] * a[2][2] - a[1][2] * a[2][1];
  const double c01 = a[1][2] * a[2][0] - a[1][0] * a[2][2];
  const double c02 = a[1][0] * a[2][1] - a[1][1] * a[2][0];
  const double det = a[0][0] * c00 + a[0][1] * c01 + a[0][2] * c02;
  if (det == 0.0 || !std::isfinite(det)) return Matrix3();
  const double d = 1.0 / det;
  double inv[3][3];
  inv[0][0] = c00 * d;
  inv[1][0] = c01 * d;
  inv[2][0] = c02 * d;
  inv[0][1] = (a[0][2] * a[2][1] - a[0][1] * a[2][2]) * d;
  inv[1][1] = (a[0][0] * a[2][2] - a[0][2] * a[2][0]) * d;
  inv[2][1] = (a[0][1] * a[2][0] - a[0][0] * a[2][1]) * d;
  inv[0][2] = (a[0][1] * a[1][2] - a[0][2] * a[1][1]) * d;
  inv[1][2] = (a[0][2] * a[1][0] - a[0][0] * a[1][2]) * d;
  inv[2][2] = (a[0][0] * a[1][1] - a[0][1] * a[1][0]) * d;
  Matrix3 r(false);
  for (int i = 0; i < 3; ++i)
    r[i] = Point3(inv[i][0], inv[i][1], inv[i][2]);
  const Point3 t = m[3];
  Point3 rt;
  for (int j = 0; j < 3; ++j)
    rt[j] = static_cast<float>(-(t.x * inv[0][j] + t.y * inv[1][j] + t.z * inv[2][j]));
  r[3] = rt;
  return r;
}

Matrix3 TransMatrix(const Point3& p) {
  Matrix3 m;
  m.SetTrans(p);
  return m;
}

Matrix3 ScaleMatrix(const Point3& s) {
  Matrix3 m;
  m.SetScale(s);
  return m;
}

Matrix3 RotateXMatrix(float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  return {Point3(1.0f, 0.0f, 0.0f), Point3(0.0f, c, s), Point3(0.0f, -s, c), Point3()};
}

Matrix3 RotateYMatrix(float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  return {Point3(c, 0.0f, -s), Point3(0.0f, 1.0f, 0.0f), Point3(s, 0.0f, c), Point3()};
}

Matrix3 RotateZMatrix(float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  return {Point3(c, s, 0.0f), Point3(-s, c, 0.0f), Point3(0.0f, 0.0f, 1.0f), Point3()};
}

Point3 VectorTransform(const Matrix3& m, const Point3& p) { return m.VectorTransform(p); }
