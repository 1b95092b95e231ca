// Hit meshes. Not built yet: the section holds a zero count.
#include "TZ2_Export/scene/HitMeshes.h"

namespace tz2 {

void WriteHitMeshes(OutputFile& file, ExportState&) { file.WriteU16(0); }

}  // namespace tz2
