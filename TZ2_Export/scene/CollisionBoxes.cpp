// Collision boxes. Not built yet: the section holds a zero count.
#include "TZ2_Export/scene/CollisionBoxes.h"

namespace tz2 {

void WriteCollisionBoxes(OutputFile& file, ExportState&) { file.WriteU16(0); }

}  // namespace tz2
