// Vertex welding without a linear scan. The surface vertex a corner reuses is the first
// existing vertex (in list order) with the same mesh vertex, the same texture vertex and a
// normal within 0.001 on each component; the chunk vertex a corner reuses is the first
// chunk vertex with the same source, weights and detail coordinates. Both searches only
// ever match entries that share an exact key, so the entries are chained per key in the
// order they were added and only the key's chain is scanned: the result is exactly the
// linear search's, at a cost that does not grow with the list.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "host/Point3.h"

namespace tz2 {

// Chains of indices per key, each chain in the order its indices were added. Indices are
// added as 0, 1, 2, ... (one per entry of the list being indexed).
class OrderedBuckets {
 public:
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

  // Adds the next index (Size()) under key.
  void Add(std::uint64_t key);
  std::uint32_t Size() const { return static_cast<std::uint32_t>(next_.size()); }
  // The first index under key for which match(index) holds, or kNone.
  template <class Match>
  std::uint32_t FindFirst(std::uint64_t key, Match match) const {
    auto it = chains_.find(key);
    if (it == chains_.end()) return kNone;
    for (std::uint32_t i = it->second.first; i != kNone; i = next_[i])
      if (match(i)) return i;
    return kNone;
  }
  void Reserve(std::size_t n) {
    next_.reserve(n);
    chains_.reserve(n);
  }

 private:
  struct Chain {
    std::uint32_t first = kNone;
    std::uint32_t last = kNone;
  };
  std::unordered_map<std::uint64_t, Chain> chains_;
  std::vector<std::uint32_t> next_;
};

inline constexpr float kWeldNormalTolerance = 0.001f;

// Whether two normals weld: each component differs by at most 0.001.
inline bool NormalsWeld(const Point3& a, const Point3& b) {
  auto close = [](float x, float y) { return (x > y ? x - y : y - x) <= kWeldNormalTolerance; };
  return close(a.x, b.x) && close(a.y, b.y) && close(a.z, b.z);
}

inline std::uint64_t WeldKey(std::uint32_t meshVertex, std::uint32_t textureVertex) {
  return (std::uint64_t(meshVertex) << 32) | textureVertex;
}

}  // namespace tz2
