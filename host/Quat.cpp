// Quat to and from matrices in the one convention the whole suite shares (see Quat.h).
#include "host/Quat.h"

#include <cmath>

Quat::Quat(const Matrix3& m) {
  const float m00 = m[0][0], m11 = m[1][1], m22 = m[2][2];
  const float trace = m00 + m11 + m22;
  if (trace > 0.0f) {
    const float s = std::sqrt(trace + 1.0f);
    w = s * 0.5f;
    const float f = 0.5f / s;
    x = (m[2][1] - m[1][2]) * f;
    y = (m[0][2] - m[2][0]) * f;
    z = (m[1][0] - m[0][1]) * f;
    return;
  }
  int i = 0;
  if (m11 > m00) i = 1;
  if (m22 > (i == 0 ? m00 : m11)) i = 2;
  const int j = (i + 1) % 3, k = (i + 2) % 3;
  float q[3] = {0.0f, 0.0f, 0.0f};
  const float s = std::sqrt(m[i][i] - (m[j][j] + m[k][k]) + 1.0f);
  q[i] = s * 0.5f;
  w = 0.0f;
  if (s != 0.0f) {
    const float f = 0.5f / s;
    w = (m[k][j] - m[j][k]) * f;
    q[j] = (m[j][i] + m[i][j]) * f;
    q[k] = (m[k][i] + m[i][k]) * f;
  }
  x = q[0];
  y = q[1];
  z = q[2];
}

float Quat::Length() const { return std::sqrt(x * x + y * y + z * z + w * w); }

void Quat::Normalize() {
  const float l = Length();
  if (l == 0.0f) return;
  x /= l;
  y /= l;
  z /= l;
  w /= l;
}

Quat Quat::Inverse() const {
  const float l2 = x * x + y * y + z * z + w * w;
  if (l2 == 0.0f) return *this;
  return {-x / l2, -y / l2, -z / l2, w / l2};
}

void Quat::MakeMatrix(Matrix3& m) const {
  m[0] = Point3(1.0f - 2.0f * (y * y + z * z), 2.0f * (x * y - w * z), 2.0f * (x * z + w * y));
  m[1] = Point3(2.0f * (x * y + w * z), 1.0f - 2.0f * (x * x + z * z), 2.0f * (y * z - w * x));
  m[2] = Point3(2.0f * (x * z - w * y), 2.0f * (y * z + w * x), 1.0f - 2.0f * (x * x + y * y));
}

Matrix3 Quat::ToMatrix() const {
  Matrix3 m;
  MakeMatrix(m);
  return m;
}
