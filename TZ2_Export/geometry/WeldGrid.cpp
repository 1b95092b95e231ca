// Position hash for welding and position grouping (see WeldGrid.h).
#include "TZ2_Export/geometry/WeldGrid.h"

namespace {

// Beyond this magnitude a coordinate is not put into a cell (its cell number would overflow).
constexpr double kFarCoordinate = 1e9;

}  // namespace

void WeldGrid::Clear() {
  cells_.clear();
  far_.clear();
}

WeldGrid::Kind WeldGrid::Classify(const Point3& p, std::int64_t* cell) {
  for (int a = 0; a < 3; ++a) {
    const double x = p[a];
    if (!std::isfinite(x)) return Kind::kNone;
  }
  for (int a = 0; a < 3; ++a)
    if (std::fabs(static_cast<double>(p[a])) > kFarCoordinate) return Kind::kFar;
  for (int a = 0; a < 3; ++a)
    cell[a] = static_cast<std::int64_t>(std::floor(static_cast<double>(p[a]) / kCell));
  return Kind::kCell;
}

std::uint64_t WeldGrid::Key(std::int64_t x, std::int64_t y, std::int64_t z) {
  std::uint64_t h = static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15ull;
  h ^= static_cast<std::uint64_t>(y) * 0xC2B2AE3D27D4EB4Full + (h << 6) + (h >> 2);
  h ^= static_cast<std::uint64_t>(z) * 0x165667B19E3779F9ull + (h << 6) + (h >> 2);
  return h;
}

void WeldGrid::Insert(const Point3& p, std::uint32_t index) {
  std::int64_t c[3];
  switch (Classify(p, c)) {
    case Kind::kNone:
      return;
    case Kind::kFar:
      far_.push_back(index);
      return;
    case Kind::kCell:
      cells_[Key(c[0], c[1], c[2])].push_back(index);
      return;
  }
}
