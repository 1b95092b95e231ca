// Skin: the skinned meshes' bones and per-vertex weights, and the host's rigid-deformation
// setting.
#pragma once

#include "TZ2_Export/shell/ExportState.h"

namespace tz2 {

// True when it has just changed the host's skin configuration (the host must restart).
bool EnsureRigidDeformations();

}  // namespace tz2
