// The bone list and its hierarchy: candidates, pruning, root choice, final order, the
// skeleton's level-of-detail maps and subtree heights, and the 255-bone limit.
//
// After OrderBones a bone's list position is its index in the file (one byte, 0xFF none),
// and every bone's parent bone precedes it. The parent rules are those of BoneHierarchy
// (BoneHierarchy.h); passes over many bones should use one BoneHierarchy rather than the
// single-question functions below.
#pragma once

#include <cstdint>
#include <vector>

#include "TZ2_Export/shell/ExportState.h"

namespace tz2 {

// Builds s.boneList (and, through the bone walk, s.groupList): the skin bones of the mesh
// list, the bone walk from the scene root, then every child of the scene root not listed.
void BuildBoneList(ExportState& s);

// The parent rules for one node (see BoneHierarchy.h).
INode* ParentNodeOf(ExportState& s, INode* node);
INode* ParentBoneOf(ExportState& s, INode* node);

// Whether the node has a direct child that is an exported hit mesh ("HIT_", any case) or,
// while animation is exported, a collision box ("CL_", any case); with ExportSelectedOnly
// the child must be selected.
bool HasExportedHitChild(INode* node, const ExportOptions& options);

// Marks the used bones (used is resized to the bone count and must start all 0): bones of
// the surfaces' weights (cut to three per vertex first), exported ports, bones with exported
// hit or collision children, and every group bone above a used bone or a hit mesh.
void MarkUsedBones(ExportState& s, std::vector<std::uint8_t>& used);
// Removes the bones that do not move relative to a used ancestor, chooses the root, removes
// the bones not used; the surfaces' bone references follow.
void PruneBones(ExportState& s);
// Depth-first order from the roots, children in their earlier order; the surfaces' bone
// references follow.
void OrderBones(ExportState& s);

// Replaces every bone index of every surface vertex's weights by table[index]. An index the
// table does not map (out of range, or mapped to kRemovedBone) is an internal error: it is
// reported with assert1, its pair is dropped, and the result is false.
inline constexpr std::uint32_t kRemovedBone = 0xFFFF;
bool RenumberBoneReferences(ExportState& s, const std::vector<std::uint32_t>& table);

// The six rows of s.skeletonLodMap.
void BuildSkeletonLodMaps(ExportState& s);
// One byte per bone: 0 for a bone no bone has as parent bone, else one more than the largest
// height among its child bones.
std::vector<std::uint8_t> SubtreeHeights(ExportState& s);

// A skeleton holds at most kMaxBones bones (byte indices 0 to 254). Above that it shows
// "The model has %u bones. Maximum number of bones is 255." (caption "Error", error icon)
// and returns false: the export must stop with Cancelled before the file is created.
bool CheckBoneLimit(ExportState& s);

}  // namespace tz2
