// Camera ports: the camera path section, by the first case that applies:
//   a camera port, or else a zero port: the camera sample buffer as the animation writer
//     filled it, frame count × 12 bytes of positions, then, with a camera rotation port,
//     frame count × 12 bytes of rotation x, y, z (w ≥ 0 implied). Entries no pass filled
//     (animation not exported, or a rotation port without a camera port) are zeros.
//   else a frame centre: per frame f, the frame centre's model-space movement from f to
//     f + 1 (so the last one reaches a frame past the range), written x, z, y. A camera
//     rotation port is then ignored, with one warning.
//   else nothing: the section is absent and the header's offset is 0.
// The frame count follows the frame range (last − first + 1).
#pragma once

#include "TZ2_Export/format/OutputFile.h"
#include "TZ2_Export/shell/ExportState.h"
#include "collect/ByteStream.h"

namespace tz2 {

// False when nothing was written (the header's offset is then 0). frameCount is not used.
bool WriteCameraSection(OutputFile& file, ExportState& s, int frameCount);
// The section's bytes; false (and nothing appended) when the section is absent.
bool BuildCameraSection(ExportState& s, ByteStream& out);

}  // namespace tz2
