// The level-of-detail mesh section: building the base mesh and its levels, the 16-bit checks
// and the section write (see LodMeshes.h). The serialisation is in LodMeshesWrite.cpp.
#include "TZ2_Export/geometry/LodMeshes.h"

#include <algorithm>
#include <cmath>

#include "TZ2_Export/geometry/LevelChains.h"
#include "TZ2_Export/geometry/ProgressiveMesh.h"
#include "TZ2_Export/geometry/VertexCacheOrder.h"
#include "TZ2_Export/scene/NodeClassification.h"
#include "host/Time.h"
#include "platform/Desktop.h"
#include "platform/MessageBox.h"

namespace tz2 {

const char* const kLodLimitWarning =
    "Plugin is unable to generate all LOD levels, because number of faces is too big.\nPlease simplify model.\n";

namespace {

constexpr float kWeightByte = 0.003921569f;
constexpr std::uint32_t kNoFileIndex = 0xFFFFFFFFu;
constexpr std::uint32_t kFewestLevelFaces = 120;
constexpr std::uint32_t kNoLevelsBelow = 170;
constexpr float kLevelShares[4] = {0.8f, 0.55f, 0.3f, 0.1f};

const char* const kTooManyVertices =
    "Plugin is unable to export the model, because a mesh batch needs more than 65535 vertices "
    "(the limit of its 16-bit vertex indices).\nPlease simplify model.\n";
const char* const kTooManyTriangles =
    "Plugin is unable to export the model, because a mesh batch needs more than 65535 triangles "
    "(the limit of its 16-bit triangle count).\nPlease simplify model.\n";

Point3 SwapYZ(const Point3& p) { return Point3(p.x, p.z, p.y); }

std::uint16_t FaceMaterial(const Surface& surface, const std::vector<std::uint32_t>* table) {
  if (table == nullptr) return static_cast<std::uint16_t>(surface.materialIndex);
  // A material without a file index cannot occur for a surface with faces; its low 16 bits
  // (0xFFFF) are used as they are.
  const std::uint32_t entry = surface.materialIndex < table->size() ? (*table)[surface.materialIndex] : kNoFileIndex;
  return static_cast<std::uint16_t>(entry & 0xFFFF);
}

// Adds one chunk to the base mesh, once or twice (mirrored twins with reversed winding).
void AddChunk(ExportState& s, ProgressiveMesh& mesh, const Surface& surface, const SurfaceChunk& chunk,
              const Matrix3& m, const Matrix3& r, std::uint16_t material) {
  const bool twoSided = surface.materialIndex < s.materialList.size() &&
                        s.materialList[surface.materialIndex].twoSided != 0 && s.options.TwoSidedLighting;
  const std::uint32_t passes = twoSided ? 2 : 1;
  const std::uint32_t n = chunk.VertexCount();
  // Indices into the base mesh are global over all surfaces, so they are kept at 32 bits.
  std::vector<std::uint32_t> map(static_cast<std::size_t>(passes) * n);
  for (std::uint32_t p = 0; p < passes; ++p)
    for (std::uint32_t i = 0; i < n; ++i) {
      const ChunkVertex& v = chunk.vertices[i];
      const Point3 position = SwapYZ(Point3(v.position[0], v.position[1], v.position[2]) * m);
      Point3 normal = SwapYZ(Point3(v.normal[0], v.normal[1], v.normal[2]) * r);
      if (p == 1) normal = -normal;
      UvPair uv[kPmUvChannels];
      uv[0] = {v.u, v.v};
      uv[1] = {v.detailU, v.detailV};
      std::uint8_t bones[3] = {0, 0, 0};
      float weights[3] = {1.0f, 0.0f, 0.0f};
      std::uint8_t count = 1;
      if (s.options.ExportAnimation) {
        for (int k = 0; k < 3; ++k) bones[k] = static_cast<std::uint8_t>(v.bones >> (8 * k));
        const float a = static_cast<float>(v.weights & 0xFF) * kWeightByte;
        const float b = static_cast<float>(v.weights >> 8) * kWeightByte;
        weights[0] = 1.0f - a - b, weights[1] = a, weights[2] = b;
        count = 3;
      }
      map[p * n + i] = mesh.AddVertex(position, normal, uv, bones, weights, count);
    }
  const PmAttributes attributes{material, chunk.hasDetail ? std::uint16_t(0) : kNoDetail};
  const std::uint8_t flag = chunk.hasDetail ? 255 : 0;
  const std::uint32_t faces = static_cast<std::uint32_t>(chunk.corners.size() / 3);
  for (std::uint32_t p = 0; p < passes; ++p)
    for (std::uint32_t f = 0; f < faces; ++f) {
      std::uint32_t c[3];
      for (int k = 0; k < 3; ++k) c[k] = chunk.corners[3 * f + k] & 0xFFFF;
      if (c[0] >= n || c[1] >= n || c[2] >= n) continue;  // a corner outside the chunk
      if (p == 0)
        mesh.AddFace(map[c[0]], map[c[1]], map[c[2]], attributes, flag);
      else
        mesh.AddFace(map[n + c[1]], map[n + c[0]], map[n + c[2]], attributes, flag);
    }
}

std::uint32_t LevelTarget(std::uint32_t faces, int k, bool& stop) {
  if (k == 4) return kFewestLevelFaces;
  const std::uint32_t target = static_cast<std::uint32_t>(std::trunc(static_cast<double>(faces) * kLevelShares[k]));
  if (target >= kFewestLevelFaces) return target;
  stop = true;
  return kFewestLevelFaces;
}

void ShowMessage(const char* text, const char* caption, UINT type) {
  MessageBoxA(GetActiveWindow(), text, caption, type);
}

// Refuses a model that breaks a 16-bit limit; true when it fits.
bool AcceptLimits(const LodModel& model) {
  switch (BrokenBatchLimit(model)) {
    case 1: ShowMessage(kTooManyVertices, "Error", MB_OK | MB_ICONERROR); return false;
    case 2: ShowMessage(kTooManyTriangles, "Error", MB_OK | MB_ICONERROR); return false;
    default: return true;
  }
}

// The sorted material indices of the surfaces that have faces.
std::vector<std::uint32_t> UsedMaterials(const ExportState& s) {
  std::vector<std::uint32_t> used;
  for (const Surface& surface : s.surfaceList)
    for (const SurfaceChunk& chunk : surface.chunks)
      if (!chunk.corners.empty()) used.push_back(surface.materialIndex);
  std::sort(used.begin(), used.end());
  used.erase(std::unique(used.begin(), used.end()), used.end());
  return used;
}

// A model built with material indices equals the one built with file indices when the table
// keeps the used materials distinct and in the same order (batch order sorts by material).
bool SameOrder(const std::vector<std::uint32_t>& used, const std::vector<std::uint32_t>& table) {
  std::uint32_t previous = 0;
  for (std::size_t i = 0; i < used.size(); ++i) {
    if (used[i] >= 0x8000 || used[i] >= table.size()) return false;
    const std::uint32_t entry = table[used[i]];
    if (entry >= 0x8000 || (i > 0 && entry <= previous)) return false;
    previous = entry;
  }
  return true;
}

void Relabel(LodModel& model, const std::vector<std::uint32_t>& table) {
  for (MeshBatch* a : model.batches)
    for (MeshBatch* e = a; e != nullptr; e = e->next) e->header.material = static_cast<std::uint16_t>(table[e->header.material]);
}

}  // namespace

struct PreparedLodModel {
  LodBuild build;
  std::vector<std::uint32_t> usedMaterials;
};

LodBuild BuildLodModel(ExportState& s, const std::vector<std::uint32_t>* materialTable, const LodHooks& hooks) {
  LodBuild out;
  ProgressiveMesh base;
  const TimeValue first = s.firstFrame * GetTicksPerFrame();
  const Matrix3 m = ModelFrame(s, first, true);
  Matrix3 r = m;
  r.NoTrans();
  r.NoScale();
  for (const Surface& surface : s.surfaceList) {
    const std::uint16_t material = FaceMaterial(surface, materialTable);
    for (const SurfaceChunk& chunk : surface.chunks) AddChunk(s, base, surface, chunk, m, r, material);
  }
  const std::uint32_t faces = base.FaceCount();
  if (faces == 0) return out;

  const PartRecords records = PartRecords::Of(s.bonePartRecords);
  base.SetFaceCount(faces, false);
  out.model = ExtractBatches(base, hooks.weld);
  std::uint32_t indexTotal = 3 * faces;
  (hooks.mergeBatches != nullptr ? hooks.mergeBatches : MergeBatches)(*out.model, records);
  TextureScaleClass(*out.model);

  bool stop = faces < kNoLevelsBelow;
  int levels = 1;
  for (int k = 0; k < 5 && !stop && s.options.GenerateLOD; ++k) {
    ProgressiveMesh copy;
    copy.CopyFrom(base);
    copy.RemapBones(s.skeletonLodMap[k + 1].data());
    if (k >= 2) copy.LimitWeights(1);
    const std::uint32_t target = LevelTarget(faces, k, stop);
    if (indexTotal + 3 * target > kMaxLevelIndices) {
      if (!s.lodLimitWarningShown) ShowMessage(kLodLimitWarning, "Warning !", MB_OK);
      s.lodLimitWarningShown = true;
      break;
    }
    copy.SetFaceCount(target, false);
    indexTotal += 3 * copy.LiveFaceCount();
    std::unique_ptr<LodModel> level = ExtractBatches(copy, hooks.weld);
    TextureScaleClass(*level);
    levels = k + 2;
    MergeLevel(*out.model, *level, records);
  }
  out.levels = static_cast<std::uint8_t>(levels);
  for (MeshBatch* a : out.model->batches) (hooks.cacheOrder != nullptr ? hooks.cacheOrder : VertexCacheOrder)(*a);
  HarmonisePalettes(*out.model, records);
  return out;
}

int BrokenBatchLimit(const LodModel& model) {
  for (const MeshBatch* a : model.batches) {
    if (a->vertices.Count() > kMaxBatchElements) return 1;
    for (const MeshBatch* e = a; e != nullptr; e = e->next)
      if (e->triangles.Count() > kMaxBatchElements) return 2;
  }
  return 0;
}

bool CheckMeshLimits(ExportState& s) {
  auto prepared = std::make_shared<PreparedLodModel>();
  prepared->build = BuildLodModel(s, nullptr);
  prepared->usedMaterials = UsedMaterials(s);
  s.preparedLodModel.reset();
  if (prepared->build.model && !AcceptLimits(*prepared->build.model)) return false;
  s.preparedLodModel = std::move(prepared);
  return true;
}

bool WriteLodMeshes(OutputFile& file, ExportState& s, const std::vector<std::uint32_t>& materialTable,
                    ModelHeader& header) {
  header.meshLevelCount = 0;
  LodBuild build;
  if (s.preparedLodModel && SameOrder(s.preparedLodModel->usedMaterials, materialTable)) {
    build = std::move(s.preparedLodModel->build);
    if (build.model) Relabel(*build.model, materialTable);
  } else {
    build = BuildLodModel(s, &materialTable);
    if (build.model && !AcceptLimits(*build.model)) return false;
  }
  s.preparedLodModel.reset();
  if (!build.model) return true;
  ByteStream stream(10000, 50000);
  WriteModel(*build.model, PartRecords::Of(s.bonePartRecords), stream);
  build.model.reset();
  file.WriteU32(stream.Size());
  file.WriteStream(stream);
  header.meshLevelCount = build.levels;
  return true;
}

}  // namespace tz2
