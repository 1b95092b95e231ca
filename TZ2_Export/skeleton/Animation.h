// Animation: the frame range, and the animation section (skeleton, compressed tracks, bind
// pose, skeleton level-of-detail maps).
//
// The driver's order: ReadFrameRange (may ask the user), the bone steps, then
// CheckAnimationLimits before the file is created (it samples and reduces the whole
// animation, fills the camera sample buffer and refuses what the file's index arrays cannot
// address), and WriteAnimationSection with the file. AnimationWriter.h has the pieces.
#pragma once

#include "TZ2_Export/format/OutputFile.h"
#include "TZ2_Export/shell/ExportState.h"

namespace tz2 {

// Sets s.firstFrame/s.lastFrame from the scene's range; false when the user refused to go
// on with a range that does not start at frame 0.
bool ReadFrameRange(ExportState& s);

// With ExportAnimation set: samples and reduces every bone's animation into
// s.preparedAnimation, fills the camera sample buffer and sets s.animationRatio. False after
// an error message when the animation cannot be stored: more than 4096 frames, no frame at
// all, or a track with more than 2048 keys. The driver must then stop with Cancelled before
// the file is created. Without ExportAnimation it does nothing and returns true.
bool CheckAnimationLimits(ExportState& s);

// Writes the section at the file's position (preparing it first when CheckAnimationLimits
// did not run), then shows the non-uniform-scale warning when a bone needs it, and releases
// the prepared tracks. frameCount is the driver's; the section follows the frame range.
void WriteAnimationSection(OutputFile& file, ExportState& s, int frameCount);

}  // namespace tz2
