// Animation. Not built yet: the range is taken as it is and the section holds no bones.
#include "TZ2_Export/skeleton/Animation.h"

#include "host/Interface.h"
#include "host/Time.h"

namespace tz2 {

bool ReadFrameRange(ExportState& s) {
  const Interval range = s.host->GetAnimRange();
  s.firstFrame = 0;
  s.lastFrame = range.End() / GetTicksPerFrame();
  return true;
}

void WriteAnimationSection(OutputFile& file, ExportState&, int) { file.WriteU8(0); }

}  // namespace tz2
