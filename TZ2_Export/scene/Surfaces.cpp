// The surface list: one surface per mesh and leaf material, filled with the mesh's visible
// faces, whose corners become welded surface vertices with normals, texture coordinates and
// cleaned-up bone weights; the detail mesh's faces go to the triangle pool instead.
//
// Per mesh: corners in the order (0, 1, 2), or (0, 2, 1) for a mirrored node; positions in
// world space at the first frame (object transform after world-space modifiers T); normals
// by smoothing groups, turned by T without translation and scale; a face whose transformed
// corners come closer than 0.001 ÷ sqrt(model scale) is dropped. A face's material ID,
// modulo the number of sub-materials, picks the surfaces it goes to. Welding: see
// VertexWelding.h. The bounding box is built in BoundingBox.cpp.
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <unordered_map>

#include "TZ2_Export/geometry/SmoothingNormals.h"
#include "TZ2_Export/scene/NameRules.h"
#include "TZ2_Export/scene/NodeClassification.h"
#include "TZ2_Export/scene/Surfaces.h"
#include "TZ2_Export/scene/TriangleMesh.h"
#include "TZ2_Export/scene/VertexWelding.h"
#include "TZ2_Export/skeleton/Skin.h"
#include "host/INode.h"
#include "host/Mesh.h"
#include "host/Mtl.h"
#include "host/Time.h"
#include "platform/Windows.h"

