// Camera ports. Not built yet: nothing is written.
#include "TZ2_Export/skeleton/CameraPorts.h"

namespace tz2 {

bool WriteCameraSection(OutputFile&, ExportState&, int) { return false; }

}  // namespace tz2
