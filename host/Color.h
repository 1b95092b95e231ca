// Color: an RGB colour of three floats (1 is full intensity), as materials and helpers keep it.
#pragma once

#include "host/Point3.h"

struct Color {
  float r = 0.0f, g = 0.0f, b = 0.0f;

  constexpr Color() = default;
  constexpr Color(float ar, float ag, float ab) : r(ar), g(ag), b(ab) {}
  constexpr Color(double ar, double ag, double ab)
      : r(static_cast<float>(ar)), g(static_cast<float>(ag)), b(static_cast<float>(ab)) {}
  explicit constexpr Color(const Point3& p) : r(p.x), g(p.y), b(p.z) {}
  explicit operator Point3() const { return {r, g, b}; }
  bool operator==(const Color& o) const { return r == o.r && g == o.g && b == o.b; }
  bool operator!=(const Color& o) const { return !(*this == o); }
};
