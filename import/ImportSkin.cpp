// Skins of an imported file as Physique modifiers: one blended entry a host vertex with the
// file's bones and weights (a bone without a node is left out, with a warning), and the bind
// pose from the offset matrices. glTF, FBX and most formats skin in the mesh node's space:
// bone bind = inverse(offset) x mesh node world. X files skin in the file's world space
// without the mesh node: bone bind = inverse(offset) x top, mesh bind = top.
#include <set>

#include "host/Physique.h"
#include "import/ImportContext.h"

namespace tz2import {
namespace {

void SkinOne(ImportContext& c, const PendingSkin& p, std::set<std::string>& missing) {
  auto* mod = new PhysiqueModifier();
  mod->vertices.assign(static_cast<size_t>(p.hostVertices), SkinVertex{SkinVertex::Blended, {}});
  mod->hasMeshBind = true;
  mod->meshBind = c.format == SourceFormat::X ? c.top : RestWorld(c, p.node);
  for (unsigned i = 0; i < p.node->mNumMeshes; ++i) {
    const aiMesh* m = c.scene->mMeshes[p.node->mMeshes[i]];
    const std::vector<unsigned>& remap = p.remap[i];
    for (unsigned b = 0; b < m->mNumBones; ++b) {
      const aiBone* bone = m->mBones[b];
      auto it = c.nodesByName.find(bone->mName.C_Str());
      if (it == c.nodesByName.end()) {
        missing.insert(bone->mName.C_Str());
        continue;
      }
      INode* boneNode = it->second;
      mod->boneBinds[boneNode] = Inverse(ToHost(bone->mOffsetMatrix, c.options.scale)) * mod->meshBind;
      for (unsigned w = 0; w < bone->mNumWeights; ++w) {
        const aiVertexWeight& vw = bone->mWeights[w];
        if (vw.mVertexId >= remap.size() || vw.mWeight <= 0.0f) continue;
        auto& bones = mod->vertices[remap[vw.mVertexId]].bones;
        bool present = false;
        for (const auto& entry : bones) present = present || entry.first == boneNode;
        if (!present) bones.emplace_back(boneNode, vw.mWeight);
      }
    }
  }
  Object* base = p.host->ReleaseObjectRef();
  auto* derived = new IDerivedObject(base);
  derived->AddModifier(mod);
  p.host->SetObjectRef(derived);
}

}  // namespace

void BuildSkins(ImportContext& c) {
  std::set<std::string> missing;
  for (const PendingSkin& p : c.skins) SkinOne(c, p, missing);
  for (const std::string& name : missing)
    c.report->warnings.push_back(c.fileName + ": bone '" + name + "' has no node; its weights were left out");
}

}  // namespace tz2import
