// RigidPart over the host's polar decomposition (see RigidPart.h).
#include "TZ2_Export/geometry/RigidPart.h"

#include "host/Decomp.h"

Matrix3 RigidPart(const Matrix3& m) {
  AffineParts parts;
  decomp_affine(m, &parts);
  Matrix3 r;
  parts.q.MakeMatrix(r);
  r.SetRow(3, parts.t);
  return r;
}
