// Parts: the parts table, each bone's part and the parts section.
#pragma once

#include "TZ2_Export/format/OutputFile.h"
#include "TZ2_Export/shell/ExportState.h"

namespace tz2 {

// Numbers the parts (s.partsTable, s.groupCount).
void BuildParts(ExportState& s);
// Fills s.bonePartRecords.
void BuildBonePartRecords(ExportState& s);
void WriteParts(OutputFile& file, ExportState& s);

}  // namespace tz2
