// Smoothing groups derived from a file's normals. Two faces that share an edge are joined
// when the corner normals of both faces agree at both ends of the edge; joined faces form a
// component that shares one smoothing group. Components are coloured with the 32 group bits
// so that components meeting at a vertex get different bits where possible; a face joined
// to no neighbour (flat against all of them) gets group 0.
#pragma once

#include <vector>

#include "host/Mesh.h"

namespace tz2import {

// cornerNormals holds three normals a face (face f corner k at 3f + k). Sets every face's
// smoothing group.
void AssignSmoothingGroups(Mesh& mesh, const std::vector<Point3>& cornerNormals);

}  // namespace tz2import
