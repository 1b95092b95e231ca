// The parent rules of the bone list (ParentNodeOf, ParentBoneOf) with the 255-step limit,
// the cut of ParentBone loops, and the messages both share one once-per-export flag for.
#include "TZ2_Export/skeleton/BoneHierarchy.h"

#include <algorithm>
#include <string>

#include "TZ2_Export/skeleton/PropertyText.h"
#include "host/INode.h"
#include "platform/Windows.h"

namespace tz2 {

namespace {

constexpr int kUnresolved = -2;

const char* NameOf(INode* node) {
  const char* name = node ? node->GetName() : nullptr;
  return name ? name : "";
}

// Shows a parent message unless one was shown in this export already.
void ShowParentMessage(ExportState& s, const std::string& text, const char* caption) {
  if (s.parentBoneWarningShown) return;
  s.parentBoneWarningShown = true;
  MessageBoxA(GetActiveWindow(), text.c_str(), caption, MB_OK);
}

void ShowCircularReference(ExportState& s, INode* bone) {
  ShowParentMessage(s,
                    std::string("Some 'ParentBone' parameter caused circular reference while processing bone '") +
                        NameOf(bone) + "'.",
                    "Error");
}

}  // namespace

BoneHierarchy::BoneHierarchy(ExportState& s) : s_(s) {
  bones_.reserve(s.boneList.Count());
  for (const NodeEntry& e : s.boneList.Entries()) {
    index_.emplace(e.node, static_cast<int>(bones_.size()));  // keeps the first position
    bones_.push_back(e.node);
  }
  parent_.assign(bones_.size(), kUnresolved);
}

int BoneHierarchy::IndexOf(const INode* node) const {
  const auto it = index_.find(node);
  return it == index_.end() ? -1 : it->second;
}

INode* BoneHierarchy::ParentNodeOf(INode* node) {
  if (!node) return nullptr;
  if (const auto it = parentNode_.find(node); it != parentNode_.end()) return it->second;
  INode* result = node->GetParentNode();
  std::string value;
  if (FindUserProp(node, kParentBoneExporterForms, value)) {
    const auto named = std::find_if(bones_.begin(), bones_.end(), [&](INode* bone) {
      return bone && NamesEqualIgnoringCase(bone->GetName(), value.c_str());
    });
    if (named != bones_.end()) {
      result = *named;
    } else {
      ShowParentMessage(s_,
                        "Unable to find parent bone '" + value + "', specified for bone '" + NameOf(node) + "'.",
                        "Warning !");
    }
  }
  parentNode_.emplace(node, result);
  return result;
}

INode* BoneHierarchy::ChainParentBoneOf(INode* node) {
  if (!node) return nullptr;
  if (const auto it = chainParentBone_.find(node); it != chainParentBone_.end()) return it->second;
  INode* result = nullptr;
  INode* p = ParentNodeOf(node);
  int steps = 0;
  while (p) {
    if (IndexOf(p) >= 0) {
      result = p;
      break;
    }
    p = ParentNodeOf(p);
    if (++steps > kParentChainLimit) {
      ShowCircularReference(s_, node);
      break;
    }
  }
  chainParentBone_.emplace(node, result);
  return result;
}

// Follows the chain parents from bone i until a resolved bone, a root or a bone met before
// on this path (a loop); then fixes the parent of every bone on the path.
void BoneHierarchy::ResolveFrom(int i) {
  std::vector<int> path;
  std::vector<int> chainParent;
  std::unordered_map<int, std::size_t> onPath;
  int loopStart = -1;
  for (int v = i; v >= 0 && parent_[static_cast<std::size_t>(v)] == kUnresolved;) {
    if (const auto it = onPath.find(v); it != onPath.end()) {
      loopStart = static_cast<int>(it->second);
      break;
    }
    onPath.emplace(v, path.size());
    path.push_back(v);
    const int next = IndexOf(ChainParentBoneOf(Bone(v)));
    chainParent.push_back(next);
    v = next;
  }
  int cut = -1;
  if (loopStart >= 0) cut = *std::min_element(path.begin() + loopStart, path.end());
  for (std::size_t k = 0; k < path.size(); ++k)
    parent_[static_cast<std::size_t>(path[k])] = path[k] == cut ? -1 : chainParent[k];
  if (cut >= 0) ShowCircularReference(s_, Bone(cut));
}

int BoneHierarchy::ParentIndexOf(int i) {
  if (i < 0 || i >= Count()) return -1;
  if (parent_[static_cast<std::size_t>(i)] == kUnresolved) ResolveFrom(i);
  return parent_[static_cast<std::size_t>(i)];
}

INode* BoneHierarchy::ParentBoneOf(INode* node) {
  const int i = IndexOf(node);
  if (i < 0) return ChainParentBoneOf(node);
  const int p = ParentIndexOf(i);
  return p < 0 ? nullptr : Bone(p);
}

}  // namespace tz2
