// The scene's level-of-detail distances (custom properties LODDistance2 to LODDistance7):
// reading them for the header, and reconciling them with an existing file's distances
// before that file is overwritten (dialog 104).
#pragma once

#include <string>

#include "TZ2_Export/format/ModelHeader.h"
#include "platform/WinTypes.h"

class Interface;

namespace tz2 {

// The six distances of the scene: defaults, typed VT_R4 properties, never decreasing.
void ReadLodDistances(float distances[6], Interface* host);
inline void ReadLodDistances(ModelHeader& header, Interface* host) { ReadLodDistances(header.lodDistances, host); }
// Asks, when the file exists with distances that differ by more than 1.0, whether to keep
// the file's distances; "Use old TZ2 settings" writes them into the scene.
void ReconcileLodDistances(const std::string& fileName, Interface* host);

// The distances dialog 104 shows: the scene's (left) and the file's (right).
struct LodDialogContext {
  float scene[6];
  float old[6];
};
INT_PTR CALLBACK LodDistancesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tz2
