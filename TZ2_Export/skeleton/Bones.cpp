// Bones. Not built yet: the bone list stays empty.
#include "TZ2_Export/skeleton/Bones.h"

namespace tz2 {

void BuildBoneList(ExportState&) {}
void PruneBones(ExportState&) {}
void OrderBones(ExportState&) {}
void BuildSkeletonLodMaps(ExportState& s) { s.skeletonLodMap = SkeletonLodMap{}; }

}  // namespace tz2
