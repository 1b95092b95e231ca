// WeldGrid: a hash of vertex positions into cubic cells, so that the vertices within a small
// tolerance of a point are found without scanning the whole vertex array.
//
// Cells are kCell wide, at least twice the welding tolerance, so every position within the
// tolerance of a query lies in the query's cell or in one of its 26 neighbours. The visitor may
// see a candidate more than once and sees candidates that are far away (cells share hash
// buckets); callers test every candidate exactly and pick by index, so the result never depends
// on the visiting order. Positions with a coordinate beyond ±1e9 are kept in one list that only
// such queries visit; positions with a NaN or infinite coordinate are not kept (they can never
// lie within a tolerance of anything).
#pragma once

#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "host/Point3.h"

class WeldGrid {
 public:
  static constexpr double kCell = 0.0005;

  void Clear();
  void Insert(const Point3& p, std::uint32_t index);

  template <typename Visit>
  void ForEachNear(const Point3& p, Visit&& visit) const {
    std::int64_t c[3];
    switch (Classify(p, c)) {
      case Kind::kNone:
        return;
      case Kind::kFar:
        for (std::uint32_t i : far_) visit(i);
        return;
      case Kind::kCell:
        break;
    }
    for (std::int64_t dx = -1; dx <= 1; ++dx)
      for (std::int64_t dy = -1; dy <= 1; ++dy)
        for (std::int64_t dz = -1; dz <= 1; ++dz) {
          const auto it = cells_.find(Key(c[0] + dx, c[1] + dy, c[2] + dz));
          if (it == cells_.end()) continue;
          for (std::uint32_t i : it->second) visit(i);
        }
  }

 private:
  enum class Kind { kNone, kFar, kCell };
  static Kind Classify(const Point3& p, std::int64_t* cell);
  static std::uint64_t Key(std::int64_t x, std::int64_t y, std::int64_t z);

  std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> cells_;
  std::vector<std::uint32_t> far_;
};
