// Node classification. The gathering and bone walks are not built yet: the lists stay
// empty, so an export writes a complete file without geometry.
#include "TZ2_Export/scene/NodeClassification.h"

#include <algorithm>

namespace tz2 {

void GatherScene(ExportState&) {}
bool CheckSpecialNode(ExportState&, int) { return true; }
bool HasCollisionNode(ExportState&) { return false; }
bool IsExportable(INode*, const ExportOptions&) { return false; }
bool IsMirrored(INode*, TimeValue) { return false; }
int CompareNames(const NodeEntry&, const NodeEntry&) { return 1; }
void SortByName(NodeList&) {}
Matrix3 ModelFrame(ExportState&, TimeValue, bool) { return Matrix3(); }
void BoneWalk(ExportState&, const NodeList&) {}

}  // namespace tz2
