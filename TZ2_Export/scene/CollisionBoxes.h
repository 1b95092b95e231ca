// Collision boxes: the collision box section with each box's extents and per-frame frame.
#pragma once

#include "TZ2_Export/format/OutputFile.h"
#include "TZ2_Export/shell/ExportState.h"

namespace tz2 {

void WriteCollisionBoxes(OutputFile& file, ExportState& s);

}  // namespace tz2
