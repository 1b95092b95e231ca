// A node's Assimp meshes as one host mesh: triangles only, positions welded into mesh
// vertices (exact positions, across the node's meshes), texture vertices kept per Assimp
// vertex, one material ID per Assimp mesh (a Multi/Sub-Object material when the node has
// meshes of several materials), smoothing groups from the file's normals. Meshes with bones
// are queued for skinning.
//
// The exporter only takes mapped meshes, so a mesh without texture coordinates gets a planar
// mapping over its bounding box (the plane of its two longest sides, 0 to 1 across each),
// with a warning naming the node.
#include <algorithm>
#include <cstring>
#include <map>
#include <tuple>

#include "host/Mtl.h"
#include "import/ImportContext.h"
#include "import/SmoothingFromNormals.h"

namespace tz2import {
namespace {

// The most vertices or faces one imported mesh may have.
constexpr unsigned kMaxMeshElements = 1u << 22;

using PositionKey = std::tuple<float, float, float>;

// Texture coordinates of a planar mapping over the mesh's bounding box.
std::vector<Point3> PlanarMapping(const aiMesh* m) {
  float lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};
  for (unsigned v = 0; v < m->mNumVertices; ++v)
    for (int k = 0; k < 3; ++k) {
      const float x = m->mVertices[v][k];
      lo[k] = v == 0 ? x : std::min(lo[k], x);
      hi[k] = v == 0 ? x : std::max(hi[k], x);
    }
  int axes[3] = {0, 1, 2};
  std::stable_sort(axes, axes + 3, [&](int a, int b) { return hi[a] - lo[a] > hi[b] - lo[b]; });
  const int u = std::min(axes[0], axes[1]), w = std::max(axes[0], axes[1]);
  const auto along = [&](const aiVector3D& p, int k) { return hi[k] > lo[k] ? (p[k] - lo[k]) / (hi[k] - lo[k]) : 0.0f; };
  std::vector<Point3> out;
  out.reserve(m->mNumVertices);
  for (unsigned v = 0; v < m->mNumVertices; ++v) out.emplace_back(along(m->mVertices[v], u), along(m->mVertices[v], w), 0.0f);
  return out;
}

}  // namespace

bool BuildMeshNode(ImportContext& c, const aiNode* node, INode* host, std::string& error) {
  Mesh mesh;
  std::vector<Point3> corners;
  std::map<PositionKey, unsigned> welded;
  std::vector<Mtl*> slots;
  PendingSkin skin{node, host, {}, 0};
  bool unmapped = false, anyBones = false;
  size_t totalVerts = 0, totalFaces = 0;
  for (unsigned i = 0; i < node->mNumMeshes; ++i) {
    const aiMesh* m = c.scene->mMeshes[node->mMeshes[i]];
    totalVerts += m->mNumVertices;
    totalFaces += m->mNumFaces;
    unmapped = unmapped || ((m->mPrimitiveTypes & aiPrimitiveType_TRIANGLE) && !m->HasTextureCoords(0));
  }
  if (totalVerts > kMaxMeshElements || totalFaces > kMaxMeshElements) {
    error = c.fileName + ": the mesh of node '" + node->mName.C_Str() + "' has " + std::to_string(totalVerts) +
            " vertices and " + std::to_string(totalFaces) + " faces, more than the " +
            std::to_string(kMaxMeshElements) + " the exporter handles";
    return false;
  }
  if (unmapped)
    c.report->warnings.push_back(c.fileName + ": the mesh of node '" + node->mName.C_Str() +
                                 "' has no texture coordinates; it was given a planar mapping");

  for (unsigned i = 0; i < node->mNumMeshes; ++i) {
    const aiMesh* m = c.scene->mMeshes[node->mMeshes[i]];
    std::vector<unsigned> remap(m->mNumVertices);
    if (!(m->mPrimitiveTypes & aiPrimitiveType_TRIANGLE)) {
      skin.remap.push_back(std::move(remap));
      continue;
    }
    Mtl* mtl = MaterialFor(c, m->mMaterialIndex);
    size_t slot = 0;
    while (slot < slots.size() && slots[slot] != mtl) ++slot;
    if (slot == slots.size()) slots.push_back(mtl);

    const float s = c.options.scale;
    for (unsigned v = 0; v < m->mNumVertices; ++v) {
      const aiVector3D& p = m->mVertices[v];
      const auto [it, added] = welded.emplace(PositionKey{p.x * s, p.y * s, p.z * s}, static_cast<unsigned>(mesh.verts.size()));
      if (added) mesh.verts.emplace_back(p.x * s, p.y * s, p.z * s);
      remap[v] = it->second;
    }
    const size_t uvBase = mesh.tVerts.size();
    if (m->HasTextureCoords(0)) {
      for (unsigned v = 0; v < m->mNumVertices; ++v)
        mesh.tVerts.emplace_back(m->mTextureCoords[0][v].x, m->mTextureCoords[0][v].y, 0.0f);
    } else {
      const std::vector<Point3> planar = PlanarMapping(m);
      mesh.tVerts.insert(mesh.tVerts.end(), planar.begin(), planar.end());
    }
    for (unsigned f = 0; f < m->mNumFaces; ++f) {
      const aiFace& face = m->mFaces[f];
      if (face.mNumIndices != 3) continue;
      Face hf;
      hf.setVerts(remap[face.mIndices[0]], remap[face.mIndices[1]], remap[face.mIndices[2]]);
      hf.setMatID(static_cast<MtlID>(slot));
      mesh.faces.push_back(hf);
      TVFace tf;
      tf.setTVerts(DWORD(uvBase + face.mIndices[0]), DWORD(uvBase + face.mIndices[1]), DWORD(uvBase + face.mIndices[2]));
      mesh.tvFace.push_back(tf);
      for (int k = 0; k < 3; ++k)
        corners.push_back(m->HasNormals() ? ToHost(m->mNormals[face.mIndices[k]]) : Point3());
    }
    anyBones = anyBones || m->HasBones();
    skin.remap.push_back(std::move(remap));
  }
  AssignSmoothingGroups(mesh, corners);

  TriObject* obj = CreateNewTriObject();
  obj->mesh = std::move(mesh);
  host->SetObjectRef(obj);
  if (slots.size() == 1) {
    host->SetMtl(slots[0]);
  } else if (slots.size() > 1) {
    MultiMtl* multi = NewDefaultMultiMtl();
    multi->SetName(host->GetName());
    multi->SetNumSubMtls(static_cast<int>(slots.size()));
    for (size_t i = 0; i < slots.size(); ++i) multi->SetSubMtl(static_cast<int>(i), slots[i]);
    host->SetMtl(multi);
  }
  if (anyBones) {
    skin.hostVertices = obj->mesh.getNumVerts();
    c.skins.push_back(std::move(skin));
  }
  return true;
}

}  // namespace tz2import
