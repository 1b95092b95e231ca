// Render batches: the live faces of a ProgressiveMesh as draw batches of one material and one
// palette of at most 25 bones, each with its own vertex array and triangle list.
//
// ExtractBatches gives every triangle to the batch of exactly its palette (AddTriangle), with
// texture coordinates shifted by whole units towards ±15 and vertices welded within the batch
// (AddToBatch). MergeBatches then folds batches of one material together greedily by palette
// overlap (BatchSimilarity, MergeInto) in four phases, and TextureScaleClass rates how far each
// batch's texture is stretched.
//
// Welding returns the first vertex, in array order, that matches within the tolerances; a
// position grid per batch finds the candidates, so the result is that of a linear scan.
// Triangle indices are kept at 32 bits here; a batch must stay within 65535 vertices and
// triangles to be written (CheckBatchLimits).
//
// Ownership: a LodModel owns its batches and their level chains (LevelChains.h); a level entry
// (owner set) shares its owner's vertex array and has none of its own.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "TZ2_Export/format/BatchHeader.h"
#include "TZ2_Export/geometry/WeldGrid.h"
#include "TZ2_Export/shell/ExportTypes.h"
#include "collect/GrowArray.h"

class ProgressiveMesh;

namespace tz2 {

inline constexpr int kSkinClasses = 6;
inline constexpr std::uint16_t kNoDetail = 0xFFFF;

struct BatchVertex {
  float position[3];
  float weights[4];
  std::uint8_t bones[4];  // palette slots
  float normal[3];
  float uv0[2];
  float uv1[2];
};


struct BatchTriangle {
  std::uint32_t v[3];
};

struct MeshBatch;
// A welding function: the index of the first matching vertex, or the appended vertex's index.
using WeldFn = std::uint32_t (*)(MeshBatch& batch, const BatchVertex& v);

struct MeshBatch {
  BatchHeader header;
  GrowArray<BatchTriangle> triangles;
  GrowArray<BatchVertex> vertices;
  std::uint8_t channels = 1;
  std::uint8_t weightsPerVertex = 1;
  MeshBatch* next = nullptr;   // entry for the next level
  MeshBatch* owner = nullptr;  // for a level entry, the batch whose vertices it indexes
  // Positions of vertices [0, gridCount) are in the grid (the welding index).
  WeldGrid grid;
  std::uint32_t gridCount = 0;
  WeldFn weld = nullptr;  // null: the grid search of WeldVertex
};

struct LodModel {
  LodModel() = default;
  LodModel(const LodModel&) = delete;
  LodModel& operator=(const LodModel&) = delete;
  ~LodModel();
  std::uint8_t levelCount = 0;
  GrowArray<MeshBatch*> batches;  // base batches; each owns its chain
  WeldFn weld = nullptr;          // given to every batch the model creates
};

// Deletes a batch and its chain of level entries.
void DestroyBatch(MeshBatch* b);

// The bone part records of an export, or none (no batch is part-bound then).
struct PartRecords {
  const BonePartRecord* records = nullptr;
  std::size_t count = 0;
  static PartRecords Of(const std::vector<BonePartRecord>& v) { return {v.data(), v.size()}; }
  bool Present() const { return records != nullptr && count > 0; }
};

// Skin class 0 to 5: (weights per vertex − 1) × 2 + (channels − 1).
int SkinClass(const MeshBatch& b);
// Every bone of the palette has grh set (an empty palette counts); false without records.
bool PartBound(const PartRecords& r, const MeshBatch& b);

std::unique_ptr<LodModel> ExtractBatches(const ProgressiveMesh& mesh, WeldFn weld = nullptr);
void AddTriangle(LodModel& model, BatchVertex corners[3], std::uint16_t material,
                 std::uint16_t marker, const std::uint8_t weightCounts[3], std::uint8_t channels,
                 std::uint8_t flag);
void AddToBatch(MeshBatch& batch, BatchVertex corners[3]);
// The texture shift of AddToBatch step 1, over the three corners.
void ShiftTextureCoordinates(BatchVertex corners[3]);
// The weld match: position, normal, uv0, uv1 within 0.0001, equal bones, weights within 0.01.
bool WeldMatch(const BatchVertex& a, const BatchVertex& b);
// Index of the first vertex of the batch that matches v; otherwise appends v (vertex range and
// vertex count become the new number of vertices) and returns its index.
std::uint32_t WeldVertex(MeshBatch& batch, const BatchVertex& v);

float BatchSimilarity(const PartRecords& r, const MeshBatch& a, const MeshBatch& b);
// Merges batch b into batch a (both base batches of the model), then removes and frees b.
void MergeInto(LodModel& model, MeshBatch* a, MeshBatch* b);
void SetPalette(MeshBatch& batch, const std::uint8_t* palette, std::uint8_t count);
// The merged ascending union of two palettes; false when it would exceed 25 bones.
bool PaletteUnion(const BatchHeader& a, const BatchHeader& b, std::uint8_t* out, std::uint8_t& count);
void MergeBatches(LodModel& model, const PartRecords& r);
void TextureScaleClass(LodModel& model);

}  // namespace tz2
