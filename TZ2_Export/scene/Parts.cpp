// Parts. Not built yet: no parts, and the section holds a zero count.
#include "TZ2_Export/scene/Parts.h"

namespace tz2 {

void BuildParts(ExportState& s) { s.groupCount = 0; }
void BuildBonePartRecords(ExportState& s) { s.bonePartRecords.assign(s.boneList.Count(), BonePartRecord{}); }
void WriteParts(OutputFile& file, ExportState& s) { file.WriteU8(static_cast<std::uint8_t>(s.groupCount)); }

}  // namespace tz2
