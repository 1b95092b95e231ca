// Hit meshes: the hit mesh section.
#pragma once

#include "TZ2_Export/format/OutputFile.h"
#include "TZ2_Export/shell/ExportState.h"

namespace tz2 {

void WriteHitMeshes(OutputFile& file, ExportState& s);

}  // namespace tz2
