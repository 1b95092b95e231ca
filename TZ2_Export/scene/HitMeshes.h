// Hit meshes: the hit mesh section. Per hit mesh (the sorted hit list): its hit code from
// the name, the bone it follows, its faces and its vertices in model space (Y and Z
// exchanged). A hit mesh whose face or vertex count does not fit 16 bits is left out with a
// warning naming it; the section's count says how many were written.
#pragma once

#include <cstdint>
#include <string>

#include "TZ2_Export/format/OutputFile.h"
#include "TZ2_Export/shell/ExportState.h"

namespace tz2 {

// The hit code of a hit mesh name: the text after its four-character prefix (at most 200
// characters) read as a signed decimal integer, low 8 bits. `valid` is false when the digits
// exceed the signed 32-bit range (the code is then 0).
std::uint8_t HitCode(const char* name, bool& valid);
// The index of the bone a hit mesh follows: the node itself or its nearest scene ancestor in
// the bone list; 0xFFFF for none or when animation is not exported.
std::uint16_t HitMeshBone(const ExportState& s, INode* node);
void WriteHitMeshes(OutputFile& file, ExportState& s);

}  // namespace tz2
