// Box3: an axis-aligned box given by its minimum and maximum corners; an empty box has
// min above max.
#pragma once

#include <limits>

#include "host/Point3.h"

class Box3 {
 public:
  Point3 pmin{std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
              std::numeric_limits<float>::max()};
  Point3 pmax{-std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
              -std::numeric_limits<float>::max()};

  Box3() = default;
  Box3(const Point3& a, const Point3& b) : pmin(a), pmax(b) {}
  void Init() { *this = Box3(); }
  bool IsEmpty() const { return pmin.x > pmax.x || pmin.y > pmax.y || pmin.z > pmax.z; }
  Point3 Min() const { return pmin; }
  Point3 Max() const { return pmax; }
  Point3 Center() const { return (pmin + pmax) * 0.5f; }
  Box3& operator+=(const Point3& p) {
    for (int i = 0; i < 3; ++i) {
      if (p[i] < pmin[i]) pmin[i] = p[i];
      if (p[i] > pmax[i]) pmax[i] = p[i];
    }
    return *this;
  }
  bool operator==(const Box3& o) const { return pmin == o.pmin && pmax == o.pmax; }
};
