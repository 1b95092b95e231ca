// Skin: the bones a mesh depends on and each exported vertex's raw bone weights, read
// through the host's Physique export interfaces; and the host's rigid-deformation setting.
//
// A mesh without Physique counts as skinned to its own node with weight 1. Every Physique
// interface is obtained, used and released within one call.
#pragma once

#include <vector>

#include "TZ2_Export/scene/NodeClassification.h"
#include "TZ2_Export/shell/ExportState.h"

class Modifier;

namespace tz2 {

// The first modifier of class (0x100, 0) of the node's derived object; null when the
// object reference is not a derived object or carries none.
Modifier* FindPhysique(INode* node);

// Adds the bones of one mesh to skinBones (each once, newly added ones traced): with
// Physique, every bone its vertices name (after the deformable scan, which sets
// s.deformableVerticesFound); without it, the node and its scene parent (not the root).
void AddSkinBones(ExportState& s, INode* node, NodeList& skinBones);

// The raw weights of one mesh vertex, bones as indices of the bone list. Bones that are
// not in the bone list are left out. An empty result means "no weights" (the surface
// clean-up turns it into {0, 1.0}).
std::vector<WeightPair> RawWeights(INode* node, int meshVertex, const NodeIndex& boneIndex);
std::vector<WeightPair> RawWeights(INode* node, int meshVertex, const NodeList& boneList);

// Adds weight to the bone's pair, or appends {bone, weight}.
void AddWeight(std::vector<WeightPair>& weights, std::uint32_t bone, float weight);

// Makes sure that "USE_2.2_RIGID_DEFORMATIONS" of section "BulgeEditorState" of the host's
// "plugcfg/physique.ini" (beside the host's plug-in folder) is "Yes". True when it has just
// written it (the host must be restarted); false when it was set already, when the
// exporter's module or the file cannot be found, or when the value cannot be written.
bool EnsureRigidDeformations();
// The physique.ini path for a module path: the module's folder and the folder above it are
// dropped ('D:\3dsmax6\plugins\TZ2_Export.dle' gives 'D:\3dsmax6\plugcfg\physique.ini'; either
// separator is accepted and kept). Empty when the path has fewer than two separators.
std::string PhysiqueIniPath(const std::string& modulePath);

}  // namespace tz2
