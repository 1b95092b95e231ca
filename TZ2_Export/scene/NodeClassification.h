// Node classification: the scene walks that sort nodes by their names into the export's
// lists (meshes, hit meshes, collision boxes, groups, name-based bones), the special-node
// checks, the name order of lists, the mirror test and the model frame.
#pragma once

#include "TZ2_Export/shell/ExportState.h"
#include "host/Interval.h"

namespace tz2 {

// The gathering walk: fills s.meshList, s.hitList and s.collisionList.
void GatherScene(ExportState& s);
// kind 1 frame centre, 2 camera port, 3 zero port, 4 camera rotation port; false after a
// conflict message.
bool CheckSpecialNode(ExportState& s, int kind);
// Whether an exportable node below the root has a name beginning with "CL_" (any case).
bool HasCollisionNode(ExportState& s);
// The hidden and selected filters.
bool IsExportable(INode* node, const ExportOptions& options);
bool IsMirrored(INode* node, TimeValue t);
// −1 or 1: the order of node lists by name.
int CompareNames(const NodeEntry& a, const NodeEntry& b);
void SortByName(NodeList& list);
// The transform from world space into model space (before the Y/Z exchange).
Matrix3 ModelFrame(ExportState& s, TimeValue t, bool useFrameCenter);
// The bone walk: name-based bones and groups, plus the skin bones.
void BoneWalk(ExportState& s, const NodeList& skinBones);

}  // namespace tz2
