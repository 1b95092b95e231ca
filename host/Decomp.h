// decomp_affine: the polar decomposition of an affine matrix.
//
// For a Matrix3 M with linear part A and translation t, the parts satisfy (row vectors)
//   A = f · (Uᵀ · K · U) · R
// where R = q's matrix (the essential rotation), U = u's matrix (the stretch rotation),
// K = diag(k) (the stretch factors, positive for a regular matrix) and f = ±1 (the sign of the
// determinant; −1 for a mirrored matrix). So p × M scales p along U's axes first, rotates it
// by R, mirrors it when f is −1, and translates it by t.
#pragma once

#include "host/Quat.h"

struct AffineParts {
  Point3 t;      // translation
  Quat q;        // essential rotation
  Quat u;        // stretch rotation
  Point3 k;      // stretch factors
  float f = 1;   // sign of the determinant
};

void decomp_affine(const Matrix3& m, AffineParts* parts);

// The matrix that the parts describe (the inverse of decomp_affine).
Matrix3 ComposeAffine(const AffineParts& parts);
