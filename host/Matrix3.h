// Matrix3: the host's 4-row by 3-column affine matrix in the row-vector convention.
// A point p maps to p × M (p as a row (x, y, z, 1)); rows 0-2 are the linear part and row 3
// is the translation. A × B applies A first, then B.
#pragma once

#include "host/Point3.h"

struct Quat;

class Matrix3 {
 public:
  // The identity matrix.
  Matrix3();
  // A zero matrix when `init` is false, the identity when it is true.
  explicit Matrix3(bool init);
  Matrix3(const Point3& r0, const Point3& r1, const Point3& r2, const Point3& r3);

  void IdentityMatrix();
  void Zero();
  bool IsIdentity() const;

  void SetRow(int i, const Point3& p) { m_[i] = p; }
  Point3 GetRow(int i) const { return m_[i]; }
  Point3& operator[](int i) { return m_[i]; }
  const Point3& operator[](int i) const { return m_[i]; }
  // Column j of the linear part (rows 0-2) as a point.
  Point3 GetColumn3(int j) const { return {m_[0][j], m_[1][j], m_[2][j]}; }

  void SetTrans(const Point3& t) { m_[3] = t; }
  Point3 GetTrans() const { return m_[3]; }
  void NoTrans() { m_[3] = Point3(); }
  // Rows 0-2 scaled to unit length (rotation and shear kept).
  void NoScale();
  // Only the translation row kept.
  void NoRot();
  // Rows 0-2 made orthonormal (Gram-Schmidt from row 0; row 2 follows the handedness of the
  // input). Vanished rows are completed, so the result always has orthonormal rows.
  void Orthogonalize();
  // Replaces the linear part by the scaling s; the translation is kept.
  void SetScale(const Point3& s);
  void SetRotateX(float angle);
  void SetRotateY(float angle);
  void SetRotateZ(float angle);
  void Translate(const Point3& p) { m_[3] += p; }

  // The 3 × 3 determinant of the linear part; negative for a mirrored matrix.
  float Det() const;
  bool Parity() const { return Det() < 0.0f; }

  Matrix3 operator*(const Matrix3& b) const;
  Matrix3& operator*=(const Matrix3& b) { return *this = *this * b; }
  Matrix3 operator+(const Matrix3& b) const;
  Matrix3 operator-(const Matrix3& b) const;
  bool operator==(const Matrix3& b) const;
  bool operator!=(const Matrix3& b) const { return !(*this == b); }
  bool Equals(const Matrix3& b, float epsilon = 1e-6f) const;

  // p × M with the translation.
  Point3 PointTransform(const Point3& p) const;
  // p × M without the translation.
  Point3 VectorTransform(const Point3& p) const;

 private:
  Point3 m_[4];
};

// The inverse of an affine matrix; a singular matrix gives the identity.
Matrix3 Inverse(const Matrix3& m);
Matrix3 TransMatrix(const Point3& p);
Matrix3 ScaleMatrix(const Point3& s);
Matrix3 RotateXMatrix(float angle);
Matrix3 RotateYMatrix(float angle);
Matrix3 RotateZMatrix(float angle);
Point3 VectorTransform(const Matrix3& m, const Point3& p);

inline Point3 operator*(const Point3& p, const Matrix3& m) { return m.PointTransform(p); }
