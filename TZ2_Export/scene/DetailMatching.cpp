// Detail matching over a grid of the triangle pool's corners (see DetailMatching.h).
#include "TZ2_Export/scene/DetailMatching.h"

#include <algorithm>
#include <cmath>

namespace tz2 {

namespace {

// Wider than the tolerance distance (sqrt(0.001) ≈ 0.0316): points that pass the tolerance
// test lie in the same or in neighbouring cells.
constexpr float kCellSize = 0.05f;
constexpr double kCellLimit = 1e12;  // cells beyond this are clamped (keeps the key arithmetic defined)

bool CellOf(const Point3& p, std::int64_t cell[3]) {
  for (int a = 0; a < 3; ++a) {
    if (!std::isfinite(p[a])) return false;
    const double c = std::clamp(std::floor(static_cast<double>(p[a]) / kCellSize), -kCellLimit, kCellLimit);
    cell[a] = static_cast<std::int64_t>(c);
  }
  return true;
}

std::uint64_t CellKey(std::int64_t x, std::int64_t y, std::int64_t z) {
  std::uint64_t h = static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15ull;
  h ^= static_cast<std::uint64_t>(y) * 0xC2B2AE3D27D4EB4Full + (h << 6) + (h >> 2);
  h ^= static_cast<std::uint64_t>(z) * 0x165667B19E3779F9ull + (h << 6) + (h >> 2);
  return h;
}

bool Near(const Point3& a, const Point3& b) { return (a - b).LengthSquared() < kDetailToleranceSquared; }

}  // namespace

DetailMatcher::DetailMatcher(const std::vector<DetailTriangle>& pool) : pool_(pool) {
  for (std::uint32_t i = 0; i < pool.size(); ++i)
    for (const Point3& corner : pool[i].corners) {
      std::int64_t c[3];
      if (!CellOf(corner, c)) continue;
      std::vector<std::uint32_t>& cell = cells_[CellKey(c[0], c[1], c[2])];
      if (cell.empty() || cell.back() != i) cell.push_back(i);
    }
}

std::vector<std::uint32_t> DetailMatcher::Candidates(const Point3& p) const {
  std::vector<std::uint32_t> out;
  std::int64_t c[3];
  if (cells_.empty() || !CellOf(p, c)) return out;
  for (std::int64_t dx = -1; dx <= 1; ++dx)
    for (std::int64_t dy = -1; dy <= 1; ++dy)
      for (std::int64_t dz = -1; dz <= 1; ++dz) {
        auto it = cells_.find(CellKey(c[0] + dx, c[1] + dy, c[2] + dz));
        if (it != cells_.end()) out.insert(out.end(), it->second.begin(), it->second.end());
      }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

bool DetailMatcher::Match(const Point3 corners[3], float uv[3][2]) const {
  for (std::uint32_t index : Candidates(corners[0])) {
    const DetailTriangle& d = pool_[index];
    for (int reversed = 0; reversed < 2; ++reversed)
      for (int r = 0; r < 3; ++r) {
        int pairedCorner[3];  // the triangle corner that detail corner j is paired with
        for (int j = 0; j < 3; ++j) pairedCorner[j] = reversed ? (r + 3 - j) % 3 : (r + j) % 3;
        if (!Near(d.corners[0], corners[pairedCorner[0]]) || !Near(d.corners[1], corners[pairedCorner[1]]) ||
            !Near(d.corners[2], corners[pairedCorner[2]]))
          continue;
        for (int j = 0; j < 3; ++j) {
          uv[pairedCorner[j]][0] = d.uv[j][0];
          uv[pairedCorner[j]][1] = d.uv[j][1];
        }
        return true;
      }
  }
  return false;
}

}  // namespace tz2
