// Node classification: list operations, the gathering walk, the collision search, the bone
// walk, the filters, the mirror test and the name order of lists. The special-node checks
// are in SpecialNodes.cpp, the model frame in ModelFrame.cpp.
//
// Walk orders: the gathering walk visits each node's children before the node (post-order)
// and never the root; the collision search and the bone walk visit a node before its
// children (pre-order); the bone walk includes the root and has no hidden/selected filter.
#include "TZ2_Export/scene/NodeClassification.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "TZ2_Export/scene/NameRules.h"
#include "TZ2_Export/scene/TriangleMesh.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "platform/Windows.h"

namespace tz2 {

bool AddUnlessListed(NodeList& list, INode* node) {
  if (node == nullptr || !list.AppendUnique(node)) return false;
  std::string line = node->GetName();
  line += "\n";
  OutputDebugStringA(line.c_str());
  return true;
}

NodeIndex::NodeIndex(const NodeList& list) {
  first_.reserve(list.Count());
  for (std::uint32_t i = 0; i < list.Count(); ++i) first_.emplace(list[i].node, static_cast<int>(i));
}

int NodeIndex::IndexOf(const INode* node) const {
  auto it = first_.find(node);
  return it == first_.end() ? -1 : it->second;
}

bool IsExportable(INode* node, const ExportOptions& options) {
  if (node->IsNodeHidden() && !options.ExportHidden) return false;
  if (!node->Selected() && options.ExportSelectedOnly) return false;
  return true;
}

bool IsMirrored(INode* node, TimeValue t) {
  const Matrix3 tm = node->GetObjTMAfterWSM(t);
  return ((tm.GetRow(0) ^ tm.GetRow(1)) % tm.GetRow(2)) < 0.0f;
}

// ---- Gathering walk ----

namespace {

void GatherNode(ExportState& s, INode* node) {
  for (int i = 0; i < node->NumberOfChildren(); ++i)
    if (INode* child = node->GetChildNode(i)) GatherNode(s, child);

  const char* name = node->GetName();
  if (name == nullptr || name[0] == '\0') return;
  if (!IsExportable(node, s.options)) return;
  if (IsSkippedTagName(name)) return;
  if (IsHitMeshName(name)) {
    if (NodeTriangleMesh(node, 0).HasGeometry()) s.hitList.Append(node);
    return;
  }
  if (s.options.ExportAnimation && IsCollisionBoxName(name)) {
    if (NodeTriangleMesh(node, 0).HasGeometry()) s.collisionList.Append(node);
    return;
  }
  if (MeshProblem(node, true) == kMeshOk) s.meshList.Append(node);
}

bool FindCollisionNode(INode* node, const ExportOptions& options) {
  if (IsCollisionSearchName(node->GetName()) && IsExportable(node, options)) return true;
  for (int i = 0; i < node->NumberOfChildren(); ++i)
    if (INode* child = node->GetChildNode(i); child != nullptr && FindCollisionNode(child, options)) return true;
  return false;
}

}  // namespace

void GatherScene(ExportState& s) {
  INode* root = s.host != nullptr ? s.host->GetRootNode() : nullptr;
  if (root == nullptr) return;
  for (int i = 0; i < root->NumberOfChildren(); ++i)
    if (INode* child = root->GetChildNode(i)) GatherNode(s, child);
}

bool HasCollisionNode(Interface* host, const ExportOptions& options) {
  INode* root = host != nullptr ? host->GetRootNode() : nullptr;
  if (root == nullptr) return false;
  for (int i = 0; i < root->NumberOfChildren(); ++i)
    if (INode* child = root->GetChildNode(i); child != nullptr && FindCollisionNode(child, options)) return true;
  return false;
}

bool HasCollisionNode(ExportState& s) { return HasCollisionNode(s.host, s.options); }

// ---- Bone walk ----

namespace {

void WarnMirroredPort(const char* name) {
  static const char kFormat[] =
      "Port '%s' has mirror transform applied to it. This can flip port axises in game. \n\n"
      "Please reset object's transformations:\n- select an object;\n- Tools->Reset XForm->Reset selected;\n"
      "- go to \"Modify\" panel;\n- collapse midifiers stack.";
  std::string text(sizeof kFormat + std::char_traits<char>::length(name), '\0');
  const int n = std::snprintf(text.data(), text.size(), kFormat, name);
  text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  MessageBoxA(GetActiveWindow(), text.c_str(), "Warning !", MB_OK);
}

void BoneWalkNode(ExportState& s, INode* node, INode* root, const NodeIndex& skin) {
  const char* name = node->GetName();
  if (IsGroupName(name)) {
    AddUnlessListed(s.groupList, node);
    AddUnlessListed(s.boneList, node);
  }
  if (IsAnyCaseHitName(name)) {
    INode* parent = node->GetParentNode();
    if (parent != nullptr && parent != root) AddUnlessListed(s.boneList, parent);
  }
  if (IsPortName(name)) {
    AddUnlessListed(s.boneList, node);
    if (IsMirrored(node, 0)) WarnMirroredPort(name);
  }
  if (skin.IndexOf(node) >= 0) AddUnlessListed(s.boneList, node);
  for (int i = 0; i < node->NumberOfChildren(); ++i)
    if (INode* child = node->GetChildNode(i)) BoneWalkNode(s, child, root, skin);
}

}  // namespace

void BoneWalk(ExportState& s, const NodeList& skinBones) {
  INode* root = s.host != nullptr ? s.host->GetRootNode() : nullptr;
  if (root == nullptr) return;
  const NodeIndex skin(skinBones);
  BoneWalkNode(s, root, root, skin);
}

// ---- Name order ----

namespace {

const char* SortKey(const INode* node) {
  const char* name = node != nullptr ? node->GetName() : "";
  if (name == nullptr) name = "";
  if (StartsWithAnyCase(name, "GR_")) name += 3;
  if (StartsWithAnyCase(name, "GRH_")) name += 4;
  return name;
}

}  // namespace

int CompareNames(const NodeEntry& a, const NodeEntry& b) {
  const char* ka = SortKey(a.node);
  const char* kb = SortKey(b.node);
  for (;; ++ka, ++kb) {
    const auto ca = static_cast<signed char>(*ka);
    const auto cb = static_cast<signed char>(*kb);
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) return 1;
  }
}

void SortByName(NodeList& list) {
  std::stable_sort(list.Entries().begin(), list.Entries().end(),
                   [](const NodeEntry& a, const NodeEntry& b) { return CompareNames(a, b) < 0; });
}

}  // namespace tz2
