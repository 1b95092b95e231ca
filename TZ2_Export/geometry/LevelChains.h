// Level chains and batch order: each coarser level's batches are folded into the base model as
// level entries chained behind the base batch whose material and palette suit them best (their
// vertices welded into that batch's vertex array), neighbouring batches get palettes that agree
// slot by slot, and batches are put in file order: by skin class, then by material, with one
// material kept on both sides of each class boundary.
//
// Invariant after MergeLevel: every base batch has exactly model.levelCount entries behind it;
// an entry has an owner (its base batch), no vertices, and its palette equals its owner's.
#pragma once

#include "TZ2_Export/geometry/RenderBatches.h"

namespace tz2 {

// Folds one level model into the model; the level model's batches are left spent (their
// vertices are copied), the caller destroys it.
void MergeLevel(LodModel& model, LodModel& level, const PartRecords& r);
// Gives a base batch a new last entry holding level batch b's triangles.
void AddLevelEntry(MeshBatch& a, MeshBatch& b);
// Appends level batch b's triangles to a's last entry.
void AppendToLastEntry(MeshBatch& a, MeshBatch& b);
void HarmonisePalettes(LodModel& model, const PartRecords& r);
void SortBatches(LodModel& model, const PartRecords& r);

// The number of level entries behind a base batch, and its l-th entry (1-based, or null).
std::uint32_t EntryCount(const MeshBatch& a);
MeshBatch* Entry(const MeshBatch& a, std::uint32_t l);
// Gives a batch and every entry of its chain the palette.
void SetChainPalette(MeshBatch& a, const std::uint8_t* palette, std::uint8_t count);

}  // namespace tz2
