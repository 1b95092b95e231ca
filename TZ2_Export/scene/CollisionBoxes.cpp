// The collision box section writer.
#include "TZ2_Export/scene/CollisionBoxes.h"

#include <cmath>
#include <cstdio>

#include "TZ2_Export/scene/NodeClassification.h"
#include "TZ2_Export/scene/TriangleMesh.h"
#include "host/Decomp.h"
#include "host/INode.h"
#include "host/Mesh.h"
#include "host/Time.h"
#include "platform/Windows.h"

namespace tz2 {

BoxExtents MeasureBox(const Mesh& mesh, const Matrix3& pivot) {
  BoxExtents box;
  const int n = mesh.getNumVerts();
  for (int i = 0; i < n; ++i) {
    const Point3 p = pivot.PointTransform(mesh.getVert(i));
    if (i == 0) { box.min = box.max = p; continue; }
    for (int a = 0; a < 3; ++a) {
      if (p[a] < box.min[a]) box.min[a] = p[a];
      if (p[a] > box.max[a]) box.max[a] = p[a];
    }
  }
  bool corners = n > 0;
  for (int i = 0; i < n && corners; ++i) {
    const Point3 p = pivot.PointTransform(mesh.getVert(i));
    for (int a = 0; a < 3; ++a)
      if (!(std::fabs(p[a] - box.min[a]) <= 1.0f || std::fabs(p[a] - box.max[a]) <= 1.0f)) corners = false;
  }
  box.isBox = corners && n == 8 && mesh.getNumFaces() == 12;
  return box;
}

void WriteCollisionBoxes(OutputFile& file, ExportState& s) {
  int n = static_cast<int>(s.collisionList.Count() & 0xFFFFu);
  if (n > kMaxCollisionBoxes) {
    n = kMaxCollisionBoxes;
    char text[256];
    std::snprintf(text, sizeof text,
                  "Too many collision boxes in model. Some boxes have been ignored. Maximum %d are allowed.",
                  kMaxCollisionBoxes);
    MessageBoxA(nullptr, text, "Warning !", MB_OK);
  }
  file.WriteU16(static_cast<std::uint16_t>(n));
  const int ticks = GetTicksPerFrame();
  for (int i = 0; i < n; ++i) {
    INode* node = s.collisionList[static_cast<std::size_t>(i)].node;
    Matrix3 nodeTM = node->GetNodeTM(0);
    nodeTM.NoScale();
    const Matrix3 pivot = node->GetObjectTM(0) * Inverse(nodeTM);
    BoxExtents box;
    {
      NodeTriangleMesh mesh(node, 0);
      if (mesh.Get()) box = MeasureBox(*mesh.Get(), pivot);
      if (!box.isBox) {
        char text[512];
        std::snprintf(text, sizeof text, "Collizion object '%s' is not a box. \nPlease refer to plugin documentation",
                      node->GetName());
        MessageBoxA(GetActiveWindow(), text, "Warning !", MB_OK);
      }
    }  // releases a temporary mesh object
    const Point3 centre = (box.min + box.max) * 0.5f;
    const Point3 half = box.max - centre;
    file.WriteF32(half.x * s.modelScale);
    file.WriteF32(half.z * s.modelScale);
    file.WriteF32(half.y * s.modelScale);

    Matrix3 toCentre;
    toCentre.IdentityMatrix();
    toCentre.SetRow(3, centre);
    for (int f = s.firstFrame; f <= s.lastFrame; ++f) {
      const TimeValue t = f * ticks;
      Matrix3 frameTM = node->GetNodeTM(t);
      frameTM.NoScale();
      const Matrix3 w = s.axisSwap * toCentre * frameTM * ModelFrame(s, t, true) * s.axisSwap;
      AffineParts parts;
      decomp_affine(w, &parts);
      file.WriteF32(parts.t.x);
      file.WriteF32(parts.t.y);
      file.WriteF32(parts.t.z);
      file.WriteF32(parts.q.x);
      file.WriteF32(parts.q.y);
      file.WriteF32(parts.q.z);
      file.WriteF32(parts.q.w);
    }
  }
}

}  // namespace tz2
