// Node classification: the scene walks that sort nodes by their names into the export's
// lists (meshes, hit meshes, collision boxes, groups, name-based bones), the special-node
// checks, the name order of lists, the mirror test and the model frame. The name rules
// themselves are in NameRules.h, the triangle mesh of a node in TriangleMesh.h.
#pragma once

#include <unordered_map>

#include "TZ2_Export/shell/ExportState.h"
#include "host/Interval.h"

namespace tz2 {

// ---- List operations (besides NodeList's own Append / AppendUnique / IndexOf / Release) ----

// Appends the node unless it is listed already; a newly added node is traced with its name
// and "\n". Returns whether it was added.
bool AddUnlessListed(NodeList& list, INode* node);

// The first position of each node of a list, for lookups that must not scan the list (the
// per-vertex bone lookups). Answers what NodeList::IndexOf answers for the list as it was
// when the index was built.
class NodeIndex {
 public:
  explicit NodeIndex(const NodeList& list);
  int IndexOf(const INode* node) const;

 private:
  std::unordered_map<const INode*, int> first_;
};

// ---- Walks and checks ----

// The gathering walk: fills s.meshList, s.hitList and s.collisionList (children before
// their parents; the root itself is never visited).
void GatherScene(ExportState& s);

enum SpecialNodeKind { kFrameCenter = 1, kCameraPort = 2, kZeroPort = 3, kCameraRotationPort = 4 };
// Records the special node of that kind in s.special; false after a conflict message (a
// second node of that name, or a camera port that is not a camera).
bool CheckSpecialNode(ExportState& s, int kind);
// Whether an exportable node below the root has a name beginning with "CL_" (any case).
bool HasCollisionNode(Interface* host, const ExportOptions& options);
bool HasCollisionNode(ExportState& s);
// The hidden and selected filters.
bool IsExportable(INode* node, const ExportOptions& options);
// Whether the node's object transform (after world-space modifiers) at t is mirrored.
bool IsMirrored(INode* node, TimeValue t);
// −1 when a sorts before b, else 1: the order of node lists by name (a leading "GR_", then a
// leading "GRH_", any case, is ignored; bytes compare as signed 8-bit values).
int CompareNames(const NodeEntry& a, const NodeEntry& b);
// Sorts a list ascending by CompareNames.
void SortByName(NodeList& list);
// The transform from world space into model space (before the Y/Z exchange): F × K × S.
Matrix3 ModelFrame(ExportState& s, TimeValue t, bool useFrameCenter);
// The bone walk: groups into s.groupList and s.boneList, the parents of hit meshes, ports
// (with the mirrored-port warning) and the skin bones into s.boneList, in scene pre-order.
void BoneWalk(ExportState& s, const NodeList& skinBones);

}  // namespace tz2
