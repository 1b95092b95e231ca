// Reset and release of the export's working state.
#include "TZ2_Export/shell/ExportState.h"

namespace tz2 {

ExportState& State() {
  static ExportState state;
  return state;
}

void ExportState::Release() {
  meshList.Release();
  hitList.Release();
  collisionList.Release();
  groupList.Release();
  boneList.Release();
  materialList.clear();
  materialList.shrink_to_fit();
  surfaceList.clear();
  surfaceList.shrink_to_fit();
  special = SpecialNodes{};
  cameraSamples.clear();
  cameraSamples.shrink_to_fit();
  animationRatio = 0.0f;
  preparedAnimation.reset();
  preparedLodModel.reset();
  groupCount = 0;
  partsTable.clear();
  bonePartRecords.clear();
  trianglePool.clear();
  trianglePool.shrink_to_fit();
}

void ExportState::Reset(const ExportOptions& opts) {
  Release();
  options = opts;
  parentBoneWarningShown = false;
  boneImportanceWarningShown = false;
  lodLimitWarningShown = false;
  trianglePool.reserve(kTrianglePoolSize);
  axisSwap.IdentityMatrix();
  axisSwap.SetRow(1, Point3(0.0f, 0.0f, 1.0f));
  axisSwap.SetRow(2, Point3(0.0f, 1.0f, 0.0f));
  axisSwapInverse = Inverse(axisSwap);
  groupCount = 0;
  modelScale = opts.Scale * 0.01f;
  skeletonLodMap = SkeletonLodMap{};
}

}  // namespace tz2
