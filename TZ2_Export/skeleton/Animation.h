// Animation: the frame range, and the animation section (skeleton, compressed tracks, bind
// pose, skeleton level-of-detail maps).
#pragma once

#include "TZ2_Export/format/OutputFile.h"
#include "TZ2_Export/shell/ExportState.h"

namespace tz2 {

// Sets s.firstFrame/s.lastFrame from the scene's range; false when the user refused to go
// on with a range that does not start at frame 0.
bool ReadFrameRange(ExportState& s);
void WriteAnimationSection(OutputFile& file, ExportState& s, int frameCount);

}  // namespace tz2
