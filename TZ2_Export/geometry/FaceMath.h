// Triangle helpers shared by the surface builder and the progressive mesh: the unit normal of
// a triangle and the texture coordinates at a point of a triangle.
//
// FaceNormal(p0, p1, p2) = normalize((p1 − p0) × (p2 − p0)), or (1, 0, 0) for a degenerate
// triangle whose cross product has length 0.
// InterpolateUv projects the triangle onto the coordinate plane that drops the dominant axis
// of its cross product (x on ties with y or z, then y on a tie with z), solves
// q − p0 = s·e1 + r·e2 there by Cramer's rule and returns t0 + s·(t1 − t0) + r·(t2 − t0).
// When the projected triangle's doubled area is below 0.001 the result is t0. The point need
// not lie inside the triangle (s and r are then outside [0, 1]).
#pragma once

#include "host/Point3.h"

// A pair of texture coordinates.
struct UvPair {
  float u = 0.0f, v = 0.0f;
  bool operator==(const UvPair&) const = default;
};

Point3 FaceNormal(const Point3& p0, const Point3& p1, const Point3& p2);

// The weights (s, r) of e1 = p1 − p0 and e2 = p2 − p0 at q; false (and s = r = 0) when the
// projected triangle is degenerate. Lets a caller interpolate several channels at once.
bool UvWeights(const Point3& p0, const Point3& p1, const Point3& p2, const Point3& q, float& s,
               float& r);
// t0 + s·(t1 − t0) + r·(t2 − t0).
UvPair BlendUv(const UvPair& t0, const UvPair& t1, const UvPair& t2, float s, float r);

UvPair InterpolateUv(const Point3& p0, const Point3& p1, const Point3& p2, const UvPair& t0,
                     const UvPair& t1, const UvPair& t2, const Point3& q);
