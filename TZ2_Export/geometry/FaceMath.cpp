// Triangle normal and texture-coordinate interpolation (see FaceMath.h).
#include "TZ2_Export/geometry/FaceMath.h"

#include <cmath>

namespace {

// Below this absolute projected cross product a triangle gives its first corner's coordinates.
constexpr float kDegenerateProjectedArea = 0.001f;

}  // namespace

Point3 FaceNormal(const Point3& p0, const Point3& p1, const Point3& p2) {
  const Point3 c = (p1 - p0) ^ (p2 - p0);
  const float length = c.Length();
  if (length == 0.0f) return Point3(1.0f, 0.0f, 0.0f);
  return c / length;
}

bool UvWeights(const Point3& p0, const Point3& p1, const Point3& p2, const Point3& q, float& s,
               float& r) {
  s = r = 0.0f;
  const Point3 e1 = p1 - p0, e2 = p2 - p0, d = q - p0;
  const Point3 c = e1 ^ e2;
  const float ax = std::fabs(c.x), ay = std::fabs(c.y), az = std::fabs(c.z);
  // The two coordinates kept after dropping the dominant axis.
  int a = 1, b = 2;  // drop x
  if (!(ax >= ay && ax >= az)) {
    if (ay >= az) { a = 0; b = 2; }  // drop y
    else { a = 0; b = 1; }           // drop z
  }
  const float det = e1[a] * e2[b] - e1[b] * e2[a];
  if (std::fabs(det) < kDegenerateProjectedArea) return false;
  s = (d[a] * e2[b] - d[b] * e2[a]) / det;
  r = (e1[a] * d[b] - e1[b] * d[a]) / det;
  return true;
}

UvPair BlendUv(const UvPair& t0, const UvPair& t1, const UvPair& t2, float s, float r) {
  return {t0.u + s * (t1.u - t0.u) + r * (t2.u - t0.u), t0.v + s * (t1.v - t0.v) + r * (t2.v - t0.v)};
}

UvPair InterpolateUv(const Point3& p0, const Point3& p1, const Point3& p2, const UvPair& t0,
                     const UvPair& t1, const UvPair& t2, const Point3& q) {
  float s = 0.0f, r = 0.0f;
  if (!UvWeights(p0, p1, p2, q, s, r)) return t0;
  return BlendUv(t0, t1, t2, s, r);
}
