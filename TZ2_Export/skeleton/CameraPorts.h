// Camera ports: the camera path section.
#pragma once

#include "TZ2_Export/format/OutputFile.h"
#include "TZ2_Export/shell/ExportState.h"

namespace tz2 {

// False when nothing was written (the header's offset is then 0).
bool WriteCameraSection(OutputFile& file, ExportState& s, int frameCount);

}  // namespace tz2
