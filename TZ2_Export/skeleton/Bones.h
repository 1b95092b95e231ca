// The bone list and its hierarchy: candidates, pruning, root choice, final order and the
// skeleton's level-of-detail maps.
#pragma once

#include "TZ2_Export/shell/ExportState.h"

namespace tz2 {

// Builds s.boneList and s.groupList (runs the bone walk).
void BuildBoneList(ExportState& s);
void PruneBones(ExportState& s);
void OrderBones(ExportState& s);
void BuildSkeletonLodMaps(ExportState& s);

}  // namespace tz2
