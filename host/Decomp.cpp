// Polar decomposition of affine matrices (see Decomp.h for the parts' meaning).
#include "host/Decomp.h"

void decomp_affine(const Matrix3& m, AffineParts* parts) {
  // TODO(values): polar decomposition; identity parts until then.
  *parts = AffineParts{};
  parts->t = m.GetTrans();
  parts->k = Point3(1.0f, 1.0f, 1.0f);
}

Matrix3 ComposeAffine(const AffineParts& parts) {
  Matrix3 u = parts.u.ToMatrix();
  Matrix3 stretch = Inverse(u) * ScaleMatrix(parts.k) * u;
  Matrix3 r = stretch * parts.q.ToMatrix();
  if (parts.f < 0.0f) r = r * ScaleMatrix(Point3(-1.0f, -1.0f, -1.0f));
  r.SetTrans(parts.t);
  return r;
}
