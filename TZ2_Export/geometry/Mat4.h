// Mat4 and the quaternion operations of the animation writer.
//
// A Mat4 is four rows of four floats in the row-vector convention: p' = p × M, row 3 holds
// the translation and the last column of a rigid matrix is (0, 0, 0, 1). Quaternions are the
// host's Quat (x, y, z, w) and map to matrices with the suite's single formula
//   m00 = 1 − 2(y² + z²)  m01 = 2(xy − wz)      m02 = 2(xz + wy)
//   m10 = 2(xy + wz)      m11 = 1 − 2(x² + z²)  m12 = 2(yz − wx)
//   m20 = 2(xz − wy)      m21 = 2(yz + wx)      m22 = 1 − 2(x² + y²)
// which Mat4ToQuatTrans inverts (largest-diagonal branch when the trace is not above 0), so
// these values agree with the host's Quat and decomp_affine.
#pragma once

#include <cstdint>

#include "host/Matrix3.h"
#include "host/Quat.h"

struct Mat4 {
  float m[4][4] = {};
};

Mat4 Mat4Identity();
// Row i of the result is row i of a times b (a applies first).
Mat4 Mat4Product(const Mat4& a, const Mat4& b);
inline Mat4 operator*(const Mat4& a, const Mat4& b) { return Mat4Product(a, b); }
// The inverse of a rigid matrix (rotation R, translation t): rotation Rᵀ, translation −t × Rᵀ.
Mat4 Mat4RigidInverse(const Mat4& m);

// Translation = row 3; rotation from the upper 3 × 3.
void Mat4ToQuatTrans(const Mat4& m, Quat& q, Point3& t);
Mat4 QuatTransToMat4(const Quat& q, const Point3& t);

// The host matrix as a Mat4 (last column (0, 0, 0, 1)) and back.
Mat4 Mat4FromMatrix3(const Matrix3& m);
Matrix3 Matrix3FromMat4(const Mat4& m);

float QuatDot(const Quat& a, const Quat& b);
// Each component divided by the length; a zero quaternion is returned unchanged.
Quat QuatNormalize(const Quat& q);
// Spherical interpolation along the shorter arc (q1 negated when the dot product is below
// 0); when the arc's sine is below 0.000001 the result is the q1 that was passed in.
Quat QuatSlerp(const Quat& q0, const Quat& q1, float t);

// out[i] = in[i] × the upper 3 × 3 of m, for n directions (in and out may be the same).
void TransformDirections(const Mat4& m, const Point3* in, Point3* out, std::uint32_t n);

// How far two rotations are apart: the larger of 1 − (X·A)·(X·B) and 1 − (Y·A)·(Y·B) for the
// unit axes X and Y and A, B the rotations' matrices. 0 for equal rotations, up to 2.
float RotationDifference(const Quat& qa, const Quat& qb);
