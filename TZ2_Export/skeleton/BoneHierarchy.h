// BoneHierarchy: the parent rules of the bone list, answered for the list as it is when the
// hierarchy is built, with every answer kept so a pass over many bones asks the host once
// per node.
//
// ParentNodeOf(n): the bone named by n's ParentBone property (forms "ParentBone",
// "PARENTBONE", "parentbone"; names compared ignoring ASCII case, first bone in list order),
// else n's scene parent. An unmatched name shows the parent warning once per export.
// ParentBoneOf(n): the first bone met by applying ParentNodeOf from n; more than 255 steps
// without one is the circular case (message once per export, no parent bone).
// A ParentBone loop closes among bones; the bones of such a loop would never reach a root.
// The loop is cut at its member with the smallest list index (the first met when the bones
// are examined in list order): that bone gets no parent bone and the circular message (once
// per export, the flag shared with the parent warning). The cut depends only on the list,
// never on the order of the questions, so every pass and every writer sees the same forest.
//
// The hierarchy must not outlive a change of the bone list.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "TZ2_Export/shell/ExportState.h"

namespace tz2 {

// Steps of ParentNodeOf after the first beyond which a parent chain counts as circular.
inline constexpr int kParentChainLimit = 255;

class BoneHierarchy {
 public:
  explicit BoneHierarchy(ExportState& s);

  int Count() const { return static_cast<int>(bones_.size()); }
  INode* Bone(int i) const { return bones_[static_cast<std::size_t>(i)]; }
  // The first list position of the node, or −1.
  int IndexOf(const INode* node) const;

  INode* ParentNodeOf(INode* node);
  // A bone of the list, or null.
  INode* ParentBoneOf(INode* node);
  // The list index of bone i's parent bone, or −1.
  int ParentIndexOf(int i);

 private:
  INode* ChainParentBoneOf(INode* node);  // the chain rule alone, before loop cuts
  void ResolveFrom(int i);

  ExportState& s_;
  std::vector<INode*> bones_;
  std::unordered_map<const INode*, int> index_;
  std::unordered_map<INode*, INode*> parentNode_;
  std::unordered_map<INode*, INode*> chainParentBone_;
  std::vector<int> parent_;  // resolved parent index; kUnresolved until asked
};

}  // namespace tz2
