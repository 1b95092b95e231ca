// ReadFrameRange: the export's frame range from the scene's animation range. An exported
// animation always starts at frame 0; a range that starts elsewhere is exported from frame 0
// after the user agreed.
#include "TZ2_Export/skeleton/Animation.h"

#include "host/Interface.h"
#include "host/Time.h"
#include "platform/Windows.h"

namespace tz2 {
namespace {

const char* const kNonZeroStartQuestion =
    "Вы пытаетесь выгрузить анимацию, начиная с ненулевого кадра.\n"
    "Это на данный момент не поддерживается,\n"
    "поэтому анимация будет выгружена, начиная с нулевого кадра.\n"
    "Продолжить ?";

}  // namespace

bool ReadFrameRange(ExportState& s) {
  const Interval range = s.host->GetAnimRange();
  const int ticks = GetTicksPerFrame();
  s.firstFrame = range.Start() / ticks;
  s.lastFrame = range.End() / ticks;
  if (s.firstFrame != 0) {
    if (MessageBoxA(GetActiveWindow(), kNonZeroStartQuestion, "Warning !", MB_YESNO) != IDYES) return false;
    s.firstFrame = 0;
  }
  return true;
}

}  // namespace tz2
