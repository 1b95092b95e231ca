// The pruning passes' shared pieces: the used-bone marking over one BoneHierarchy.
#pragma once

#include <cstdint>
#include <vector>

#include "TZ2_Export/skeleton/BoneHierarchy.h"

namespace tz2 {

// MarkUsedBones (Bones.h) answered through `hierarchy`, which must describe s.boneList;
// hitChild[i] tells whether bone i has an exported hit or collision child.
void MarkUsedBones(ExportState& s, BoneHierarchy& hierarchy, const std::vector<std::uint8_t>& hitChild,
                   std::vector<std::uint8_t>& used);

}  // namespace tz2
