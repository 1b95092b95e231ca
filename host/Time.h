// The scene's frame rate and the ticks per frame derived from it. The standalone host sets
// the rate from the scene it loads (30 frames a second by default).
#pragma once

#include "host/Interval.h"

int GetFrameRate();
void SetFrameRate(int frameRate);
// 4800 / frame rate: 160 at 30 frames a second.
int GetTicksPerFrame();
