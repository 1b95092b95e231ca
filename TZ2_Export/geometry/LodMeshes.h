// The level-of-detail mesh section: every surface of the export merged into one base mesh, up
// to five coarser levels generated from it (80 %, 55 %, 30 %, 10 % of the faces and 120 faces),
// all stored as render batches that share one vertex array per batch.
//
// Building (BuildLodModel): base ProgressiveMesh from the surfaces' chunks (two-sided
// materials twice with mirrored twins when TwoSidedLighting is on), batches, merging, then per
// level a copy with the skeleton level's bone map, reduced to its target and folded into the
// base batches; finally vertex cache order and palette harmonisation. The index total over the
// levels stays within 127000 (the first level past it is dropped with a warning, once per
// export).
//
// Limits: batch indices and counts are 16-bit in the file, so a model with a batch of more than
// 65535 vertices or triangles is refused with a message (CheckMeshLimits) instead of being
// written with wrapped indices. The driver calls CheckMeshLimits after BuildChunks and before
// creating the file; the checked model is kept in the state and written by WriteLodMeshes.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "TZ2_Export/format/OutputFile.h"
#include "TZ2_Export/geometry/RenderBatches.h"
#include "TZ2_Export/shell/ExportState.h"

namespace tz2 {

inline constexpr std::uint32_t kMaxLevelIndices = 127000;
inline constexpr std::uint32_t kMaxBatchElements = 65535;

extern const char* const kLodLimitWarning;

// A built model and its level count (1 for the base alone, 0 without faces).
struct LodBuild {
  std::unique_ptr<LodModel> model;
  std::uint8_t levels = 0;
};

// Replacements for the searching steps (null: the built-in ones), so that their results can be
// compared with plain implementations.
struct LodHooks {
  WeldFn weld = nullptr;
  void (*mergeBatches)(LodModel&, const PartRecords&) = nullptr;
  void (*cacheOrder)(MeshBatch&) = nullptr;
};

// Builds the model. materialTable maps a surface's materialIndex to the file's material index;
// null uses the materialIndex itself.
LodBuild BuildLodModel(ExportState& s, const std::vector<std::uint32_t>* materialTable,
                       const LodHooks& hooks = {});

// The first 16-bit limit the model breaks: 0 none, 1 vertices, 2 triangles of a batch.
int BrokenBatchLimit(const LodModel& model);

// Builds the model and checks the 16-bit limits. False after the refusal message (the driver
// then returns Cancelled before creating the file); true keeps the model for WriteLodMeshes.
bool CheckMeshLimits(ExportState& s);

// Writes the section (nothing without faces) and stores the number of levels in the header.
// False after the refusal message when a batch breaks a 16-bit limit; nothing is written then
// and the driver abandons the file.
bool WriteLodMeshes(OutputFile& file, ExportState& s, const std::vector<std::uint32_t>& materialTable,
                    ModelHeader& header);

// Serialises the model in the section's layout, without the leading byte count.
void WriteModel(LodModel& model, const PartRecords& r, ByteStream& stream);

}  // namespace tz2
