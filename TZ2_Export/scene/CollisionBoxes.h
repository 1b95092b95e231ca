// Collision boxes: the collision box section. Per box (at most 16, the sorted collision
// list): its half extents in its pivot frame (x, z, y, scaled), then per frame of the range
// its centre and rotation in model space (Y and Z exchanged), the rotation a unit quaternion
// in the convention of the animation section.
#pragma once

#include "TZ2_Export/format/OutputFile.h"
#include "TZ2_Export/shell/ExportState.h"

class Mesh;

namespace tz2 {

inline constexpr int kMaxCollisionBoxes = 16;

struct BoxExtents {
  Point3 min, max;
  bool isBox = false;  // 8 vertices, 12 faces, every vertex at a corner (within 1.0)
};
// The extents of a mesh's vertices under `pivot` (the object's frame in the node's pivot
// frame) and the box test.
BoxExtents MeasureBox(const Mesh& mesh, const Matrix3& pivot);
void WriteCollisionBoxes(OutputFile& file, ExportState& s);

}  // namespace tz2
