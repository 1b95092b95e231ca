// Quat: a rotation quaternion (x, y, z, w).
//
// The matrix of a quaternion is, with m[i][j] row i column j of the row-vector Matrix3:
//   m00 = 1 − 2(y² + z²)  m01 = 2(xy − wz)      m02 = 2(xz + wy)
//   m10 = 2(xy + wz)      m11 = 1 − 2(x² + z²)  m12 = 2(yz − wx)
//   m20 = 2(xz − wy)      m21 = 2(yz + wx)      m22 = 1 − 2(x² + y²)
// and Quat(Matrix3) inverts exactly that formula, so a quaternion turned into a matrix and
// back is the same quaternion (up to sign) and the exporter's own matrix/quaternion code
// agrees with the host's values.
#pragma once

#include "host/Matrix3.h"

struct Quat {
  float x = 0.0f, y = 0.0f, z = 0.0f, w = 1.0f;

  constexpr Quat() = default;
  constexpr Quat(float ax, float ay, float az, float aw) : x(ax), y(ay), z(az), w(aw) {}
  // The rotation part of a matrix (rows 0-2 expected orthonormal).
  explicit Quat(const Matrix3& m);

  float& operator[](int i) { return i == 0 ? x : i == 1 ? y : i == 2 ? z : w; }
  float operator[](int i) const { return i == 0 ? x : i == 1 ? y : i == 2 ? z : w; }

  void Identity() { x = y = z = 0.0f; w = 1.0f; }
  bool IsIdentity() const { return x == 0.0f && y == 0.0f && z == 0.0f && (w == 1.0f || w == -1.0f); }
  Quat Conjugate() const { return {-x, -y, -z, w}; }
  Quat Inverse() const;
  float Length() const;
  void Normalize();
  float Dot(const Quat& b) const { return x * b.x + y * b.y + z * b.z + w * b.w; }
  bool operator==(const Quat& b) const { return x == b.x && y == b.y && z == b.z && w == b.w; }
  bool operator!=(const Quat& b) const { return !(*this == b); }

  // Sets the rotation rows of `m` from this quaternion; row 3 (the translation) is kept.
  void MakeMatrix(Matrix3& m) const;
  // The rotation as a matrix with zero translation.
  Matrix3 ToMatrix() const;
};