namespace tz2 {

namespace {

constexpr float kDegenerateDistanceSquared = 0.000001f;
constexpr float kNegligibleWeight = 0.00001f;

void Trace(const std::string& text) { OutputDebugStringA(text.c_str()); }

// ---- Surfaces per mesh and leaf material ----

void AddSurface(ExportState& s, std::uint32_t meshIndex, std::uint32_t id, Mtl* mtl, std::vector<const Mtl*>& path) {
  if (mtl != nullptr && mtl->NumSubMtls() > 0) {
    if (std::find(path.begin(), path.end(), mtl) != path.end()) return;  // a material loop
    path.push_back(mtl);
    for (int k = 0; k < mtl->NumSubMtls(); ++k)
      AddSurface(s, meshIndex, static_cast<std::uint32_t>(k), mtl->GetSubMtl(k), path);
    path.pop_back();
    return;
  }
  const int materialIndex = mtl != nullptr ? MaterialIndexOf(s.materialList, mtl) : -1;
  if (materialIndex < 0) {
    Trace("Unable to find material\n");
    return;
  }
  Surface surface;
  surface.meshIndex = meshIndex;
  surface.material = mtl;
  surface.materialIndex = static_cast<std::uint32_t>(materialIndex);
  surface.subMaterialId = id;
  NodeEntry& entry = s.meshList[meshIndex];
  entry.owned.push_back(static_cast<std::uint32_t>(s.surfaceList.size()));
  entry.value = static_cast<std::uint32_t>(entry.owned.size());
  s.surfaceList.push_back(std::move(surface));
}

// ---- Faces of one mesh ----

// The face's texture vertex at a corner; 0 when the mesh has no texture face for it.
std::uint32_t TextureVertexOf(const Mesh& mesh, int face, int corner) {
  if (static_cast<std::size_t>(face) >= mesh.tvFace.size()) return 0;
  return mesh.tvFace[static_cast<std::size_t>(face)].t[corner];
}

// Texture vertex coordinates as (u, 1 − v); (0, 1) for an index outside the mesh's texture
// vertices.
void TextureUv(const Mesh& mesh, std::uint32_t tv, float& u, float& v) {
  const bool valid = tv < mesh.tVerts.size();
  u = valid ? mesh.tVerts[tv].x : 0.0f;
  v = 1.0f - (valid ? mesh.tVerts[tv].y : 0.0f);
}

bool FaceVerticesValid(const Mesh& mesh, const Face& face) {
  const auto n = static_cast<DWORD>(mesh.getNumVerts());
  return face.v[0] < n && face.v[1] < n && face.v[2] < n;
}

// What the faces of one mesh need.
struct MeshContext {
  INode* node = nullptr;
  const Mesh* mesh = nullptr;
  SmoothingNormals normals;
  Matrix3 tm;      // T: object space to world space at the first frame
  Matrix3 turn;    // N: T without translation and scale
  int order[3] = {0, 1, 2};
  float degenerateLimit = kDegenerateDistanceSquared;
  const NodeIndex* bones = nullptr;
};

void AddDetailTriangles(ExportState& s, const MeshContext& m) {
  const Mesh& mesh = *m.mesh;
  for (int f = 0; f < mesh.getNumFaces(); ++f) {
    if (s.trianglePool.size() >= kTrianglePoolSize) return;
    const Face& face = mesh.faces[static_cast<std::size_t>(f)];
    if (!FaceVerticesValid(mesh, face)) continue;
    DetailTriangle d;
    for (int k = 0; k < 3; ++k) {
      const int c = m.order[k];
      d.corners[k] = mesh.getVert(static_cast<int>(face.v[c])) * m.tm;
      TextureUv(mesh, TextureVertexOf(mesh, f, c), d.uv[k][0], d.uv[k][1]);
    }
    s.trianglePool.push_back(d);
  }
}

// The index of the corner's vertex in the surface, welded or new.
std::uint32_t AddSurfaceVertex(Surface& surface, OrderedBuckets& welder, const MeshContext& m, std::uint32_t meshVertex,
                               std::uint32_t textureVertex, std::uint32_t smoothingGroups, const Point3& position,
                               const Point3& normal) {
  const std::uint64_t key = WeldKey(meshVertex, textureVertex);
  const std::uint32_t found =
      welder.FindFirst(key, [&](std::uint32_t i) { return NormalsWeld(surface.vertices[i].normal, normal); });
  if (found != OrderedBuckets::kNone) return found;
  SurfaceVertex v;
  v.meshVertex = meshVertex;
  v.smoothingGroups = smoothingGroups;
  v.textureVertex = textureVertex;
  v.normal = normal;
  v.position = position;
  TextureUv(*m.mesh, textureVertex, v.u, v.v);
  v.weights = RawWeights(m.node, static_cast<int>(meshVertex), *m.bones);
  CleanUpWeights(v.weights);
  welder.Add(key);
  surface.vertices.push_back(std::move(v));
  return static_cast<std::uint32_t>(surface.vertices.size() - 1);
}

// The bones of a triangle's corners, by their weights summed over the corners, largest
// first (equal sums keep the order in which the corners name them).
std::vector<std::uint32_t> TriangleBones(const Surface& surface, const SurfaceTriangle& tri) {
  std::vector<WeightPair> sums;
  for (std::uint32_t corner : tri.corners)
    for (const WeightPair& p : surface.vertices[corner].weights) AddWeight(sums, p.bone, p.weight);
  std::stable_sort(sums.begin(), sums.end(), [](const WeightPair& a, const WeightPair& b) { return a.weight > b.weight; });
  std::vector<std::uint32_t> bones;
  bones.reserve(sums.size());
  for (const WeightPair& p : sums) bones.push_back(p.bone);
  return bones;
}

void AddFaceToSurface(Surface& surface, OrderedBuckets& welder, const MeshContext& m, int f) {
  const Mesh& mesh = *m.mesh;
  const Face& face = mesh.faces[static_cast<std::size_t>(f)];
  Point3 object[3], world[3];
  for (int k = 0; k < 3; ++k) {
    object[k] = mesh.getVert(static_cast<int>(face.v[m.order[k]]));
    world[k] = object[k] * m.tm;
  }
  if ((world[0] - world[1]).LengthSquared() < m.degenerateLimit || (world[1] - world[2]).LengthSquared() < m.degenerateLimit ||
      (world[0] - world[2]).LengthSquared() < m.degenerateLimit)
    return;
  SurfaceTriangle tri;
  tri.faceIndex = static_cast<std::uint32_t>(f);
  for (int k = 0; k < 3; ++k) {
    const int c = m.order[k];
    const std::uint32_t vertex = face.v[c];
    const Point3 normal = m.turn.VectorTransform(m.normals.GetVertexNormal(static_cast<int>(vertex), face.smGroup, f));
    tri.objectPositions[k] = object[k];
    tri.corners[k] = AddSurfaceVertex(surface, welder, m, vertex, TextureVertexOf(mesh, f, c), face.smGroup, world[k], normal);
  }
  tri.bones = TriangleBones(surface, tri);
  surface.triangles.push_back(std::move(tri));
}

void AddMeshFaces(ExportState& s, std::uint32_t meshIndex, const MeshContext& m) {
  const NodeEntry& entry = s.meshList[meshIndex];
  // The mesh's surfaces by sub-material ID, in surface order, each with its welder.
  std::unordered_map<std::uint32_t, std::vector<std::size_t>> byId;
  for (std::size_t k = 0; k < entry.owned.size(); ++k) byId[s.surfaceList[entry.owned[k]].subMaterialId].push_back(k);
  std::vector<OrderedBuckets> welders(entry.owned.size());

  Mtl* mtl = m.node->GetMtl();
  const auto subCount = static_cast<std::uint32_t>(mtl != nullptr && mtl->NumSubMtls() > 0 ? mtl->NumSubMtls() : 0);
  const Mesh& mesh = *m.mesh;
  for (int f = 0; f < mesh.getNumFaces(); ++f) {
    const Face& face = mesh.faces[static_cast<std::size_t>(f)];
    if ((face.flags & FACE_HIDDEN) != 0 || !FaceVerticesValid(mesh, face)) continue;
    std::uint32_t id = face.flags >> FACE_MATID_SHIFT;
    id = subCount != 0 ? id % subCount : 0;
    auto it = byId.find(id);
    if (it == byId.end()) continue;
    for (std::size_t k : it->second) AddFaceToSurface(s.surfaceList[entry.owned[k]], welders[k], m, f);
  }
}

void BuildMeshGeometry(ExportState& s, std::uint32_t meshIndex, TimeValue firstTime, const NodeIndex& bones) {
  INode* node = s.meshList[meshIndex].node;
  MeshContext m;
  m.node = node;
  m.bones = &bones;
  if (IsMirrored(node, firstTime)) {
    m.order[1] = 2;
    m.order[2] = 1;
  }
  m.tm = node->GetObjTMAfterWSM(firstTime);
  m.turn = m.tm;
  m.turn.NoTrans();
  m.turn.NoScale();
  m.degenerateLimit = s.modelScale > 0.0f ? kDegenerateDistanceSquared / s.modelScale : std::numeric_limits<float>::infinity();
  NodeTriangleMesh tri(node, 0);
  if (!tri) return;
  Trace(std::string(node->GetName()) + "\n");
  m.mesh = tri.Get();
  m.normals.Build(*m.mesh);
  if (IsDetailMeshName(node->GetName()))
    AddDetailTriangles(s, m);
  else
    AddMeshFaces(s, meshIndex, m);
}

}  // namespace

void CleanUpWeights(std::vector<WeightPair>& weights) {
  if (weights.empty()) {
    weights.push_back(WeightPair{0, 1.0f});
    return;
  }
  for (WeightPair& p : weights)
    if (!std::isfinite(p.weight)) p.weight = 0.0f;  // keeps the order below well defined
  std::stable_sort(weights.begin(), weights.end(), [](const WeightPair& a, const WeightPair& b) { return a.weight > b.weight; });
  if (weights.front().weight < kNegligibleWeight) {
    weights.front().weight = 1.0f;
    return;
  }
  auto cut = std::find_if(weights.begin(), weights.end(), [](const WeightPair& p) { return p.weight < kNegligibleWeight; });
  weights.erase(cut, weights.end());
}

void BuildSurfaces(ExportState& s, ModelHeader& header) {
  Trace("---- Creating surfaces list -----\n");
  std::vector<const Mtl*> path;
  for (std::uint32_t i = 0; i < s.meshList.Count(); ++i) {
    INode* node = s.meshList[i].node;
    if (node == nullptr || IsDetailMeshName(node->GetName()) || IsNoExportName(node->GetName())) continue;
    AddSurface(s, i, 0, node->GetMtl(), path);
  }

  Trace("   computenormals");
  const TimeValue firstTime = s.firstFrame * GetTicksPerFrame();
  const NodeIndex bones(s.boneList);
  for (std::uint32_t i = 0; i < s.meshList.Count(); ++i)
    if (s.meshList[i].node != nullptr) BuildMeshGeometry(s, i, firstTime, bones);

  BuildBoundingBox(s, header);
  Trace("---- Done creating surfaces list -----\n");
}

}  // namespace tz2
