// Detail matching: finds, for a triangle in world space, the first detail triangle of the
// triangle pool (in pool order) whose three corners each lie within the detail tolerance
// (squared distance below 0.001) of a distinct corner of the triangle, the corners paired
// in the same cyclic order or in the reversed order. The pairings are tried in the order:
// rotations 0, 1, 2 of the same order, then rotations 0, 1, 2 of the reversed order.
//
// The pool is indexed by a grid over its corners whose cells are wider than the tolerance,
// so only the detail triangles with a corner in the 27 cells around the triangle's first
// corner are tested (any match pairs that corner with one of them); they are tested in pool
// order, which gives exactly the linear search's result.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "TZ2_Export/shell/ExportTypes.h"

namespace tz2 {

inline constexpr float kDetailToleranceSquared = 0.001f;

class DetailMatcher {
 public:
  explicit DetailMatcher(const std::vector<DetailTriangle>& pool);
  // The first matching detail triangle's texture coordinates, per corner of `corners`, in
  // uv; false (uv untouched) when none matches.
  bool Match(const Point3 corners[3], float uv[3][2]) const;

 private:
  std::vector<std::uint32_t> Candidates(const Point3& p) const;

  const std::vector<DetailTriangle>& pool_;
  std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> cells_;
};

}  // namespace tz2
