// ExportState: the working state of one export, process-wide, reset at the start of every
// export and released at its end. Every step of the export reads and fills it.
#pragma once

#include <memory>

#include "TZ2_Export/format/ModelHeader.h"
#include "TZ2_Export/shell/ExportTypes.h"

namespace tz2 {

// The animation writer's sampled and reduced tracks (skeleton/AnimationWriter.h), made
// before the file is created and written with the animation section.
struct PreparedAnimation;
// The mesh section's model (geometry/LodMeshes.h), built and checked against the 16-bit limits
// before the file is created and written with the mesh section.
struct PreparedLodModel;

struct ExportState {
  ExportOptions options;
  Interface* host = nullptr;
  std::string fileName;

  NodeList meshList;
  NodeList hitList;
  NodeList collisionList;
  NodeList groupList;
  NodeList boneList;
  std::vector<MaterialEntry> materialList;
  std::vector<Surface> surfaceList;

  SpecialNodes special;
  int firstFrame = 0;
  int lastFrame = 0;
  float modelScale = 1.0f;  // options.Scale × 0.01
  Matrix3 axisSwap;         // exchanges Y and Z
  Matrix3 axisSwapInverse;

  // (last − first + 1) × m samples of three floats; m = 2 with a camera rotation port.
  std::vector<float> cameraSamples;

  // Set by the animation writer: (mean position ratio + mean rotation ratio) × 6 × 8.333333,
  // about 100 when every frame is a key; 0 without bones. The export report prints it.
  float animationRatio = 0.0f;
  std::shared_ptr<PreparedAnimation> preparedAnimation;
  std::shared_ptr<PreparedLodModel> preparedLodModel;

  int groupCount = 0;
  std::vector<PartRecord> partsTable;
  std::vector<BonePartRecord> bonePartRecords;
  SkeletonLodMap skeletonLodMap{};

  std::vector<DetailTriangle> trianglePool;  // capacity kTrianglePoolSize

  // Once-per-export flags.
  bool deformableVerticesFound = false;
  bool parentBoneWarningShown = false;
  bool boneImportanceWarningShown = false;
  bool lodLimitWarningShown = false;  // "unable to generate all LOD levels"

  // Clears every list and table, allocates the triangle pool, builds the axis swap.
  void Reset(const ExportOptions& opts);
  // Frees every list, table and buffer (the options stay).
  void Release();
};

// The one export state of the process.
ExportState& State();

}  // namespace tz2
