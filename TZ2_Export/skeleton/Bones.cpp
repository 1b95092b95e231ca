// The bone list: its candidates (skin bones, the bone walk, the scene root's children), the
// single-node parent questions, the renumbering of the surfaces' bone references and the
// 255-bone limit.
#include "TZ2_Export/skeleton/Bones.h"

#include <string>

#include "TZ2_Export/scene/NameRules.h"
#include "TZ2_Export/scene/NodeClassification.h"
#include "TZ2_Export/skeleton/BoneHierarchy.h"
#include "TZ2_Export/skeleton/Skin.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "platform/Windows.h"

namespace tz2 {

void BuildBoneList(ExportState& s) {
  OutputDebugStringA("---- Adding bones of mesh objects -----\n");
  NodeList skinBones;
  for (const NodeEntry& mesh : s.meshList.Entries()) {
    if (!mesh.node) continue;
    const char* name = mesh.node->GetName();
    OutputDebugStringA(name ? name : "");
    AddSkinBones(s, mesh.node, skinBones);
  }
  OutputDebugStringA("---- Filling bone list -----\n");
  BoneWalk(s, skinBones);
  OutputDebugStringA("----------------------------\n");
  skinBones.Release();

  OutputDebugStringA("---- Adding scene root childs -----\n");
  INode* root = s.host ? s.host->GetRootNode() : nullptr;
  if (root) {
    for (int i = 0; i < root->NumberOfChildren(); ++i)
      if (INode* child = root->GetChildNode(i)) AddUnlessListed(s.boneList, child);
  }
  OutputDebugStringA("----------------------------\n");
}

INode* ParentNodeOf(ExportState& s, INode* node) { return BoneHierarchy(s).ParentNodeOf(node); }
INode* ParentBoneOf(ExportState& s, INode* node) { return BoneHierarchy(s).ParentBoneOf(node); }

bool HasExportedHitChild(INode* node, const ExportOptions& options) {
  if (!node) return false;
  for (int i = 0; i < node->NumberOfChildren(); ++i) {
    INode* child = node->GetChildNode(i);
    if (!child) continue;
    const char* name = child->GetName();
    const bool hitOrBox = StartsWithAnyCase(name, "HIT_") || (options.ExportAnimation && StartsWithAnyCase(name, "CL_"));
    if (hitOrBox && (!options.ExportSelectedOnly || child->Selected())) return true;
  }
  return false;
}

bool RenumberBoneReferences(ExportState& s, const std::vector<std::uint32_t>& table) {
  bool sound = true;
  for (Surface& surface : s.surfaceList) {
    for (SurfaceVertex& vertex : surface.vertices) {
      std::size_t kept = 0;
      for (const WeightPair& pair : vertex.weights) {
        if (pair.bone >= table.size() || table[pair.bone] == kRemovedBone) {
          sound = false;
          continue;
        }
        vertex.weights[kept++] = WeightPair{table[pair.bone], pair.weight};
      }
      vertex.weights.resize(kept);
    }
  }
  if (!sound) assert1(__LINE__, "TZ2_Export_Root");
  return sound;
}

bool CheckBoneLimit(ExportState& s) {
  const std::uint32_t count = s.boneList.Count();
  if (count <= static_cast<std::uint32_t>(kMaxBones)) return true;
  const std::string text = "The model has " + std::to_string(count) + " bones. Maximum number of bones is " +
                           std::to_string(kMaxBones) + ".";
  MessageBoxA(GetActiveWindow(), text.c_str(), "Error", MB_OK | MB_ICONERROR);
  return false;
}

}  // namespace tz2
