// Parts: the parts table, each bone's part and the parts section.
//
// The parts are the group nodes' distinct names (exact comparison), plus the implicit part
// "Main" (index 0) when some bone is not a group node. When "Main" exists, parts-table record
// 0 describes it and record i + 1 group list entry i; otherwise record i describes entry i.
// A record is a part's defining record when single or firstOfSeveral is set; s.groupCount is
// the number of parts ("Main" included), which the driver checks against kMaxGroups.
#pragma once

#include <cstdint>
#include <vector>

#include "TZ2_Export/format/OutputFile.h"
#include "TZ2_Export/shell/ExportState.h"

namespace tz2 {

// Whether the part "Main" exists: some bone's name does not start with "GR_" or "GRH_"
// (any case), or is empty.
bool HasMainPart(const ExportState& s);

// Numbers the parts (s.partsTable, s.groupCount). Runs after the bone list's final order.
void BuildParts(ExportState& s);
// Whether the model has more parts than the file allows (TooManyGroups).
inline bool HasTooManyGroups(const ExportState& s) { return s.groupCount > kMaxGroups; }

// The part of each bone, found by walking up from it (itself when it is a group node, else
// from its parent bone) with ParentNodeOf to the first group node, at most 255 nodes.
struct BonePart {
  std::uint8_t part = 0;      // 0 without a group node; 0xFF when the group is not listed
  std::uint8_t grh = 0;       // grh of the first parts-table record with that part
  std::uint8_t partRoot = 0;  // 1: a group node itself, or no group node and no parent bone
};
// One entry per bone of s.boneList; needs BuildParts first.
std::vector<BonePart> BoneParts(ExportState& s);
// Fills s.bonePartRecords (part and grh of BoneParts).
void BuildBonePartRecords(ExportState& s);
// The part-root marker of each bone, as the animation writer stores it.
std::vector<std::uint8_t> PartRootMarkers(ExportState& s);

// The parts section: count, then per part its 20-byte name and kind (0xFF "Main", 1 "GRH_",
// 0 "GR_"). The count always equals the records written (at most 255).
void WriteParts(OutputFile& file, ExportState& s);

}  // namespace tz2
