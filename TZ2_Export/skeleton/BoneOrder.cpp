// The bone list's final order and the subtree heights.
//
// OrderBones places the bones depth first from the roots: a bone, then its child bones
// (those whose ParentBoneOf it is) in their earlier list order, each followed by its own
// subtree. Parents therefore precede their children, and the surfaces' bone references are
// renumbered to the new positions. Since BoneHierarchy cuts ParentBone loops, the parent
// bones form a forest and every bone is placed exactly once.
#include <algorithm>

#include "TZ2_Export/skeleton/BoneHierarchy.h"
#include "TZ2_Export/skeleton/Bones.h"

namespace tz2 {

namespace {

// children[p + 1]: the child bones of bone p in list order; children[0]: the roots.
std::vector<std::vector<int>> ChildBones(BoneHierarchy& h) {
  std::vector<std::vector<int>> children(static_cast<std::size_t>(h.Count()) + 1);
  for (int i = 0; i < h.Count(); ++i) children[static_cast<std::size_t>(h.ParentIndexOf(i) + 1)].push_back(i);
  return children;
}

}  // namespace

void OrderBones(ExportState& s) {
  std::vector<int> order;
  {
    BoneHierarchy h(s);
    const std::vector<std::vector<int>> children = ChildBones(h);
    order.reserve(static_cast<std::size_t>(h.Count()));
    std::vector<int> stack(children[0].rbegin(), children[0].rend());
    while (!stack.empty()) {
      const int b = stack.back();
      stack.pop_back();
      order.push_back(b);
      const std::vector<int>& own = children[static_cast<std::size_t>(b) + 1];
      stack.insert(stack.end(), own.rbegin(), own.rend());
    }
  }
  std::vector<std::uint32_t> table(order.size(), kRemovedBone);
  std::vector<NodeEntry> placed;
  placed.reserve(order.size());
  for (std::size_t k = 0; k < order.size(); ++k) {
    table[static_cast<std::size_t>(order[k])] = static_cast<std::uint32_t>(k);
    placed.push_back(std::move(s.boneList[static_cast<std::size_t>(order[k])]));
  }
  s.boneList.Entries() = std::move(placed);
  RenumberBoneReferences(s, table);
}

std::vector<std::uint8_t> SubtreeHeights(ExportState& s) {
  BoneHierarchy h(s);
  const std::vector<std::vector<int>> children = ChildBones(h);
  std::vector<int> height(static_cast<std::size_t>(h.Count()), 0);
  // Post-order from each root: a bone's height is final once its children's are.
  std::vector<std::pair<int, bool>> stack;
  for (int root : children[0]) {
    stack.emplace_back(root, false);
    while (!stack.empty()) {
      auto [b, expanded] = stack.back();
      stack.pop_back();
      const std::vector<int>& own = children[static_cast<std::size_t>(b) + 1];
      if (!expanded) {
        stack.emplace_back(b, true);
        for (int c : own) stack.emplace_back(c, false);
        continue;
      }
      for (int c : own) height[static_cast<std::size_t>(b)] = std::max(height[static_cast<std::size_t>(b)], height[static_cast<std::size_t>(c)] + 1);
    }
  }
  std::vector<std::uint8_t> bytes(height.size());
  for (std::size_t i = 0; i < height.size(); ++i) bytes[i] = static_cast<std::uint8_t>(std::min(height[i], 254));
  return bytes;
}

}  // namespace tz2
