// The process-wide frame rate of the standalone host's scene.
#include "host/Time.h"

namespace {
int g_frameRate = 30;
}

int GetFrameRate() { return g_frameRate; }
void SetFrameRate(int frameRate) { g_frameRate = frameRate > 0 ? frameRate : 30; }
int GetTicksPerFrame() { return TicksPerFrameAt(g_frameRate); }
