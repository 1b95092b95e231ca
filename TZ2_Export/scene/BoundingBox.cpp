// The model's bounding box for the header (minimum at offset 34, maximum at 46), in model
// space: every vertex × its object transform after world-space modifiers × ModelFrame × the
// axis swap. With a node named "tag_BBox" whose world state at the first frame is a
// geometric object with a triangle mesh, only that mesh at the first frame counts; a
// "tag_BBox" without one gives a warning and is ignored. Otherwise every mesh list entry
// (detail and NOEXPORT_ meshes included) counts at every exported frame (only the first
// frame without animation). Nothing counted leaves the empty box (10^10, −10^10).
#include <algorithm>

#include "TZ2_Export/scene/NodeClassification.h"
#include "TZ2_Export/scene/Surfaces.h"
#include "TZ2_Export/scene/TriangleMesh.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "host/Mesh.h"
#include "host/Time.h"
#include "platform/Windows.h"

namespace tz2 {

namespace {

struct Box {
  Point3 min{kBoundsEmptyMin, kBoundsEmptyMin, kBoundsEmptyMin};
  Point3 max{kBoundsEmptyMax, kBoundsEmptyMax, kBoundsEmptyMax};

  void Widen(const Mesh& mesh, const Matrix3& tm) {
    for (const Point3& v : mesh.verts) {
      const Point3 p = v * tm;
      for (int a = 0; a < 3; ++a) {
        min[a] = std::min(min[a], p[a]);
        max[a] = std::max(max[a], p[a]);
      }
    }
  }
};

// Widens the box by the node's geometric triangle mesh at t; false when it has none.
bool WidenByNode(ExportState& s, Box& box, INode* node, TimeValue t) {
  NodeTriangleMesh tri(node, t, true);
  if (!tri) return false;
  box.Widen(*tri.Get(), node->GetObjTMAfterWSM(t) * ModelFrame(s, t, true) * s.axisSwap);
  return true;
}

}  // namespace

void BuildBoundingBox(ExportState& s, ModelHeader& header) {
  OutputDebugStringA(" Searching for BBOX\n");
  Box box;
  const int ticks = GetTicksPerFrame();
  bool fromTag = false;
  if (INode* tag = s.host != nullptr ? s.host->GetINodeByName("tag_BBox") : nullptr) {
    fromTag = WidenByNode(s, box, tag, s.firstFrame * ticks);
    if (!fromTag)
      MessageBoxA(GetActiveWindow(), "Unable to get mesh for 'tag_BBox' object. TAG ingnored.", "Warning !", MB_OK);
  }
  if (!fromTag) {
    OutputDebugStringA(" Creating bbox on all frames\n");
    const int last = s.options.ExportAnimation ? s.lastFrame : s.firstFrame;
    for (int f = s.firstFrame; f <= last; ++f)
      for (const NodeEntry& entry : s.meshList.Entries())
        if (entry.node != nullptr) WidenByNode(s, box, entry.node, f * ticks);
  }
  for (int a = 0; a < 3; ++a) {
    header.boundsMin[a] = box.min[a];
    header.boundsMax[a] = box.max[a];
  }
}

}  // namespace tz2
